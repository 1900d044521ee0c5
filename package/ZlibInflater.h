#pragma once
#include <cryptopp/filters.h>

#include <zlib.h>

#include <vector>

// Member stage that inflates a zlib stream (RFC 1950) with zlib itself, which
// is several times faster than the pipeline library's own inflater. Corrupt
// data, a wrong Adler-32 trailer, and a stream that has not ended when the
// message ends all raise a CryptoPP::Exception, as that inflater would.
// Bytes after the end of the stream are ignored.
class ZlibInflater : public CryptoPP::Filter
{
public:
    explicit ZlibInflater(CryptoPP::BufferedTransformation* ipAttachment = nullptr);
    ~ZlibInflater() override;

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;
    bool IsolatedFlush(bool ibHardFlush, bool ibBlocking) override;

private:
    void inflateInput(const CryptoPP::byte* ipInput, size_t inLength);
    void inflatePending();
    [[noreturn]] void fail(const char* ipText) const;

    z_stream mStream {};
    bool mbEnded = false;
    std::vector<CryptoPP::byte> maIn;  // input gathered into a block
    std::vector<CryptoPP::byte> maOut; // output when the next stage offers no room
};
