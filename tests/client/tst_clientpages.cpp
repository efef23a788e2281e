// Widget-free parts behind the WebBox window and the graphic-free browser: link
// resolution, page text decoding, and the WebBox saves that keep the server's changes.
#include "support/testhome.h"

#include "client/core/linkresolver.h"
#include "client/core/storedpage.h"
#include "client/core/webboxrows.h"
#include "store/webbox.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::LinkAction;

namespace {

pw::WebBoxEntry entry(int n, bool read = false)
{
    return {u"Page %1"_s.arg(n),         u"http://a.example/%1.html"_s.arg(n), u"*"_s, QString::number(100 + n),
            u"/d/News/p%1.htm"_s.arg(n), u"3/%1/1999 9:05:12 PM"_s.arg(n),     read};
}

QByteArray fileOf(const QList<pw::WebBoxEntry> &entries)
{
    QByteArray out = pw::webBoxHeader(u"News"_s);
    for (const pw::WebBoxEntry &e : entries)
        out += pw::formatWebBoxRecord(e);
    return out;
}

} // namespace

class TestClientPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitPageUrl_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("siteRoot");
        QTest::addColumn<QString>("base");
        QTest::newRow("file in a directory")
            << u"http://h.example/a/b/page.htm"_s << u"http://h.example"_s << u"http://h.example/a/b/"_s;
        QTest::newRow("directory") << u"http://h.example/a/"_s << u"http://h.example"_s << u"http://h.example/a/"_s;
        QTest::newRow("host only") << u"http://h.example"_s << u"http://h.example"_s << u"http://h.example/"_s;
        QTest::newRow("secure with port")
            << u"https://h.example:8443/x/y"_s << u"https://h.example:8443"_s << u"https://h.example:8443/x/"_s;
    }

    void splitPageUrl()
    {
        QFETCH(QString, url);
        QFETCH(QString, siteRoot);
        QFETCH(QString, base);
        const pw::client::StoredPageAddress page = pw::client::splitPageUrl(url);
        QVERIFY(page.ok);
        QCOMPARE(page.siteRoot, siteRoot);
        QCOMPARE(page.base, base);
        QVERIFY(!pw::client::splitPageUrl(u"h.example/a"_s).ok);
    }

    void links_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("pointer");
        const QString deep = u"http://h.example/a/b/c/index.html"_s;
        const int open = LinkAction::Open;
        QTest::newRow("sibling file") << u"http://h.example/a/page.htm"_s << u"next.htm"_s << open
                                      << u"http://h.example/a/next.htm"_s << u"http://h.example/a/next.htm"_s;
        QTest::newRow("host-only page") << u"http://h.example"_s << u"x.htm"_s << open << u"http://h.example/x.htm"_s
                                        << u"http://h.example/x.htm"_s;
        QTest::newRow("two levels up") << deep << u"../../x.htm"_s << open << u"http://h.example/a/b/../x.htm"_s
                                       << u"http://h.example/a/x.htm"_s;
        QTest::newRow("above the root stays at the host")
            << u"http://h.example/a/p.htm"_s << u"../../../x.htm"_s << open << u"http://h.example/../../x.htm"_s
            << u"http://h.example/x.htm"_s;
        QTest::newRow("one level up from the host") << u"http://h.example/"_s << u"../x.htm"_s << open
                                                    << u"http://h.example/x.htm"_s << u"http://h.example/x.htm"_s;
        QTest::newRow("site path") << deep << u"/top.htm"_s << open << u"http://h.example/top.htm"_s
                                   << u"http://h.example/top.htm"_s;
        QTest::newRow("dot path") << deep << u"/./top.htm"_s << open << u"http://h.example/top.htm"_s
                                  << u"http://h.example/top.htm"_s;
        QTest::newRow("dot relative") << deep << u"./here.htm"_s << open << u"http://h.example/a/b/c/here.htm"_s
                                      << u"http://h.example/a/b/c/here.htm"_s;
        QTest::newRow("absolute") << deep << u"http://other.example/"_s << open << u"http://other.example/"_s
                                  << u"http://other.example/"_s;
        QTest::newRow("secure in lower case")
            << deep << u"https://s.example/"_s << open << u"https://s.example/"_s << u"https://s.example/"_s;
        QTest::newRow("secure in capitals")
            << deep << u"HTTPS://S.EXAMPLE/"_s << open << u"HTTPS://S.EXAMPLE/"_s << u"HTTPS://S.EXAMPLE/"_s;
        QTest::newRow("protocol-relative takes the page's scheme")
            << u"https://h.example/a/"_s << u"//cdn.example/x"_s << open << u"https://cdn.example/x"_s
            << u"https://cdn.example/x"_s;
        QTest::newRow("secure page keeps its scheme going up")
            << u"https://h.example/a/b/"_s << u"../x.htm"_s << open << u"https://h.example/a/x.htm"_s
            << u"https://h.example/a/x.htm"_s;
        QTest::newRow("javascript is relative")
            << deep << u"javascript:go()"_s << open << u"http://h.example/a/b/c/javascript:go()"_s
            << u"http://h.example/a/b/c/javascript:go()"_s;
        QTest::newRow("mail") << deep << u"MAILTO:me@example.org"_s << int(LinkAction::Unsupported) << QString()
                              << u"MAILTO:me@example.org"_s;
        QTest::newRow("ftp") << deep << u"ftp://f.example/"_s << int(LinkAction::Unsupported) << QString()
                             << u"ftp://f.example/"_s;
        QTest::newRow("empty") << deep << QString() << int(LinkAction::Nothing) << QString() << QString();
        QTest::newRow("page without scheme, climbing")
            << u"h.example/a/"_s << u"../x.htm"_s << int(LinkAction::Unparsable) << QString() << QString();
    }

    void links()
    {
        QFETCH(QString, page);
        QFETCH(QString, link);
        QFETCH(int, kind);
        QFETCH(QString, click);
        QFETCH(QString, pointer);
        const pw::client::StoredPageAddress address = pw::client::splitPageUrl(page);
        const LinkAction action = pw::client::resolveClick(link, address);
        QCOMPARE(int(action.kind), kind);
        QCOMPARE(action.url, click);
        QCOMPARE(pw::client::resolvePointer(link, address), pointer);
    }

    void pageText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8 without declaration") << QByteArray("<p>caf\xc3\xa9</p>") << u"<p>café</p>"_s;
        QTest::newRow("windows-1252 bytes")
            << QByteArray("<p>\x93quoted\x94 caf\xe9</p>") << u"<p>\u201cquoted\u201d café</p>"_s;
        QTest::newRow("declared latin-1 read as windows-1252")
            << QByteArray("<meta charset=\"iso-8859-1\"><p>\x80 5</p>") << u"<meta charset=\"iso-8859-1\"><p>€ 5</p>"_s;
        QTest::newRow("utf-16 with byte order mark") << QByteArray("\xff\xfe<\0p\0>\0", 8) << u"<p>"_s;
    }

    void pageText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(pw::client::decodeStoredPage(bytes), text);
    }

    void webBoxSaveKeepsTheServersChanges()
    {
        pwtest::TestHome home;
        const QString path = home.writeFile(u"News.wbx"_s, fileOf({entry(1), entry(2), entry(3)}));
        pw::client::WebBoxRows rows;
        QList<pw::WebBoxEntry> shown = rows.load(path).rows;
        QCOMPARE(shown.size(), 3);

        // The window deletes row 2 and reads row 1; meanwhile the server appends row 4.
        shown.removeAt(1);
        shown[0].read = true;
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(4)));
        pw::client::WebBoxRows::Merged merged;
        QVERIFY(rows.save(path, u"News"_s, shown, &merged));
        QCOMPARE(merged.added, QList<pw::WebBoxEntry>{entry(4)});
        QVERIFY(merged.removed.isEmpty());
        QList<pw::WebBoxEntry> expected = {entry(1, true), entry(3), entry(4)};
        QCOMPARE(pw::readWebBox(path, pw::ReaderSide::Client).entries, expected);

        // The server's keep-only-latest cleanup removes row 3 and adds row 5; the window,
        // not yet knowing, saves its rows (now with row 4 shown): row 3 stays gone.
        QVERIFY(pw::writeLocked(path, fileOf({entry(1, true), entry(4), entry(5)})));
        shown = expected;
        QVERIFY(rows.save(path, u"News"_s, shown, &merged));
        QCOMPARE(merged.removed, QList<pw::WebBoxEntry>{entry(3)});
        QCOMPARE(merged.added, QList<pw::WebBoxEntry>{entry(5)});
        expected = {entry(1, true), entry(4), entry(5)};
        QCOMPARE(pw::readWebBox(path, pw::ReaderSide::Client).entries, expected);

        // A row the window took from the server's update is not added a second time.
        QVERIFY(pw::appendWebBox(path, u"News"_s, entry(6)));
        rows.noteShown(entry(6));
        shown = expected + QList<pw::WebBoxEntry>{entry(6)};
        QVERIFY(rows.save(path, u"News"_s, shown, &merged));
        QVERIFY(merged.added.isEmpty());
        QCOMPARE(pw::readWebBox(path, pw::ReaderSide::Client).entries.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestClientPages)
#include "tst_clientpages.moc"
