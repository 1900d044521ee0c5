// Fuzz entry for a time server's reply and its signature check. The input is
// the reply body; when it holds a line break, the text before the first one
// is taken as the key text instead of the built-in key, so that the key
// decoding sees hostile input too.
#include "SignedTime.h"

#include <cstddef>
#include <cstdint>

namespace {

// A 1024-bit RSA key made for the seeds (its private half is not kept).
const char kKeyText[] = "MIGfMA0GCSqGSIb3DQEBAQUAA4GNADCBiQKBgQDbCnbNYvCXvUB7ZGktCMlV6qmwDBcr9FJJosAWp0LL3fOaRSC8JLxDC6SYlNzDc05iTvey0qN13wGusyVTxGPng5CdnrmslVi/sqdLPIoxL/mH0Fh1cx8TE737OXexjSGiUgwQoo65+PnbutcsVJ9rNmALxN0d/NnjKMAEO44LmwIDAQAB";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray aInput(reinterpret_cast<const char*>(data), int(size));
    QByteArray aKey(kKeyText);
    const int nBreak = aInput.indexOf('\n');
    if (nBreak >= 0) {
        aKey = aInput.left(nBreak);
        aInput.remove(0, nBreak + 1);
    }
    (void)checkSignedTime(aInput, aKey);
    return 0;
}
