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
    bool bVersion = false; // "--version": print the version and exit 0
};

// Examines every argument, the program path included. Port warnings are
// issued here, before the program's own log handler is installed.
CommandLine parseCommandLine(const QStringList& irsaArguments);

// Writes the usage line to standard error and ends the process with status 0.
[[noreturn]] void printUsage();
// Writes "VornViewer <version>" to standard output and ends the process with status 0.
[[noreturn]] void printVersion();
