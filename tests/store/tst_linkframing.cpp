#include "store/linkframing.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Lines = QList<QByteArray>;

class TestLinkFraming : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<int>("pending");
        QTest::newRow("one line") << QList<QByteArray>{"GETALL\n"} << Lines{"GETALL"} << 0;
        QTest::newRow("two in one read") << QList<QByteArray>{"RETR News\nGETALL\n"} << Lines{"RETR News", "GETALL"}
                                         << 0;
        QTest::newRow("split across reads")
            << QList<QByteArray>{"REFRE", "SHLIST", "\nCLIENT"} << Lines{"REFRESHLIST"} << 6;
        QTest::newRow("CR LF from a terminal") << QList<QByteArray>{"GETALL\r\n"} << Lines{"GETALL"} << 0;
        QTest::newRow("empty line") << QList<QByteArray>{"\n"} << Lines{""} << 0;
        QTest::newRow("CR LF split across reads") << QList<QByteArray>{"GETALL\r", "\nDUN\r"} << Lines{"GETALL"} << 4;
        QTest::newRow("lone CR stays") << QList<QByteArray>{"A\r", "B\n"} << Lines{"A\rB"} << 0;
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(Lines, lines);
        QFETCH(int, pending);
        pw::link::LineFramer framer;
        Lines got;
        for (const QByteArray &chunk : chunks)
            got += framer.feed(chunk);
        QCOMPARE(got, lines);
        QCOMPARE(framer.pendingBytes(), qsizetype(pending));
    }

    void longLinesAreCutAtTheLimit()
    {
        pw::link::LineFramer framer;
        const QByteArray big(pw::link::kMaxLine * 2 + 10, 'x');
        // Two full lines are out; the third holds 10 bytes and waits for its end.
        Lines got = framer.feed(big);
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0].size(), pw::link::kMaxLine);
        QCOMPARE(framer.pendingBytes(), qsizetype(10));
        got = framer.feed("\nNEXT\n");
        QCOMPARE(got, (Lines{QByteArray(10, 'x'), "NEXT"}));

        // Exactly the limit followed by its line end: one line, no empty extra.
        pw::link::LineFramer exact;
        QCOMPARE(exact.feed(QByteArray(QByteArray(pw::link::kMaxLine, 'y') + '\n')).size(), 1);
        QCOMPARE(exact.feed(QByteArray(QByteArray(pw::link::kMaxLine, 'y') + "\r\n")).size(), 1);
        // The same, its CR and LF arriving in reads of their own.
        QCOMPARE(exact.feed(QByteArray(pw::link::kMaxLine, 'y')).size(), 0);
        QCOMPARE(exact.feed("\r").size(), 0);
        QCOMPARE(exact.feed("\n"), Lines{QByteArray(pw::link::kMaxLine, 'y')});
    }

    void overlongLinesCanBeDropped()
    {
        pw::link::LineFramer framer(pw::link::LineFramer::Overlong::Discard);
        Lines got = framer.feed(QByteArray(pw::link::kMaxLine + 5, 'x'));
        got += framer.feed(QByteArray(3 * pw::link::kMaxLine, 'y'));
        got += framer.feed("still the same line\nGETALL\n");
        QCOMPARE(got, Lines{"GETALL"});
        // A line of exactly the limit is kept.
        QCOMPARE(framer.feed(QByteArray(QByteArray(pw::link::kMaxLine, 'z') + '\n')),
                 Lines{QByteArray(pw::link::kMaxLine, 'z')});
    }

    void frameLine()
    {
        QCOMPARE(pw::link::frameLine(u"RETR News"_s), QByteArray("RETR News\n"));
        QCOMPARE(pw::link::frameLine(u"two\nlines"_s), QByteArray("two lines\n"));
        // Cut on a character boundary: 16383 ASCII bytes then a two-byte character.
        const QByteArray framed = pw::link::frameLine(QString(pw::link::kMaxLine - 1, u'a') + u"é"_s);
        QCOMPARE(framed.size(), pw::link::kMaxLine);
        QVERIFY(framed.endsWith("a\n"));
    }

    void messageTexts()
    {
        QCOMPARE(pw::link::transferInfoLine(3, 1, 2, 0),
                 u"TRANSFERINFO Last Retrieval: [Completed:3] [New/Modified:1] [Unchanged:2] [Errors:0]"_s);
        QCOMPARE(pw::link::stateLine(pw::link::kTransferActive, true), u"TRANSFERACTIVE TRUE"_s);
        QCOMPARE(pw::link::stateLine(pw::link::kDunConnecting, false), u"DUNCONNECTING FALSE"_s);
        QCOMPARE(pw::link::retrieveLine(u"News"_s), u"RETR News"_s);
    }

    void updateBlocks()
    {
        const QStringList inbox =
            pw::link::inboxUpdateBlock({u"News"_s, u"Daily"_s, u"http://a/"_s, u"3/7/1999 9:05:12 PM"_s,
                                        u" Not Available "_s, u"1234"_s, u"/d/News/a_x"_s, true});
        QCOMPARE(inbox,
                 (QStringList{u"BEGININBOXUPDATE"_s, u"News"_s, u"Daily"_s, u"http://a/"_s, u"3/7/1999 9:05:12 PM"_s,
                              u"*"_s, u"1234"_s, u"/d/News/a_x"_s, u"TRUE"_s, u"ENDINBOXUPDATE"_s}));
        QCOMPARE(pw::link::editUpdateBlock({u"News"_s, u"http://a/"_s, QString(), u"12"_s}),
                 (QStringList{u"BEGINEDITUPDATE"_s, u"News"_s, u"http://a/"_s, u"*"_s, u"12"_s, u"ENDEDITUPDATE"_s}));
        QCOMPARE(pw::link::reportUpdateBlock({u"3/7/1999 9:05:12 PM"_s, u"News"_s, u"/r/x"_s}),
                 (QStringList{u"BEGINREPORTUPDATE"_s, u"3/7/1999 9:05:12 PM"_s, u"News"_s, u"/r/x"_s,
                              u"ENDREPORTUPDATE"_s}));
    }

    void inboxLastModified_data()
    {
        QTest::addColumn<QString>("received");
        QTest::addColumn<QString>("carried");
        QTest::newRow("date") << u" Tue, 01 Jan 2026 10:00:00 GMT "_s << u"Tue, 01 Jan 2026 10:00:00 GMT"_s;
        QTest::newRow("empty") << QString() << u"*"_s;
        QTest::newRow("one character") << u"x"_s << u"*"_s;
        QTest::newRow("two characters") << u"xy"_s << u"xy"_s;
        QTest::newRow("Not Available") << u"Not Available"_s << u"*"_s;
    }
    void inboxLastModified()
    {
        QFETCH(QString, received);
        QFETCH(QString, carried);
        QCOMPARE(pw::link::inboxLastModified(received), carried);
    }
};

QTEST_GUILESS_MAIN(TestLinkFraming)
#include "tst_linkframing.moc"
