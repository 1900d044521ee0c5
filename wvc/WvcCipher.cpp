#include "WvcCipher.h"

#include <cryptopp/pwdbased.h>
#include <cryptopp/sha.h>
#include <cryptopp/whrlpool.h>

#include <cstring>

namespace WVC {

void WvcCipher::deriveKey(const std::string& isPassword, const uint8_t* ipSalt, uint8_t* ipKey)
{
    CryptoPP::byte aDigest[CryptoPP::Whirlpool::DIGESTSIZE];
    CryptoPP::Whirlpool().CalculateDigest(aDigest, reinterpret_cast<const CryptoPP::byte*>(isPassword.data()),
                                          isPassword.size());
    CryptoPP::PKCS5_PBKDF2_HMAC<CryptoPP::SHA512> aPbkdf2;
    aPbkdf2.DeriveKey(ipKey, 16, 0, aDigest, sizeof(aDigest), ipSalt, 16, 1000);
}

void WvcCipher::setKey(const uint8_t* ipKey, const uint8_t* ipIv)
{
    std::memcpy(maIv, ipIv, sizeof(maIv));
    maDecryption.SetKeyWithIV(ipKey, 16, maIv);
    maEncryption.SetKeyWithIV(ipKey, 16, maIv);
}

void WvcCipher::decipher(const uint8_t* ipIn, uint8_t* ipOut, size_t inLength)
{
    maDecryption.Resynchronize(maIv);
    maDecryption.ProcessData(ipOut, ipIn, inLength);
}

void WvcCipher::encipher(const uint8_t* ipIn, uint8_t* ipOut, size_t inLength)
{
    maEncryption.Resynchronize(maIv);
    maEncryption.ProcessData(ipOut, ipIn, inLength);
}

} // namespace WVC
