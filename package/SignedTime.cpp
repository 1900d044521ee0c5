#include "SignedTime.h"

#include <QStringList>

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

namespace {

std::string base64Decoded(const QByteArray& iaText)
{
    std::string sDecoded;
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(iaText.constData()), size_t(iaText.size()),
                                  true, new CryptoPP::Base64Decoder(new CryptoPP::StringSink(sDecoded)));
    return sDecoded;
}

} // namespace

SignedTime checkSignedTime(const QByteArray& iaBody, const QByteArray& iaKeyText)
{
    SignedTime aResult;
    const QString sBody = QString::fromUtf8(iaBody);
    if (sBody.isEmpty())
        return aResult;
    const QStringList saParts = sBody.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    if (saParts.size() != 2)
        return aResult;

    const QByteArray aTimeText = saParts.at(0).toUtf8();
    try {
        const std::string sSignature = base64Decoded(saParts.at(1).toUtf8());
        const std::string sKey = base64Decoded(iaKeyText);
        CryptoPP::RSA::PublicKey key;
        CryptoPP::StringSource keySource(sKey, true);
        key.Load(keySource);
        const CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA1>::Verifier verifier(key);
        // A signature of the wrong length cannot match; the library would
        // otherwise report it as a usage error rather than a mismatch.
        const bool bValid = sSignature.size() == verifier.SignatureLength()
            && verifier.VerifyMessage(reinterpret_cast<const CryptoPP::byte*>(aTimeText.constData()),
                size_t(aTimeText.size()), reinterpret_cast<const CryptoPP::byte*>(sSignature.data()),
                sSignature.size());
        if (!bValid) {
            aResult.eResult = SignedTime::Result::InvalidSignature;
            return aResult;
        }
    } catch (const CryptoPP::Exception& e) {
        aResult.eResult = SignedTime::Result::VerifierError;
        aResult.sError = QString::fromStdString(e.what());
        return aResult;
    }
    aResult.eResult = SignedTime::Result::Valid;
    aResult.nSeconds = saParts.at(0).toUInt(nullptr, 10);
    return aResult;
}
