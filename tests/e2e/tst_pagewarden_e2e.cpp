// The client as a user starts it: the real start sequence finds no server, starts the
// real wardserv, connects, and a Retrieve All over pages that nginx serves ends idle
// with the run's counters. The real pagewarden program: one copy only, and a goodbye
// to the server when it ends.
#include "support/fakelinkserver.h"
#include "support/freeport.h"
#include "support/nginxserver.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "client/app/clientapp.h"
#include "client/app/mainwindow.h"
#include "gui/prompt.h"
#include "store/paths.h"
#include "store/urllist.h"
#include "store/webboxeslist.h"

#include <QAction>
#include <QProcess>
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
        QList<pw::UrlEntry> entries;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(web.put(u"page%1.html"_s.arg(i),
                            "<html><body><p>Page " + QByteArray::number(i) + "</p></body></html>\n"));
            entries.append(pwtest::urlEntry(web.url(u"page%1.html"_s.arg(i)), u"Page %1"_s.arg(i)));
        }
        QDir().mkpath(pw::paths::dataDir());
        QVERIFY(pw::writeUrlList(pw::paths::dataDir(), u"News"_s, entries));
        {
            auto store = pw::paths::openSettings();
            pw::saveWebBoxesList(*store, {u"News"_s});
        }
        qputenv("PAGEWARDEN_PORT", QByteArray::number(pwtest::freeLoopbackPort()));
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(binDir() + u'/'));

        pw::client::ClientApp app;
        QVERIFY(app.start());
        pw::client::MainWindow *window = app.mainWindow();
        const qint64 server = window->serverStarter().startedPid();
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
