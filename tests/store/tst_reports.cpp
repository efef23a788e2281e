#include "support/testhome.h"

#include "store/reports.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestReports : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportFileName_data()
    {
        QTest::addColumn<QString>("dateTime");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("name");
        QTest::newRow("short year") << u"3/7/99 9:05:12 PM"_s << u"News"_s << u"3_7_99_9_05_12_PM_News"_s;
        QTest::newRow("long year") << u"12/31/1999 11:59:59 PM"_s << u"Daily.Prices"_s
                                   << u"12_31_1999_11_59_59_PM_Daily.Prices"_s;
    }
    void reportFileName()
    {
        QFETCH(QString, dateTime);
        QFETCH(QString, list);
        QFETCH(QString, name);
        QCOMPARE(pw::reportFileName(dateTime, list), name);
    }

    void reportFileLayout()
    {
        pwtest::TestHome home;
        const auto path = pw::writeReportFile(home.path(), u"News"_s, u"3/7/99 9:05:12 PM"_s,
                                              {u"http://a/ (New)"_s, u"http://b/ (Changed - Size Difference)"_s});
        QVERIFY(path.has_value());
        QCOMPARE(*path, home.path(u"3_7_99_9_05_12_PM_News"_s));
        const QList<QByteArray> lines = pwtest::readAll(*path).split('\n');
        QCOMPARE(lines.value(0), QByteArray("URL List: News\r"));
        QCOMPARE(lines.value(1), QByteArray("Date/Time: 3/7/99 9:05:12 PM\r"));
        QCOMPARE(lines.value(2), QByteArray(38, '_') + '\r');
        QCOMPARE(lines.value(3), QByteArray("\r"));
        QCOMPARE(lines.value(4), QByteArray("http://a/ (New)\r"));
        QCOMPARE(lines.value(5), QByteArray("http://b/ (Changed - Size Difference)\r"));
        QCOMPARE(lines.value(6), QByteArray(38, '_') + '\r');
        QCOMPARE(lines.value(7), QByteArray("\r"));
        QVERIFY(!lines.value(8).trimmed().isEmpty());
        QVERIFY(!lines.value(9).trimmed().isEmpty());
        QCOMPARE(lines.size(), 11); // the last element is after the final line end
    }

    void emptyReportSaysSo()
    {
        pwtest::TestHome home;
        const auto path = pw::writeReportFile(home.path(), u"News"_s, u"3/7/99 9:05:12 PM"_s, {});
        QVERIFY(path.has_value());
        QVERIFY(pwtest::readAll(*path).contains("\r\n\r\n**No Changes To Report**\r\n____"));
    }

    void indexReading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("lists");
        const QByteArray one = "[ENTRY]\r\nDateTime= 3/7/99 9:05:12 PM \r\nURLList=News\r\nFileLocation=/r/a\r\n";
        const QByteArray two = "[ENTRY]\r\nDateTime=3/8/99 9:05:12 PM\r\nURLList=Prices\r\nFileLocation=/r/b\r\n";
        QTest::newRow("two") << one + two << QStringList{u"News"_s, u"Prices"_s};
        QTest::newRow("last record has two lines") << one + "[ENTRY]\r\nDateTime=x\r\nURLList=Cut\r\n"
                                                   << QStringList{u"News"_s};
        QTest::newRow("empty value skipped")
            << QByteArray("[ENTRY]\r\nDateTime=x\r\nURLList= \r\nFileLocation=/r\r\n") + two
            << QStringList{u"Prices"_s};
        QTest::newRow("keys not compared") << QByteArray("[ENTRY]\nA=x\nB=Any\nC=/r\n") << QStringList{u"Any"_s};
        QTest::newRow("junk around") << "garbage\r\n" + one + "more garbage\r\n" << QStringList{u"News"_s};
    }
    void indexReading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, lists);
        QStringList names;
        for (const pw::ReportRecord &r : pw::parseReportsIndex(file).records)
            names.append(r.listName);
        QCOMPARE(names, lists);
    }

    void appendAndSaveKeepAppendedRecords()
    {
        pwtest::TestHome home;
        const QString path = home.path(u"reports.dir"_s);
        const pw::ReportRecord a{u"3/7/99 9:05:12 PM"_s, u"News"_s, u"/r/a"_s};
        const pw::ReportRecord b{u"3/8/99 9:05:12 PM"_s, u"Prices"_s, u"/r/b"_s};
        const pw::ReportRecord c{u"3/9/99 9:05:12 PM"_s, u"Shop"_s, u"/r/c"_s};
        QVERIFY(pw::appendReportRecord(path, a));
        QVERIFY(pw::appendReportRecord(path, b));
        QVERIFY(pwtest::readAll(path).startsWith(
            "[ENTRY]\r\nDateTime=3/7/99 9:05:12 PM\r\nURLList=News\r\nFileLocation=/r/a\r\n[ENTRY]\r\n"));
        pw::ReportsIndexRead loaded = pw::readReportsIndex(path);
        QCOMPARE(loaded.records, (QList<pw::ReportRecord>{a, b}));
        QVERIFY(pw::appendReportRecord(path, c)); // the server, while the window is open
        loaded.records.removeFirst();             // the user deletes a report
        QVERIFY(pw::saveReportsIndex(path, loaded.records, loaded.snapshot));
        QCOMPARE(pw::readReportsIndex(path).records, (QList<pw::ReportRecord>{b, c}));
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "tst_reports.moc"
