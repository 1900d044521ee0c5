#pragma once
#include "PackageFileStamp.h"

#include <QFile>
#include <QString>

class Package;

// The stored bytes of one member as a seekable stream: read through a file
// handle of its own (so a reader on another thread shares no position) and
// confined to the member's offset and length. Readers of stored bytes that
// decode as they go (WVC playback, waveforms, analysis) use it.
class MemberRange
{
public:
    // False when the path is not a member or the package file cannot be
    // opened; the range is then empty.
    bool open(const Package& irPackage, const QString& irsPath);
    void close();

    qint64 size() const { return mnSize; }
    qint64 position() const { return mnPosition; }

    // Up to inMaximum bytes from the position: their count, 0 at the
    // member's end, -1 when the file fails, ends inside the member or is no
    // longer the package file that was opened.
    qint64 read(char* ipBuffer, qint64 inMaximum);
    // Positions are relative to the member; false outside 0..size().
    bool seek(qint64 inPosition);

private:
    QFile maFile;
    PackageFileStamp maStamp;
    qint64 mnOffset = 0;
    qint64 mnSize = 0;
    qint64 mnPosition = 0;
};
