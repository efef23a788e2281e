// The client as a user starts it: the real start sequence finds no server, starts the
// real wardserv, connects, and a Retrieve All over pages that nginx serves ends idle
// with the run's counters. The real pagewarden program: one copy only, and a goodbye
// to the server when it ends.
#include "support/fakelinkserver.h"
#include "support/freeport.h"
#include "support/nginxserver.h"
#include "support/servedlist.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "client/app/clientapp.h"
#include "client/app/htmlview.h"
#include "client/app/listnameprompt.h"
#include "client/app/mainwindow.h"
#include "client/app/urlentrydialog.h"
#include "client/app/urllisteditor.h"
#include "client/app/urltree.h"
#include "client/app/viewer.h"
#include "client/app/webboxwindow.h"
#include "client/app/webboxwindows.h"
#include "gui/prompt.h"
#include "store/paths.h"
#include "store/urllist.h"
#include "store/webboxeslist.h"

#include <QAction>
#include <QLineEdit>
#include <QProcess>
#include <QTextTable>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

QString binDir()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../bin"_s);
}

bool processAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// Ends the server the client started, also when a test fails half-way: a server left
// running would hold the test's output open.
struct ServerReaper
{
    qint64 pid = 0;
    ~ServerReaper()
    {
        if (!processAlive(pid))
            return;
        ::kill(pid_t(pid), SIGTERM);
        if (!QTest::qWaitFor([this] { return !processAlive(pid); }, 10000))
            ::kill(pid_t(pid), SIGKILL);
    }
};

} // namespace

class TestPagewardenE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsTheServerAndRetrievesAll()
    {
        pwtest::TestHome home;
        pwtest::NginxServer web;
        QVERIFY2(web.isRunning(), "nginx is installed by scripts/install-deps.sh");
        QVERIFY(pwtest::serveList(web, u"News"_s, 2));
        qputenv("PAGEWARDEN_PORT", QByteArray::number(pwtest::freeLoopbackPort()));
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(binDir() + u'/'));

        pw::client::ClientApp app;
        QVERIFY(app.start());
        pw::client::MainWindow *window = app.mainWindow();
        const qint64 server = window->serverStarter().startedPid();
        ServerReaper reaper{server};
        QVERIFY2(server > 0, "the client started wardserv");
        QVERIFY(window->link().isOpen());
        QVERIFY(pw::gui::Prompt::shown().isEmpty());

        window->findChild<QAction *>(u"retrievebtn"_s)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(window->panelText(1),
                                  u"Last Retrieval: [Completed:2] [New/Modified:2] [Unchanged:0] [Errors:0]"_s, 30000);
        QTRY_COMPARE(window->panelText(0), u"Pagewarden Idle."_s);
        QTRY_VERIFY(window->findChild<QAction *>(u"retrievebtn"_s)->isEnabled());

        window->close();
        ::kill(pid_t(server), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(server), 10000);
        qunsetenv("PAGEWARDEN_INSTALL");
        qunsetenv("PAGEWARDEN_PORT");
    }

    // The user's daily loop with both real programs: a list made in the editor, retrieved
    // twice, the changed page read graphic-free with its change framed.
    void editorRetrieveAndReadTheChange()
    {
        pwtest::TestHome home;
        pwtest::NginxServer web;
        QVERIFY2(web.isRunning(), "nginx is installed by scripts/install-deps.sh");
        QVERIFY(web.put(u"prices.html"_s, "<html><body><p>Bread 2.10</p>\n<p>Milk 0.99</p>\n</body></html>\n"));
        qputenv("PAGEWARDEN_PORT", QByteArray::number(pwtest::freeLoopbackPort()));
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(binDir() + u'/'));
        pw::client::ClientApp app;
        QVERIFY(app.start());
        pw::client::MainWindow *window = app.mainWindow();
        ServerReaper reaper{window->serverStarter().startedPid()};

        // A new list with one page, saved under a name typed at the prompt.
        pw::client::Turladdform *editor = window->openListEditor({});
        editor->addurl();
        auto *dialog = editor->findChild<pw::client::Tdialogurladd *>();
        dialog->findChild<QLineEdit *>(u"description"_s)->setText(u"Prices"_s);
        dialog->findChild<QLineEdit *>(u"urltoadd"_s)->setText(web.url(u"prices.html"_s));
        dialog->okbtnClick();
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [] {
            if (auto *prompt = qobject_cast<pw::client::Tdialogfrm *>(QApplication::activeModalWidget())) {
                prompt->nameField()->setText(u"Shop"_s);
                prompt->accept();
            }
        });
        answer.start(5);
        QVERIFY(editor->savelistall());
        answer.stop();
        editor->close();
        QTRY_VERIFY(!window->listEditor());

        // Retrieve Single on the new node; its WebBox shows the page.
        window->tree()->expandAll();
        QTreeWidgetItem *node = window->tree()->findItems(u"Shop"_s, Qt::MatchRecursive).first();
        QTest::mouseClick(window->tree()->viewport(), Qt::LeftButton, {},
                          window->tree()->visualItemRect(node).center());
        QCOMPARE(window->selectedListName(), u"Shop"_s);
        window->retrieveSingle();
        pw::client::Tinboxform *box = window->webBoxes().window(window->showwebbox(u"Shop"_s));
        QVERIFY(box);
        QTRY_COMPARE_WITH_TIMEOUT(box->inbox()->topLevelItemCount(), 1, 30000);
        QTRY_COMPARE(window->panelText(0), u"Pagewarden Idle."_s);

        // The page changes; the second retrieval files it with its change framed. Page files
        // are named to the second, so the second retrieval waits for the next one.
        QTest::qWait(1100);
        QVERIFY(web.put(u"prices.html"_s, "<html><body><p>Bread 2.45</p>\n<p>Milk 0.99</p>\n</body></html>\n"));
        QFile changed(web.root() + u"/prices.html"_s);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600), QFileDevice::FileModificationTime));
        changed.close();
        QTest::mouseClick(window->tree()->viewport(), Qt::LeftButton, {},
                          window->tree()->visualItemRect(node).center());
        window->retrieveSingle();
        QTRY_COMPARE_WITH_TIMEOUT(box->inbox()->topLevelItemCount(), 2, 30000);
        pw::client::Tviewer *viewer = box->inboxdoubleopen(1);
        QVERIFY(viewer);
        // The changed paragraph sits in a yellow frame; the unchanged one in none.
        const auto cellText = [](QTextTable *table) {
            QTextCursor cell = table->cellAt(0, 0).firstCursorPosition();
            cell.setPosition(table->cellAt(0, 0).lastPosition(), QTextCursor::KeepAnchor);
            return cell.selectedText();
        };
        QTextTable *frame = nullptr;
        for (QTextFrame *child : viewer->view()->document()->rootFrame()->childFrames()) {
            auto *table = qobject_cast<QTextTable *>(child);
            if (!table)
                continue;
            QVERIFY(!cellText(table).contains(u"Milk"_s));
            if (cellText(table).contains(u"Bread 2.45"_s))
                frame = table;
        }
        QVERIFY2(frame, "the changed paragraph is framed");
        QCOMPARE(frame->format().background().color(), QColor(0xFF, 0xFF, 0x00));

        window->close();
        qunsetenv("PAGEWARDEN_INSTALL");
        qunsetenv("PAGEWARDEN_PORT");
    }

    void oneCopyAndAGoodbye()
    {
        pwtest::TestHome home;
        pwtest::FakeLinkServer server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PAGEWARDEN_PORT"_s, QString::number(server.port()));
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        const QString program = binDir() + u"/pagewarden"_s;

        QProcess first;
        first.setProcessEnvironment(env);
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.hasClient(), 20000);

        // A second copy hands over to the first and ends without a connection of its own.
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(server.connections(), 1);
        QCOMPARE(first.state(), QProcess::Running);

        // Ended from outside (a logout), it closes as its own Exit does.
        ::kill(pid_t(first.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(first.state(), QProcess::NotRunning, 10000);
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(server.received, QList<QByteArray>{"CLIENTCLOSE"});
        QVERIFY(QFileInfo(pw::paths::windowListFile()).isFile());
        QCOMPARE(pwtest::readAll(pw::paths::treeIndexFile()), QByteArray("Pagewarden\r\n"));
    }

    void withoutADisplayItSaysSo()
    {
        pwtest::TestHome home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            env.remove(name);
        QProcess client;
        client.setProcessEnvironment(env);
        client.start(binDir() + u"/pagewarden"_s, {});
        QVERIFY(client.waitForFinished(10000));
        QCOMPARE(client.exitCode(), 1);
        const QList<QByteArray> lines = client.readAllStandardError().trimmed().split('\n');
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains("no display"));
    }
};

QTEST_MAIN(TestPagewardenE2E)
#include "tst_pagewarden_e2e.moc"
