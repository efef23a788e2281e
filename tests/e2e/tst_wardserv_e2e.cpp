// Starts the real wardserv with a home of its own, lets it fetch pages from nginx on
// request of a client on the link, and checks what it says against what it wrote.
#include "support/freeport.h"
#include "support/nginxserver.h"
#include "support/servedlist.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "store/linkframing.h"
#include "store/paths.h"
#include "store/urllist.h"
#include "store/webbox.h"
#include "store/webboxeslist.h"

#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>

using namespace Qt::StringLiterals;

class TestWardservE2E : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void getAllOverTheLinkThenSigterm()
    {
        pwtest::TestHome home;
        pwtest::NginxServer web;
        QVERIFY2(web.isRunning(), "nginx is installed by scripts/install-deps.sh");
        QVERIFY(pwtest::serveList(web, u"News"_s, 3));
        const quint16 port = pwtest::freeLoopbackPort();

        QProcess server;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"PAGEWARDEN_PORT"_s, QString::number(port));
        server.setProcessEnvironment(env);
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QCoreApplication::applicationDirPath() + u"/../bin/wardserv"_s, {});
        QVERIFY(server.waitForStarted());

        QTcpSocket client;
        QVERIFY(QTest::qWaitFor(
            [&] {
                client.connectToHost(QHostAddress::LocalHost, port);
                if (client.waitForConnected(200))
                    return true;
                client.abort();
                return false;
            },
            10000));
        pw::link::LineFramer framer;
        QList<QByteArray> lines;
        connect(&client, &QTcpSocket::readyRead, this, [&] { lines += framer.feed(client.readAll()); });
        QTRY_COMPARE(lines.size(), 3);
        QCOMPARE(lines, (QList<QByteArray>{"DUNCONNECTING FALSE", "DUNCONNECTED FALSE", "TRANSFERACTIVE FALSE"}));

        client.write("GETALL\n");
        QTRY_VERIFY_WITH_TIMEOUT(lines.contains("ABORTING FALSE"), 30000);
        const QList<QByteArray> run = lines.mid(3);
        // In order: the run starts, three pages each with an edit and an inbox block, the end.
        QCOMPARE(run.first(), QByteArray("TRANSFERACTIVE TRUE"));
        QCOMPARE(run.count("BEGINEDITUPDATE"), 3);
        QCOMPARE(run.count("BEGININBOXUPDATE"), 3);
        const QList<QByteArray> tail = run.mid(run.size() - 4);
        QCOMPARE(tail, (QList<QByteArray>{"ABORTING TRUE",
                                          "TRANSFERINFO Last Retrieval: [Completed:3] [New/Modified:3] [Unchanged:0] "
                                          "[Errors:0]",
                                          "TRANSFERACTIVE FALSE", "ABORTING FALSE"}));

        // What the blocks said is what the files hold.
        const QList<pw::WebBoxEntry> box =
            pw::readWebBox(pw::paths::webBoxFile(pw::paths::dataDir(), u"News"_s), pw::ReaderSide::Client).entries;
        QCOMPARE(box.size(), 3);
        for (qsizetype i = 0; i < run.size(); ++i) {
            if (run[i] != "BEGININBOXUPDATE")
                continue;
            const QString url = QString::fromUtf8(run[i + 3]);
            const QString file = QString::fromUtf8(run[i + 7]);
            const auto record =
                std::find_if(box.begin(), box.end(), [&](const pw::WebBoxEntry &e) { return e.url == url; });
            QVERIFY(record != box.end());
            QCOMPARE(record->fileLocation, file);
            QCOMPARE(record->size, QString::fromUtf8(run[i + 6]));
            QVERIFY(pwtest::readAll(file).contains("<p>Page "));
        }
        const QList<pw::UrlEntry> saved =
            pw::readUrlList(pw::paths::urlListFile(pw::paths::dataDir(), u"News"_s), pw::ReaderSide::Client).entries;
        for (const pw::UrlEntry &e : saved) {
            QVERIFY(e[pw::UrlEntry::Size] != u"*"_s);
            QVERIFY(e[pw::UrlEntry::LastModified] != u"*"_s); // nginx sends Last-Modified
        }

        // A second server for the same settings hands over to the first and ends.
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(QCoreApplication::applicationDirPath() + u"/../bin/wardserv"_s, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(server.state(), QProcess::Running);

        ::kill(pid_t(server.processId()), SIGTERM);
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitStatus(), QProcess::NormalExit);
        QCOMPARE(server.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestWardservE2E)
#include "tst_wardserv_e2e.moc"
