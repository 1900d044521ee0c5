#pragma once
#include <QString>
#include <QStringList>

class Package;

// Writes members of an open package as files below a directory, each under
// its member path (the leading "/" dropped): decrypted and inflated, WVC
// recordings as stored. A path that would end outside the directory
// (absolute, "..", through a symlink already there) is refused and written
// nowhere; an existing file is kept unless overwriting is asked for. Every
// file goes through a save file, so a failed write leaves nothing behind.
struct ExtractOptions
{
    QString sDirectory;
    QStringList saMembers; // empty: all
    bool bOverwrite = false;
    bool bProgress = false; // a line per member on standard error
};

// Prints one line per refused or failed member to standard error; returns
// the number of such members (0: everything was written).
int extractToDirectory(Package& irPackage, const ExtractOptions& irOptions);

// The path below the directory for a member path, or an empty string when
// the member path would leave it.
QString memberRelativePath(const QString& irsMemberPath);
