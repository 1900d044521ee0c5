#pragma once
// Small helpers shared by the package tests: packages are written into a
// temporary folder by our own writer, then patched where a test needs damage.
#include "PackageWriter.h"

#include <QFile>
#include <QTemporaryDir>

inline QString saveBytes(const QTemporaryDir& irDir, const QString& isName, const QByteArray& iaBytes)
{
    const QString sPath = irDir.filePath(isName);
    QFile file(sPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(iaBytes) != iaBytes.size())
        return {};
    return sPath;
}

inline QByteArray packageWithIndex(const QString& isIndexText, const QString* ipsPassword = nullptr)
{
    PackageWriter writer;
    if (ipsPassword)
        writer.setPassword(*ipsPassword);
    writer.setIndexText(isIndexText);
    return writer.build();
}
