#pragma once
#include <QString>
#include <QtGlobal>

class QFile;

// What identifies the package file as it was when it was opened: device,
// inode, size and modification time. A file that was truncated, replaced,
// overwritten or deleted since no longer matches, and member reads stop
// instead of decoding whatever now lies at the offsets of the old index.
class PackageFileStamp
{
public:
    // Takes the stamp of an open file; false (and an empty stamp that
    // matches nothing) when the system cannot tell.
    bool take(const QFile& irFile);
    void clear() { mbValid = false; }

    // The open file irFile is still the one stamped (checked on its own
    // handle, so it cannot change between the check and the reads).
    bool matches(const QFile& irFile) const;
    // The file at isPath is still the one stamped.
    bool matches(const QString& isPath) const;

private:
    bool mbValid = false;
    quint64 mnDevice = 0;
    quint64 mnInode = 0;
    qint64 mnSize = 0;
    qint64 mnModifiedSeconds = 0;
    qint64 mnModifiedNanoseconds = 0;
};
