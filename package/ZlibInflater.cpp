#include "ZlibInflater.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

constexpr size_t cnOutputBlock = 256 * 1024;
constexpr size_t cnDirectBlock = 4 * 1024 * 1024;
constexpr size_t cnInputBlock = 256 * 1024;

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

    // The decryption stage hands on 4 KB pieces; inflating each on its own
    // would cost a zlib call and a window update per piece.
    if (maIn.empty() && inLength >= cnInputBlock) {
        inflateInput(ipInput, inLength);
    } else if (inLength > 0) {
        maIn.insert(maIn.end(), ipInput, ipInput + inLength);
        if (maIn.size() >= cnInputBlock)
            inflatePending();
    }
    if (inMessageEnd) {
        inflatePending();
        if (!mbEnded)
            fail("unexpected end of compressed stream");
        Output(1, nullptr, 0, inMessageEnd, true);
    }
    return 0;
}

void ZlibInflater::inflatePending()
{
    if (maIn.empty())
        return;
    inflateInput(maIn.data(), maIn.size());
    maIn.clear();
}

void ZlibInflater::inflateInput(const CryptoPP::byte* ipInput, size_t inLength)
{
    while (inLength > 0 && !mbEnded) {
        // zlib counts in 32-bit units.
        const uInt nChunk = uInt(std::min<size_t>(inLength, std::numeric_limits<uInt>::max()));
        mStream.next_in = const_cast<Bytef*>(ipInput);
        mStream.avail_in = nChunk;
        do {
            const uInt nInBefore = mStream.avail_in;
            // Inflate straight into the next stage when it offers room: it
            // saves a copy, and large pieces spare zlib its window updates.
            size_t nSpace = cnDirectBlock;
            CryptoPP::byte* pOut = AttachedTransformation()->CreatePutSpace(nSpace);
            if (!pOut || nSpace < cnOutputBlock) {
                pOut = maOut.data();
                nSpace = maOut.size();
            }
            nSpace = std::min<size_t>(nSpace, std::numeric_limits<uInt>::max());
            mStream.next_out = pOut;
            mStream.avail_out = uInt(nSpace);
            const int nResult = inflate(&mStream, Z_NO_FLUSH);
            if (nResult == Z_STREAM_END)
                mbEnded = true;
            else if (nResult == Z_NEED_DICT)
                fail("preset dictionary not supported");
            else if (nResult != Z_OK && nResult != Z_BUF_ERROR)
                fail("corrupt compressed data");
            const size_t nProduced = nSpace - mStream.avail_out;
            // Also when empty: the next stage learns that its room was not used.
            Output(1, pOut, nProduced, 0, true);
            if (nProduced == 0 && mStream.avail_in == nInBefore)
                break; // no progress possible: zlib wants more input
            // A full output block may leave more output pending.
        } while (!mbEnded && (mStream.avail_in > 0 || mStream.avail_out == 0));
        const size_t nUsed = nChunk - mStream.avail_in;
        if (nUsed == 0)
            break;
        ipInput += nUsed;
        inLength -= nUsed;
    }
}

bool ZlibInflater::IsolatedFlush(bool ibHardFlush, bool ibBlocking)
{
    if (!ibBlocking)
        throw BlockingInputOnly("ZlibInflater");
    // Only input gathered into a block is held back; a hard flush inflates it.
    if (ibHardFlush)
        inflatePending();
    return false;
}
