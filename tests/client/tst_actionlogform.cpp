// The log window offscreen, opened with the main window's "Error &Log...", on a real
// "error.log" that the server's own append writes to meanwhile.
#include "clienthome.h"
#include "support/fakelinkserver.h"
#include "support/testhome.h"

#include "client/app/actionlogform.h"
#include "client/app/deletespecform.h"
#include "client/app/mainwindow.h"
#include "client/core/clientmessages.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"
#include "store/actionlog.h"
#include "store/paths.h"

#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::MainWindow;
using pw::client::qs;
using pw::client::Tactionlogform;
using pw::gui::Prompt;

namespace {

// Today is 3/15/2026; the log holds an entry of last month, one of last week and two of
// today, in time order.
const QByteArray kLog = "2/1/2026 9:00:00 AM News old\r\n"
                        "3/5/2026 9:00:00 AM News week\r\n"
                        "3/15/2026 8:00:00 AM News today1\r\n"
                        "3/15/2026 9:30:00 AM News today2\r\n";

struct LogFixture
{
    LogFixture()
        : clock(QDateTime(QDate(2026, 3, 15), QTime(10, 0)))
    {
    }

    bool start()
    {
        window = std::make_unique<MainWindow>();
        if (!window->forminit())
            return false;
        window->show();
        log = window->actionLogForm();
        return log != nullptr;
    }

    void writeLog(const QByteArray &content) const { client.home.writeFile(u"home/logdata/error.log"_s, content); }

    QAction *errorLogCommand() const
    {
        for (QAction *action : window->findChild<QMenu *>(u"actionsmenu"_s)->actions()) {
            if (action->text() == u"Error &Log..."_s)
                return action;
        }
        return nullptr;
    }

    void openLog() const { errorLogCommand()->trigger(); }

    QStringList messages() const
    {
        QStringList texts;
        for (const pw::LogEntry &entry : log->rows().rows())
            texts << entry.message;
        return texts;
    }

    QStringList messagesOnDisk() const
    {
        QStringList texts;
        for (const pw::LogEntry &entry : pw::loadLog(pw::paths::logFile()).entries)
            texts << entry.message;
        return texts;
    }

    void chooseRange(const QString &radio, const QString &button) const
    {
        log->findChild<QPushButton *>(u"deleteentriesbtn"_s)->click();
        auto *deleteForm = log->findChild<pw::client::Tdeletespecform *>();
        QVERIFY(deleteForm && deleteForm->isVisible());
        if (!radio.isEmpty())
            deleteForm->findChild<QRadioButton *>(radio)->click();
        deleteForm->findChild<QPushButton *>(button)->click();
        QVERIFY(!deleteForm->isVisible());
    }

    pwtest::FixedClock clock;
    pwtest::FakeLinkServer server;
    pwtest::ClientHome client{server.port()};
    std::unique_ptr<MainWindow> window;
    Tactionlogform *log = nullptr;
};

} // namespace

class TestActionLogForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Prompt::clearShown(); }

    void errorLogCommand()
    {
        LogFixture f;
        QVERIFY(f.start());
        QVERIFY(f.errorLogCommand() && f.errorLogCommand()->isEnabled());
        // No log yet: an empty one is made, and the user is told.
        f.openLog();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoLogEntries)});
        QVERIFY(QFileInfo::exists(pw::paths::logFile()));
        QVERIFY(!f.log->isVisible());

        Prompt::clearShown();
        f.writeLog(kLog + "a line without the marks\r\n");
        f.openLog();
        QVERIFY(Prompt::shown().isEmpty());
        QVERIFY(f.log->isVisible());
        QCOMPARE(f.log->windowTitle(), u"Pagewarden Error Log"_s);
        QCOMPARE(f.window->panelText(0), qs(pw::client::text::kIdle));
        const QAbstractItemModel *model = f.log->view()->model();
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"Date/Time"_s);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u"Action"_s);
        QCOMPARE(model->index(3, 0).data().toString(), u"3/15/2026 9:30:00 AM"_s);
        QCOMPARE(model->index(3, 1).data().toString(), u"News today2"_s);
    }

    void unreadableLog()
    {
        LogFixture f;
        QVERIFY(f.start());
        QVERIFY(QDir().mkpath(pw::paths::logFile()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"the log cannot be read"_s));
        f.openLog();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kLogAccessError)});
        QVERIFY(!f.log->isVisible());
    }

    void deleteEntriesByRange_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("all") << u"deleteall"_s << QStringList();
        QTest::newRow("today") << u"deletetoday"_s << QStringList{u"News old"_s, u"News week"_s};
        QTest::newRow("older than one week") << u"deleteweek"_s << QStringList{u"News today1"_s, u"News today2"_s};
        QTest::newRow("older than one month (preset)")
            << QString() << QStringList{u"News week"_s, u"News today1"_s, u"News today2"_s};
    }

    void deleteEntriesByRange()
    {
        QFETCH(QString, radio);
        QFETCH(QStringList, left);
        LogFixture f;
        QVERIFY(f.start());
        f.writeLog(kLog);
        f.openLog();
        QVERIFY(f.log->isVisible());
        f.chooseRange(radio, u"deletebtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kDeletionComplete)});
        QCOMPARE(f.messages(), left);
        QCOMPARE(f.messagesOnDisk(), left);
        // An emptied log closes the window.
        QCOMPARE(f.log->isVisible(), !left.isEmpty());
    }

    void nothingOldEnoughStillCompletes()
    {
        LogFixture f;
        QVERIFY(f.start());
        f.writeLog("3/15/2026 8:00:00 AM News today1\r\n");
        f.openLog();
        f.chooseRange(u"deleteweek"_s, u"deletebtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kDeletionComplete)});
        QCOMPARE(f.messagesOnDisk(), QStringList{u"News today1"_s});
        QVERIFY(f.log->isVisible());
    }

    void closeChangesNothing()
    {
        LogFixture f;
        QVERIFY(f.start());
        f.writeLog(kLog);
        f.openLog();
        f.chooseRange(u"deleteall"_s, u"closebtn"_s);
        QVERIFY(Prompt::shown().isEmpty());
        QCOMPARE(pwtest::readAll(pw::paths::logFile()), kLog);
        QCOMPARE(f.messages().size(), 4);
        QVERIFY(f.log->isVisible());
    }

    void deleteSelected()
    {
        LogFixture f;
        QVERIFY(f.start());
        f.writeLog(kLog);
        f.openLog();
        f.log->findChild<QPushButton *>(u"deleteselectedbtn"_s)->click();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoLogEntrySelected)});
        // A click on a column title selects nothing.
        QHeaderView *header = f.log->view()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
        f.log->findChild<QPushButton *>(u"deleteselectedbtn"_s)->click();
        QCOMPARE(Prompt::shown().size(), 2);
        QCOMPARE(f.messages().size(), 4);
        f.log->view()->selectAll();
        f.log->findChild<QPushButton *>(u"deleteselectedbtn"_s)->click();
        QCOMPARE(Prompt::shown().size(), 2);
        QVERIFY(f.messages().isEmpty());
        QCOMPARE(pwtest::readAll(pw::paths::logFile()), QByteArray());
        QVERIFY(f.log->isVisible()); // stays open on the empty list
    }

    void serverAppendsWhileTheWindowDeletes_data()
    {
        QTest::addColumn<bool>("byRange");
        QTest::newRow("Delete Selected") << false;
        QTest::newRow("Delete Entries...") << true;
    }

    void serverAppendsWhileTheWindowDeletes()
    {
        QFETCH(bool, byRange);
        LogFixture f;
        QVERIFY(f.start());
        f.writeLog(kLog);
        f.openLog();
        QVERIFY(pw::appendLogEntry(pw::paths::logFile(), {u"3/15/2026 9:59:00 AM"_s, u"News appended"_s}));
        if (byRange) {
            f.chooseRange(QString(), u"deletebtn"_s);
        } else {
            f.log->view()->selectRow(0);
            f.log->findChild<QPushButton *>(u"deleteselectedbtn"_s)->click();
        }
        const QStringList expected{u"News week"_s, u"News today1"_s, u"News today2"_s, u"News appended"_s};
        QCOMPARE(f.messagesOnDisk(), expected);
        QCOMPARE(f.messages(), expected);
    }
};

QTEST_MAIN(TestActionLogForm)
#include "tst_actionlogform.moc"
