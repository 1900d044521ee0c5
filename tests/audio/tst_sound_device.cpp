// The sound device the tests run against: the default output must exist
// and take 16-bit PCM in push mode, as the player will use it.
#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QtTest>

#include <cmath>

class TestSoundDevice : public QObject
{
    Q_OBJECT
private slots:
    void defaultOutputPlaysPcm()
    {
        const QAudioDeviceInfo aDevice = QAudioDeviceInfo::defaultOutputDevice();
        QVERIFY2(!aDevice.isNull(), "no default sound output device");

        QAudioFormat aFormat;
        aFormat.setSampleRate(8000);
        aFormat.setChannelCount(1);
        aFormat.setSampleSize(16);
        aFormat.setCodec(QStringLiteral("audio/pcm"));
        aFormat.setByteOrder(QAudioFormat::LittleEndian);
        aFormat.setSampleType(QAudioFormat::SignedInt);
        QVERIFY(aDevice.isFormatSupported(aFormat));

        QByteArray aPcm(8000 * 2, Qt::Uninitialized); // one second of a 440 Hz tone
        auto* pSamples = reinterpret_cast<qint16*>(aPcm.data());
        for (int i = 0; i < 8000; ++i)
            pSamples[i] = qint16(8000 * std::sin(2 * M_PI * 440 * i / 8000.0));

        QAudioOutput aOutput(aDevice, aFormat);
        QIODevice* pDevice = aOutput.start();
        QVERIFY(pDevice);
        int nWritten = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const int nFree = aOutput.bytesFree();
                if (nFree > 0 && nWritten < aPcm.size()) {
                    const qint64 nNow = pDevice->write(aPcm.constData() + nWritten, qMin(nFree, aPcm.size() - nWritten));
                    nWritten += int(qMax<qint64>(0, nNow));
                }
                return nWritten == aPcm.size();
            }(),
            10000);
        QTRY_VERIFY_WITH_TIMEOUT(aOutput.processedUSecs() >= 500000, 10000);
        QCOMPARE(aOutput.error(), QAudio::NoError);
        aOutput.stop();
    }
};

QTEST_GUILESS_MAIN(TestSoundDevice)
#include "tst_sound_device.moc"
