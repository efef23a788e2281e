#include "support/testhome.h"

#include "store/webbox.h"

#include <QtTest>
#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray record(const QByteArray &url, const QByteArray &read = "Read=False", const QByteArray &file = "/w/p1")
{
    return "[URL]\r\nDescription=D\r\nURL=" + url + "\r\nLast Modified=*\r\nSize=12\r\nFile Location=" + file
           + "\r\nDate/Time=3/7/1999 9:05:12 PM\r\n" + read + "\r\n";
}

pw::WebBoxEntry entry(int n)
{
    return {u"Page %1"_s.arg(n),
            u"http://host/%1"_s.arg(n),
            u"Tue, 01 Jan 2026 10:00:00 GMT"_s,
            QString::number(100 + n),
            u"/data/News/page%1"_s.arg(n),
            u"3/7/2026 9:05:12 PM"_s,
            false};
}

QStringList urls(const QList<pw::WebBoxEntry> &entries)
{
    QStringList out;
    for (const auto &e : entries)
        out.append(e.url);
    return out;
}

} // namespace

class TestWebBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readSpellings_data()
    {
        QTest::addColumn<QByteArray>("readLine");
        QTest::addColumn<bool>("read");
        QTest::newRow("True") << QByteArray("Read=True") << true;
        QTest::newRow("TRUE") << QByteArray("Read=TRUE") << true;
        QTest::newRow("true") << QByteArray("Read=true") << true;
        QTest::newRow("False") << QByteArray("Read=False") << false;
        QTest::newRow("Yes") << QByteArray("Read=Yes") << false;
        QTest::newRow("no equals sign") << QByteArray("true") << true;
        QTest::newRow("trailing blank") << QByteArray("Read=True ") << false;
    }
    void readSpellings()
    {
        QFETCH(QByteArray, readLine);
        QFETCH(bool, read);
        const pw::WebBoxRead r = pw::parseWebBox(record("http://a/", readLine), pw::ReaderSide::Client);
        QCOMPARE(r.entries.size(), 1);
        QCOMPARE(r.entries[0].read, read);
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("serverUrls");
        QTest::addColumn<QStringList>("clientUrls");
        QTest::addColumn<int>("dead");
        QTest::addColumn<bool>("serverStopped");

        const QStringList ab{u"http://a/"_s, u"http://b/"_s};
        QTest::newRow("no header") << record("http://a/") + record("http://b/") << ab << ab << 0 << false;
        QTest::newRow("same URL twice") << record("http://a/") + record("http://a/")
                                        << QStringList{u"http://a/"_s, u"http://a/"_s}
                                        << QStringList{u"http://a/"_s, u"http://a/"_s} << 0 << false;
        QTest::newRow("dead URL") << record("http://a/") + record("*") + record("http://b/") << ab << ab << 1 << false;
        QTest::newRow("dead file") << record("http://a/", "Read=False", "*") + record("http://b/")
                                   << QStringList{u"http://b/"_s} << QStringList{u"http://b/"_s} << 1 << false;

        // A record cut short by the end of the file: the server stops there, the client
        // passes over it.
        const QByteArray cut = "[URL]\r\nDescription=D\r\nURL=http://x/\r\n";
        QTest::newRow("cut short at the end")
            << record("http://a/") + cut << QStringList{u"http://a/"_s} << QStringList{u"http://a/"_s} << 0 << true;
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, serverUrls);
        QFETCH(QStringList, clientUrls);
        QFETCH(int, dead);
        QFETCH(bool, serverStopped);
        const pw::WebBoxRead server = pw::parseWebBox(file, pw::ReaderSide::Server);
        const pw::WebBoxRead client = pw::parseWebBox(file, pw::ReaderSide::Client);
        QCOMPARE(urls(server.entries), serverUrls);
        QCOMPARE(urls(client.entries), clientUrls);
        QCOMPARE(client.deadRecords, dead);
        QCOMPARE(server.truncated, serverStopped);
        QVERIFY(!client.truncated);
    }

    void appendCreatesHeaderThenAppends()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"News.wbx"_s);
        pw::WebBoxEntry first = entry(1);
        first.read = true; // the server's appends always say unread
        QVERIFY(pw::appendWebBox(path, u"News"_s, first));
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(2)));
        const QByteArray bytes = pwtest::readAll(path);
        QVERIFY(bytes.startsWith("Pagewarden WebBox file"));
        QVERIFY(
            bytes.contains("\r\nNorvane Software's Pagewarden\r\nWebBox: News\r\n\r\n[URL]\r\nDescription=Page 1\r\n"
                           "URL=http://host/1\r\nLast Modified=Tue, 01 Jan 2026 10:00:00 GMT\r\nSize=101\r\n"
                           "File Location=/data/News/page1\r\nDate/Time=3/7/2026 9:05:12 PM\r\nRead=False\r\n"
                           "[URL]\r\n"));
        const pw::WebBoxRead read = pw::readWebBox(path, pw::ReaderSide::Server);
        QCOMPARE(read.entries, (QList<pw::WebBoxEntry>{entry(1), entry(2)}));
    }

    void appendAfterALineWithoutEnd()
    {
        pwtest::TestHome home;
        const QString path = home.writeFile(u"News.wbx"_s, "header\r\n" + record("http://a/") + "stray text");
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(1)));
        QCOMPARE(urls(pw::readWebBox(path, pw::ReaderSide::Server).entries),
                 (QStringList{u"http://a/"_s, u"http://host/1"_s}));
    }

    void rewriteKeepsOrderAndReadMarks()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"News.wbx"_s);
        QList<pw::WebBoxEntry> entries{entry(3), entry(1), entry(2)};
        entries[1].read = true;
        QVERIFY(pw::rewriteWebBox(path, u"News"_s, entries));
        QVERIFY(pwtest::readAll(path).contains("Read=True\r\n"));
        QCOMPARE(pw::readWebBox(path, pw::ReaderSide::Client).entries, entries);
    }

    // The client rewrites from what it loaded; an entry the server appended in between
    // must survive.
    void rewriteKeepsRecordsAppendedMeanwhile()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"News.wbx"_s);
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(1)));
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(2)));
        pw::WebBoxRead loaded = pw::readWebBox(path, pw::ReaderSide::Client);
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(3))); // the server, meanwhile
        loaded.entries.removeFirst();                         // the user deletes one
        QVERIFY(pw::rewriteWebBox(path, u"News"_s, loaded.entries, loaded.snapshot));
        QCOMPARE(urls(pw::readWebBox(path, pw::ReaderSide::Client).entries),
                 (QStringList{u"http://host/2"_s, u"http://host/3"_s}));
    }

    void rewriteOfAMissingFileKeepsLaterAppends()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"News.wbx"_s);
        const pw::WebBoxRead loaded = pw::readWebBox(path, pw::ReaderSide::Client);
        QCOMPARE(loaded.status, pw::WebBoxRead::Missing);
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(1)));
        QVERIFY(pw::rewriteWebBox(path, u"News"_s, loaded.entries, loaded.snapshot));
        QCOMPARE(urls(pw::readWebBox(path, pw::ReaderSide::Client).entries), QStringList{u"http://host/1"_s});
    }

    // Many writers appending at once, from threads of this process: no record is lost or
    // interleaved.
    void concurrentAppendsLoseNothing()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"News.wbx"_s);
        constexpr int kWriters = 8;
        constexpr int kEach = 25;
        std::atomic<int> appended{0};
        std::vector<std::thread> writers;
        for (int w = 0; w < kWriters; ++w) {
            writers.emplace_back([&appended, path, w] {
                for (int i = 0; i < kEach; ++i)
                    appended += pw::appendWebBox(path, u"News"_s, entry(w * 1000 + i)) ? 1 : 0;
            });
        }
        for (auto &t : writers)
            t.join();
        QCOMPARE(appended.load(), kWriters * kEach);
        const pw::WebBoxRead read = pw::readWebBox(path, pw::ReaderSide::Server);
        QCOMPARE(read.entries.size(), kWriters * kEach);
        QCOMPARE(read.deadRecords, 0);
        QSet<QString> seen;
        for (const auto &e : read.entries) {
            const int n = e.url.section(u'/', -1).toInt();
            QCOMPARE(e, entry(n));
            seen.insert(e.url);
        }
        QCOMPARE(seen.size(), kWriters * kEach);
    }
};

QTEST_GUILESS_MAIN(TestWebBox)
#include "tst_webbox.moc"
