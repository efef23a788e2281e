// The reports window's copy of "reports.dir": what a rewrite keeps of the records the
// server appended while the window was open, on real files.
#include "support/testhome.h"

#include "client/core/reportrows.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using pw::ReportRecord;
using pw::client::ReportRows;

namespace {

ReportRecord record(int n)
{
    return {u"3/%1/2026 9:05:12 PM"_s.arg(n), u"List%1"_s.arg(n), u"/reports/r%1"_s.arg(n)};
}

QList<ReportRecord> onDisk(const QString &path)
{
    return pw::readReportsIndex(path).records;
}

} // namespace

class TestReportRows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveKeepsWhatTheServerAppended()
    {
        pwtest::TestHome home;
        const QString index = home.path(u"reports.dir"_s);
        QVERIFY(pw::appendReportRecord(index, record(1)));
        QVERIFY(pw::appendReportRecord(index, record(2)));
        ReportRows rows;
        QCOMPARE(rows.loadreports(index), ReportRows::Load::Ok);
        rows.rows().removeFirst();
        // The server writes a report while the window is open, and the window misses it.
        QVERIFY(pw::appendReportRecord(index, record(3)));
        QVERIFY(rows.savereports(index));
        QCOMPARE(onDisk(index), (QList<ReportRecord>{record(2), record(3)}));
        QCOMPARE(rows.rows(), onDisk(index));
    }

    void announcedReportsAreNotDoubled()
    {
        pwtest::TestHome home;
        const QString index = home.path(u"reports.dir"_s);
        QVERIFY(pw::appendReportRecord(index, record(1)));
        ReportRows rows;
        QCOMPARE(rows.loadreports(index), ReportRows::Load::Ok);
        // Two reports written and announced; the user deletes the first of them.
        for (int n : {2, 3}) {
            QVERIFY(pw::appendReportRecord(index, record(n)));
            rows.appendUpdate(record(n));
        }
        rows.rows().removeAt(1);
        QVERIFY(rows.savereports(index));
        QCOMPARE(onDisk(index), (QList<ReportRecord>{record(1), record(3)}));
    }

    void missingIndexKeepsTheRows()
    {
        pwtest::TestHome home;
        const QString index = home.path(u"reports.dir"_s);
        QVERIFY(pw::appendReportRecord(index, record(1)));
        ReportRows rows;
        QCOMPARE(rows.loadreports(index), ReportRows::Load::Ok);
        QVERIFY(QFile::remove(index));
        QCOMPARE(rows.loadreports(index), ReportRows::Load::Missing);
        QCOMPARE(rows.rows(), QList<ReportRecord>{record(1)});
        QVERIFY(rows.savereports(index));
        QCOMPARE(onDisk(index), QList<ReportRecord>{record(1)});
    }

    void unreadableIndexIsNotOverwritten()
    {
        pwtest::TestHome home;
        // A folder where the file should be: reading fails, and so must the rewrite.
        const QString index = home.path(u"reports.dir"_s);
        QVERIFY(QDir().mkpath(index));
        ReportRows rows;
        QString error;
        QCOMPARE(rows.loadreports(index, &error), ReportRows::Load::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(!rows.savereports(index, &error));
        QVERIFY(QFileInfo(index).isDir());
    }
};

QTEST_GUILESS_MAIN(TestReportRows)
#include "tst_reportrows.moc"
