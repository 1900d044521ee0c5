// The cache of decoded members: least recently used members go first, both
// bounds hold after every insert, and nothing of another opening or file
// state is served.
#include "DecodedMemberCache.h"

#include <QtTest>

namespace {

DecodedMemberCache::Key key(const QString& isMember, quint64 inOpening = 1, qint64 inModified = 1000)
{
    return {QStringLiteral("/tmp/a.pkg"), 4096, inModified, inOpening, isMember};
}

bool holds(DecodedMemberCache& irCache, const DecodedMemberCache::Key& irKey, const QByteArray& iaExpected)
{
    QByteArray aBytes;
    return irCache.find(irKey, aBytes) && aBytes == iaExpected;
}

} // namespace

class TestDecodedMemberCache : public QObject
{
    Q_OBJECT

private slots:
    void leastRecentlyUsedGoesFirst();
    void byteBound();
    void keyTellsOpeningsAndFileStatesApart();
};

void TestDecodedMemberCache::leastRecentlyUsedGoesFirst()
{
    DecodedMemberCache cache(2, 1000);
    cache.insert(key("/a"), "aaaa");
    cache.insert(key("/b"), "bbbb");
    QVERIFY(holds(cache, key("/a"), "aaaa")); // /a is now the most recent
    cache.insert(key("/c"), "cccc");
    QVERIFY(holds(cache, key("/a"), "aaaa"));
    QVERIFY(holds(cache, key("/c"), "cccc"));
    QVERIFY(!holds(cache, key("/b"), "bbbb"));
    QCOMPARE(cache.heldMembers(), 2);
    QCOMPARE(cache.heldBytes(), 8);

    // Inserting a held member again replaces it without taking a place.
    cache.insert(key("/a"), "AAAAAA");
    QCOMPARE(cache.heldMembers(), 2);
    QCOMPARE(cache.heldBytes(), 10);
    QVERIFY(holds(cache, key("/a"), "AAAAAA"));

    cache.clear();
    QCOMPARE(cache.heldMembers(), 0);
    QCOMPARE(cache.heldBytes(), 0);
    QVERIFY(!holds(cache, key("/a"), "AAAAAA"));
}

void TestDecodedMemberCache::byteBound()
{
    DecodedMemberCache cache(4, 10);
    cache.insert(key("/a"), "aaaa");
    cache.insert(key("/b"), "bbbb");
    cache.insert(key("/c"), "cccccc"); // 14 bytes would be too many: /a goes
    QVERIFY(!holds(cache, key("/a"), "aaaa"));
    QVERIFY(holds(cache, key("/b"), "bbbb"));
    QCOMPARE(cache.heldBytes(), 10);
    cache.insert(key("/d"), QByteArray(10, 'd')); // exactly the bound: alone
    QCOMPARE(cache.heldMembers(), 1);
    QCOMPARE(cache.heldBytes(), 10);
    // Above the bound: not kept, and what was held for it goes too.
    cache.insert(key("/d"), QByteArray(11, 'd'));
    QCOMPARE(cache.heldMembers(), 0);
    QCOMPARE(cache.heldBytes(), 0);
}

void TestDecodedMemberCache::keyTellsOpeningsAndFileStatesApart()
{
    DecodedMemberCache cache(4, 1000);
    cache.insert(key("/a"), "first");
    QVERIFY(holds(cache, key("/a"), "first"));
    QVERIFY(!holds(cache, key("/a", 2), "first"));
    QVERIFY(!holds(cache, key("/a", 1, 2000), "first"));
    DecodedMemberCache::Key other = key("/a");
    other.nPackageSize = 8192;
    QVERIFY(!holds(cache, other, "first"));
    other = key("/a");
    other.sPackage = QStringLiteral("/tmp/b.pkg");
    QVERIFY(!holds(cache, other, "first"));
}

QTEST_GUILESS_MAIN(TestDecodedMemberCache)
#include "tst_decoded_member_cache.moc"
