#include "support/testhome.h"

#include "store/paths.h"
#include "store/settings.h"
#include "store/treeindex.h"
#include "store/webboxeslist.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<pw::TreeItem>)

class TestTreeIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheExampleByteForByte()
    {
        const QList<pw::TreeItem> tree{{0, u"Pagewarden"_s}, {1, u"News"_s}, {2, u"Daily"_s}, {1, u"Prices"_s}};
        QCOMPARE(pw::formatTreeIndex(tree), QByteArray("Pagewarden\r\n\tNews\r\n\t\tDaily\r\n\tPrices\r\n"));
    }

    void threeLevelsRoundTrip()
    {
        pwtest::TestHome home;
        const QList<pw::TreeItem> tree{{0, u"Pagewarden"_s}, {1, u"Folder A"_s}, {2, u"Sub"_s},     {3, u"Deep list"_s},
                                       {2, u"List 2"_s},     {1, u"Folder B"_s}, {2, u"Ünïcode"_s}, {1, u"Last"_s}};
        const QString path = home.path(u"index.ctl"_s);
        QVERIFY(pw::writeTreeIndex(path, tree));
        const pw::TreeRead read = pw::readTreeIndex(path);
        QVERIFY(read.ok);
        QCOMPARE(read.items, tree);
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<pw::TreeItem>>("items");
        QTest::addColumn<QString>("error");
        using L = QList<pw::TreeItem>;
        QTest::newRow("empty") << QByteArray() << true << L{} << QString();
        QTest::newRow("blanks give depth")
            << QByteArray("Pagewarden\n News\n  Daily\n Prices\n") << true
            << L{{0, u"Pagewarden"_s}, {1, u"News"_s}, {2, u"Daily"_s}, {1, u"Prices"_s}} << QString();
        QTest::newRow("tab and blank count one each")
            << QByteArray("R\n\tA\n\t B\n") << true << L{{0, u"R"_s}, {1, u"A"_s}, {2, u"B"_s}} << QString();
        QTest::newRow("tab and blank too deep")
            << QByteArray("R\r\t A\r\n") << false << L{} << u"Invalid level (2) for item \"A\""_s;
        QTest::newRow("first line indented")
            << QByteArray("\t\tRoot\n\tChild\n") << true << L{{0, u"Root"_s}, {1, u"Child"_s}} << QString();
        QTest::newRow("shallower jumps back")
            << QByteArray("R\n\tA\n\t\tB\n\t\t\tC\nD\n") << true
            << L{{0, u"R"_s}, {1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}, {0, u"D"_s}} << QString();
        QTest::newRow("trailing blanks kept")
            << QByteArray("R\n\tA \n") << true << L{{0, u"R"_s}, {1, u"A "_s}} << QString();
        QTest::newRow("two levels deeper") << QByteArray("Pagewarden\r\n\tNews\r\n\t\t\tDaily\r\n") << false << L{}
                                           << u"Invalid level (3) for item \"Daily\""_s;
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, ok);
        QFETCH(QList<pw::TreeItem>, items);
        QFETCH(QString, error);
        const pw::TreeRead read = pw::parseTreeIndex(file);
        QCOMPARE(read.ok, ok);
        QCOMPARE(read.error, error);
        QCOMPARE(read.items, items);
    }

    void webBoxesListKeepsNamesWithFolders()
    {
        pwtest::TestHome home;
        const QString dataDir = pw::paths::dataDir();
        for (const char *name : {"News", "Prices", "..", "Shop"})
            QDir().mkpath(dataDir + QString::fromLatin1(name));
        auto store = pw::paths::openSettings();
        store->beginGroup(u"WebBoxes"_s);
        store->setValue(u"Count"_s, u"8"_s);
        store->setValue(u"0"_s, u"News"_s);
        store->setValue(u"1"_s, QString()); // skipped; numbering goes on
        store->setValue(u"2"_s, u"Gone"_s); // no folder
        store->setValue(u"3"_s, u"Prices"_s);
        store->setValue(u"4"_s, u".."_s);   // never a URL List
        store->setValue(u"5"_s, u"news"_s); // repeats News ignoring case
        store->setValue(u"6"_s, u"a/b"_s);
        store->setValue(u"7"_s, u"Shop"_s);
        store->setValue(u"8"_s, u"Stale"_s); // past the count
        store->endGroup();
        const pw::WebBoxesList list = pw::loadWebBoxesList(*store, dataDir);
        QVERIFY(list.countValid);
        QCOMPARE(list.names, (QStringList{u"News"_s, u"Prices"_s, u"Shop"_s}));
        QVERIFY(pw::containsListName(list.names, u"PRICES"_s));
        QCOMPARE(pw::storedListName(list.names, u"shop"_s), u"Shop"_s);
        QVERIFY(!pw::containsListName(list.names, u"Gone"_s));
    }

    void webBoxesListWithBadCount()
    {
        pwtest::TestHome home;
        auto store = pw::paths::openSettings();
        store->setValue(u"WebBoxes/Count"_s, u"three"_s);
        const pw::WebBoxesList list = pw::loadWebBoxesList(*store, pw::paths::dataDir());
        QVERIFY(!list.countValid);
        QVERIFY(list.names.isEmpty());
    }

    void saveThenLoadWebBoxesList()
    {
        pwtest::TestHome home;
        const QString dataDir = pw::paths::dataDir();
        const QStringList names{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s};
        for (const QString &n : names)
            QDir().mkpath(dataDir + n);
        auto store = pw::paths::openSettings();
        pw::saveWebBoxesList(*store, names);
        pw::saveWebBoxesList(*store, names.mid(0, 3));
        store->sync();
        auto fresh = pw::paths::openSettings();
        QCOMPARE(pw::loadWebBoxesList(*fresh, dataDir).names, names.mid(0, 3));
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << u"News"_s << true;
        QTest::newRow("punctuation allowed") << u"it's,a-b_c.d"_s << true;
        QTest::newRow("dot") << u"."_s << false;
        QTest::newRow("dots") << u"..."_s << false;
        QTest::newRow("slash") << u"a/b"_s << false;
        QTest::newRow("backslash") << u"a\\b"_s << false;
        QTest::newRow("control") << u"a\tb"_s << false;
        QTest::newRow("index file") << u"INDEX.CTL"_s << false;
        QTest::newRow("window list") << u"window.lst"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(pw::isSafeListName(name), safe);
    }
};

QTEST_GUILESS_MAIN(TestTreeIndex)
#include "tst_treeindex.moc"
