#pragma once

struct CommandLine;
class Package;

// "--review FILE --export-recordings DIR [--redact-with tone|silence]
// [--overwrite] PACKAGE.pkg": opens the package (asking for its credentials
// in the usual dialog when it is encrypted), loads the review and writes
// the reviewed calls' recordings into DIR, redacted. Returns the exit
// status: 0 with the summary on standard output, else one line on standard
// error. No window is shown; existing files are replaced only with
// --overwrite.
int runRecordingExportCommand(const CommandLine& irCommandLine, Package& irPackage);
