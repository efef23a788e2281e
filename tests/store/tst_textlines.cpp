#include "store/textlines.h"

#include <QtTest>

using Lines = QList<QByteArray>;

class TestTextLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("empty") << QByteArray() << Lines{};
        QTest::newRow("no end") << QByteArray("abc") << Lines{"abc"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << Lines{"a", "b"};
        QTest::newRow("LF") << QByteArray("a\nb") << Lines{"a", "b"};
        QTest::newRow("CR") << QByteArray("a\rb\r") << Lines{"a", "b"};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << Lines{"a", "", "b"};
        QTest::newRow("blank lines kept") << QByteArray("\r\n\r\nx\r\n") << Lines{"", "", "x"};
        QTest::newRow("binary") << QByteArray("\0\xff\n\x01", 4) << Lines{QByteArray("\0\xff", 2), "\x01"};
    }
    void splitLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(Lines, lines);
        QCOMPARE(pw::splitLines(text), lines);
    }

    void splitBodyLines_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("empty body") << QByteArray() << Lines{};
        QTest::newRow("no line end") << QByteArray("abc") << Lines{"abc"};
        QTest::newRow("CR LF") << QByteArray("<p>\r\n</p>\r\n") << Lines{"<p>", "</p>"};
        QTest::newRow("LF only stays inside") << QByteArray("a\nb\nc\n") << Lines{"a\nb\nc\n"};
        QTest::newRow("lone CR") << QByteArray("a\rb") << Lines{"a", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << Lines{"a", "", "b"};
        QTest::newRow("LF after CR LF starts next line") << QByteArray("a\r\n\nb") << Lines{"a", "\nb"};
        QTest::newRow("NUL cuts its line") << QByteArray("ab\0cd\r\nef", 9) << Lines{"ab", "ef"};
        QTest::newRow("NUL at start") << QByteArray("\0x\r\ny", 5) << Lines{"", "y"};
        QTest::newRow("only CR") << QByteArray("\r") << Lines{""};
    }
    void splitBodyLines()
    {
        QFETCH(QByteArray, body);
        QFETCH(Lines, lines);
        QCOMPARE(pw::splitBodyLines(body), lines);
    }

    void joinCrLf()
    {
        QCOMPARE(pw::joinCrLf({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
        QCOMPARE(pw::joinCrLf({}), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestTextLines)
#include "tst_textlines.moc"
