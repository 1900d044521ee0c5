#include "JavaScriptReader.h"

#include <QDebug>

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
    for (CryptoPP::byte& nByte : maBlock) {
        if (nByte == 0x0D || nByte == 0x0A) {
            nByte = 0x20;
            qDebug() << "replacing \\r or \\n with a space in js file";
        }
    }
    return Output(1, maBlock.data(), maBlock.size(), inMessageEnd, ibBlocking);
}
