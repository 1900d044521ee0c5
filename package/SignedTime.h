#pragma once
#include <QByteArray>
#include <QString>

// A time server's reply: the decimal Unix time in seconds, ";" and the Base64
// text of an RSASSA-PKCS1-v1_5 / SHA-1 signature over the time text exactly
// as received. The key is the Base64 text of a DER X.509 SubjectPublicKeyInfo
// of an RSA key.
struct SignedTime
{
    enum class Result
    {
        Valid,
        Malformed,        // empty, or not exactly two parts around ";"
        InvalidSignature, // the signature does not match the time text
        VerifierError     // the key or signature could not be processed
    };
    Result eResult = Result::Malformed;
    quint32 nSeconds = 0; // server time when Valid; 0 when the text is no number
    QString sError;       // the library's text when VerifierError
};

// Never throws: every failure of the signature library becomes VerifierError.
SignedTime checkSignedTime(const QByteArray& iaBody, const QByteArray& iaKeyText);
