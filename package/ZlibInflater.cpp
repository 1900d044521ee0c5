#include "ZlibInflater.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr size_t cnOutputBlock = 256 * 1024;

} // namespace

ZlibInflater::ZlibInflater(CryptoPP::BufferedTransformation* ipAttachment)
    : CryptoPP::Filter(ipAttachment)
    , maOut(cnOutputBlock)
{
    if (inflateInit(&mStream) != Z_OK)
        throw CryptoPP::Exception(CryptoPP::Exception::OTHER_ERROR, "ZlibInflater: cannot initialise zlib");
}

ZlibInflater::~ZlibInflater()
{
    inflateEnd(&mStream);
}

void ZlibInflater::fail(const char* ipText) const
{
    throw CryptoPP::Exception(CryptoPP::Exception::INVALID_DATA_FORMAT,
                              std::string("ZlibInflater: ") + (mStream.msg ? mStream.msg : ipText));
}

size_t ZlibInflater::Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking)
{
    if (!ibBlocking)
        throw BlockingInputOnly("ZlibInflater");

    while (inLength > 0 && !mbEnded) {
        // zlib counts in 32-bit units.
        const uInt nChunk = uInt(std::min<size_t>(inLength, std::numeric_limits<uInt>::max()));
        mStream.next_in = const_cast<Bytef*>(ipInput);
        mStream.avail_in = nChunk;
        do {
            const uInt nInBefore = mStream.avail_in;
            mStream.next_out = maOut.data();
            mStream.avail_out = uInt(maOut.size());
            const int nResult = inflate(&mStream, Z_NO_FLUSH);
            if (nResult == Z_STREAM_END)
                mbEnded = true;
            else if (nResult == Z_NEED_DICT)
                fail("preset dictionary not supported");
            else if (nResult != Z_OK && nResult != Z_BUF_ERROR)
                fail("corrupt compressed data");
            const size_t nProduced = maOut.size() - mStream.avail_out;
            if (nProduced > 0)
                Output(1, maOut.data(), nProduced, 0, true);
            if (nProduced == 0 && mStream.avail_in == nInBefore)
                break; // no progress possible: zlib wants more input
            // A full output block may leave more output pending.
        } while (!mbEnded && (mStream.avail_in > 0 || mStream.avail_out == 0));
        const size_t nUsed = nChunk - mStream.avail_in;
        ipInput += nUsed;
        inLength -= nUsed;
    }
    if (inMessageEnd) {
        if (!mbEnded)
            fail("unexpected end of compressed stream");
        Output(1, nullptr, 0, inMessageEnd, true);
    }
    return 0;
}

bool ZlibInflater::IsolatedFlush(bool, bool ibBlocking)
{
    if (!ibBlocking)
        throw BlockingInputOnly("ZlibInflater");
    // Put2 hands on everything zlib can produce from its input, so nothing
    // is held back here.
    return false;
}
