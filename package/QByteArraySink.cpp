#include "QByteArraySink.h"

#include <limits>

QByteArraySink::QByteArraySink(QByteArray& irTarget)
    : maTarget(irTarget)
{
}

size_t QByteArraySink::Put2(const CryptoPP::byte* ipInput, size_t inLength, int, bool)
{
    // A byte array holds less than 2 GiB; refuse rather than wrap around.
    if (inLength > size_t(std::numeric_limits<int>::max() - maTarget.size()))
        throw CryptoPP::Exception(CryptoPP::Exception::OTHER_ERROR, "QByteArraySink: output too large");
    maTarget.append(reinterpret_cast<const char*>(ipInput), int(inLength));
    return 0;
}
