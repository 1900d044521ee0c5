#pragma once
#include <QByteArray>
#include <QMutex>
#include <QString>

#include <list>

// The members decoded last (decrypted and inflated, nothing more), so that
// asking again for the same recording, as a zoom into its waveform does,
// does not pay for decryption and inflation again. Bounded both in members
// and in bytes; a member above the byte bound is never held. Entries share
// their bytes with the callers, so a hit costs no copy. Thread-safe.
class DecodedMemberCache
{
public:
    // Which package file (its path, size and modification time as the
    // package saw them, and the opening they belong to) and which member.
    struct Key
    {
        QString sPackage;
        qint64 nPackageSize = -1;
        qint64 nModified = -1;
        quint64 nOpening = 0;
        QString sMember;

        bool operator==(const Key& irOther) const;
    };

    DecodedMemberCache(int inMaxMembers, qint64 inMaxBytes);

    qint64 maxBytes() const { return mnMaxBytes; }
    // The bytes held for irKey into iraBytes; false when there are none.
    bool find(const Key& irKey, QByteArray& iraBytes);
    // Keeps iaBytes for irKey, dropping the least recently used members
    // until both bounds hold; a member above the byte bound is not kept.
    void insert(const Key& irKey, const QByteArray& iaBytes);
    void clear();
    qint64 heldBytes() const;
    int heldMembers() const;

private:
    struct Entry
    {
        Key aKey;
        QByteArray aBytes;
    };

    const int mnMaxMembers;
    const qint64 mnMaxBytes;
    mutable QMutex maMutex;
    std::list<Entry> maEntries; // most recently used first
    qint64 mnHeldBytes = 0;
};
