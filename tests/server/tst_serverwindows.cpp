#include "enginefixture.h"

#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "server/app/closeprompt.h"
#include "server/app/mainwindow.h"
#include "server/app/queuewindow.h"
#include "server/engine/servercore.h"
#include "store/webboxeslist.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using Response = pwtest::ScriptedHttpServer::Response;

namespace {

struct WindowFixture
{
    pwtest::TestHome home;
    pwtest::ScriptedHttpServer http;
    std::unique_ptr<pw::server::ServerCore> core;
    std::unique_ptr<pw::server::MainWindow> window;

    explicit WindowFixture(const QString &trayClose = u"On"_s, int pages = 4)
    {
        Response slow;
        slow.body = "<p>slow</p>";
        slow.delayMs = 5000;
        http.setHandler([slow](const pwtest::ScriptedHttpServer::Request &) { return slow; });
        auto store = pw::paths::openSettings();
        store->setValue(u"Defaults/TrayClose"_s, trayClose);
        store->setValue(u"Defaults/Threads"_s, u"1"_s);
        pw::Settings s = pw::settings::load(*store, pw::EmptyPhoneBook());
        QList<pw::UrlEntry> entries;
        for (int i = 0; i < pages; ++i)
            entries.append(pwtest::urlEntry(http.url(u"/p%1"_s.arg(i)), u"Page %1"_s.arg(i)));
        pw::writeUrlList(s.datadir, u"News"_s, entries);
        pw::saveWebBoxesList(*store, {u"News"_s});
        store->sync();
        core = std::make_unique<pw::server::ServerCore>();
        core->start(0);
        window = std::make_unique<pw::server::MainWindow>(*core);
        pw::gui::Prompt::clearShown();
    }

    ~WindowFixture()
    {
        if (core->engine().transferActive())
            core->engine().shutdown();
    }

    QString storedTrayClose() const { return pw::paths::openSettings()->value(u"Defaults/TrayClose"_s).toString(); }
};

// Runs `act` on the modal dialog as soon as it is shown.
void whenModalShown(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, qApp, [act] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        act(QApplication::activeModalWidget());
    });
}

} // namespace

class TestServerWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowShowsTheEngine()
    {
        WindowFixture f;
        QCOMPARE(f.window->windowTitle(), u"Pagewarden Server"_s);
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(f.window->findChild<QLabel *>(u"slot%1"_s.arg(i))->text(), u"Idle"_s);
        QCOMPARE(f.window->findChild<QLabel *>(u"statusPanel0"_s)->text(), u"Pagewarden Idle."_s);
        f.core->engine().queuelist(u"News"_s);
        QCOMPARE(f.window->findChild<QLabel *>(u"statusPanel0"_s)->text(), u"Pagewarden Data Transfer Active."_s);
        QTRY_VERIFY(f.window->findChild<QLabel *>(u"slot1"_s)->text().startsWith(u"http://127.0.0.1:"_s));
        QCOMPARE(f.window->findChild<QLabel *>(u"dispqueue"_s)->text(), u"3"_s);
    }

    void closeIsRefusedWhileAClientIsConnected()
    {
        WindowFixture f(u"Off"_s);
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, f.core->link().port());
        QTRY_VERIFY(f.core->link().isConnected());
        QVERIFY(!f.window->requestClose());
        QCOMPARE(pw::gui::Prompt::shown(),
                 QStringList{u"You cannot close the Server while Pagewarden clients are connected."_s});
    }

    void trayCloseOffEndsWithoutAsking()
    {
        WindowFixture f(u"Off"_s);
        QVERIFY(f.window->requestClose());
        QVERIFY(pw::gui::Prompt::shown().isEmpty());
    }

    void promptTickedAndTrayWritesOff()
    {
        WindowFixture f(u"On"_s);
        bool startedClear = false;
        whenModalShown([&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), u"Exit Pagewarden"_s);
            auto *box = dialog->findChild<QCheckBox *>(u"dontaskclose"_s);
            startedClear = !box->isChecked();
            box->setChecked(true);
            dialog->findChild<QPushButton *>(u"traybtn"_s)->click();
        });
        QVERIFY(!f.window->requestClose()); // "Tray" keeps the server
        QVERIFY(startedClear);
        QCOMPARE(f.storedTrayClose(), u"Off"_s);
        QVERIFY(f.window->requestClose()); // and the next close does not ask
    }

    void promptExitDuringARunEnds()
    {
        WindowFixture f(u"On"_s);
        f.core->engine().queuelist(u"News"_s);
        QVERIFY(f.core->engine().transferActive());
        QString runLine;
        whenModalShown([&](QWidget *dialog) {
            runLine = dialog->findChild<QLabel *>(u"activecap"_s)->text();
            dialog->findChild<QPushButton *>(u"exitbtn"_s)->click();
        });
        QVERIFY(f.window->requestClose());
        QVERIFY(runLine.startsWith(u"Transfer Active: "_s));
        QCOMPARE(f.storedTrayClose(), u"On"_s);
    }

    void promptCancelStays()
    {
        WindowFixture f(u"On"_s);
        whenModalShown([](QWidget *dialog) { dialog->findChild<QPushButton *>(u"cancelbtn"_s)->click(); });
        QVERIFY(!f.window->requestClose());
    }

    void queueWhileIdle()
    {
        WindowFixture f;
        f.window->showQueue();
        QCOMPARE(pw::gui::Prompt::shown(), QStringList{u"There are no items in the Queue to display."_s});
        QVERIFY(!f.window->queueForm()->isVisible());
    }

    void queueOfThreeUrls()
    {
        WindowFixture f; // one slot, four URLs: one fetched, three waiting
        f.core->engine().queuelist(u"News"_s);
        QTRY_COMPARE(f.http.requests().size(), 1);
        f.window->showQueue();
        QVERIFY(f.window->queueForm()->isVisible());
        auto *list = f.window->queueForm()->findChild<QTreeWidget *>(u"queuelist"_s);
        QCOMPARE(list->topLevelItemCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list->topLevelItem(i)->text(0), u"News"_s);
            QCOMPARE(list->topLevelItem(i)->text(1), f.http.url(u"/p%1"_s.arg(i + 1)));
            QCOMPARE(list->topLevelItem(i)->text(2), u"Page %1"_s.arg(i + 1));
        }
        QVERIFY(f.window->queueForm()->findChild<QLabel *>(u"timequeue"_s)->text() != u"Idle"_s);
        f.window->queueForm()->close();
    }

    void abortWithoutARun()
    {
        WindowFixture f;
        f.window->abort();
        QCOMPARE(pw::gui::Prompt::shown(), QStringList{u"No transfers are currently active."_s});
    }

    void clientThatCannotBeFound()
    {
        WindowFixture f;
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(f.home.path(u"no-install"_s)));
        f.window->activateClient();
        qunsetenv("PAGEWARDEN_INSTALL");
        QCOMPARE(pw::gui::Prompt::shown(),
                 QStringList{u"The Pagewarden Client could not be found. Please re-install."_s});
    }

    void helpTopicsFallBackToContents()
    {
        pwtest::TestHome home;
        const QString install = home.path(u"install"_s);
        QDir().mkpath(install + u"/help"_s);
        QFile(install + u"/help/1064.html"_s).open(QIODevice::WriteOnly);
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(install));
        QCOMPARE(pw::gui::HelpWindow::topicFile(1064), install + u"/help/1064.html"_s);
        QCOMPARE(pw::gui::HelpWindow::topicFile(4242), install + u"/help/1000.html"_s);
        qunsetenv("PAGEWARDEN_INSTALL");
    }
};

QTEST_MAIN(TestServerWindows)
#include "tst_serverwindows.moc"
