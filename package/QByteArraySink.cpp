#include "QByteArraySink.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int cnMinSpace = 64 * 1024;

} // namespace

QByteArraySink::QByteArraySink(QByteArray& irTarget)
    : maTarget(irTarget)
{
}

CryptoPP::byte* QByteArraySink::CreatePutSpace(size_t& irnSize)
{
    if (mnCommitted >= 0)
        maTarget.resize(mnCommitted);
    const int nSize = maTarget.size();
    // Only room that is already allocated is offered: growing the array here
    // would copy all of it. Without such room the caller appends as usual,
    // and the array grows by its own strategy.
    const int nFree = maTarget.capacity() - nSize;
    const size_t nSpace = std::min(irnSize, size_t(std::max(nFree, 0)));
    if (nFree < cnMinSpace || nSpace == 0) {
        mnCommitted = -1;
        irnSize = 0;
        return nullptr;
    }
    maTarget.resize(nSize + int(nSpace));
    mnCommitted = nSize;
    irnSize = nSpace;
    return reinterpret_cast<CryptoPP::byte*>(maTarget.data()) + nSize;
}

size_t QByteArraySink::Put2(const CryptoPP::byte* ipInput, size_t inLength, int, bool)
{
    if (mnCommitted >= 0) {
        const int nCommitted = mnCommitted;
        mnCommitted = -1;
        // Written in place into the offered room: keep what was written.
        if (ipInput == reinterpret_cast<const CryptoPP::byte*>(maTarget.constData()) + nCommitted
            && inLength <= size_t(maTarget.size() - nCommitted)) {
            maTarget.resize(nCommitted + int(inLength));
            return 0;
        }
        maTarget.resize(nCommitted);
    }
    // A byte array holds less than 2 GiB; refuse rather than wrap around.
    if (inLength > size_t(std::numeric_limits<int>::max() - maTarget.size()))
        throw CryptoPP::Exception(CryptoPP::Exception::OTHER_ERROR, "QByteArraySink: output too large");
    maTarget.append(reinterpret_cast<const char*>(ipInput), int(inLength));
    return 0;
}
