#include "DecodedMemberCache.h"

#include <QMutexLocker>

bool DecodedMemberCache::Key::operator==(const Key& irOther) const
{
    return nOpening == irOther.nOpening && nPackageSize == irOther.nPackageSize && nModified == irOther.nModified
           && sMember == irOther.sMember && sPackage == irOther.sPackage;
}

DecodedMemberCache::DecodedMemberCache(int inMaxMembers, qint64 inMaxBytes)
    : mnMaxMembers(inMaxMembers)
    , mnMaxBytes(inMaxBytes)
{
}

bool DecodedMemberCache::find(const Key& irKey, QByteArray& iraBytes)
{
    QMutexLocker aLock(&maMutex);
    for (auto it = maEntries.begin(); it != maEntries.end(); ++it) {
        if (it->aKey == irKey) {
            maEntries.splice(maEntries.begin(), maEntries, it);
            iraBytes = maEntries.front().aBytes;
            return true;
        }
    }
    return false;
}

void DecodedMemberCache::insert(const Key& irKey, const QByteArray& iaBytes)
{
    QMutexLocker aLock(&maMutex);
    for (auto it = maEntries.begin(); it != maEntries.end(); ++it) {
        if (it->aKey == irKey) {
            mnHeldBytes -= it->aBytes.size();
            maEntries.erase(it);
            break;
        }
    }
    if (mnMaxMembers <= 0 || iaBytes.size() > mnMaxBytes)
        return;
    while (!maEntries.empty()
           && (int(maEntries.size()) >= mnMaxMembers || mnHeldBytes + iaBytes.size() > mnMaxBytes)) {
        mnHeldBytes -= maEntries.back().aBytes.size();
        maEntries.pop_back();
    }
    maEntries.push_front({irKey, iaBytes});
    mnHeldBytes += iaBytes.size();
}

void DecodedMemberCache::clear()
{
    QMutexLocker aLock(&maMutex);
    maEntries.clear();
    mnHeldBytes = 0;
}

qint64 DecodedMemberCache::heldBytes() const
{
    QMutexLocker aLock(&maMutex);
    return mnHeldBytes;
}

int DecodedMemberCache::heldMembers() const
{
    QMutexLocker aLock(&maMutex);
    return int(maEntries.size());
}
