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
    // Composing a debug line costs more than the byte; without debug output
    // (the filter rules of a run without --debug) none is composed.
    if (QLoggingCategory::defaultCategory()->isDebugEnabled()) {
        for (CryptoPP::byte& nByte : maBlock) {
            if (nByte == 0x0D || nByte == 0x0A) {
                nByte = 0x20;
                qDebug() << "replacing \\r or \\n with a space in js file";
            }
        }
    } else {
        // Without branches, so that the compiler can do many bytes at once.
        for (CryptoPP::byte& nByte : maBlock)
            nByte = (nByte == 0x0D || nByte == 0x0A) ? CryptoPP::byte(0x20) : nByte;
    }
    return Output(1, maBlock.data(), maBlock.size(), inMessageEnd, ibBlocking);
}
