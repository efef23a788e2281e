// The client's main window offscreen: start-up, the tree and its menu, and what the
// window does with the lines of a (test-played) server over a real TCP connection.
#include "support/fakelinkserver.h"
#include "support/freeport.h"
#include "support/testhome.h"

#include "clienthome.h"

#include "client/app/mainwindow.h"
#include "client/app/urltree.h"
#include "client/core/clientmessages.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "store/paths.h"
#include "store/webboxeslist.h"

#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::MainWindow;
using pw::client::qs;
using pw::gui::Prompt;

namespace {

// The menu's shape as text: entries in order, submenus in brackets.
QString menuShape(const QMenu *menu)
{
    QStringList parts;
    for (QAction *action : menu->actions()) {
        if (QMenu *sub = action->menu())
            parts << action->text() + u" ["_s + menuShape(sub) + u"]"_s;
        else
            parts << action->text();
    }
    return parts.join(u", "_s);
}

QAction *actionNamed(const MainWindow &window, const QString &name)
{
    return window.findChild<QAction *>(name);
}

void pressNode(MainWindow &window, const QString &text, Qt::MouseButton button = Qt::LeftButton)
{
    pw::client::UrlTree *tree = window.tree();
    const QList<QTreeWidgetItem *> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    QTest::mousePress(tree->viewport(), button, {}, tree->visualItemRect(found.first()).center());
    QTest::mouseRelease(tree->viewport(), button, {}, tree->visualItemRect(found.first()).center());
}

class RecordingInbox final : public pw::client::InboxUpdateTarget
{
public:
    void processlist(const pw::link::InboxUpdate &update) override { rows.append(update); }
    QList<pw::link::InboxUpdate> rows;
};

class RecordingEditor final : public pw::client::EditUpdateTarget
{
public:
    bool processeditlist(const pw::link::EditUpdate &update) override
    {
        updates.append(update);
        return accept;
    }
    QList<pw::link::EditUpdate> updates;
    bool accept = true;
};

class RecordingReports final : public pw::client::ReportUpdateTarget
{
public:
    bool isShowing() const override { return showing; }
    bool processreport(const pw::link::ReportUpdate &update) override
    {
        reports.append(update);
        return true;
    }
    QList<pw::link::ReportUpdate> reports;
    bool showing = false;
};

} // namespace

class TestClientMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstStartWritesTheRootOnly()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        MainWindow window;
        QVERIFY(window.forminit());
        QCOMPARE(pwtest::readAll(pw::paths::treeIndexFile()), QByteArray("Pagewarden\r\n"));
        QCOMPARE(window.tree()->topLevelItemCount(), 1);
        QVERIFY(!window.findChild<QMenu *>(u"webboxesmenu"_s)->isEnabled());
        QCOMPARE(window.panelText(0), u"Pagewarden Idle."_s);
        QCOMPARE(window.panelText(1), QString());
        QCOMPARE(window.windowTitle(), u"Pagewarden"_s);
        QTRY_VERIFY(server.hasClient());
        QCOMPARE(window.serverStarter().startedPid(), 0); // the running server answered
        QVERIFY(Prompt::shown().isEmpty());
    }

    void treeOfThreeLevelsAndItsMenu()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        client.addLists({u"Daily"_s, u"Inner"_s, u"Prices"_s, u"Gone"_s});
        QDir(pw::paths::dataDir() + u"Gone"_s).removeRecursively(); // a name without its folder
        const QByteArray index = "Pagewarden\r\n\tNews\r\n\t\tDaily\r\n\t\tDeep\r\n\t\t\tInner\r\n\tPrices\r\n"
                                 "\tEmpty\r\n\tGone\r\n";
        client.writeIndex(index);

        MainWindow window;
        QVERIFY(window.forminit());
        QCOMPARE(window.indexbox(), (QStringList{u"Daily"_s, u"Inner"_s, u"Prices"_s}));
        QCOMPARE(window.tree()->treeItems().size(), 8);
        const QMenu *menu = window.findChild<QMenu *>(u"webboxesmenu"_s);
        QVERIFY(menu->isEnabled());
        QCOMPARE(menuShape(menu), u"News [Daily, Deep [Inner]], Prices, Empty, Gone"_s);

        // The loaded tree is written back unchanged.
        QVERIFY(window.saveTreeIndex());
        QCOMPARE(pwtest::readAll(pw::paths::treeIndexFile()), index);

        // Node kinds follow the names: a name without its folder is a folder.
        const auto kind = [&](const QString &text) {
            return window.tree()->isUrlList(
                window.tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).first());
        };
        QVERIFY(kind(u"Daily"_s));
        QVERIFY(kind(u"Inner"_s));
        QVERIFY(!kind(u"News"_s));
        QVERIFY(!kind(u"Gone"_s));
    }

    void startFailures_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<bool>("serverProgram");
        QTest::addColumn<QString>("message");
        QTest::newRow("tree index jumps two levels")
            << QByteArray("Pagewarden\r\n\t\t\tDeep\r\n") << true << qs(pw::client::text::kMustTerminate);
        QTest::newRow("server program missing") << QByteArray() << false << qs(pw::client::text::kServerMissing);
    }

    void startFailures()
    {
        QFETCH(QByteArray, index);
        QFETCH(bool, serverProgram);
        QFETCH(QString, message);
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port(), serverProgram);
        if (!index.isEmpty())
            client.writeIndex(index);
        MainWindow window;
        QVERIFY(!window.forminit());
        QCOMPARE(Prompt::shown(), QStringList{message});
        QCOMPARE(server.connections(), 0); // no connection was tried
        // A bad index is left as it was; a missing server is found only after the tree load.
        QCOMPARE(pwtest::readAll(pw::paths::treeIndexFile()), index.isEmpty() ? QByteArray("Pagewarden\r\n") : index);
    }

    void serverLinesDriveTheWindow()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        MainWindow window;
        QVERIFY(window.forminit());
        QTRY_VERIFY(server.hasClient());
        QAction *retrieveAll = actionNamed(window, u"retrieveallitem"_s);
        QAction *retrieveButton = actionNamed(window, u"retrievebtn"_s);

        server.send({"TRANSFERACTIVE TRUE"});
        QTRY_COMPARE(window.panelText(0), u"Pagewarden Data Transfer Active."_s);
        server.send({"ABORTING TRUE"});
        QTRY_VERIFY(!retrieveAll->isEnabled());
        QVERIFY(!retrieveButton->isEnabled());
        server.send({"TRANSFERINFO Last Retrieval: [Completed:3] [New/Modified:1] [Unchanged:2] [Errors:0]",
                     "TRANSFERACTIVE FALSE"});
        QTRY_COMPARE(window.panelText(0), u"Pagewarden Idle."_s);
        QCOMPARE(window.panelText(1), u"Last Retrieval: [Completed:3] [New/Modified:1] [Unchanged:2] [Errors:0]"_s);
        // Still aborting: only "ABORTING FALSE" gives Retrieve All back.
        QVERIFY(!retrieveAll->isEnabled());
        server.send({"ABORTING FALSE"});
        QTRY_VERIFY(retrieveAll->isEnabled());
        QVERIFY(retrieveButton->isEnabled());

        // A link error returns the window to idle.
        server.send({"TRANSFERACTIVE TRUE", "ABORTING TRUE"});
        QTRY_VERIFY(!retrieveAll->isEnabled());
        server.dropClient();
        QTRY_VERIFY(retrieveAll->isEnabled());
        QCOMPARE(window.panelText(0), u"Pagewarden Idle."_s);
        QVERIFY(!window.dispatcher().transferActive());
        QVERIFY(Prompt::shown().isEmpty());
    }

    void updateBlocksReachTheirWindows()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        MainWindow window;
        RecordingInbox inbox;
        RecordingEditor editor;
        RecordingReports reports;
        window.setInboxTarget(&inbox);
        window.setEditTarget(&editor);
        window.setReportTarget(&reports);
        QVERIFY(window.forminit());
        QTRY_VERIFY(server.hasClient());

        const QList<QByteArray> body = {"News", "Daily", "http://a.example/", "3/7/1999 9:05:12 PM",
                                        "*",    "120",   "/d/News/p.htm",     "FALSE"};
        server.send(QList<QByteArray>{"BEGININBOXUPDATE"} + body.mid(0, 7) + QList<QByteArray>{"ENDINBOXUPDATE"});
        server.send(QList<QByteArray>{"BEGININBOXUPDATE"} + body + QList<QByteArray>{"extra", "ENDINBOXUPDATE"});
        QTRY_COMPARE(inbox.rows.size(), 1);
        QCOMPARE(inbox.rows.first().fileLocation, u"/d/News/p.htm"_s);
        QVERIFY(!inbox.rows.first().keepOne);

        // An editor block while no editor is open changes nothing; the next one counts.
        const QList<QByteArray> edit = {"BEGINEDITUPDATE", "News", "http://a.example/", "*", "120", "ENDEDITUPDATE"};
        server.send(edit);
        server.send({"SCHEDUPDATE"}); // a marker: once handled, the block before it was too
        QSignalSpy schedule(&window.clientSettings(), &pw::client::ClientSettings::scheduleChanged);
        QTRY_COMPARE(schedule.size(), 1);
        QVERIFY(editor.updates.isEmpty());
        window.setEditorOpen(true);
        editor.accept = false;
        server.send(edit);
        QTRY_COMPARE(editor.updates.size(), 1);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kTransactionError)});

        // Reports reach the reports window only while it shows.
        const QList<QByteArray> report = {"BEGINREPORTUPDATE", "3/7/1999 9:05:12 PM", "News",
                                          "/r/x.txt",          "ENDREPORTUPDATE",     "SCHEDUPDATE"};
        server.send(report);
        QTRY_COMPARE(schedule.size(), 2);
        QVERIFY(reports.reports.isEmpty());
        reports.showing = true;
        server.send(report);
        QTRY_COMPARE(reports.reports.size(), 1);
        QCOMPARE(reports.reports.first().fileLocation, u"/r/x.txt"_s);
    }

    void retrieveCommands()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        client.addLists({u"News"_s});
        client.writeIndex("Pagewarden\r\n\tFolder\r\n\t\tNews\r\n");
        MainWindow window;
        QVERIFY(window.forminit());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.tree()->expandAll();

        actionNamed(window, u"retrievebtn"_s)->trigger();
        QTRY_COMPARE(server.received, QList<QByteArray>{"GETALL"});

        // Retrieve Single acts on the URL List last pressed; a folder press clears it.
        pressNode(window, u"News"_s);
        QCOMPARE(window.selectedListName(), u"News"_s);
        window.retrieveSingle();
        QTRY_COMPARE(server.received.last(), QByteArray("RETR News"));
        pressNode(window, u"Folder"_s);
        QCOMPARE(window.selectedListName(), QString());
        window.retrieveSingle();
        QTest::qWait(50);
        QCOMPARE(server.received.size(), 2);

        // After the server went away, one reconnect is tried before a command is given up.
        server.dropClient();
        server.close();
        QTRY_VERIFY(!window.link().isOpen());
        actionNamed(window, u"retrievebtn"_s)->trigger();
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kServerNotAvailable)});
        QCOMPARE(server.received.size(), 2);
    }

    void treePopupFollowsThePressedNode_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<bool>("aborting");
        QTest::addColumn<bool>("retrieveSingle");
        QTest::addColumn<QString>("selected");
        QTest::newRow("URL List") << u"News"_s << false << true << u"News"_s;
        QTest::newRow("URL List while aborting") << u"News"_s << true << false << u"News"_s;
        QTest::newRow("folder") << u"Folder"_s << false << false << QString();
        QTest::newRow("root") << u"Pagewarden"_s << false << false << u"Pagewarden"_s;
    }

    void treePopupFollowsThePressedNode()
    {
        QFETCH(QString, node);
        QFETCH(bool, aborting);
        QFETCH(bool, retrieveSingle);
        QFETCH(QString, selected);
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        client.addLists({u"News"_s});
        client.writeIndex("Pagewarden\r\n\tFolder\r\n\tNews\r\n");
        MainWindow window;
        QVERIFY(window.forminit());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(server.hasClient());
        if (aborting) {
            server.send({"ABORTING TRUE"});
            QTRY_VERIFY(window.dispatcher().aborting());
        }
        pressNode(window, node, Qt::RightButton);
        const QMenu *popup = window.findChild<QMenu *>(u"treepopup"_s);
        const auto entry = [&](const QString &text) {
            for (QAction *action : popup->actions()) {
                if (action->text() == text)
                    return action;
            }
            return static_cast<QAction *>(nullptr);
        };
        QCOMPARE(entry(u"Retrieve &Single"_s)->isEnabled(), retrieveSingle);
        QVERIFY(entry(u"Doc&ked"_s)->isEnabled());
        QVERIFY(entry(u"Toggle &View"_s)->isEnabled());
        QCOMPARE(window.selectedListName(), selected);
        QCOMPARE(popup->actions().size(), 13); // ten entries, three separators
    }

    void dockingAndToggleView()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        MainWindow window;
        QVERIFY(window.forminit());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *dock = window.findChild<QDockWidget *>(u"treedock"_s);
        QCOMPARE(dock->windowTitle(), u"Pagewarden"_s);
        QCOMPARE(window.dockWidgetArea(dock), Qt::LeftDockWidgetArea);

        QAction *docked = nullptr;
        for (QAction *action : window.findChild<QMenu *>(u"treepopup"_s)->actions()) {
            if (action->text() == u"Doc&ked"_s)
                docked = action;
        }
        QVERIFY(docked->isChecked());
        docked->trigger();
        QVERIFY(dock->isFloating());
        QVERIFY(!docked->isChecked());
        docked->trigger();
        QVERIFY(!dock->isFloating());
        QVERIFY(docked->isChecked());

        actionNamed(window, u"togglebtn"_s)->trigger();
        QVERIFY(!dock->isVisible());
        actionNamed(window, u"togglebtn"_s)->trigger();
        QVERIFY(dock->isVisible());
    }

    void savetreeStoresNamesAndTellsTheServer()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        client.addLists({u"News"_s, u"Prices"_s, u"Weather"_s});
        MainWindow window;
        QVERIFY(window.forminit());
        QTRY_VERIFY(server.hasClient());
        window.indexbox().removeAt(1);
        window.savetree();
        QTRY_COMPARE(server.received, QList<QByteArray>{"REFRESHLIST"});
        auto store = pw::paths::openSettings();
        QCOMPARE(pw::loadWebBoxesList(*store, pw::paths::dataDir()).names, (QStringList{u"News"_s, u"Weather"_s}));
        // The stale third value stays behind the new count.
        QCOMPARE(store->value(u"WebBoxes/Count"_s).toString(), u"2"_s);
        QCOMPARE(store->value(u"WebBoxes/2"_s).toString(), u"Weather"_s);
    }

    void hintsAndWebCommands()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        {
            auto store = pw::paths::openSettings();
            store->setValue(u"Defaults/Default URL"_s, u"https://example.net/start"_s);
        }
        MainWindow window;
        QVERIFY(window.forminit());
        QVERIFY(!window.clientSettings().showFirst());
        window.clientSettings().setShowFirst(true);
        QCOMPARE(pw::paths::openSettings()->value(u"Defaults/ShowFirst"_s).toString(), u"On"_s);
        QAction *hints = actionNamed(window, u"showhintsitem"_s);
        QVERIFY(hints->isChecked());
        hints->trigger();
        QVERIFY(!hints->isChecked());
        QCOMPARE(pw::paths::openSettings()->value(u"Defaults/Hints"_s).toString(), u"FALSE"_s);

        pw::gui::UrlOpener::setRecording(true);
        pw::gui::UrlOpener::clearOpened();
        actionNamed(window, u"webbtn"_s)->trigger();
        pw::gui::UrlOpener::setRecording(false);
        QCOMPARE(pw::gui::UrlOpener::opened(), QList<QUrl>{QUrl(u"https://example.net/start"_s)});
    }

    void closingSaysGoodbye()
    {
        pwtest::FakeLinkServer server;
        pwtest::ClientHome client(server.port());
        {
            auto store = pw::paths::openSettings();
            store->setValue(u"Defaults/NewRetrieve"_s, u"TRUE"_s);
        }
        MainWindow window;
        QVERIFY(window.forminit());
        window.show();
        // The notice of new retrievals comes shortly after the window shows.
        QTRY_COMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNewRetrievals)});
        QTRY_VERIFY(server.hasClient());

        window.close();
        QTRY_COMPARE(server.received, QList<QByteArray>{"CLIENTCLOSE"});
        QVERIFY(QFileInfo(pw::paths::windowListFile()).isFile());
        QVERIFY(!pw::paths::openSettings()->value(u"Toolbars/State"_s).toByteArray().isEmpty());
    }
};

QTEST_MAIN(TestClientMainWindow)
#include "tst_clientmainwindow.moc"
