#include "MemberRange.h"

#include "Package.h"

bool MemberRange::open(const Package& irPackage, const QString& irsPath)
{
    close();
    const qint64 nOffset = irPackage.entryOffset(irsPath);
    const qint64 nSize = irPackage.entryStoredSize(irsPath);
    if (nOffset < 0 || nSize < 0)
        return false;
    maFile.setFileName(irPackage.packageFileName());
    if (!maFile.open(QIODevice::ReadOnly) || !maFile.seek(nOffset)) {
        maFile.close();
        return false;
    }
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
