#pragma once
// What the command-line commands (recording export, report) share: opening
// the package named on the command line, and messages on standard error.

#include <QString>

class Package;

// Checks the package's type, asks for credentials when it is encrypted and
// opens it. Returns the message to print when it cannot be opened, an empty
// text when it is open; irnResult holds openPackage's result (2: the
// authority password was not accepted) and irsUsername the user given.
QString openPackageForCommand(const QString& isPath, Package& irPackage, QString& irsUsername, int& irnResult);

// Prints "VornViewer: <message>" and returns the commands' failure status.
int commandFailure(const QString& isMessage);
void commandWarning(const QString& isMessage);
