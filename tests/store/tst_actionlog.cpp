#include "support/testhome.h"

#include "store/actionlog.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(pw::LogRange)

class TestActionLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("message");
        QTest::newRow("PM") << u"3/7/99 9:05:12 PM ERROR Pagewarden cannot run due to low disk space."_s << true
                            << u"3/7/99 9:05:12 PM"_s << u"ERROR Pagewarden cannot run due to low disk space."_s;
        QTest::newRow("AM") << u"3/7/1999 9:05:12 AM News Error on http://a/"_s << true << u"3/7/1999 9:05:12 AM"_s
                            << u"News Error on http://a/"_s;
        // " PM " wins over an earlier " AM ".
        QTest::newRow("AM inside message of a PM line")
            << u"3/7/1999 9:05:12 PM at 8 AM sharp"_s << true << u"3/7/1999 9:05:12 PM"_s << u"at 8 AM sharp"_s;
        QTest::newRow("PM inside message of an AM line")
            << u"3/7/1999 9:05:12 AM at 8 PM sharp"_s << true << u"3/7/1999 9:05:12 AM at 8 PM"_s << u"sharp"_s;
        QTest::newRow("neither") << u"no time here"_s << false << QString() << QString();
        QTest::newRow("PM at the end") << u"3/7/1999 9:05:12 PM"_s << false << QString() << QString();
        QTest::newRow("empty message") << u"3/7/1999 9:05:12 PM "_s << true << u"3/7/1999 9:05:12 PM"_s << QString();
    }
    void parseLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(QString, dateTime);
        QFETCH(QString, message);
        const auto entry = pw::parseLogLine(line);
        QCOMPARE(entry.has_value(), valid);
        if (valid) {
            QCOMPARE(entry->dateTime, dateTime);
            QCOMPARE(entry->message, message);
        }
    }

    void loadSkipsBadLinesAndCreatesMissingFile()
    {
        pwtest::TestHome home;
        const QString missing = home.path(u"error.log"_s);
        QCOMPARE(pw::loadLog(missing).status, pw::LogRead::Ok);
        QVERIFY(QFile::exists(missing));

        const QString path = home.writeFile(u"other.log"_s, "3/7/1999 9:05:12 PM one\r\njunk\r\n\xff\xfe\r\n"
                                                            "3/8/1999 1:00:00 AM two\n");
        const pw::LogRead read = pw::loadLog(path);
        QCOMPARE(read.entries.size(), 2);
        QCOMPARE(read.entries[1].message, u"two"_s);
        QCOMPARE(read.skippedLines, 2);
    }

    void appendThenSave()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"error.log"_s);
        QVERIFY(pw::appendLogEntry(path, {u"3/7/1999 9:05:12 PM"_s, u"first\nline"_s}));
        QVERIFY(pw::appendLogEntry(path, {u"3/7/1999 9:06:00 PM"_s, u"second"_s}));
        QCOMPARE(pwtest::readAll(path), QByteArray("3/7/1999 9:05:12 PM first line\r\n3/7/1999 9:06:00 PM second\r\n"));
        pw::LogRead read = pw::loadLog(path);
        read.entries.append({QString(), u"no date: left out"_s});
        read.entries.removeFirst();
        QVERIFY(pw::saveLog(path, read.entries, read.snapshot));
        QCOMPARE(pwtest::readAll(path), QByteArray("3/7/1999 9:06:00 PM second\r\n"));
    }

    void cutoffs_data()
    {
        QTest::addColumn<pw::LogRange>("range");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("cutoff");
        QTest::newRow("7 on 3 March of a leap year")
            << pw::LogRange::OlderThanWeek << QDate(2024, 3, 3) << QDate(2024, 2, 26);
        QTest::newRow("30 on 31 May") << pw::LogRange::OlderThanMonth << QDate(2026, 5, 31) << QDate(2026, 4, 30);
        QTest::newRow("30 on 30 March, not leap")
            << pw::LogRange::OlderThanMonth << QDate(2026, 3, 30) << QDate(2026, 2, 28);
        QTest::newRow("30 on 30 March, leap")
            << pw::LogRange::OlderThanMonth << QDate(2024, 3, 30) << QDate(2024, 2, 29);
        QTest::newRow("30 in January") << pw::LogRange::OlderThanMonth << QDate(2026, 1, 15) << QDate(2025, 12, 15);
    }
    void cutoffs()
    {
        QFETCH(pw::LogRange, range);
        QFETCH(QDate, today);
        QFETCH(QDate, cutoff);
        QCOMPARE(pw::logCutoff(range, today), QDateTime(cutoff, QTime(0, 0)));
    }

    void removeOldEntries_data()
    {
        QTest::addColumn<pw::LogRange>("range");
        QTest::addColumn<QStringList>("kept");
        // today is 3 March 2024 in every row
        QTest::newRow("All") << pw::LogRange::All << QStringList();
        QTest::newRow("Today") << pw::LogRange::Today << QStringList{u"jan"_s, u"feb25"_s, u"feb26"_s, u"mar2"_s};
        QTest::newRow("7") << pw::LogRange::OlderThanWeek << QStringList{u"feb26"_s, u"mar2"_s, u"mar3a"_s, u"mar3b"_s};
        QTest::newRow("30") << pw::LogRange::OlderThanMonth
                            << QStringList{u"feb25"_s, u"feb26"_s, u"mar2"_s, u"mar3a"_s, u"mar3b"_s};
    }
    void removeOldEntries()
    {
        QFETCH(pw::LogRange, range);
        QFETCH(QStringList, kept);
        QList<pw::LogEntry> log{
            {u"1/15/2024 11:59:59 PM"_s, u"jan"_s},   {u"2/25/2024 11:59:59 PM"_s, u"feb25"_s},
            {u"2/26/2024 12:00:00 AM"_s, u"feb26"_s}, {u"3/2/2024 10:00:00 AM"_s, u"mar2"_s},
            {u"3/3/2024 12:00:01 AM"_s, u"mar3a"_s},  {u"3/3/2024 5:00:00 PM"_s, u"mar3b"_s},
        };
        const qsizetype before = log.size();
        const int removed = pw::removeOldEntries(log, range, QDate(2024, 3, 3));
        QStringList messages;
        for (const auto &e : log)
            messages.append(e.message);
        QCOMPARE(messages, kept);
        QCOMPARE(removed, int(before - kept.size()));
    }

    void nothingQualifiesRemovesNothing()
    {
        QList<pw::LogEntry> log{{u"3/3/2024 9:00:00 AM"_s, u"today"_s}};
        QCOMPARE(pw::removeOldEntries(log, pw::LogRange::OlderThanWeek, QDate(2024, 3, 3)), 0);
        QCOMPARE(pw::removeOldEntries(log, pw::LogRange::Today, QDate(2024, 3, 4)), 0);
        QCOMPARE(log.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestActionLog)
#include "tst_actionlog.moc"
