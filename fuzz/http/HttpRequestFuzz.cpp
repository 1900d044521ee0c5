// Fuzz entry for what the loopback server reads from a client: the input is
// the bytes a client sends. The request line is split, the header block
// found and read, and the refusal rules applied, as the server does.
#include "RequestHeaders.h"
#include "RequestLine.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray aData = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    const int nLineEnd = aData.indexOf('\n');
    const RequestLine aRequest = parseRequestLine(nLineEnd < 0 ? aData : aData.left(nLineEnd + 1));
    int nEnd = 0;
    const bool bEnded = findHeaderEnd(aData, nEnd);
    if (bEnded && (nEnd <= nLineEnd || nEnd > aData.size()))
        __builtin_trap(); // the block cannot end before the request line or past the data
    const RequestHeaders aHeaders = parseRequestHeaders(bEnded ? aData.left(nEnd) : aData);
    if (aHeaders.aNames.size() != aHeaders.aValues.size())
        __builtin_trap();
    refusalReason(aHeaders, 8080);
    refusalReason(aHeaders, 0);
    return aRequest.sPath.size() >= 0 ? 0 : 1;
}
