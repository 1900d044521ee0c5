#include "PackageCipher.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/pwdbased.h>
#include <cryptopp/sha.h>
#include <cryptopp/whrlpool.h>

namespace PackageCipher {

const QByteArray caIndexMarker = QByteArrayLiteral("PACKAGE-INDEX");

CryptoPP::SecByteBlock deriveIndexKey(const QString& isPassword, const CryptoPP::SecByteBlock& iaSalt)
{
    QByteArray aPassword = isPassword.toUtf8();
    CryptoPP::SecByteBlock aDigest(CryptoPP::Whirlpool::DIGESTSIZE);
    CryptoPP::Whirlpool().CalculateDigest(aDigest.data(),
                                          reinterpret_cast<const CryptoPP::byte*>(aPassword.constData()),
                                          size_t(aPassword.size()));
    aPassword.fill('\0');

    CryptoPP::SecByteBlock aKey(cnKeySize);
    CryptoPP::PKCS5_PBKDF2_HMAC<CryptoPP::SHA512>().DeriveKey(aKey.data(), aKey.size(), 0,
                                                              aDigest.data(), aDigest.size(),
                                                              iaSalt.data(), iaSalt.size(), cnIterations);
    return aKey;
}

CryptoPP::SecByteBlock memberIv(const QString& isPath)
{
    QByteArray aPath = isPath.toUtf8().left(cnIvSize);
    aPath.append(QByteArray(cnIvSize - aPath.size(), ' '));
    return CryptoPP::SecByteBlock(reinterpret_cast<const CryptoPP::byte*>(aPath.constData()), cnIvSize);
}

bool memberKey(const QByteArray& isKeyText, CryptoPP::SecByteBlock& irKey)
{
    CryptoPP::Base64Decoder decoder;
    decoder.Put(reinterpret_cast<const CryptoPP::byte*>(isKeyText.constData()), size_t(isKeyText.size()));
    decoder.MessageEnd();
    const CryptoPP::lword nDecoded = decoder.MaxRetrievable();
    if (nDecoded < CryptoPP::lword(cnKeySize))
        return false;
    CryptoPP::SecByteBlock aDecoded{size_t(nDecoded)};
    decoder.Get(aDecoded.data(), aDecoded.size());
    irKey.Assign(aDecoded.data(), cnKeySize);
    return true;
}

} // namespace PackageCipher
