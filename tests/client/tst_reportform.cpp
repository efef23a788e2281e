// The reports window and its print window offscreen: the index and report files on disk,
// report updates over a real TCP connection, and a printout to PDF read back.
#include "clienthome.h"

#include "client/core/clientmessages.h"
#include "support/fakelinkserver.h"
#include "support/pdftext.h"
#include "support/testhome.h"

#include "client/app/mainwindow.h"
#include "client/app/printdlg.h"
#include "client/app/printsetup.h"
#include "client/app/reportform.h"
#include "client/app/setupform.h"
#include "client/core/setuptexts.h"
#include "gui/printing.h"
#include "gui/prompt.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/reports.h"

#include <QComboBox>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::ReportRecord;
using pw::client::MainWindow;
using pw::client::qs;
using pw::client::Tprintdlg;
using pw::client::Treportform;
using pw::gui::Prompt;

namespace {

QStringList linesOf(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << u"https://example.org/page%1.html (Changed - Size Difference)"_s.arg(i);
    return lines;
}

// A client started against a test-played server, with its reports window.
struct ReportsFixture
{
    bool start()
    {
        window = std::make_unique<MainWindow>();
        if (!window->forminit())
            return false;
        window->show();
        reports = window->reportForm();
        return reports != nullptr;
    }

    // A report file and its record in the index, as the server writes them.
    ReportRecord writeReport(const QString &list, const QString &when, const QStringList &lines = linesOf(3)) const
    {
        const auto path = pw::writeReportFile(pw::paths::reportsDir(), list, when, lines);
        if (!path)
            return {};
        const ReportRecord record{when, list, *path};
        pw::appendReportRecord(pw::paths::reportsIndexFile(), record);
        return record;
    }

    void show() const { window->findChild<QAction *>(u"reportsbtn"_s)->trigger(); }

    QStringList shownRows() const
    {
        QStringList rows;
        const QAbstractItemModel *model = reports->view()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->index(i, 0).data().toString() + u" | "_s + model->index(i, 1).data().toString();
        return rows;
    }

    void select(int row) const
    {
        reports->view()->selectionModel()->select(reports->view()->model()->index(row, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    void click(const QString &button) const { reports->findChild<QPushButton *>(button)->click(); }

    QList<ReportRecord> indexOnDisk() const { return pw::readReportsIndex(pw::paths::reportsIndexFile()).records; }

    Tprintdlg *printWindow() const { return reports->findChild<Tprintdlg *>(); }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client{server.port()};
    std::unique_ptr<MainWindow> window;
    Treportform *reports = nullptr;
};

} // namespace

class TestReportForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Prompt::clearShown(); }

    void indexWithACutShortLastEntry()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord first = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        const ReportRecord second = f.writeReport(u"Weather"_s, u"3/7/2026 9:06:12 PM"_s);
        QVERIFY(
            pw::appendLocked(pw::paths::reportsIndexFile(), "[ENTRY]\r\nDateTime=3/8/2026 1:00:00 AM\r\nURLList=Cut"));
        f.show();
        QVERIFY(f.reports->isVisible());
        QCOMPARE(f.reports->windowTitle(), u"Pagewarden Reports"_s);
        QCOMPARE(f.shownRows(), (QStringList{u"3/7/2026 9:05:12 PM | News"_s, u"3/7/2026 9:06:12 PM | Weather"_s}));
        const QAbstractItemModel *model = f.reports->view()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Date/Time"_s);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u"URL List"_s);
        QCOMPARE(model->columnCount(), 2);
        QCOMPARE(f.reports->rows().rows().at(1).fileLocation, second.fileLocation);
        QVERIFY(Prompt::shown().isEmpty());
        Q_UNUSED(first);
    }

    void deletingAReportWhoseFileIsGone()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord gone = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        const ReportRecord kept = f.writeReport(u"Weather"_s, u"3/7/2026 9:06:12 PM"_s);
        const ReportRecord removed = f.writeReport(u"Sport"_s, u"3/7/2026 9:07:12 PM"_s);
        QVERIFY(QFile::remove(gone.fileLocation));
        f.show();
        f.click(u"deletebtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoReportToDelete)});
        Prompt::clearShown();
        f.select(0);
        f.select(2);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        f.click(u"deletebtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kDeleteReports)});
        QCOMPARE(f.shownRows(), QStringList{u"3/7/2026 9:06:12 PM | Weather"_s});
        QCOMPARE(f.indexOnDisk(), QList<ReportRecord>{kept});
        QVERIFY(!QFileInfo::exists(removed.fileLocation));
        QVERIFY(QFileInfo::exists(kept.fileLocation));
    }

    void noStillRewritesTheIndex()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord kept = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        // A record with an empty value is not shown, and goes at the next rewrite.
        QVERIFY(pw::appendLocked(pw::paths::reportsIndexFile(),
                                 "[ENTRY]\r\nDateTime=3/7/2026 9:06:12 PM\r\nURLList=\r\nFileLocation=/x\r\n"));
        f.show();
        QCOMPARE(f.shownRows().size(), 1);
        f.select(0);
        Prompt::setNextAnswer(Prompt::Answer::No);
        f.reports->view()->setFocus();
        QTest::keyClick(f.reports->view(), Qt::Key_Delete);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kDeleteReports)});
        QCOMPARE(f.shownRows().size(), 1);
        QCOMPARE(pwtest::readAll(pw::paths::reportsIndexFile()), pw::formatReportRecord(kept));
        QVERIFY(QFileInfo::exists(kept.fileLocation));
    }

    void deleteKeepsWhatTheServerAddedMeanwhile()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord old = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        f.show();
        QCOMPARE(f.shownRows().size(), 1);
        // The server writes a report while the window is open; its announcement is lost.
        const ReportRecord fresh = f.writeReport(u"Weather"_s, u"3/7/2026 9:10:00 PM"_s);
        f.select(0);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        f.click(u"deletebtn"_s);
        QCOMPARE(f.indexOnDisk(), QList<ReportRecord>{fresh});
        QCOMPARE(f.shownRows(), QStringList{u"3/7/2026 9:10:00 PM | Weather"_s});
        QVERIFY(!QFileInfo::exists(old.fileLocation));
    }

    void onlyReportFilesAreDeleted()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const QString outside = f.client.home.writeFile(u"elsewhere/notes.txt"_s, "mine");
        QVERIFY(pw::appendReportRecord(pw::paths::reportsIndexFile(), {u"3/7/2026 9:05:12 PM"_s, u"News"_s, outside}));
        f.show();
        f.select(0);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"not deleting .*notes.txt"_s));
        f.click(u"deletebtn"_s);
        QVERIFY(f.shownRows().isEmpty());
        QVERIFY(f.indexOnDisk().isEmpty());
        QCOMPARE(pwtest::readAll(outside), QByteArray("mine"));
    }

    void reportUpdatesWhileShown()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        QTRY_VERIFY(f.server.hasClient());
        f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        f.show();
        QCOMPARE(f.shownRows().size(), 1);

        const auto announce = [&](const ReportRecord &record) {
            QList<QByteArray> lines;
            for (const QString &line : pw::link::reportUpdateBlock(
                     {u" "_s + record.dateTime, record.listName + u"  "_s, record.fileLocation}))
                lines << line.toUtf8();
            f.server.send(lines);
        };
        const ReportRecord second = f.writeReport(u"Weather"_s, u"3/7/2026 9:10:00 PM"_s);
        announce(second);
        QTRY_COMPARE(f.shownRows().size(), 2);
        QCOMPARE(f.shownRows().last(), u"3/7/2026 9:10:00 PM | Weather"_s);
        QCOMPARE(f.reports->rows().rows().last().fileLocation, second.fileLocation);

        // Hidden, the window drops the announcement; it reads the report from the index
        // when it shows again. A later block is applied, so the first was handled.
        f.click(u"closebtn"_s);
        QVERIFY(!f.reports->isVisible());
        const ReportRecord third = f.writeReport(u"Sport"_s, u"3/7/2026 9:20:00 PM"_s);
        announce(third);
        f.server.send({"TRANSFERINFO done"});
        QTRY_COMPARE(f.window->panelText(1), u"done"_s);
        QCOMPARE(f.shownRows().size(), 2);
        f.show();
        QCOMPARE(f.shownRows().size(), 3);
        QCOMPARE(f.shownRows().last(), u"3/7/2026 9:20:00 PM | Sport"_s);

        // A delete after announcements writes each report once.
        f.select(0);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        f.click(u"deletebtn"_s);
        QCOMPARE(f.indexOnDisk().size(), 2);
    }

    void openingMessages()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord record = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        f.show();
        f.click(u"openbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoReportToOpen)});
        QVERIFY(QFile::remove(record.fileLocation));
        f.select(0);
        f.click(u"openbtn"_s);
        QCOMPARE(Prompt::shown().value(1), qs(pw::client::text::kReportsIndexError));
        const QRect cell = f.reports->view()->visualRect(f.reports->view()->model()->index(0, 1));
        // An item view takes a double click as the second click of two.
        QTest::mouseClick(f.reports->view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.reports->view()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(Prompt::shown().value(2), qs(pw::client::text::kReportsIndexCorrupted));
        // A report that cannot be read: a folder where the file should be.
        QVERIFY(QDir().mkpath(record.fileLocation));
        f.click(u"openbtn"_s);
        QCOMPARE(Prompt::shown().value(3), qs(pw::client::text::kReportBuildError));
        QVERIFY(!f.printWindow());
    }

    void printWindowPagesAndPdf()
    {
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(21, 30)));
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord record = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s, linesOf(150));
        f.show();
        f.select(0);
        f.click(u"openbtn"_s);
        Tprintdlg *print = f.printWindow();
        QVERIFY(print && print->isVisible());
        QCOMPARE(print->windowTitle(), u"Display/Print"_s);
        QVERIFY(print->pageCount() >= 2);
        const QString last = QString::number(print->pageCount());
        QCOMPARE(print->pageLabel(), u"1 of "_s + last);
        QCOMPARE(print->findChild<QLabel *>(u"pageinfo"_s)->text(), u"1 of "_s + last);
        QCOMPARE(print->zoomText(), u"100%"_s);

        print->findChild<QToolButton *>(u"prevbtn"_s)->click();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoMorePages)});
        QCOMPARE(print->currentPage(), 1);
        for (int page = 2; page <= print->pageCount(); ++page) {
            print->findChild<QToolButton *>(u"nextbtn"_s)->click();
            QCOMPARE(print->currentPage(), page);
        }
        QCOMPARE(print->findChild<QLabel *>(u"pageinfo"_s)->text(), last + u" of "_s + last);
        print->findChild<QToolButton *>(u"nextbtn"_s)->click();
        QCOMPARE(Prompt::shown().size(), 2);
        QCOMPARE(Prompt::shown().value(1), qs(pw::client::text::kNoMorePages));
        QCOMPARE(print->currentPage(), print->pageCount());

        // The printout says what the report file says, under its title and the page header.
        const QString pdf = f.client.home.path(u"report.pdf"_s);
        pw::gui::Printing::setPdfOutput(pdf);
        print->findChild<QPushButton *>(u"printbtn"_s)->click();
        auto *dialog = print->findChild<QPrintDialog *>(u"printdialog"_s);
        QVERIFY(dialog && dialog->isVisible());
        dialog->accept();
        pw::gui::Printing::setPdfOutput({});
        QCOMPARE(Prompt::shown().size(), 2);
        const pwtest::PdfText text(pwtest::readAll(pdf));
        QCOMPARE(text.pageCount(), print->pageCount());
        QString expected = qs(pw::client::text::kReportTitle);
        bool ok = false;
        for (const QByteArray &line : pw::readlines(record.fileLocation, &ok))
            expected += QString::fromUtf8(line);
        QVERIFY(ok);
        QString body;
        for (int page = 0; page < text.pageCount(); ++page) {
            // Each page's header first: the URL List's name and the day it was printed.
            const QStringList runs = text.runs(page);
            QCOMPARE(runs.value(0), u"News"_s);
            QCOMPARE(runs.value(1), u"3/7/2026"_s);
            body += runs.mid(2).join(QString());
        }
        QCOMPARE(pwtest::PdfText::withoutBlanks(body), pwtest::PdfText::withoutBlanks(expected));
    }

    void printedWithoutHeader()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        pw::paths::openSettings()->setValue(u"Defaults/DispDate"_s, u"Off"_s);
        pw::paths::openSettings()->setValue(u"Defaults/DispName"_s, u"Off"_s);
        f.window->clientSettings().load();
        const ReportRecord record = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        // The page chosen with "Print Setup..." is the printout's.
        pw::client::PrintSetup &page = f.window->setupForm()->printSetup();
        page.setLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape, page.layout().margins(),
                                   page.layout().units()));
        f.show();
        Tprintdlg *print = f.reports->printreport(record.fileLocation, record.listName);
        QVERIFY(print);
        QCOMPARE(print->pageCount(), 1);
        const QString pdf = f.client.home.path(u"plain.pdf"_s);
        pw::gui::Printing::setPdfOutput(pdf);
        print->sendToPrinter();
        print->findChild<QPrintDialog *>(u"printdialog"_s)->accept();
        pw::gui::Printing::setPdfOutput({});
        QString expected = qs(pw::client::text::kReportTitle);
        for (const QByteArray &line : pw::readlines(record.fileLocation))
            expected += QString::fromUtf8(line);
        const pwtest::PdfText text(pwtest::readAll(pdf));
        QCOMPARE(pwtest::PdfText::withoutBlanks(text.text()), pwtest::PdfText::withoutBlanks(expected));
        QCOMPARE(text.paperSize(0).toSize(), QSize(792, 612));
    }

    void printingCanceledAndZoom()
    {
        ReportsFixture f;
        QVERIFY(f.start());
        const ReportRecord record = f.writeReport(u"News"_s, u"3/7/2026 9:05:12 PM"_s);
        f.show();
        f.select(0);
        const QRect cell = f.reports->view()->visualRect(f.reports->view()->model()->index(0, 0));
        // An item view takes a double click as the second click of two.
        QTest::mouseClick(f.reports->view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.reports->view()->viewport(), Qt::LeftButton, {}, cell.center());
        Tprintdlg *print = f.printWindow();
        QVERIFY(print);

        print->findChild<QPushButton *>(u"printbtn"_s)->click();
        print->findChild<QPrintDialog *>(u"printdialog"_s)->reject();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kPrintingCanceled)});

        auto *zoom = print->findChild<QComboBox *>(u"zoomlist"_s);
        QStringList entries;
        for (int i = 0; i < zoom->count(); ++i)
            entries << zoom->itemText(i);
        QCOMPARE(entries, (QStringList{u"200%"_s, u"175%"_s, u"150%"_s, u"125%"_s, u"100%"_s, u"50%"_s,
                                       u"Fit To Width"_s, u"Fit To Height"_s, u"Whole Page"_s}));
        Q_EMIT zoom->activated(0);
        QCOMPARE(print->zoomText(), u"200%"_s);
        Q_EMIT zoom->activated(5);
        QCOMPARE(print->zoomText(), u"50%"_s);
        const QRegularExpression percent(u"^\\d+%$"_s);
        for (int fit : {6, 7, 8}) {
            Q_EMIT zoom->activated(fit);
            QVERIFY2(percent.match(print->zoomText()).hasMatch(), qPrintable(print->zoomText()));
        }

        // Closing frees the window; the reports window stays.
        QPointer<Tprintdlg> closing(print);
        print->findChild<QPushButton *>(u"closebtn"_s)->click();
        QTRY_VERIFY(closing.isNull());
        QVERIFY(f.reports->isVisible());
    }
};

QTEST_MAIN(TestReportForm)
#include "tst_reportform.moc"
