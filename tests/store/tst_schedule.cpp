#include "store/schedule.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nextDay_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("next");
        QTest::newRow("28 February, leap year") << QDate(2024, 2, 28) << u"2/29/2024"_s;
        QTest::newRow("28 February, common year") << QDate(2026, 2, 28) << u"3/1/2026"_s;
        QTest::newRow("31 December 1999") << QDate(1999, 12, 31) << u"1/1/2000"_s;
        QTest::newRow("plain") << QDate(1999, 3, 7) << u"3/8/1999"_s;
    }
    void nextDay()
    {
        QFETCH(QDate, today);
        QFETCH(QString, next);
        QCOMPARE(pw::schedule::nextDay(today), next);
    }

    void nextIntervalTime_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QTime>("from");
        QTest::addColumn<QString>("due");
        QTest::newRow("600 after 8:00 PM") << 600 << QTime(20, 0) << u"3/8/2026 6:00 AM"_s;
        QTest::newRow("15 after 11:50 PM") << 15 << QTime(23, 50) << u"3/8/2026 12:05 AM"_s;
        QTest::newRow("185 after 10:40 AM") << 185 << QTime(10, 40) << u"3/7/2026 1:45 PM"_s;
        QTest::newRow("seconds do not count") << 30 << QTime(10, 0, 40) << u"3/7/2026 10:30 AM"_s;
    }
    void nextIntervalTime()
    {
        QFETCH(int, minutes);
        QFETCH(QTime, from);
        QFETCH(QString, due);
        QCOMPARE(pw::schedule::nextIntervalTime(minutes, from, QDate(2026, 3, 7)), due);
    }

    void targets_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("interval");
        QTest::addColumn<int>("minutes");
        QTest::newRow("daily list") << u"News"_s << u"News"_s << false << 0;
        QTest::newRow("daily all") << u"All WebBoxes"_s << u"All WebBoxes"_s << false << 0;
        QTest::newRow("interval list") << u"News 30 Minute Interval"_s << u"News"_s << true << 30;
        QTest::newRow("interval all") << u"All WebBoxes 15 Minute Interval"_s << u"All WebBoxes"_s << true << 15;
        QTest::newRow("interval not a number") << u"News x Minute Interval"_s << u"News"_s << true << 0;
    }
    void targets()
    {
        QFETCH(QString, text);
        QFETCH(QString, list);
        QFETCH(bool, interval);
        QFETCH(int, minutes);
        const pw::schedule::Target t = pw::schedule::parseTarget(text);
        QCOMPARE(t.listName, list);
        QCOMPARE(t.interval, interval);
        QCOMPARE(t.minutes, minutes);
    }

    void addDailyEntry_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("amPm");
        QTest::addColumn<QString>("time"); // empty: refused
        // now is 3/7/2026 9:05:30 PM
        QTest::newRow("the current minute, one digit") << 9 << u"5"_s << u"PM"_s << u"3/7/2026 9:05 PM"_s;
        QTest::newRow("the minute before: tomorrow") << 9 << u"04"_s << u"PM"_s << u"3/8/2026 9:04 PM"_s;
        QTest::newRow("later today") << 11 << u"30"_s << u"PM"_s << u"3/7/2026 11:30 PM"_s;
        QTest::newRow("earlier: tomorrow") << 8 << u"00"_s << u"AM"_s << u"3/8/2026 8:00 AM"_s;
        QTest::newRow("noon") << 12 << u"00"_s << u"PM"_s << u"3/8/2026 12:00 PM"_s;
        QTest::newRow("minute not a number") << 9 << u"xx"_s << u"PM"_s << QString();
        QTest::newRow("minute 60") << 9 << u"60"_s << u"PM"_s << QString();
        QTest::newRow("hour 13") << 13 << u"00"_s << u"PM"_s << QString();
        QTest::newRow("same as an existing entry") << 10 << u"00"_s << u"PM"_s << QString();
    }
    void addDailyEntry()
    {
        QFETCH(int, hour);
        QFETCH(QString, minute);
        QFETCH(QString, amPm);
        QFETCH(QString, time);
        const QDateTime now(QDate(2026, 3, 7), QTime(21, 5, 30));
        const QList<pw::ScheduleRow> existing{{u"3/7/2026 10:00 PM"_s, u"News"_s, u"*"_s}};
        const auto row = pw::schedule::addDailyEntry(hour, minute, amPm, u"News"_s, now, existing);
        QCOMPARE(row.has_value(), !time.isEmpty());
        if (row) {
            QCOMPARE(row->time, time);
            QCOMPARE(row->webBox, u"News"_s);
            QCOMPARE(row->lastRun, u"*"_s);
        }
    }

    void addIntervalEntry()
    {
        const QDateTime now(QDate(2026, 3, 7), QTime(20, 0, 12));
        const auto row = pw::schedule::addIntervalEntry(600, u"All WebBoxes"_s, now);
        QVERIFY(row);
        QCOMPARE(row->time, u"3/8/2026 6:00 AM"_s);
        QCOMPARE(row->webBox, u"All WebBoxes 600 Minute Interval"_s);
        QVERIFY(!pw::schedule::addIntervalEntry(0, u"News"_s, now));
        QVERIFY(!pw::schedule::addIntervalEntry(-5, u"News"_s, now));
    }
};

QTEST_GUILESS_MAIN(TestSchedule)
#include "tst_schedule.moc"
