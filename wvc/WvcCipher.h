#pragma once
// Key derivation and the frame cipher of encrypted WVC files: Whirlpool of
// the password, PBKDF2-HMAC-SHA-512 to a 16-byte key, AES-128 CFB with full
// feedback. Every item is ciphered on its own from the start of the key
// stream. Crypto++ exceptions pass through to the caller.
#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace WVC {

class WvcCipher
{
public:
    static void deriveKey(const std::string& isPassword, const uint8_t* ipSalt, uint8_t* ipKey);

    void setKey(const uint8_t* ipKey, const uint8_t* ipIv);
    void decipher(const uint8_t* ipIn, uint8_t* ipOut, size_t inLength);
    void encipher(const uint8_t* ipIn, uint8_t* ipOut, size_t inLength);

private:
    CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption maDecryption;
    CryptoPP::CFB_Mode<CryptoPP::AES>::Encryption maEncryption;
    uint8_t maIv[CryptoPP::AES::BLOCKSIZE] = {};
};

} // namespace WVC
