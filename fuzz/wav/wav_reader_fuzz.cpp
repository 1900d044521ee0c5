// Fuzz target: the WAV reader stage with a format record, followed by the
// waveform drawing stage, over arbitrary bytes delivered in pieces. The first
// input byte picks the piece size and the drawing's query; the rest is the
// member as stored. Also runs the stage without a format record, which must
// hand every byte on unchanged.
#include "AudioFormat.h"
#include "WavReader.h"
#include "WavSvgReader.h"

#include <QtGlobal>

#include <cryptopp/filters.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&)
{
}

const char* const kQueries[] = {"", "amplifyratio=2", "notchfrequency=50&qfactor=0.7", "zoomstart=0&zoomend=1",
                                "zoomstart=1&zoomend=3", "zoomstart=99999999999999&zoomend=5",
                                "notchfrequency=4000&amplifyratio=-3", "zoomstart=.5&zoomend=2.9"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bQuiet = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(bQuiet)
    if (size < 1)
        return 0;
    const size_t nPiece = size_t(1) << (data[0] & 0x0F); // 1 .. 32768 bytes
    const char* pQuery = kQueries[(data[0] >> 4) % (sizeof kQueries / sizeof *kQueries)];
    ++data;
    --size;

    AudioFormat format;
    std::string sSvg;
    WavReader reader(new WavSvgReader(new CryptoPP::StringSink(sSvg), QString::fromLatin1(pQuery), &format), &format);
    try {
        for (size_t nAt = 0; nAt < size; nAt += nPiece)
            reader.Put(data + nAt, std::min(nPiece, size - nAt));
        reader.MessageEnd();
        if (reader.headerPending())
            std::abort(); // a read that ends without a header must fail
    } catch (const CryptoPP::Exception&) {
        if (!reader.headerPending())
            std::abort(); // only a missing header fails the read
    }

    std::string sRaw;
    WavReader passThrough(new CryptoPP::StringSink(sRaw), nullptr);
    passThrough.Put(data, size);
    passThrough.MessageEnd();
    if (sRaw.size() != size || (size > 0 && sRaw.compare(0, size, reinterpret_cast<const char*>(data), size) != 0))
        std::abort();
    return 0;
}
