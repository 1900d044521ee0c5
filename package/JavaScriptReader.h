#pragma once
#include <cryptopp/filters.h>

#include <vector>

// Member stage for scripts: every CR and LF becomes a space, so the page
// receives each script as one line of the same length.
class JavaScriptReader : public CryptoPP::Bufferless<CryptoPP::Filter>
{
public:
    explicit JavaScriptReader(CryptoPP::BufferedTransformation* ipAttachment = nullptr);

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking) override;
    // The same change in place, for a script decoded in one piece.
    static void replaceLineBreaks(CryptoPP::byte* ipBytes, size_t inLength);

private:
    std::vector<CryptoPP::byte> maBlock;
};
