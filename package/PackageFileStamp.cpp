#include "PackageFileStamp.h"

#include <QFile>

#include <sys/stat.h>

namespace {

bool sameFile(const struct stat& irStat, quint64 inDevice, quint64 inInode, qint64 inSize, qint64 inSeconds,
              qint64 inNanoseconds)
{
    return quint64(irStat.st_dev) == inDevice && quint64(irStat.st_ino) == inInode && qint64(irStat.st_size) == inSize
        && qint64(irStat.st_mtim.tv_sec) == inSeconds && qint64(irStat.st_mtim.tv_nsec) == inNanoseconds
        && irStat.st_nlink > 0; // a file deleted while open keeps its inode until closed
}

} // namespace

bool PackageFileStamp::take(const QFile& irFile)
{
    mbValid = false;
    struct stat aStat {};
    if (irFile.handle() < 0 || ::fstat(irFile.handle(), &aStat) != 0)
        return false;
    mnDevice = quint64(aStat.st_dev);
    mnInode = quint64(aStat.st_ino);
    mnSize = qint64(aStat.st_size);
    mnModifiedSeconds = qint64(aStat.st_mtim.tv_sec);
    mnModifiedNanoseconds = qint64(aStat.st_mtim.tv_nsec);
    mbValid = true;
    return true;
}

bool PackageFileStamp::matches(const QFile& irFile) const
{
    struct stat aStat {};
    return mbValid && irFile.handle() >= 0 && ::fstat(irFile.handle(), &aStat) == 0
        && sameFile(aStat, mnDevice, mnInode, mnSize, mnModifiedSeconds, mnModifiedNanoseconds);
}

bool PackageFileStamp::matches(const QString& isPath) const
{
    struct stat aStat {};
    return mbValid && ::stat(QFile::encodeName(isPath).constData(), &aStat) == 0
        && sameFile(aStat, mnDevice, mnInode, mnSize, mnModifiedSeconds, mnModifiedNanoseconds);
}
