#include "enginefixture.h"
#include "support/freeport.h"

#include "server/engine/reportmailer.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;
using Response = pwtest::ScriptedHttpServer::Response;

namespace {

// Debian's aiosmtpd on a free loopback port, keeping every message it accepts as a file.
class SmtpServer
{
public:
    explicit SmtpServer(const QString &mode = {})
    {
        m_port = pwtest::freeLoopbackPort();
        QStringList args{QStringLiteral(PW_TESTS_DIR "/support/smtpserver.py"), QString::number(m_port), m_dir.path()};
        if (!mode.isEmpty())
            args.append(mode);
        m_process.start(u"/usr/bin/python3"_s, args);
        m_ready = m_process.waitForStarted() && m_process.waitForReadyRead(15000)
                  && m_process.readLine().trimmed() == "ready";
    }
    ~SmtpServer()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool isReady() const { return m_ready; }
    QString address() const { return u"127.0.0.1:%1"_s.arg(m_port); }
    QList<QByteArray> messages() const
    {
        QList<QByteArray> out;
        const QStringList files = QDir(m_dir.path()).entryList({u"*.eml"_s}, QDir::Files, QDir::Name);
        for (const QString &f : files)
            out.append(pwtest::readAll(m_dir.path() + u'/' + f));
        return out;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_ready = false;
};

// A run over News and Sports, one page each, with mail set up.
struct MailFixture
{
    pwtest::EngineFixture f;

    MailFixture(const QString &server, const QStringList &reportList, bool mailBlank, bool pagesChange = true)
    {
        Response r;
        if (pagesChange) {
            r.body = "<p>fresh</p>";
        } else {
            r.status = 304;
            r.reason = "Not Modified";
        }
        f.http.setHandler([r](const pwtest::ScriptedHttpServer::Request &) { return r; });
        f.settings.reportscapability = true;
        f.settings.reportlist = reportList;
        f.settings.emailreports = true;
        f.settings.emailblank = mailBlank;
        f.settings.smtpserver = server;
        f.settings.origmail = u"watcher@example.org"_s;
        f.settings.sendmail = u"reader@example.org"_s;
        f.applySettings();
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/news"_s))});
        f.makeList(u"Sports"_s, {pwtest::urlEntry(f.http.url(u"/sports"_s))});
    }

    bool runAll(int timeoutMs = 30000)
    {
        QSignalSpy finished(f.engine.get(), &pw::server::RunEngine::runFinished);
        f.engine->getall();
        return finished.wait(timeoutMs);
    }
};

QByteArray header(const QByteArray &message, const QByteArray &name)
{
    for (const QByteArray &line : message.split('\n')) {
        if (line.startsWith(QByteArray(name + ": ")))
            return line.mid(name.size() + 2).trimmed();
    }
    return {};
}

QList<QByteArray> bodyLines(const QByteArray &message)
{
    const qsizetype start = message.indexOf("\r\n\r\n");
    QList<QByteArray> lines = message.mid(start + 4).split('\n');
    for (QByteArray &l : lines)
        l = l.trimmed();
    return lines;
}

} // namespace

class TestReportMail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsOfTwoListsAreMailed()
    {
        SmtpServer smtp;
        QVERIFY2(smtp.isReady(), "python3-aiosmtpd is installed by scripts/install-deps.sh");
        MailFixture m(smtp.address(), {u"All WebBoxes"_s}, false);
        QVERIFY(m.runAll());
        const QList<QByteArray> mails = smtp.messages();
        QCOMPARE(mails.size(), 2);
        QCOMPARE(header(mails[0], "Subject"), QByteArray("Pagewarden Retrieval Report: News"));
        QCOMPARE(header(mails[1], "Subject"), QByteArray("Pagewarden Retrieval Report: Sports"));
        for (const QByteArray &mail : mails) {
            QCOMPARE(header(mail, "From"), QByteArray("<watcher@example.org>"));
            QCOMPARE(header(mail, "Reply-To"), QByteArray("<watcher@example.org>"));
            QCOMPARE(header(mail, "To"), QByteArray("<reader@example.org>"));
            QCOMPARE(header(mail, "X-Mailer"), QByteArray("Pagewarden 1.0"));
            QCOMPARE(header(mail, "X-Envelope-To"), QByteArray("reader@example.org"));
            // "Sat, 07 Mar 2026 21:05:12 +0100"
            QVERIFY(
                QRegularExpression(u"^[A-Z][a-z]{2}, \\d{2} [A-Z][a-z]{2} \\d{4} \\d{2}:\\d{2}:\\d{2} [+-]\\d{4}$"_s)
                    .match(QString::fromLatin1(header(mail, "Date")))
                    .hasMatch());
            QVERIFY(header(mail, "Message-ID").endsWith("@pagewarden>"));
            QCOMPARE(header(mail, "Content-Type"), QByteArray("text/plain; charset=UTF-8"));
        }
        const QList<QByteArray> body = bodyLines(mails[0]);
        QCOMPARE(body.value(0), QByteArray("Pagewarden Retrieval Report"));
        QCOMPARE(body.value(1), QByteArray("URL List: News"));
        QVERIFY(body.value(2).startsWith("Date/Time: "));
        QCOMPARE(body.value(3), QByteArray(38, '_'));
        QCOMPARE(body.value(5), (m.f.http.url(u"/news"_s) + u" (New)"_s).toUtf8());
        QCOMPARE(body.value(6), QByteArray(38, '_'));
        QVERIFY(m.f.logMessages().isEmpty());
        QVERIFY(!m.f.engine->transferActive());
    }

    void listsNotSelectedForReportsAreMailedToo()
    {
        SmtpServer smtp;
        QVERIFY(smtp.isReady());
        MailFixture m(smtp.address(), {u"News"_s}, false);
        QVERIFY(m.runAll());
        QCOMPARE(smtp.messages().size(), 2);
        // Only the selected list has a report file.
        const auto index = pw::readReportsIndex(pw::paths::reportsIndexFile());
        QCOMPARE(index.records.size(), 1);
        QCOMPARE(index.records[0].listName, u"News"_s);
    }

    void blankReports_data()
    {
        QTest::addColumn<bool>("mailBlank");
        QTest::addColumn<int>("mails");
        QTest::newRow("EMAIL-Blank on") << true << 2;
        QTest::newRow("EMAIL-Blank off") << false << 0;
    }
    void blankReports()
    {
        QFETCH(bool, mailBlank);
        QFETCH(int, mails);
        SmtpServer smtp;
        QVERIFY(smtp.isReady());
        MailFixture m(smtp.address(), {u"All WebBoxes"_s}, mailBlank, false);
        QVERIFY(m.runAll());
        const QList<QByteArray> sent = smtp.messages();
        QCOMPARE(sent.size(), mails);
        for (const QByteArray &mail : sent)
            QCOMPARE(bodyLines(mail).value(5), QByteArray("**Nothing To Report**"));
    }

    void missingValuesAreLogged_data()
    {
        QTest::addColumn<bool>("noRecipient");
        QTest::addColumn<QString>("log");
        QTest::newRow("no recipient") << true << u"No recipient mailed because no address given for confirmation."_s;
        QTest::newRow("no server") << false << u"No SMTP server specified: confirmations cannot be mailed."_s;
    }
    void missingValuesAreLogged()
    {
        QFETCH(bool, noRecipient);
        QFETCH(QString, log);
        SmtpServer smtp;
        QVERIFY(smtp.isReady());
        MailFixture m(smtp.address(), {u"All WebBoxes"_s}, false);
        if (noRecipient)
            m.f.settings.sendmail.clear();
        else
            m.f.settings.smtpserver.clear();
        m.f.applySettings();
        QVERIFY(m.runAll());
        QCOMPARE(m.f.logMessages(), QStringList{log});
        QCOMPARE(smtp.messages().size(), 0);
    }

    void refusedConnection()
    {
        const quint16 port = pwtest::freeLoopbackPort();
        MailFixture m(u"127.0.0.1:%1"_s.arg(port), {u"All WebBoxes"_s}, false);
        QVERIFY(m.runAll());
        const QStringList log = m.f.logMessages();
        QCOMPARE(log.size(), 2);
        QVERIFY2(log[0].startsWith(u"Mail transfer error: 7 "_s), qPrintable(log[0])); // curl: could not connect
        QVERIFY(log[1].startsWith(u"Report mail transfer error. "_s));
        QCOMPARE(m.f.link.lines.last(), u"ABORTING FALSE"_s); // the run ended all the same
    }

    void serverDropsAfterTheFirstMessage()
    {
        SmtpServer smtp(u"drop-after-first"_s);
        QVERIFY(smtp.isReady());
        MailFixture m(smtp.address(), {u"All WebBoxes"_s}, false);
        QVERIFY(m.runAll());
        QCOMPARE(smtp.messages().size(), 1);
        const QStringList log = m.f.logMessages();
        QCOMPARE(log.size(), 2);
        QVERIFY(log[0].startsWith(u"Mail transfer error: "_s));
        QVERIFY(log[1].startsWith(u"Report mail transfer error. "_s));
    }

    void abortWhileMailing()
    {
        SmtpServer smtp(u"slow"_s);
        QVERIFY(smtp.isReady());
        MailFixture m(smtp.address(), {u"All WebBoxes"_s}, false);
        QSignalSpy finished(m.f.engine.get(), &pw::server::RunEngine::runFinished);
        m.f.engine->getall();
        QTRY_VERIFY(m.f.engine->transferActive() && !m.f.engine->anySlotActive());
        QTest::qWait(300); // the first message is on its way
        QVERIFY(m.f.engine->aborttransfers());
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        QCOMPARE(m.f.link.count(u"ABORTING TRUE"_s), 2);
        QVERIFY(!m.f.engine->transferActive());
        // The engine goes on serving: the next run works.
        m.f.settings.emailreports = false;
        m.f.applySettings();
        QVERIFY(m.runAll());
    }
};

QTEST_MAIN(TestReportMail)
#include "tst_reportmail.moc"
