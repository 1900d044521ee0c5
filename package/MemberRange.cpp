#include "MemberRange.h"

#include "Package.h"

#include <QDebug>

bool MemberRange::open(const Package& irPackage, const QString& irsPath)
{
    close();
    const qint64 nOffset = irPackage.entryOffset(irsPath);
    const qint64 nSize = irPackage.entryStoredSize(irsPath);
    if (nOffset < 0 || nSize < 0)
        return false;
    if (!irPackage.openMemberFile(maFile, nOffset, irsPath))
        return false;
    maStamp = irPackage.fileStamp();
    mnOffset = nOffset;
    mnSize = nSize;
    return true;
}

void MemberRange::close()
{
    maFile.close();
    mnOffset = 0;
    mnSize = 0;
    mnPosition = 0;
}

qint64 MemberRange::read(char* ipBuffer, qint64 inMaximum)
{
    const qint64 nWanted = qMin(inMaximum, mnSize - mnPosition);
    if (nWanted <= 0)
        return nWanted < 0 ? -1 : 0;
    const qint64 nRead = maFile.read(ipBuffer, nWanted);
    // The file is shorter than the member: truncated, or changed since it
    // was opened.
    if (nRead <= 0)
        return -1;
    // Bytes of a file that was replaced or overwritten meanwhile are not the member's.
    if (!maStamp.matches(maFile.fileName())) {
        qWarning().noquote() << "Package file changed since it was opened:" << maFile.fileName();
        return -1;
    }
    mnPosition += nRead;
    return nRead;
}

bool MemberRange::seek(qint64 inPosition)
{
    if (inPosition < 0 || inPosition > mnSize || !maFile.isOpen() || !maFile.seek(mnOffset + inPosition))
        return false;
    mnPosition = inPosition;
    return true;
}
