#pragma once
#include <QByteArray>
#include <QString>

#include <cryptopp/filters.h>

#include <vector>

class AudioFormat;
namespace WVC {
class AudioEffect;
}

// Member stage behind the WAV reader that draws the waveform of a recording:
// the peak of every mnScaleDownFactor samples (after the requested effects,
// within the zoom segment) becomes one point of a band around the middle
// line, about 1024 points whatever the length. The finished SVG document
// leaves in one block; a recording that ends before the segment does yields
// no document. Only a few bytes of PCM are held at any time.
class WavSvgReader : public CryptoPP::Bufferless<CryptoPP::Filter>
{
public:
    // Takes over ipAttachment; ipFormat (filled by the WAV reader before it
    // hands on samples) is not owned.
    WavSvgReader(CryptoPP::BufferedTransformation* ipAttachment, const QString& isQuery, AudioFormat* ipFormat);
    ~WavSvgReader() override;

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;

    bool finished() const { return mbFinished; }
    qint32 scaleDownFactor() const { return mnScaleDownFactor; }
    qint64 totalSamples() const { return mnTotalSamples; }
    qint64 startSample() const { return mnStartSample; }
    qint64 endSample() const { return mnEndSample; }

private:
    void initialise();
    void reduce(const CryptoPP::byte* ipInput, size_t inLength);
    void reducePlain(const CryptoPP::byte* ipInput, size_t inFrames);
    void reduceSamples(qint16* ipSamples, int inCount);
    void addPoint();
    void writeDocument(bool ibBlocking);

    QByteArray maSvg;
    QByteArray maUpper;
    QByteArray maLower;
    QByteArray maColour;
    qint32 mnScaleDownFactor = 1;
    AudioFormat* mpFormat;
    bool mbInitialised = false;
    bool mbFinished = false;
    qint64 mnTotalSamples = 0;
    qint64 mnReducedSamples = 0;
    qint64 mnBytesReceived = 0; // counts frames in bytes: a frame may be split between blocks
    qint32 mnPointsWritten = 0;
    std::vector<WVC::AudioEffect*> maEffects;
    qint64 mnZoomStart = 0;
    qint64 mnZoomEnd = 0;
    qint64 mnStartSample = 0;
    qint64 mnEndSample = 0;
    bool mbZoom = false;
    qint64 mnBytesAudioPerIndex = 0;

    int mnNotchFrequency = 0;
    float mfQFactor = 0.5f;

    int mnBytesPerFrame = 2;
    bool mbEightBit = false;
    QByteArray maPartialFrame;    // the start of a frame split between blocks
    qint32 mnSamplesInPoint = 0;  // of the point being gathered
    int mnPointPeak = 0;
    std::vector<qint16> maSamples; // one slice of samples at a time
    std::vector<float> maWork[2];  // effect chain work areas
};
