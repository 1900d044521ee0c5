#pragma once
// A real, nearly full file system for save tests: a 64 KB tmpfs mounted on
// a folder of the test, filled so that only a few KB remain; unmounted when
// the object goes. Mounting needs root; isReady() is false otherwise.
#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

class FullDisk
{
public:
    explicit FullDisk(const QString& isPath, int inFreeKb = 4)
        : msPath(isPath)
    {
        if (geteuid() != 0 || !QDir().mkpath(isPath))
            return;
        if (QProcess::execute("mount", { "-t", "tmpfs", "-o", "size=64k", "tmpfs", isPath }) != 0)
            return;
        mbMounted = true;
        QFile aFiller(isPath + "/filler");
        mbReady = aFiller.open(QIODevice::WriteOnly)
            && aFiller.write(QByteArray((64 - inFreeKb) * 1024, 'f')) == (64 - inFreeKb) * 1024 && aFiller.flush();
    }
    ~FullDisk()
    {
        if (mbMounted)
            QProcess::execute("umount", { msPath });
    }
    bool isReady() const { return mbReady; }
    // What is on the disk besides the filler.
    QStringList others() const
    {
        QStringList a = QDir(msPath).entryList(QDir::Files | QDir::Hidden | QDir::System);
        a.removeAll("filler");
        return a;
    }

private:
    QString msPath;
    bool mbMounted = false;
    bool mbReady = false;
};
