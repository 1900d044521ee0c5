#pragma once
#include <QString>
#include <QStringList>

// What the command line asks for. Port 0 lets the server choose.
struct CommandLine
{
    QString sPackagePath;
    int nPort = 0;
    bool bDebug = false;
    bool bUsage = false; // "--help" or a malformed "--port": print the usage line and exit 0
    QString sReviewPath; // "--review FILE": open the package with this review
    QString sReportPath; // "--report OUT.pdf|OUT.csv": write the report and exit
    QString sExportFolder; // "--export-recordings DIR": write the reviewed calls' recordings and exit
    QString sRedactWith;   // "--redact-with tone|silence" for the export; empty: tone
    bool bOverwrite = false; // "--overwrite": the export may replace files in its folder
    QString sError;      // an option without its value: the one-line message, exit 2
    bool bVersion = false; // "--version": print the version and exit 0
};

// Examines every argument, the program path included. Port warnings are
// issued here, before the program's own log handler is installed.
CommandLine parseCommandLine(const QStringList& irsaArguments);

// Writes the usage line to standard error and ends the process with status 0.
[[noreturn]] void printUsage();

// Writes "VornViewer: <isMessage>" to standard error and ends with inStatus.
[[noreturn]] void exitWithError(const QString& isMessage, int inStatus);
// Writes "VornViewer <version>" to standard output and ends the process with status 0.
[[noreturn]] void printVersion();
