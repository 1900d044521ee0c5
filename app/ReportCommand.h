#pragma once

struct CommandLine;
class Package;

// "--review FILE --report OUT PACKAGE.pkg": opens the package (asking for
// its credentials in the usual dialog when it is encrypted), loads the
// review, writes the report and returns the exit status. Every failure is
// one line on standard error and a status other than 0. No window is shown.
int runReportCommand(const CommandLine& irCommandLine, Package& irPackage, int inHttpPort);
