#include "JavaScriptReader.h"

#include <QDebug>
#include <QLoggingCategory>

JavaScriptReader::JavaScriptReader(CryptoPP::BufferedTransformation* ipAttachment)
{
    Detach(ipAttachment);
}

size_t JavaScriptReader::Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking)
{
    // The block is handed on whole, so a later call never has to resume.
    if (!ibBlocking)
        throw BlockingInputOnly("JavaScriptReader");
    maBlock.assign(ipInput, ipInput + inLength);
    replaceLineBreaks(maBlock.data(), maBlock.size());
    return Output(1, maBlock.data(), maBlock.size(), inMessageEnd, ibBlocking);
}

void JavaScriptReader::replaceLineBreaks(CryptoPP::byte* ipBytes, size_t inLength)
{
    // Composing a debug line costs more than the byte; without debug output
    // (the filter rules of a run without --debug) none is composed.
    if (QLoggingCategory::defaultCategory()->isDebugEnabled()) {
        for (size_t i = 0; i < inLength; ++i) {
            if (ipBytes[i] == 0x0D || ipBytes[i] == 0x0A) {
                ipBytes[i] = 0x20;
                qDebug() << "replacing \\r or \\n with a space in js file";
            }
        }
    } else {
        // Without branches, so that the compiler can do many bytes at once.
        for (size_t i = 0; i < inLength; ++i)
            ipBytes[i] = (ipBytes[i] == 0x0D || ipBytes[i] == 0x0A) ? CryptoPP::byte(0x20) : ipBytes[i];
    }
}
