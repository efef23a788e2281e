#include "store/datetimetext.h"

#include <QLocale>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestDateTimeText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The texts must not follow the user's locale.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void forms_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("minute");
        QTest::newRow("evening") << QDateTime(QDate(1999, 3, 7), QTime(21, 5, 12)) << u"3/7/1999 9:05:12 PM"_s
                                 << u"3/7/1999 9:05 PM"_s;
        QTest::newRow("midnight") << QDateTime(QDate(2026, 12, 31), QTime(0, 0, 0)) << u"12/31/2026 12:00:00 AM"_s
                                  << u"12/31/2026 12:00 AM"_s;
        QTest::newRow("noon") << QDateTime(QDate(2026, 1, 1), QTime(12, 30, 5)) << u"1/1/2026 12:30:05 PM"_s
                              << u"1/1/2026 12:30 PM"_s;
    }
    void forms()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, full);
        QFETCH(QString, minute);
        QCOMPARE(pw::datetime::fullText(when), full);
        QCOMPARE(pw::datetime::minuteText(when), minute);
        QCOMPARE(pw::datetime::parse(full), when);
        QCOMPARE(pw::datetime::parse(minute), QDateTime(when.date(), QTime(when.time().hour(), when.time().minute())));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("when");
        QTest::newRow("two-digit year, last century")
            << u"3/7/99 9:05:12 PM"_s << QDateTime(QDate(1999, 3, 7), QTime(21, 5, 12));
        QTest::newRow("two-digit year, this century")
            << u"3/7/26 9:05 AM"_s << QDateTime(QDate(2026, 3, 7), QTime(9, 5));
        QTest::newRow("surrounding blanks")
            << u" 3/7/1999 9:05:12 PM "_s << QDateTime(QDate(1999, 3, 7), QTime(21, 5, 12));
        QTest::newRow("garbage") << u"yesterday"_s << QDateTime();
        QTest::newRow("empty") << QString() << QDateTime();
        QTest::newRow("bad month") << u"13/7/1999 9:05:12 PM"_s << QDateTime();
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, when);
        QCOMPARE(pw::datetime::parse(text), when);
    }
};

QTEST_GUILESS_MAIN(TestDateTimeText)
#include "tst_datetimetext.moc"
