#include "Package.h"

#include <QDebug>

#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/sha.h>

namespace {

const QStringList& knownSettings()
{
    static const QStringList aKeys = {
        QStringLiteral("default_locale"),
        QStringLiteral("storage_time_normal_cdr"),
        QStringLiteral("storage_time_normal_voice"),
        QStringLiteral("storage_time_marked_cdr"),
        QStringLiteral("storage_time_marked_voice"),
        QStringLiteral("package_call_expiration"),
        QStringLiteral("authority_password"),
        QStringLiteral("viewer_verify_time"),
        QStringLiteral("viewer_verify_time_url1"),
        QStringLiteral("viewer_verify_time_url2"),
        QStringLiteral("wvc_encryption_password"),
    };
    return aKeys;
}

QByteArray sha256Hex(const QByteArray& iaText, bool ibUpperCase)
{
    std::string sHex;
    CryptoPP::SHA256 hash;
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(iaText.constData()), size_t(iaText.size()), true,
                                  new CryptoPP::HashFilter(hash, new CryptoPP::HexEncoder(new CryptoPP::StringSink(sHex), ibUpperCase)));
    return QByteArray::fromStdString(sHex);
}

} // namespace

void Package::applySettings(const QString& isSettings, bool& irbVerifyTime)
{
    // Every limit of this index is measured from one instant.
    const QDateTime tNow = QDateTime::currentDateTime().addSecs(mnTimeOffset);
    struct Limit
    {
        const char* pKey;
        QDateTime Package::*pLimit;
    };
    static const Limit aLimits[] = {
        {"storage_time_normal_cdr", &Package::mtNormalCdrLimit},
        {"storage_time_normal_voice", &Package::mtNormalVoiceLimit},
        {"storage_time_marked_cdr", &Package::mtMarkedCdrLimit},
        {"storage_time_marked_voice", &Package::mtMarkedVoiceLimit},
    };

    const QStringList aEntries = isSettings.split(QLatin1Char(';'));
    for (const QString& sEntry : aEntries) {
        if (sEntry.isEmpty())
            continue;
        const QStringList aParts = sEntry.split(QLatin1Char('='));
        const QString& sKey = aParts[0];
        if (!knownSettings().contains(sKey))
            continue;
        // A known key without "=" carries no value at all; applying it would
        // guess one, so it is left out.
        if (aParts.size() < 2) {
            qWarning().noquote() << "Settings entry without value ignored:" << sEntry;
            continue;
        }
        const QString& sValue = aParts[1];

        bool bLimit = false;
        for (const Limit& limit : aLimits) {
            if (sKey == QLatin1String(limit.pKey)) {
                // Not a decimal integer: 0 days, the limit is now.
                const qint64 nDays = sValue.toInt(nullptr, 10);
                // Kept as UTC: the same instant, but comparing a hundred
                // thousand call times with it then needs no time zone lookup.
                this->*limit.pLimit = tNow.addDays(-nDays).toUTC();
                qDebug().noquote() << sKey + QLatin1Char('=') << nDays;
                bLimit = true;
                break;
            }
        }
        if (bLimit)
            continue;

        if (sKey == QLatin1String("default_locale")) {
            msDefaultLocale = sValue;
            qDebug().noquote() << "default_locale=" << sValue;
        } else if (sKey == QLatin1String("package_call_expiration")) {
            mbIndexCallExpiration = false;
            mbAuthorityOverride = false;
            qDebug().noquote() << "package_call_expiration=" << sValue;
            if (sValue == QLatin1String("always")) {
                mbIndexCallExpiration = true;
            } else if (sValue == QLatin1String("authority_override")) {
                mbIndexCallExpiration = true;
                mbAuthorityOverride = true;
            } else if (sValue.isEmpty()) {
                qWarning() << "package_call_expiration not set in package index, using: never";
            }
            mbCallExpiration = mbIndexCallExpiration;
        } else if (sKey == QLatin1String("authority_password")) {
            msAuthorityPassword = sValue;
        } else if (sKey == QLatin1String("viewer_verify_time")) {
            irbVerifyTime = sValue == QLatin1String("true");
            if (irbVerifyTime)
                qDebug() << "External time verification enabled";
        } else if (sKey == QLatin1String("viewer_verify_time_url1")) {
            msTimeVerifyUrl1 = sValue;
            qDebug().noquote() << "Time verify URL1: " << sValue;
        } else if (sKey == QLatin1String("viewer_verify_time_url2")) {
            msTimeVerifyUrl2 = sValue;
            qDebug().noquote() << "Time verify URL2: " << sValue;
        } else if (sKey == QLatin1String("wvc_encryption_password")) {
            msWvcPassword = sValue;
            qDebug().noquote() << "WVC Encryption Password: " << sValue;
        }
    }
}

bool Package::checkAuthorityPassword(const QString& isEntered) const
{
    // Without a stored authority password there is nothing to match; an empty
    // entry must not unlock a package that names none.
    if (isEntered.isEmpty() || msAuthorityPassword.isEmpty())
        return false;
    const QByteArray aEntered = isEntered.toUtf8();
    const QByteArray aStored = msAuthorityPassword.toUtf8();
    if (msAuthorityPassword.size() != 64)
        return aEntered == aStored;
    return sha256Hex(aEntered, false) == aStored || sha256Hex(aEntered, true) == aStored;
}
