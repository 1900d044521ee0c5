#pragma once
#include <QByteArray>
#include <QString>

#include <cryptopp/secblock.h>

// Key material of encrypted packages, shared by the reader and the writer.
// Index key: Whirlpool of the password, stretched by PBKDF2 with HMAC-SHA-512
// over the salt. Member cipher: AES-128 in CFB mode with full-block feedback,
// keyed by the member's own key, with its path as initialisation vector.
namespace PackageCipher {

constexpr int cnKeySize = 16;
constexpr int cnSaltSize = 16;
constexpr int cnIvSize = 16;
constexpr unsigned int cnIterations = 1000;
// Plaintext that opens every index block; the only check of a password.
extern const QByteArray caIndexMarker;

// 16-byte AES key of the index block for isPassword and the 16 salt bytes.
CryptoPP::SecByteBlock deriveIndexKey(const QString& isPassword, const CryptoPP::SecByteBlock& iaSalt);

// The member path as UTF-8, padded with spaces or cut to 16 bytes.
CryptoPP::SecByteBlock memberIv(const QString& isPath);

// Decodes the Base64 key text into irKey (its first 16 bytes). False when
// the text yields fewer than 16 bytes.
bool memberKey(const QByteArray& isKeyText, CryptoPP::SecByteBlock& irKey);

} // namespace PackageCipher
