// Dial-up networking of the server, against a scripted dial-up layer: the real server core,
// its link on a TCP socket, real settings, list and log files.
#include "support/fakedialup.h"
#include "support/httpserver.h"
#include "support/lineclient.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "gui/prompt.h"
#include "server/app/mainwindow.h"
#include "server/engine/servercore.h"
#include "store/actionlog.h"
#include "store/nmdialup.h"
#include "store/passwordcipher.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/webboxeslist.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::server::Dialer;
using pw::server::ServerCore;
using pwtest::FakeDialUp;
using pwtest::LineClient;
using Response = pwtest::ScriptedHttpServer::Response;

Q_DECLARE_METATYPE(pw::DialOutcome)

namespace {

const QString kConnecting = u"Dial-Up Networking: Connecting..."_s;
const QString kConnected = u"Dial-Up Networking: Connected."_s;
const QString kRedialing = u"Dial-Up Networking: Unable to connect, Redialing..."_s;
const QString kDisconnecting = u"Dial-Up Networking: Disconnecting..."_s;
const QString kDisconnected = u"Dial-Up Networking: Disconnected."_s;
const QString kAborted = u"Dial-Up Networking: Aborted."_s;

const QString kNotEstablished = u"Dial-Up Networking Error: DUN connect could not be established."_s;
const QString kNoEntry = u"Dial-Up Networking error: Mo DUN connection selected."_s;

QString refused(const QString &list)
{
    return u"Unable to establish Dial-Up networking connection for \""_s + list + u"\""_s;
}

const QList<QByteArray> kGreeting{"DUNCONNECTING FALSE", "DUNCONNECTED FALSE", "TRANSFERACTIVE FALSE"};

struct DialOptions
{
    QString user = u"user"_s;
    QString password = u"secret"_s;
    QString retries = u"5"_s;
    QString disconnect = u"On"_s;
    QStringList book{u"ISP"_s};
    bool bookFails = false;
    int newsPages = 1;
    int newsDelayMs = 0; // each page of "News"
};

// A server core with dial-up on, the entry "ISP" chosen, and two lists, "News" and
// "Sports", of pages on a scripted web server.
struct DialFixture
{
    pwtest::TestHome home;
    pwtest::ScriptedHttpServer http;
    FakeDialUp *dialUp = nullptr; // owned by the core
    std::unique_ptr<ServerCore> core;
    QStringList statuses; // the second status panel's texts, in order

    explicit DialFixture(const DialOptions &o = {})
        : DialFixture(o, nullptr)
    {
    }

    // A core over the given dial-up layer instead of the fake.
    DialFixture(const DialOptions &o, std::unique_ptr<pw::DialUpDevice> device)
    {
        const int newsDelay = o.newsDelayMs;
        http.setHandler([newsDelay](const pwtest::ScriptedHttpServer::Request &req) {
            Response r;
            r.body = "<p>page</p>" + req.path;
            if (req.path.startsWith("/News/"))
                r.delayMs = newsDelay;
            return r;
        });
        auto store = pw::paths::openSettings();
        const QList<std::pair<QString, QString>> values{
            {u"DUN"_s, u"On"_s},           {u"DUN-Index"_s, u"0"_s},
            {u"DUN-User"_s, o.user},       {u"DUN-Password"_s, pw::PasswordCipher::encipher(o.password)},
            {u"DUN-Retries"_s, o.retries}, {u"DUNDisconnect"_s, o.disconnect},
            {u"Threads"_s, u"1"_s}};
        for (const auto &[name, value] : values)
            store->setValue(u"Defaults/"_s + name, value);
        const pw::Settings s = pw::settings::load(*store, pw::EmptyPhoneBook());
        for (const QString &name : {u"News"_s, u"Sports"_s}) {
            QList<pw::UrlEntry> entries;
            const int pages = name == u"News"_s ? o.newsPages : 1;
            for (int i = 0; i < pages; ++i)
                entries.append(pwtest::urlEntry(http.url(u"/%1/%2"_s.arg(name).arg(i))));
            pw::writeUrlList(s.datadir, name, entries);
        }
        pw::saveWebBoxesList(*store, {u"News"_s, u"Sports"_s});
        store->sync();

        if (!device) {
            auto fake = std::make_unique<FakeDialUp>();
            fake->book = o.book;
            fake->bookFails = o.bookFails;
            dialUp = fake.get();
            device = std::move(fake);
        }
        core = std::make_unique<ServerCore>(std::move(device));
        core->engine().setWatchInterval(50);
        core->dialer().setDisconnectRetryPause(0);
        QObject::connect(&core->dialer(), &Dialer::statusChanged, &core->dialer(),
                         [this](const QString &text) { statuses.append(text); });
        core->start(0);
        pw::gui::Prompt::clearShown();
    }

    ~DialFixture()
    {
        if (core->engine().transferActive() || core->dialer().isBusy())
            core->engine().shutdown();
    }

    quint16 port() const { return core->link().port(); }

    QStringList log() const
    {
        QStringList out;
        for (const pw::LogEntry &e : pw::loadLog(pw::paths::logFile()).entries)
            out.append(e.message);
        return out;
    }

    QStringList fetched() const
    {
        QStringList paths;
        for (const auto &r : http.requests())
            paths.append(QString::fromUtf8(r.path));
        return paths;
    }

    // Until no dialling or hang-up is going on and no run is active.
    bool waitSettled(int timeoutMs = 30000)
    {
        return QTest::qWaitFor([this] { return !core->dialer().isBusy() && !core->engine().transferActive(); },
                               timeoutMs);
    }
};

// A connected client that has had its greeting.
std::unique_ptr<LineClient> connectClient(const DialFixture &f)
{
    auto client = std::make_unique<LineClient>(f.port());
    if (!client->waitForLines(3))
        return nullptr;
    return client;
}

bool waitForCount(const LineClient &client, const QByteArray &line, int count, int timeoutMs = 30000)
{
    return QTest::qWaitFor([&] { return client.lines.count(line) >= count; }, timeoutMs);
}

} // namespace

class TestDialUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void busyLineOrNoAnswerIsRedialled_data()
    {
        QTest::addColumn<pw::DialOutcome>("outcome");
        QTest::addColumn<QString>("retries");
        QTest::addColumn<int>("attempts");
        QTest::newRow("busy, 5 attempts") << FakeDialUp::busy() << u"5"_s << 5;
        QTest::newRow("no answer, 5 attempts") << FakeDialUp::noAnswer() << u"5"_s << 5;
        QTest::newRow("busy, 2 attempts") << FakeDialUp::busy() << u"2"_s << 2;
        QTest::newRow("retries not a number: one attempt") << FakeDialUp::busy() << u"x"_s << 1;
    }
    void busyLineOrNoAnswerIsRedialled()
    {
        QFETCH(pw::DialOutcome, outcome);
        QFETCH(QString, retries);
        QFETCH(int, attempts);
        DialOptions o;
        o.retries = retries;
        DialFixture f(o);
        for (int i = 0; i < 10; ++i)
            f.dialUp->script.append(outcome);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(waitForCount(*client, "DUNCONNECTING FALSE", 2));
        QVERIFY(f.waitSettled());

        QCOMPARE(f.dialUp->dials.size(), attempts);
        QStringList expected;
        for (int i = 1; i <= attempts; ++i) {
            expected << kConnecting << kDisconnecting << kDisconnected; // the busy line is hung up
            if (i < attempts)
                expected << kRedialing;
            else
                expected << kDisconnected << kDisconnecting << kDisconnected;
        }
        QCOMPARE(f.statuses, expected);

        QStringList expectedLog(attempts, kNotEstablished);
        expectedLog << refused(u"News"_s);
        QCOMPARE(f.log(), expectedLog); // no "Error/Message" line for a busy line
        QCOMPARE(client->lines.mid(0, 3), kGreeting);
        QCOMPARE(client->lines.mid(3),
                 (QList<QByteArray>{"DUNCONNECTING TRUE", "DUNCONNECTED FALSE", "DUNCONNECTING FALSE"}));
        QVERIFY(f.fetched().isEmpty()); // the retrieval was refused
        QVERIFY(f.dialUp->active.isEmpty());
    }

    void connectionAlreadyUpIsAdoptedAndLeftUp()
    {
        DialFixture f;
        f.dialUp->bringUp(u"ISP"_s);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(client->waitForLine("ABORTING FALSE"));

        QVERIFY(f.dialUp->dials.isEmpty()); // no dialling
        QCOMPARE(client->lines.mid(3, 5),
                 (QList<QByteArray>{"DUNCONNECTING TRUE", "DUNCONNECTED FALSE", "DUNCONNECTED TRUE",
                                    "DUNCONNECTING FALSE", "TRANSFERACTIVE TRUE"}));
        QCOMPARE(f.fetched(), QStringList{u"/News/0"_s});
        // The end of the run does not hang up a connection the server did not dial.
        QVERIFY(!f.core->dialer().isBusy());
        QCOMPARE(f.statuses, QStringList{kConnected});
        QVERIFY(f.dialUp->isUp(u"ISP"_s));
        QVERIFY(f.dialUp->calls.filter(u"hangup"_s).isEmpty());
        QVERIFY(f.log().isEmpty());
    }

    void noEntrySelectedRefusesTheRetrieval_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QStringList>("book");
        QTest::newRow("no user name") << QString() << QStringList{u"ISP"_s};
        QTest::newRow("empty phone book") << u"user"_s << QStringList();
    }
    void noEntrySelectedRefusesTheRetrieval()
    {
        QFETCH(QString, user);
        QFETCH(QStringList, book);
        DialOptions o;
        o.user = user;
        o.book = book;
        DialFixture f(o);
        QCOMPARE(f.core->engine().settings().pbookIndex, -1);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("GETALL\n");
        QVERIFY(waitForCount(*client, "DUNCONNECTING FALSE", 2));
        QVERIFY(f.waitSettled());

        // "Retrieve all" stops after the first list: no connection, no further attempt.
        QCOMPARE(f.log(), (QStringList{kNoEntry, refused(u"News"_s)}));
        QVERIFY(f.dialUp->dials.isEmpty());
        QVERIFY(f.fetched().isEmpty());
        QVERIFY(!client->lines.contains("DUNCONNECTED TRUE"));
        QVERIFY(!client->lines.contains("TRANSFERACTIVE TRUE"));
    }

    void otherFailureIsNotRedialled()
    {
        DialFixture f;
        f.dialUp->script = {FakeDialUp::failure(u"No dial tone"_s), FakeDialUp::busy()};
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(waitForCount(*client, "DUNCONNECTING FALSE", 2));
        QVERIFY(f.waitSettled());

        QCOMPARE(f.dialUp->dials.size(), 1);
        QCOMPARE(f.log(), (QStringList{u"Dial-Up Networking Error/Message: No dial tone"_s, kNotEstablished,
                                       refused(u"News"_s)}));
        QCOMPARE(f.statuses, (QStringList{kConnecting, kDisconnected, kDisconnecting, kDisconnected}));
        QVERIFY(f.fetched().isEmpty());
    }

    void entryThatCannotBeOpenedIsNotDialled()
    {
        DialFixture f;
        f.dialUp->inaccessible = {u"ISP"_s};
        f.core->engine().queuelist(u"News"_s);
        QVERIFY(QTest::qWaitFor([&] { return f.log().contains(refused(u"News"_s)); }));
        QVERIFY(f.waitSettled());
        QCOMPARE(f.log(),
                 (QStringList{u"Dial-Up Networking error: Failed to access DUN entry."_s, refused(u"News"_s)}));
        QVERIFY(f.dialUp->dials.isEmpty());
    }

    void abortWhileDialling()
    {
        DialFixture f;
        f.dialUp->holdDials = true;
        pw::server::MainWindow window(*f.core);
        auto *panel = window.findChild<QLabel *>(u"statusPanel1"_s);
        auto *abortAction = window.findChild<QAction *>(u"abortbtn"_s);
        QVERIFY(panel && abortAction);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(QTest::qWaitFor([&] { return f.dialUp->dialPending(); }));
        QCOMPARE(panel->text(), kConnecting);
        QVERIFY(QApplication::overrideCursor()); // busy cursor, yet the window is usable

        // The link is served while the line is dialled; "DUN" meanwhile is ignored.
        QSignalSpy reloads(f.core.get(), &ServerCore::settingsReloaded);
        client->send("DUN\nREFRESHSETUP\n");
        QVERIFY(reloads.wait());
        QCOMPARE(f.dialUp->dials.size(), 1);
        // A client that connects meanwhile is told a dialling is going on.
        client->send("CLIENTCLOSE\n");
        QVERIFY(QTest::qWaitFor([&] { return !f.core->link().isConnected(); }));
        client = connectClient(f);
        QVERIFY(client);
        QCOMPARE(client->lines,
                 (QList<QByteArray>{"DUNCONNECTING TRUE", "DUNCONNECTED FALSE", "TRANSFERACTIVE FALSE"}));

        QVERIFY(abortAction->isEnabled());
        abortAction->trigger();
        QVERIFY(f.waitSettled());
        QCOMPARE(panel->text(), kAborted);
        QVERIFY(pw::gui::Prompt::shown().isEmpty()); // nothing to say: the dialling was stopped
        QVERIFY(f.dialUp->active.isEmpty());         // the line was hung up while it was dialled
        QVERIFY(f.log().contains(refused(u"News"_s)));
        QVERIFY(f.fetched().isEmpty());
        QVERIFY(client->waitForLine("DUNCONNECTING FALSE"));
        QVERIFY(!client->lines.contains("DUNCONNECTED TRUE"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void dialledConnectionAtTheEndOfARun_data()
    {
        QTest::addColumn<QString>("disconnect");
        QTest::addColumn<bool>("hungUp");
        QTest::newRow("DUNDisconnect on: hung up") << u"On"_s << true;
        QTest::newRow("DUNDisconnect off: left up") << u"Off"_s << false;
    }
    void dialledConnectionAtTheEndOfARun()
    {
        QFETCH(QString, disconnect);
        QFETCH(bool, hungUp);
        DialOptions o;
        o.disconnect = disconnect;
        DialFixture f(o);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(client->waitForLine("ABORTING FALSE"));
        QVERIFY(f.waitSettled());

        QCOMPARE(f.dialUp->dials.size(), 1);
        const pw::DialRequest &request = f.dialUp->dials.first();
        QCOMPARE(request.entry, u"ISP"_s);
        QCOMPARE(request.user, u"user"_s);
        QCOMPARE(request.password, u"secret"_s); // deciphered
        QCOMPARE(client->lines.mid(3, 5),
                 (QList<QByteArray>{"DUNCONNECTING TRUE", "DUNCONNECTED FALSE", "DUNCONNECTED TRUE",
                                    "DUNCONNECTING FALSE", "TRANSFERACTIVE TRUE"}));
        QCOMPARE(f.fetched(), QStringList{u"/News/0"_s});
        QCOMPARE(f.dialUp->isUp(u"ISP"_s), !hungUp);
        QStringList expected{kConnecting, kConnected};
        if (hungUp)
            expected << kDisconnecting << kDisconnected;
        QCOMPARE(f.statuses, expected);
        QVERIFY(f.log().isEmpty());
    }

    void failingDisconnectIsRetriedAFewTimes()
    {
        DialFixture f;
        f.dialUp->failingHangUps = 1000; // the connection never goes
        f.core->engine().queuelist(u"News"_s);
        QVERIFY(QTest::qWaitFor([&] { return f.core->engine().transferActive(); }));
        QVERIFY(f.waitSettled());

        QCOMPARE(f.dialUp->calls.filter(u"hangup"_s).size(), Dialer::kDisconnectTries);
        QCOMPARE(f.log(), QStringList{u"Dial-Up Networking error: DUN connection could not be disconnected. "
                                      "The connection could not be disconnected."_s});
        QVERIFY(f.dialUp->isUp(u"ISP"_s));
        QCOMPARE(f.statuses.last(), kConnected);
        // It is still the server's connection: the next chance hangs it up.
        QVERIFY(f.core->dialer().serverDialled());
        f.dialUp->failingHangUps = 0;
        f.core->dialer().hangUpAfterRun();
        QVERIFY(f.waitSettled());
        QVERIFY(!f.dialUp->isUp(u"ISP"_s));
    }

    // Abort during a run on a connection the server dialled: the run ends and the line is
    // hung up; the next retrieval dials afresh, not "aborted" by the earlier Abort.
    void abortOfARunOnADialledConnection()
    {
        DialOptions o;
        o.newsPages = 3;
        o.newsDelayMs = 5000;
        DialFixture f(o);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(client->waitForLine("TRANSFERACTIVE TRUE"));
        QVERIFY(f.core->dialer().dialled());

        QVERIFY(f.core->abort());
        QVERIFY(client->waitForLine("ABORTING FALSE"));
        QVERIFY(f.waitSettled());
        QVERIFY(!f.dialUp->isUp(u"ISP"_s));
        QCOMPARE(f.fetched(), QStringList{u"/News/0"_s}); // the rest of the list was not fetched

        client->send("RETR Sports\n");
        QVERIFY(waitForCount(*client, "ABORTING FALSE", 2));
        QVERIFY(f.waitSettled());
        QCOMPARE(f.dialUp->dials.size(), 2);
        QCOMPARE(client->lines.count("DUNCONNECTED TRUE"), 2);
        QVERIFY(!f.statuses.contains(kAborted));
        QVERIFY(f.fetched().contains(u"/Sports/0"_s));
    }

    // A retrieval whose dialling failed while a run went on leaves no connection known to
    // be up; Abort still aborts that run.
    void abortOfARunAfterTheLineWasLost()
    {
        DialOptions o;
        o.newsPages = 3;
        o.newsDelayMs = 5000;
        DialFixture f(o);
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(client->waitForLine("TRANSFERACTIVE TRUE"));

        f.dialUp->active.clear(); // the line dropped
        f.dialUp->script = {FakeDialUp::failure(u"No carrier"_s)};
        client->send("RETR Sports\n");
        QVERIFY(QTest::qWaitFor([&] { return f.log().contains(refused(u"Sports"_s)); }));
        QVERIFY(!f.core->dialer().dialled());
        QVERIFY(f.core->engine().transferActive());

        QVERIFY(f.core->abort());
        QVERIFY(!f.core->engine().acceptingWork()); // aborting
        QVERIFY(client->waitForLine("ABORTING FALSE"));
        QCOMPARE(f.fetched(), QStringList{u"/News/0"_s});
        QVERIFY(pw::gui::Prompt::shown().isEmpty());
    }

    // A connection whose name merely contains the entry's is another connection.
    void onlyTheEntrysOwnConnectionCounts()
    {
        DialOptions o;
        o.book = {u"ISP"_s, u"ISP 2"_s};
        DialFixture f(o);
        f.dialUp->bringUp(u"ISP 2"_s);
        f.core->engine().queuelist(u"News"_s);
        QVERIFY(QTest::qWaitFor([&] { return f.core->engine().transferActive(); }));
        QVERIFY(f.waitSettled());
        QCOMPARE(f.dialUp->dials.size(), 1); // "ISP" was dialled, not taken for up
        QCOMPARE(f.dialUp->dials.first().entry, u"ISP"_s);
        QVERIFY(!f.dialUp->isUp(u"ISP"_s));  // hung up at the end of the run ...
        QVERIFY(f.dialUp->isUp(u"ISP 2"_s)); // ... and only that one
    }

    void dunLineFromTheLink()
    {
        DialFixture f;
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("DUN\n");
        QVERIFY(client->waitForLine("DUNCONNECTED TRUE"));
        QVERIFY(f.waitSettled());
        client->send("DUN\n"); // dialled already: nothing
        client->send("CLIENTCLOSE\n");
        QVERIFY(QTest::qWaitFor([&] { return !f.core->link().isConnected(); }));
        QCOMPARE(f.dialUp->dials.size(), 1);
        QVERIFY(!f.core->engine().transferActive());

        // A client connecting now is told the connection is up.
        auto next = connectClient(f);
        QVERIFY(next);
        QCOMPARE(next->lines, (QList<QByteArray>{"DUNCONNECTING FALSE", "DUNCONNECTED TRUE", "TRANSFERACTIVE FALSE"}));
    }

    void settingsLoadListsThePhoneBook_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::newRow("listed") << false << QStringList{u"ISP"_s, u"Backup"_s} << 0;
        QTest::newRow("listing fails") << true << QStringList() << -1;
    }
    void settingsLoadListsThePhoneBook()
    {
        QFETCH(bool, fails);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        DialOptions o;
        o.book = {u"ISP"_s, u"Backup"_s};
        o.bookFails = fails;
        DialFixture f(o);
        QCOMPARE(f.core->engine().settings().pbookentries, entries);
        QCOMPARE(f.core->engine().settings().pbookIndex, selected);
        QVERIFY(f.log().isEmpty()); // a failing phone book is not reported at load time
    }

    void closingWhileDialling()
    {
        DialFixture f;
        f.dialUp->holdDials = true;
        f.core->engine().queuelist(u"News"_s);
        f.core->engine().queuelist(u"Sports"_s); // waits for the line
        QVERIFY(QTest::qWaitFor([&] { return f.dialUp->dialPending(); }));
        f.core->engine().shutdown();
        QVERIFY(!f.core->dialer().isBusy());
        QVERIFY(f.dialUp->active.isEmpty()); // hung up before the end
        QCOMPARE(f.dialUp->dials.size(), 1); // the waiting request never dialled
        QVERIFY(f.fetched().isEmpty());
    }

    // The real NetworkManager layer where there is none: nothing to choose, a clear line in
    // the log when a retrieval asks for the connection, and the server goes on.
    void withoutNetworkManager()
    {
        DialFixture f({}, std::make_unique<pw::NmDialUp>(u"/nonexistent/pagewarden-test/nmcli"_s));
        QVERIFY(f.core->engine().settings().enabledun);
        QVERIFY(f.core->engine().settings().pbookentries.isEmpty());
        auto client = connectClient(f);
        QVERIFY(client);
        client->send("RETR News\n");
        QVERIFY(waitForCount(*client, "DUNCONNECTING FALSE", 2));
        QVERIFY(f.waitSettled());
        QCOMPARE(f.log(), (QStringList{kNoEntry, refused(u"News"_s)}));
        QVERIFY(f.fetched().isEmpty());
        QVERIFY(client->isOpen());
    }
};

QTEST_MAIN(TestDialUp)
#include "tst_dialup.moc"
