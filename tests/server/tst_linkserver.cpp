#include "enginefixture.h"
#include "support/lineclient.h"

#include "server/engine/servercore.h"
#include "store/linkframing.h"
#include "store/webboxeslist.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QtTest>

using namespace Qt::StringLiterals;
using Response = pwtest::ScriptedHttpServer::Response;

namespace {

using pwtest::LineClient;

const QList<QByteArray> kIdleGreeting{"DUNCONNECTING FALSE", "DUNCONNECTED FALSE", "TRANSFERACTIVE FALSE"};

// A server core over a data home with one or two lists.
struct CoreFixture
{
    pwtest::TestHome home;
    pwtest::ScriptedHttpServer http;
    std::unique_ptr<pw::server::ServerCore> core;

    explicit CoreFixture(int pagesPerList = 1, int delayMs = 0)
    {
        Response r;
        r.body = "<p>page</p>";
        r.delayMs = delayMs;
        http.setHandler([r](const pwtest::ScriptedHttpServer::Request &req) {
            Response out = r;
            out.body += req.path;
            return out;
        });
        auto store = pw::paths::openSettings();
        pw::Settings s = pw::settings::load(*store, pw::EmptyPhoneBook());
        for (const QString &name : {u"News"_s, u"Sports"_s}) {
            QList<pw::UrlEntry> entries;
            for (int i = 0; i < pagesPerList; ++i)
                entries.append(pwtest::urlEntry(http.url(u"/%1/%2"_s.arg(name).arg(i))));
            pw::writeUrlList(s.datadir, name, entries);
        }
        pw::saveWebBoxesList(*store, {u"News"_s, u"Sports"_s});
        store->sync();
        core = std::make_unique<pw::server::ServerCore>();
        core->engine().setWatchInterval(50);
        core->start(0);
    }
    quint16 port() const { return core->link().port(); }
    bool waitIdle(int timeoutMs = 30000)
    {
        return QTest::qWaitFor([this] { return !core->engine().transferActive(); }, timeoutMs);
    }
};

} // namespace

class TestLinkServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void greetingWhenIdle()
    {
        CoreFixture f;
        LineClient client(f.port());
        QVERIFY(client.waitConnected());
        QVERIFY(client.waitForLines(3));
        QCOMPARE(client.lines, kIdleGreeting);
    }

    void greetingDuringARun()
    {
        CoreFixture f(1, 2000);
        f.core->engine().queuelist(u"News"_s);
        QVERIFY(f.core->engine().transferActive());
        LineClient client(f.port());
        QVERIFY(client.waitForLines(3));
        QCOMPARE(client.lines.mid(0, 3),
                 (QList<QByteArray>{"DUNCONNECTING FALSE", "DUNCONNECTED FALSE", "TRANSFERACTIVE TRUE"}));
        QVERIFY(f.core->scheduler().isEnabled());
        f.core->engine().aborttransfers();
        QVERIFY(!f.core->scheduler().isEnabled()); // no scheduled start while aborting
        QVERIFY(f.waitIdle());
        QVERIFY(f.core->scheduler().isEnabled()); // back at the end of the run
    }

    void oneClientAtATime()
    {
        CoreFixture f;
        LineClient first(f.port());
        QVERIFY(first.waitForLines(3));
        LineClient second(f.port());
        QVERIFY(second.waitConnected());
        QTRY_VERIFY(!second.isOpen()); // refused
        QVERIFY(second.lines.isEmpty());

        first.send("CLIENTCLOSE\n");
        QTest::qWait(50);
        QVERIFY(first.isOpen()); // its socket may stay open ...
        LineClient third(f.port());
        QVERIFY(third.waitForLines(3)); // ... and a new client is served
        QCOMPARE(third.lines, kIdleGreeting);

        // The old client is no longer listened to.
        first.send("GETALL\n");
        QTest::qWait(100);
        QVERIFY(!f.core->engine().transferActive());
    }

    void commands_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("fetched"); // paths the run fetched
        QTest::newRow("RETR alone") << QByteArray("RETR") << QStringList();
        QTest::newRow("RETR with unknown name") << QByteArray("RETR Weather") << QStringList();
        QTest::newRow("lower-case retr") << QByteArray("retr News") << QStringList();
        QTest::newRow("lower-case getall") << QByteArray("getall") << QStringList();
        QTest::newRow("GETALL with a blank") << QByteArray("GETALL ") << QStringList();
        QTest::newRow("name in other case") << QByteArray("RETR nEWS") << QStringList{u"/News/0"_s};
        QTest::newRow("RETRIEVE counts as RETR") << QByteArray("RETRIEVE News") << QStringList{u"/News/0"_s};
        QTest::newRow("GETALL") << QByteArray("GETALL") << QStringList{u"/News/0"_s, u"/Sports/0"_s};
    }
    void commands()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, fetched);
        CoreFixture f;
        LineClient client(f.port());
        QVERIFY(client.waitForLines(3));
        client.send(line + "\n");
        if (fetched.isEmpty()) {
            QTest::qWait(150);
            QVERIFY(!f.core->engine().transferActive());
            QCOMPARE(client.lines, kIdleGreeting);
            return;
        }
        QVERIFY(client.waitForLine("ABORTING FALSE"));
        QStringList paths;
        for (const auto &r : f.http.requests())
            paths.append(QString::fromUtf8(r.path));
        paths.sort();
        QCOMPARE(paths, fetched);
    }

    void refreshSetupDuringARunHappensOnceAtItsEnd()
    {
        CoreFixture f(1, 1500);
        QSignalSpy reloads(f.core.get(), &pw::server::ServerCore::settingsReloaded);
        LineClient client(f.port());
        QVERIFY(client.waitForLines(3));
        client.send("RETR News\nREFRESHSETUP\nREFRESHSETUP\nREFRESHLIST\n");
        QTRY_VERIFY(f.core->engine().transferActive());
        QTest::qWait(100);
        QCOMPARE(reloads.count(), 0);
        QVERIFY(client.waitForLine("ABORTING FALSE"));
        QCOMPARE(reloads.count(), 1);
        client.send("REFRESHSETUP\n"); // idle: at once
        QTRY_COMPARE(reloads.count(), 2);
    }

    // Ten slots finishing together: every block arrives whole, its lines together.
    void blocksNeverInterleave()
    {
        CoreFixture f(40);
        LineClient client(f.port());
        QVERIFY(client.waitForLines(3));
        client.send("GETALL\n");
        QVERIFY(client.waitForLine("ABORTING FALSE", 60000));
        int inbox = 0;
        int edit = 0;
        for (qsizetype i = 0; i < client.lines.size(); ++i) {
            const QByteArray &line = client.lines[i];
            if (line == "BEGININBOXUPDATE") {
                QCOMPARE(client.lines.value(i + 9), QByteArray("ENDINBOXUPDATE"));
                for (int b = 1; b <= 8; ++b)
                    QVERIFY(!client.lines[i + b].startsWith("BEGIN") && !client.lines[i + b].startsWith("END"));
                ++inbox;
                i += 9;
            } else if (line == "BEGINEDITUPDATE") {
                QCOMPARE(client.lines.value(i + 5), QByteArray("ENDEDITUPDATE"));
                ++edit;
                i += 5;
            } else {
                QVERIFY2(!line.startsWith("END"), line.constData());
            }
        }
        QCOMPARE(inbox, 80);
        QCOMPARE(edit, 80);
        // The end of the run, in order.
        const QList<QByteArray> tail = client.lines.mid(client.lines.size() - 4);
        QCOMPARE(tail[0], QByteArray("ABORTING TRUE"));
        QCOMPARE(tail[1], QByteArray("TRANSFERINFO Last Retrieval: [Completed:80] [New/Modified:80] [Unchanged:0] "
                                     "[Errors:0]"));
        QCOMPARE(tail[2], QByteArray("TRANSFERACTIVE FALSE"));
        QCOMPARE(tail[3], QByteArray("ABORTING FALSE"));
        QCOMPARE(client.lines.count("TRANSFERACTIVE TRUE"), 2); // once per list queued
    }

    void overlongLineIsDroppedAndTheLinkGoesOn()
    {
        CoreFixture f;
        LineClient client(f.port());
        QVERIFY(client.waitForLines(3));
        client.send(QByteArray(20000, 'R') + "ETR News\nRETR News\n");
        QVERIFY(client.waitForLine("ABORTING FALSE"));
        QCOMPARE(f.http.requests().size(), 1);
    }

    void randomBytesDoNoHarm()
    {
        CoreFixture f;
        {
            LineClient client(f.port());
            QVERIFY(client.waitForLines(3));
            QByteArray junk(200000, '\0');
            auto *rng = QRandomGenerator::global();
            for (char &c : junk)
                c = char(rng->bounded(256));
            client.send(junk);
            client.send("\nRETR News\n");
            QVERIFY(client.waitForLine("ABORTING FALSE"));
            QVERIFY(client.isOpen());
        }
        // The client went away without a word: the next one is served.
        QTRY_VERIFY(!f.core->link().isConnected());
        LineClient next(f.port());
        QVERIFY(next.waitForLines(3));
        QCOMPARE(next.lines, kIdleGreeting);
    }
};

QTEST_MAIN(TestLinkServer)
#include "tst_linkserver.moc"
