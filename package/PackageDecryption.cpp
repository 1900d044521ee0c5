#include "Package.h"

#include "PackageCipher.h"

#include <QDebug>

#include <cryptopp/aes.h>
#include <cryptopp/files.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include <fstream>

namespace {

// Same bound as for a plain index: more than this is a damaged file.
constexpr qint64 cnMaxCipherSize = 256 * 1024 * 1024;

} // namespace

int Package::decryptIndex(quint32 inIndexOffset, const QString& isPassword, QString& irsIndexText)
{
    // Salt, IV, digest and key live in SecByteBlocks, which wipe themselves.
    CryptoPP::SecByteBlock aSalt;
    CryptoPP::SecByteBlock aIv;
    aSalt.CleanNew(PackageCipher::cnSaltSize);
    aIv.CleanNew(PackageCipher::cnIvSize);
    if (seek(inIndexOffset)) {
        read(reinterpret_cast<char*>(aSalt.data()), qint64(aSalt.size()));
        read(reinterpret_cast<char*>(aIv.data()), qint64(aIv.size()));
    }
    const CryptoPP::SecByteBlock aKey = PackageCipher::deriveIndexKey(isPassword, aSalt);
    CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption decryption(aKey, aKey.size(), aIv);

    std::ifstream stream(QFile::encodeName(fileName()).toStdString(), std::ios::in | std::ios::binary);
    if (!stream) {
        qDebug().noquote() << "Could not open file: " << fileName();
        return -1;
    }
    const qint64 nFileSize = size();
    const qint64 nStart = qint64(inIndexOffset) + 32;
    qDebug() << "Filesize:" << nFileSize;
    qDebug() << "Offset:" << inIndexOffset;
    const qint64 nCipherSize = nStart < nFileSize ? nFileSize - nStart : 0;
    if (nCipherSize > cnMaxCipherSize) {
        qWarning() << "Index block too large:" << nCipherSize;
        return -1;
    }
    if (nCipherSize > 0)
        stream.seekg(nStart);
    qDebug() << "Current position:" << (nCipherSize > 0 ? qint64(stream.tellg()) : nFileSize);

    std::string sPlain;
    try {
        CryptoPP::FileSource source(stream, false,
                                    new CryptoPP::StreamTransformationFilter(decryption, new CryptoPP::StringSink(sPlain)));
        source.Pump(CryptoPP::lword(nCipherSize));
        source.AttachedTransformation()->MessageEnd();
    } catch (const CryptoPP::Exception& e) {
        qWarning() << "Crypto++ exception:" << e.what();
    }
    qDebug() << "Index size:" << sPlain.size();

    const QByteArray& aMarker = PackageCipher::caIndexMarker;
    if (sPlain.size() < size_t(aMarker.size()) || sPlain.compare(0, size_t(aMarker.size()), aMarker.constData()) != 0) {
        qWarning() << "Error decoding encrypted package";
        return -1;
    }
    const char* pText = sPlain.data() + aMarker.size();
    const size_t nTextSize = sPlain.size() - size_t(aMarker.size());
    irsIndexText.append(QString::fromUtf8(pText, int(qstrnlen(pText, uint(nTextSize)))));
    qDebug() << "Index size:" << sPlain.size();
    return 0;
}
