#pragma once
// Resident memory of this process and every process it started (the web
// engine's zygote, renderers and helpers), summed and sampled by a thread
// while a benchmark runs, so that the peak of the whole viewer is seen.
#include <QDir>
#include <QFile>
#include <QHash>

#include <atomic>
#include <chrono>
#include <thread>
#include <unistd.h>

class ProcessMemory
{
public:
    ProcessMemory()
        : mThread([this] {
              while (!mbStop) {
                  const qint64 n = totalBytes();
                  qint64 nPeak = mnPeak.load();
                  while (n > nPeak && !mnPeak.compare_exchange_weak(nPeak, n)) {
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~ProcessMemory()
    {
        mbStop = true;
        mThread.join();
    }

    // Highest sum seen since the last reset, in bytes.
    qint64 peak() const { return mnPeak.load(); }
    void reset() { mnPeak = totalBytes(); }

    // Sum of the resident sets of this process and its descendants.
    static qint64 totalBytes() { return scan(nullptr); }

    // Processor time this process and its living descendants have used.
    static double cpuSeconds()
    {
        double f = 0;
        scan(nullptr, &f);
        return f;
    }

    // " name MB" for this process and each descendant.
    static QString breakdown()
    {
        QString s;
        scan(&s);
        return s;
    }

private:
    static qint64 scan(QString* ipBreakdown, double* ipfCpu = nullptr)
    {
        QHash<qint64, double> aCpu;
        QHash<qint64, QByteArray> aName;
        QHash<qint64, qint64> aParent;
        QHash<qint64, qint64> aResident;
        const qint64 nPage = sysconf(_SC_PAGESIZE);
        for (const QString& sPid : QDir("/proc").entryList(QDir::Dirs)) {
            bool bNumber = false;
            const qint64 nPid = sPid.toLongLong(&bNumber);
            if (!bNumber)
                continue;
            QFile aStat("/proc/" + sPid + "/stat");
            QFile aStatm("/proc/" + sPid + "/statm");
            if (!aStat.open(QIODevice::ReadOnly) || !aStatm.open(QIODevice::ReadOnly))
                continue;
            // The name in parentheses may hold blanks: fields count from its end.
            const QByteArray aLine = aStat.readAll();
            const QList<QByteArray> aFields = aLine.mid(aLine.lastIndexOf(')') + 2).split(' ');
            aName.insert(nPid, aLine.mid(aLine.indexOf('(') + 1, aLine.lastIndexOf(')') - aLine.indexOf('(') - 1));
            aParent.insert(nPid, aFields.value(1).toLongLong());
            aCpu.insert(nPid, double(aFields.value(11).toLongLong() + aFields.value(12).toLongLong()) / sysconf(_SC_CLK_TCK));
            aResident.insert(nPid, aStatm.readAll().split(' ').value(1).toLongLong() * nPage);
        }
        qint64 nTotal = 0;
        for (auto it = aResident.cbegin(); it != aResident.cend(); ++it) {
            qint64 nPid = it.key();
            for (int nDepth = 0; nDepth < 16 && nPid > 1 && nPid != getpid(); ++nDepth)
                nPid = aParent.value(nPid);
            if (nPid == getpid()) {
                nTotal += it.value();
                if (ipfCpu)
                    *ipfCpu += aCpu.value(it.key());
                if (ipBreakdown)
                    *ipBreakdown += QStringLiteral(" %1 %2 MB").arg(QString(aName.value(it.key()))).arg(it.value() >> 20);
            }
        }
        return nTotal;
    }

    std::atomic<bool> mbStop { false };
    std::atomic<qint64> mnPeak { 0 };
    std::thread mThread;
};
