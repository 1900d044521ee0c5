#pragma once
#include <QByteArray>
#include <QtGlobal>

// Where one member's bytes lie in the package file. The numbers come straight
// from the index and are checked against the file before every read.
struct PackageEntry
{
    qint32 nStoredSize = 0; // bytes stored at nOffset; a read pumps exactly these
    qint32 nSize = 0;       // size of the decoded content
    qint32 nOffset = 0;     // absolute position of the stored bytes
    QByteArray sKey;        // Base64 text of the member key (encrypted packages)
};
