#pragma once
#include "Decoder.h"
#include "MemberRange.h"

#include <QByteArray>
#include <QString>

class Package;
class QTextStream;

// Draws the waveform of a ".wvc" member from the level stream alone (peak
// level bytes, one per frame and channel), with the requested effects and
// zoom applied by the decoder. Reads the member's bytes through a range of
// its own. One request,
// one local object.
class WvcSvgReader : public WVC::Decoder
{
public:
    WvcSvgReader(Package* ipPackage, const QString& isPath, const QString& isQuery);
    ~WvcSvgReader() override;

    // Decodes the levels and writes the SVG document. 0, or the failure
    // (-1 when the recording could not be opened); nothing is written then.
    int generateSvg(QTextStream& irStream);

    void log(int32_t inLevel, const std::string& isMessage) override;
    int levelCallback(int64_t inPosition, const uint8_t* ipLevels, int inCount) override;
    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override;
    int seekCallback(int64_t inOffset, int inOrigin) override;
    void headerCallback() override;

    quint32 scaleDownFactor() const { return mnScaleDownFactor; }

private:
    MemberRange maMember;
    QByteArray maUpper[2];
    QByteArray maLower[2];
    QByteArray maBackgroundColour;
    QByteArray maColour[2];
    quint32 mnScaleDownFactor = 0;
    quint32 mnLevelCounter = 0;
    quint32 mnPoints = 0; // per channel
    bool mbOpened = false;
};
