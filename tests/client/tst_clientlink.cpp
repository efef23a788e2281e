// The client's side of the link without windows: the received-line rules, the TCP
// connection against a real listening socket, the start of the server and the client's
// settings and log copies.
#include "support/fakelinkserver.h"
#include "support/freeport.h"
#include "support/testhome.h"

#include "client/core/actionlogrows.h"
#include "client/core/clientsettings.h"
#include "client/core/linkdispatcher.h"
#include "client/core/serverlink.h"
#include "client/core/serverstarter.h"
#include "store/paths.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::LinkDispatcher;

namespace {

// Everything the dispatcher reports, one text per event, in order.
QStringList recordEvents(const QList<QByteArray> &lines)
{
    LinkDispatcher dispatcher;
    QStringList events;
    QObject::connect(&dispatcher, &LinkDispatcher::transferActiveChanged, &dispatcher,
                     [&](bool on) { events << u"active %1"_s.arg(on); });
    QObject::connect(&dispatcher, &LinkDispatcher::abortingChanged, &dispatcher,
                     [&](bool on) { events << u"aborting %1"_s.arg(on); });
    QObject::connect(&dispatcher, &LinkDispatcher::transferInfo, &dispatcher,
                     [&](const QString &text) { events << u"info "_s + text; });
    QObject::connect(&dispatcher, &LinkDispatcher::scheduleUpdated, &dispatcher, [&] { events << u"schedule"_s; });
    QObject::connect(&dispatcher, &LinkDispatcher::dialUpState, &dispatcher,
                     [&](const QString &keyword, bool on) { events << u"%1 %2"_s.arg(keyword).arg(on); });
    QObject::connect(&dispatcher, &LinkDispatcher::inboxUpdate, &dispatcher, [&](const pw::link::InboxUpdate &u) {
        events << QStringList{u"inbox"_s, u.listName,     u.description,
                              u.url,      u.dateTime,     u.lastModified,
                              u.size,     u.fileLocation, u.keepOne ? u"keep"_s : u"all"_s}
                      .join(u'|');
    });
    QObject::connect(&dispatcher, &LinkDispatcher::reportUpdate, &dispatcher, [&](const pw::link::ReportUpdate &u) {
        events << QStringList{u"report"_s, u.dateTime, u.listName, u.fileLocation}.join(u'|');
    });
    QObject::connect(&dispatcher, &LinkDispatcher::editUpdate, &dispatcher, [&](const pw::link::EditUpdate &u) {
        events << QStringList{u"edit"_s, u.listName, u.url, u.lastModified, u.size}.join(u'|');
    });
    for (const QByteArray &line : lines)
        dispatcher.IPPort1DataIn(QString::fromUtf8(line));
    return events;
}

const QList<QByteArray> kInboxBody = {"News", " Daily page ", "http://a.example/",   "3/7/1999 9:05:12 PM",
                                      "*",    "120",          "/data/News/page.htm", "TRUE"};

QList<QByteArray> block(const QByteArray &kind, const QList<QByteArray> &body)
{
    return QList<QByteArray>{"BEGIN" + kind + "UPDATE"} + body + QList<QByteArray>{"END" + kind + "UPDATE"};
}

} // namespace

class TestClientLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void receivedLines_data()
    {
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QStringList>("events");

        const QString inbox =
            u"inbox|News|Daily page|http://a.example/|3/7/1999 9:05:12 PM|*|120|/data/News/page.htm|keep"_s;
        QTest::newRow("transfer active") << QList<QByteArray>{"TRANSFERACTIVE TRUE", "TRANSFERACTIVE FALSE"}
                                         << QStringList{u"active 1"_s, u"active 0"_s};
        QTest::newRow("value is trimmed, other values mean false")
            << QList<QByteArray>{"TRANSFERACTIVE   TRUE  ", "TRANSFERACTIVE yes"}
            << QStringList{u"active 1"_s, u"active 0"_s};
        QTest::newRow("keyword without a blank is ignored")
            << QList<QByteArray>{"TRANSFERACTIVE", "ABORTING", "TRANSFERINFO"} << QStringList{};
        QTest::newRow("aborting") << QList<QByteArray>{"ABORTING TRUE", "ABORTING FALSE"}
                                  << QStringList{u"aborting 1"_s, u"aborting 0"_s};
        QTest::newRow("transfer info is the text after the first blank")
            << QList<QByteArray>{"TRANSFERINFO Last Retrieval: [Completed:3] [New/Modified:1] [Unchanged:2] [Errors:0]"}
            << QStringList{u"info Last Retrieval: [Completed:3] [New/Modified:1] [Unchanged:2] [Errors:0]"_s};
        QTest::newRow("schedule and dial-up states")
            << QList<QByteArray>{"SCHEDUPDATE", "DUNCONNECTING TRUE", "DUNCONNECTED FALSE"}
            << QStringList{u"schedule"_s, u"DUNCONNECTING 1"_s, u"DUNCONNECTED 0"_s};
        QTest::newRow("inbox block, fields trimmed") << block("INBOX", kInboxBody) << QStringList{inbox};
        QTest::newRow("inbox block of 7 lines changes nothing")
            << block("INBOX", kInboxBody.mid(0, 7)) << QStringList{};
        QTest::newRow("inbox block of 9 lines uses the first 8")
            << block("INBOX", kInboxBody + QList<QByteArray>{"extra"}) << QStringList{inbox};
        QTest::newRow("a short block does not leak into the next")
            << block("INBOX", kInboxBody.mid(0, 3)) + block("INBOX", kInboxBody) << QStringList{inbox};
        QTest::newRow("two identical blocks are both reported")
            << block("INBOX", kInboxBody) + block("INBOX", kInboxBody) << QStringList{inbox, inbox};
        QTest::newRow("a state line inside a block is a state line")
            << QList<QByteArray>{"BEGININBOXUPDATE", "TRANSFERACTIVE TRUE"} + kInboxBody
                   + QList<QByteArray>{"ENDINBOXUPDATE"}
            << QStringList{u"active 1"_s, inbox};
        QTest::newRow("keep-one flag other than TRUE")
            << block("INBOX", kInboxBody.mid(0, 7) + QList<QByteArray>{"true"})
            << QStringList{QString(inbox).replace(u"|keep"_s, u"|all"_s)};
        QTest::newRow("report and edit blocks")
            << block("REPORT", {"3/7/1999 9:05:12 PM", "News", "/r/News.txt"})
                   + block("EDIT", {"News", "http://a.example/", "Sun, 07 Mar 1999 21:05:12 GMT", "120"})
            << QStringList{u"report|3/7/1999 9:05:12 PM|News|/r/News.txt"_s,
                           u"edit|News|http://a.example/|Sun, 07 Mar 1999 21:05:12 GMT|120"_s};
        QTest::newRow("short report and edit blocks are dropped")
            << block("REPORT", {"3/7/1999 9:05:12 PM", "News"}) + block("EDIT", {"News", "http://a.example/", "*"})
            << QStringList{};
        QTest::newRow("a report BEGIN inside an inbox block is a body line")
            << QList<QByteArray>{"BEGININBOXUPDATE", "BEGINREPORTUPDATE"} + kInboxBody.mid(1)
                   + QList<QByteArray>{"ENDINBOXUPDATE"}
            << QStringList{u"inbox|BEGINREPORTUPDATE|Daily page|http://a.example/|3/7/1999 9:05:12 PM|*|120|/data/"
                           "News/page.htm|keep"_s};
        QTest::newRow("unknown and lower-case lines are ignored")
            << QList<QByteArray>{"HELLO", "transferactive TRUE", "", "ENDINBOXUPDATE"} << QStringList{};
    }

    void receivedLines()
    {
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QStringList, events);
        QCOMPARE(recordEvents(lines), events);
    }

    void linesBothWaysOverTcp()
    {
        pwtest::FakeLinkServer server;
        pw::client::ServerLink link(server.port());
        QSignalSpy received(&link, &pw::client::ServerLink::lineReceived);
        QVERIFY(link.serverconnect());
        QTRY_VERIFY(server.hasClient());

        QVERIFY(link.send(u"RETR Nachrichten ü"_s));
        QVERIFY(link.send(u"GETALL"_s));
        QTRY_COMPARE(server.received, (QList<QByteArray>{"RETR Nachrichten \xc3\xbc", "GETALL"}));

        // A line longer than the link allows is dropped whole; the next one still arrives.
        server.send({QByteArray(pw::link::kMaxLine + 10, 'x'), "TRANSFERACTIVE TRUE", "TRANSFERINFO \xc3\xbc"});
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.at(0).at(0).toString(), u"TRANSFERACTIVE TRUE"_s);
        QCOMPARE(received.at(1).at(0).toString(), u"TRANSFERINFO ü"_s);
    }

    void serverGoingAwayIsALinkError()
    {
        pwtest::FakeLinkServer server;
        pw::client::ServerLink link(server.port());
        QSignalSpy errors(&link, &pw::client::ServerLink::linkError);
        QVERIFY(link.serverconnect());
        QTRY_VERIFY(server.hasClient());
        server.dropClient();
        QTRY_COMPARE(errors.size(), 1);
        QVERIFY(!link.isOpen());
        QVERIFY(!link.send(u"GETALL"_s));
    }

    void connectingOnceToNothing()
    {
        const quint16 port = pwtest::freeLoopbackPort();
        pw::client::ServerLink link(port);
        // A refused connect ends the wait at once.
        QVERIFY(!link.serverconnect());
        QVERIFY(!link.sendConnectingOnce(u"REFRESHLIST"_s));

        // Once a server listens there, the next sender connects first.
        QTcpServer late;
        QVERIFY(late.listen(QHostAddress::LocalHost, port));
        QVERIFY(link.sendConnectingOnce(u"REFRESHLIST"_s));
        QTRY_VERIFY(late.hasPendingConnections());
        QTcpSocket *peer = late.nextPendingConnection();
        QByteArray got;
        QTRY_COMPARE((got += peer->readAll()), QByteArray("REFRESHLIST\n"));
    }

    void starterWithoutServerProgram()
    {
        pwtest::TestHome home;
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(home.path(u"install"_s)));
        QDir().mkpath(home.path(u"install"_s));
        pw::client::ServerLink link(pwtest::freeLoopbackPort());
        pw::client::ServerStarter starter(link);
        QCOMPARE(starter.connectOrStart(), pw::client::ServerStarter::Result::ServerMissing);
        qunsetenv("PAGEWARDEN_INSTALL");
    }

    // A stand-in server program: records how it was started, and either ends at once or
    // starts listening on the link port only after a delay, as a slow server would.
    void starterStartsTheServerAndRetries_data()
    {
        QTest::addColumn<bool>("listens");
        QTest::newRow("server comes up late") << true;
        QTest::newRow("server never answers") << false;
    }

    void starterStartsTheServerAndRetries()
    {
        QFETCH(bool, listens);
        pwtest::TestHome home;
        const QString install = home.path(u"install"_s);
        QDir().mkpath(install);
        const quint16 port = pwtest::freeLoopbackPort();
        const QString argsFile = home.path(u"args.txt"_s);
        QByteArray script = "#!/bin/sh\necho \"$@\" > '" + QFile::encodeName(argsFile) + "'\n";
        if (listens)
            script += "exec /usr/bin/python3 -c 'import socket,time\ntime.sleep(0.3)\ns=socket.socket()\n"
                      "s.setsockopt(socket.SOL_SOCKET,socket.SO_REUSEADDR,1)\ns.bind((\"127.0.0.1\","
                      + QByteArray::number(port) + "))\ns.listen(1)\nc,a=s.accept()\ntime.sleep(2)'\n";
        const QString program = home.writeFile(u"install/wardserv"_s, script);
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PAGEWARDEN_INSTALL", QFile::encodeName(install));

        pw::client::ServerLink link(port);
        pw::client::ServerStarter starter(link);
        starter.setRetryPauses({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
        const auto result = starter.connectOrStart();
        qunsetenv("PAGEWARDEN_INSTALL");
        QVERIFY(starter.startedPid() > 0);
        QTRY_COMPARE(pwtest::readAll(argsFile), QByteArray("--minimized\n"));
        QCOMPARE(result,
                 listens ? pw::client::ServerStarter::Result::Connected : pw::client::ServerStarter::Result::NoAnswer);
        QCOMPARE(link.isOpen(), listens);
    }

    void newRetrieveNoticeIsTakenOnce()
    {
        pwtest::TestHome home;
        {
            auto store = pw::paths::openSettings();
            store->setValue(u"Defaults/NewRetrieve"_s, u"TRUE"_s);
        }
        pw::client::ClientSettings settings;
        settings.load();
        // A plain load (the Setup dialog's) leaves the mark for the start.
        QCOMPARE(pw::paths::openSettings()->value(u"Defaults/NewRetrieve"_s).toString(), u"TRUE"_s);
        QVERIFY(settings.takeNewRetrievalsNotice());
        QVERIFY(settings.newRetrievalsNotice());
        QCOMPARE(pw::paths::openSettings()->value(u"Defaults/NewRetrieve"_s).toString(), u"FALSE"_s);
        // The data directories exist after a load.
        QVERIFY(QFileInfo(pw::paths::dataDir()).isDir());
        QVERIFY(QFileInfo(pw::paths::logDir()).isDir());
        QVERIFY(QFileInfo(pw::paths::reportsDir()).isDir());

        pw::client::ClientSettings again;
        again.load();
        QVERIFY(!again.takeNewRetrievalsNotice());
    }

    void scheduleReloadSeesTheServersRewrite()
    {
        pwtest::TestHome home;
        pw::client::ClientSettings settings;
        settings.load();
        QVERIFY(settings.settings().schedview.isEmpty());
        {
            auto store = pw::paths::openSettings();
            pw::settings::writeSchedule(*store, {{u"3/8/1999 9:05 PM"_s, u"News"_s, u"3/7/1999 9:05 PM"_s}});
        }
        QSignalSpy changed(&settings, &pw::client::ClientSettings::scheduleChanged);
        settings.reloadSchedule();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(settings.settings().schedview,
                 (QList<pw::ScheduleRow>{{u"3/8/1999 9:05 PM"_s, u"News"_s, u"3/7/1999 9:05 PM"_s}}));
    }

    void actionLogCopy()
    {
        pwtest::TestHome home;
        pw::paths::createDataDirectories();
        const QString log = pw::paths::logFile();
        pw::client::ActionLogRows rows;

        // A missing log is created empty.
        QCOMPARE(rows.loadactionlog(log), pw::client::ActionLogRows::Load::Ok);
        QVERIFY(QFileInfo(log).isFile());

        home.writeFile(u"home/logdata/error.log"_s, "3/7/1999 9:05:12 PM News Page not found\r\n"
                                                    "no marker here\r\n"
                                                    "3/8/1999 10:00:00 AM Prices timed out\r\n");
        QCOMPARE(rows.loadactionlog(log), pw::client::ActionLogRows::Load::Ok);
        QCOMPARE(rows.rows(), (QList<pw::LogEntry>{{u"3/7/1999 9:05:12 PM"_s, u"News Page not found"_s},
                                                   {u"3/8/1999 10:00:00 AM"_s, u"Prices timed out"_s}}));

        // The window deletes one row while the server appends a line: both stand.
        rows.rows().removeFirst();
        QVERIFY(pw::appendLogEntry(log, {u"3/9/1999 1:00:00 PM"_s, u"Weather added"_s}));
        QVERIFY(rows.saveactionlog(log));
        QCOMPARE(pwtest::readAll(log),
                 QByteArray("3/8/1999 10:00:00 AM Prices timed out\r\n3/9/1999 1:00:00 PM Weather added\r\n"));
        QCOMPARE(rows.rows().size(), 2);
    }

    void unreadableActionLog()
    {
        pwtest::TestHome home;
        pw::paths::createDataDirectories();
        // A directory where the file should be: tests run as root, so permissions cannot fail.
        QVERIFY(QDir().mkpath(pw::paths::logFile()));
        pw::client::ActionLogRows rows;
        QString error;
        QCOMPARE(rows.loadactionlog(pw::paths::logFile(), &error), pw::client::ActionLogRows::Load::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(rows.rows().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClientLink)
#include "tst_clientlink.moc"
