#include "support/testhome.h"

#include "store/paths.h"
#include "store/urllist.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// One record as the editor writes it, with the given description and URL.
QByteArray record(const QByteArray &description, const QByteArray &url, const QByteArray &eol = "\r\n")
{
    const QList<QByteArray> lines{"[ENTRY]",
                                  "Description=" + description,
                                  "URL=" + url,
                                  "Last Modified=*",
                                  "Size=*",
                                  "Username=",
                                  "Password=",
                                  "KeepOne=TRUE",
                                  "SizePriority=FALSE",
                                  "Highlighting=TRUE",
                                  "Delay=180",
                                  "TimeOut=120",
                                  "HighlightColor=clYellow",
                                  "KeywordColor=clRed",
                                  "Keywording=FALSE",
                                  "KeywordsToHighlight=news \"big deal\"",
                                  "WordChecked=TRUE",
                                  "CaseSensitive=FALSE",
                                  "SizeThreshold=500"};
    return lines.join(eol) + eol;
}

const QByteArray kHeader = "notice\r\nNorvane Software's Pagewarden\r\nURL List: News\r\n\r\n";

QStringList urls(const QList<pw::UrlEntry> &entries)
{
    QStringList out;
    for (const pw::UrlEntry &e : entries)
        out.append(e[pw::UrlEntry::Url]);
    return out;
}

} // namespace

class TestUrlList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsRecords_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("serverUrls");
        QTest::addColumn<QStringList>("clientUrls");
        QTest::addColumn<int>("serverStatus");

        const QStringList ab{u"http://a/"_s, u"http://b/"_s};
        QTest::newRow("normal") << kHeader + record("A", "http://a/") + record("B", "http://b/") << ab << ab
                                << int(pw::UrlListRead::Ok);
        QTest::newRow("no header") << record("A", "http://a/") + record("B", "http://b/") << ab << ab
                                   << int(pw::UrlListRead::Ok);
        QTest::newRow("other header") << "junk\r\nmore junk\r\n" + record("A", "http://a/") + record("B", "http://b/")
                                      << ab << ab << int(pw::UrlListRead::Ok);
        QTest::newRow("LF and CR line ends")
            << record("A", "http://a/", "\n") + record("B", "http://b/", "\r") << ab << ab << int(pw::UrlListRead::Ok);

        QByteArray misspelled = record("A", "http://a/");
        misspelled.replace("URL=", "ULR=").replace("Size=", "Sise=");
        QTest::newRow("misspelled keys") << misspelled << QStringList{u"http://a/"_s} << QStringList{u"http://a/"_s}
                                         << int(pw::UrlListRead::Ok);

        QByteArray cutShort = record("B", "http://b/");
        cutShort.chop(QByteArray("SizeThreshold=500\r\n").size());
        QTest::newRow("seventeen lines at the end")
            << record("A", "http://a/") + cutShort << QStringList{u"http://a/"_s} << QStringList{u"http://a/"_s}
            << int(pw::UrlListRead::Ok);

        const QByteArray dead = record("A", "http://a/") + record("Dead", "*") + record("B", "http://b/");
        QTest::newRow("dead record") << dead << QStringList{u"http://a/"_s} << ab << int(pw::UrlListRead::DeadRecord);

        QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList() << int(pw::UrlListRead::Ok);
        QTest::newRow("binary junk") << QByteArray("\0\xff\xfe[ENTRY\r\n\x01\x02", 14) << QStringList() << QStringList()
                                     << int(pw::UrlListRead::Ok);
    }
    void readsRecords()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, serverUrls);
        QFETCH(QStringList, clientUrls);
        QFETCH(int, serverStatus);
        const pw::UrlListRead server = pw::parseUrlList(file, pw::ReaderSide::Server);
        const pw::UrlListRead client = pw::parseUrlList(file, pw::ReaderSide::Client);
        QCOMPARE(int(server.status), serverStatus);
        QCOMPARE(urls(server.entries), serverUrls);
        QCOMPARE(urls(client.entries), clientUrls);
        QCOMPARE(int(client.status), int(pw::UrlListRead::Ok));
    }

    void overlappingRecord()
    {
        // Description written as a bare "[ENTRY]": the first record's values start with
        // it, and a second record starts at that line too.
        QByteArray file = record("A", "http://a/");
        file.replace("Description=A", "[ENTRY]").replace("Last Modified=*", "Last Modified=Tue");
        file += "extra\r\n";
        const pw::UrlListRead read = pw::parseUrlList(file, pw::ReaderSide::Client);
        QCOMPARE(read.entries.size(), 2);
        QCOMPARE(read.entries[0][pw::UrlEntry::Description], u"[ENTRY]"_s);
        QCOMPARE(read.entries[0][pw::UrlEntry::Url], u"http://a/"_s);
        QCOMPARE(read.entries[1][pw::UrlEntry::Description], u"http://a/"_s);
        QCOMPARE(read.entries[1][pw::UrlEntry::Url], u"Tue"_s);
        QCOMPARE(read.entries[1][pw::UrlEntry::SizeThreshold], u"extra"_s);
    }

    void valuesAndDefaults()
    {
        QByteArray file = record("Daily news", "http://a/");
        file.replace("KeepOne=TRUE", "KeepOne=True").replace("Delay=180", "Delay=soon");
        file.replace("Username=", "Username=joe=admin");
        const pw::UrlEntry e = pw::parseUrlList(file, pw::ReaderSide::Server).entries.value(0);
        QCOMPARE(e[pw::UrlEntry::Description], u"Daily news"_s);
        QCOMPARE(e[pw::UrlEntry::Username], u"joe=admin"_s); // everything after the first "="
        QCOMPARE(e[pw::UrlEntry::KeywordsToHighlight], u"news \"big deal\""_s);
        QVERIFY(!e.flag(pw::UrlEntry::KeepOne)); // only "TRUE" is true
        QVERIFY(e.flag(pw::UrlEntry::Highlighting));
        QCOMPARE(e.number(pw::UrlEntry::Delay, 60), 60);
        QCOMPARE(e.number(pw::UrlEntry::TimeOut, 30), 120);
    }

    void writeThenReadRoundTrips()
    {
        pwtest::TestHome home;
        const QString dataDir = pw::paths::dataDir();
        QVERIFY(QDir().mkpath(dataDir));
        pw::UrlEntry a;
        for (int i = 0; i < pw::UrlEntry::kValueCount; ++i)
            a.values[i] = u"value %1 ü"_s.arg(i);
        a[pw::UrlEntry::Url] = u"http://a/"_s;
        pw::UrlEntry b = a;
        b[pw::UrlEntry::Url] = u"http://b/"_s;
        b[pw::UrlEntry::Description] = u"two\r\nlines"_s; // must not break the record
        QVERIFY(pw::writeUrlList(dataDir, u"News"_s, {a, b}));

        const QString path = pw::paths::urlListFile(dataDir, u"News"_s);
        const QByteArray bytes = pwtest::readAll(path);
        QVERIFY(bytes.startsWith(QByteArray("Pagewarden URL List file")));
        QVERIFY(bytes.contains("\r\nNorvane Software's Pagewarden\r\nURL List: News\r\n\r\n[ENTRY]\r\nDescription="));
        QVERIFY(bytes.contains("\r\nSizeThreshold=value 17 \xc3\xbc\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));

        const pw::UrlListRead read = pw::readUrlList(path, pw::ReaderSide::Server);
        QCOMPARE(read.status, pw::UrlListRead::Ok);
        QCOMPARE(read.entries.size(), 2);
        QCOMPARE(read.entries[0], a);
        QCOMPARE(read.entries[1][pw::UrlEntry::Description], u"two  lines"_s);
    }

    void missingFile()
    {
        pwtest::TestHome home;
        QCOMPARE(pw::readUrlList(home.path(u"none.lst"_s), pw::ReaderSide::Server).status, pw::UrlListRead::Missing);
    }

    void hugeJunkFileIsRefused()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"big.lst"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(100 * 1024 * 1024)); // sparse: no disk use
        file.close();
        const pw::UrlListRead read = pw::readUrlList(path, pw::ReaderSide::Client);
        QCOMPARE(read.status, pw::UrlListRead::TooLarge);
        QVERIFY(read.error.contains(u"too large"_s));
        QVERIFY(read.entries.isEmpty());
    }

    void urlKey_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("key");
        QTest::newRow("blank") << u"http://server/a b.html"_s << u"server_a_b_html"_s;
        QTest::newRow("kept punctuation") << u"http://x/it's,a-b_c"_s << u"x_it's,a-b_c"_s;
        QTest::newRow("all replaced") << u"http:// !\"#$%&()*+./:;<=>?@[\\]^`{|}~"_s << QString(29, u'_');
        QTest::newRow("first seven dropped whatever they are") << u"https://host/"_s << u"_host_"_s;
        QTest::newRow("non-ASCII stays") << u"http://bücher.example/ö"_s << u"bücher_example_ö"_s;
        QTest::newRow("short url") << u"http"_s << QString();
    }
    void urlKey()
    {
        QFETCH(QString, url);
        QFETCH(QString, key);
        QCOMPARE(pw::urlKey(url), key);
    }

    void urlKeyIsCutTo200Bytes()
    {
        const QString tail = QString(250, u'x');
        QCOMPARE(pw::urlKey(u"http://"_s + tail), QString(200, u'x'));
        // Characters 8 to 207 only: the 208th does not count.
        QCOMPARE(pw::urlKey(u"http://"_s + QString(200, u'a') + u"b"_s), QString(200, u'a'));
        // A two-byte character that would straddle the limit is left out whole.
        const QString key = pw::urlKey(u"http://"_s + QString(199, u'a') + u"é"_s);
        QCOMPARE(key, QString(199, u'a'));
    }

    void pageName()
    {
        const QDateTime when(QDate(1999, 12, 31), QTime(23, 59, 59));
        QCOMPARE(pw::pageName(u"http://server/news.html"_s, when), u"server_news_html_12_31_1999_11_59_59_PM"_s);
        QCOMPARE(pw::pageName(u"http://a/"_s, QDateTime(QDate(2026, 3, 7), QTime(9, 5, 2))),
                 u"a__3_7_2026_9_05_02_AM"_s);
    }
};

QTEST_GUILESS_MAIN(TestUrlList)
#include "tst_urllist.moc"
