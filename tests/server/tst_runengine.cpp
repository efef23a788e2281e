#include "enginefixture.h"
#include "support/freeport.h"
#include "support/testca.h"

#include "server/engine/captionfit.h"
#include "server/engine/highlightmarkup.h"
#include "server/engine/highlightpage.h"

#include <QGuiApplication>

#include "store/clock.h"
#include "store/datetimetext.h"
#include "store/passwordcipher.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::server::Counters;
using Response = pwtest::ScriptedHttpServer::Response;

Q_DECLARE_METATYPE(Response)

namespace {

const QByteArray kLastModified = "Tue, 02 Jun 2026 10:00:00 GMT";
const QString kStoredDate = u"Mon, 01 Jun 2026 10:00:00 GMT"_s;

Response page(const QByteArray &body, const QByteArray &lastModified = {})
{
    Response r;
    r.body = body;
    if (!lastModified.isEmpty())
        r.headers.append({"Last-Modified", lastModified});
    return r;
}

QStringList pageFiles(const QString &folder)
{
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.removeIf([](const QString &f) {
        return f.endsWith(u".lst"_s) || f.endsWith(u".wbx"_s) || f.endsWith(u".tmp"_s) || f.endsWith(u".lock"_s);
    });
    return files;
}

} // namespace

class TestRunEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every way one URL can end, with its counters, log lines and report line.
    void outcomes_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QString>("storedSize");
        QTest::addColumn<bool>("sizePriority");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QString>("sizeProtection");
        QTest::addColumn<Counters>("counters"); // completed, modified, unchanged, errors
        QTest::addColumn<QStringList>("log");   // %1 is the URL
        QTest::addColumn<QString>("report");    // suffix, or empty for none
        QTest::addColumn<int>("records");

        const QByteArray body = QByteArray(1000, 'x');
        QTest::newRow("new") << page(body) << u"*"_s << u"*"_s << false << 500 << u"50"_s << Counters{1, 1, 0, 0}
                             << QStringList() << u" (New)"_s << 1;
        QTest::newRow("changed by date") << page(body, kLastModified) << kStoredDate << u"1000"_s << false << 500
                                         << u"50"_s << Counters{1, 1, 0, 0} << QStringList()
                                         << u" (Changed - Last Modified)"_s << 1;
        QTest::newRow("unchanged by date")
            << page(body, kLastModified) << QString::fromLatin1(kLastModified) << u"1000"_s << false << 500 << u"50"_s
            << Counters{1, 0, 1, 0} << QStringList() << u" (No Change - Last Modified)"_s << 0;
        Response notModified;
        notModified.status = 304;
        notModified.reason = "Not Modified";
        QTest::newRow("unchanged by 304")
            << notModified << kStoredDate << u"1000"_s << false << 500 << u"50"_s << Counters{1, 0, 1, 0}
            << QStringList() << u" (No Change - Last Modified)"_s << 0;
        Response missing;
        missing.status = 404;
        missing.reason = "Not Found";
        QTest::newRow("request failed") << missing << u"*"_s << u"*"_s << false << 500 << u"50"_s
                                        << Counters{1, 0, 0, 1} << QStringList{u"Error \"404: Not Found.\" on %1"_s}
                                        << QString() << 0;
        QTest::newRow("empty body") << page({}) << u"*"_s << u"*"_s << false << 500 << u"50"_s << Counters{1, 0, 0, 1}
                                    << QStringList{u"Transfer error/interrupted on %1"_s} << QString() << 0;
        QTest::newRow("size protection refuses 499 of 1000")
            << page(QByteArray(499, 'x')) << u"*"_s << u"1000"_s << false << 0 << u"50"_s << Counters{1, 0, 0, 1}
            << QStringList{u"Size protection activated: %1"_s, u"Transfer error/interrupted on %1"_s} << QString() << 0;
        QTest::newRow("size protection passes 500 of 1000")
            << page(QByteArray(500, 'x')) << u"*"_s << u"1000"_s << false << 0 << u"50"_s << Counters{1, 1, 0, 0}
            << QStringList() << u" (Changed - Size Difference)"_s << 1;
        QTest::newRow("unchanged by size")
            << page(QByteArray(1200, 'x')) << u"*"_s << u"1000"_s << false << 500 << u"50"_s << Counters{1, 0, 1, 0}
            << QStringList() << u" (No Change - Size)"_s << 0;
        QTest::newRow("changed by size") << page(QByteArray(1501, 'x')) << u"*"_s << u"1000"_s << false << 500
                                         << u"50"_s << Counters{1, 1, 0, 0} << QStringList()
                                         << u" (Changed - Size Difference)"_s << 1;
        QTest::newRow("threshold 0: any difference")
            << page(QByteArray(1001, 'x')) << u"*"_s << u"1000"_s << false << 0 << u"50"_s << Counters{1, 1, 0, 0}
            << QStringList() << u" (Changed - Size Difference)"_s << 1;
        QTest::newRow("size priority over a new date")
            << page(QByteArray(1100, 'x'), kLastModified) << kStoredDate << u"1000"_s << true << 500 << u"50"_s
            << Counters{1, 0, 1, 0} << QStringList() << u" (No Change - Size)"_s << 0;
        QTest::newRow("no date sent: size decides")
            << page(QByteArray(1000, 'y')) << u"*"_s << u"1000"_s << false << 0 << u"50"_s << Counters{1, 0, 1, 0}
            << QStringList() << u" (No Change - Size)"_s << 0;
    }
    void outcomes()
    {
        QFETCH(Response, response);
        QFETCH(QString, storedDate);
        QFETCH(QString, storedSize);
        QFETCH(bool, sizePriority);
        QFETCH(int, threshold);
        QFETCH(QString, sizeProtection);
        QFETCH(Counters, counters);
        QFETCH(QStringList, log);
        QFETCH(QString, report);
        QFETCH(int, records);

        pwtest::EngineFixture f;
        f.settings.reportscapability = true;
        f.settings.reportunchanged = true;
        f.settings.reportlist = {u"All WebBoxes"_s};
        f.settings.sizeprot = sizeProtection;
        f.applySettings();
        f.http.setResponse("/page", response);
        const QString url = f.http.url(u"/page"_s);
        pw::UrlEntry e = pwtest::urlEntry(url, u"The page"_s);
        e[pw::UrlEntry::LastModified] = storedDate;
        e[pw::UrlEntry::Size] = storedSize;
        e[pw::UrlEntry::SizePriority] = sizePriority ? u"TRUE"_s : u"FALSE"_s;
        e[pw::UrlEntry::SizeThreshold] = QString::number(threshold);
        f.makeList(u"News"_s, {e});
        QVERIFY(f.retrieve(u"News"_s));

        Counters expected = counters;
        expected.queue = 0;
        QCOMPARE(f.engine->counters(), expected);
        QStringList expectedLog;
        for (const QString &line : log)
            expectedLog.append(u"News "_s + line.arg(url));
        QCOMPARE(f.logMessages(), expectedLog);
        QCOMPARE(f.reportLines(u"News"_s),
                 report.isEmpty() ? QStringList{u"**No Changes To Report**"_s} : QStringList{url + report});

        const QList<pw::WebBoxEntry> box = f.webBox(u"News"_s);
        QCOMPARE(box.size(), records);
        const QString folder = pw::paths::urlListFolder(f.dataDir(), u"News"_s);
        const pw::UrlEntry saved = f.listFile(u"News"_s).value(0);
        if (records == 1) {
            QCOMPARE(box[0].url, url);
            QCOMPARE(box[0].description, u"The page"_s);
            QCOMPARE(box[0].size, QString::number(response.body.size()));
            QVERIFY(!box[0].read);
            QCOMPARE(pwtest::readAll(box[0].fileLocation), response.body + "\r\n");
            QCOMPARE(saved[pw::UrlEntry::Size], QString::number(response.body.size()));
            const QString lm = response.headers.isEmpty() ? u"*"_s : QString::fromLatin1(kLastModified);
            QCOMPARE(saved[pw::UrlEntry::LastModified], lm);
            QCOMPARE(box[0].lastModified, lm);
            QVERIFY(f.link.lines.contains(u"BEGINEDITUPDATE"_s));
            QVERIFY(f.link.lines.contains(u"BEGININBOXUPDATE"_s));
        } else {
            // Nothing accepted: the list keeps its values, no page file stays behind unless
            // size protection refused it (that page file stays, as it was written).
            QCOMPARE(saved[pw::UrlEntry::Size], storedSize);
            QCOMPARE(saved[pw::UrlEntry::LastModified], storedDate);
            const bool refused = QTest::currentDataTag() == QByteArray("size protection refuses 499 of 1000");
            QCOMPARE(pageFiles(folder).size(), refused ? 1 : 0);
            QVERIFY(!f.link.lines.contains(u"BEGININBOXUPDATE"_s));
        }
        // The run's end, in order.
        const QStringList tail = f.link.lines.mid(f.link.lines.size() - 4);
        QCOMPARE(tail[0], u"ABORTING TRUE"_s);
        QVERIFY(tail[1].startsWith(u"TRANSFERINFO Last Retrieval: [Completed:1]"_s));
        QCOMPARE(tail[2], u"TRANSFERACTIVE FALSE"_s);
        QCOMPARE(tail[3], u"ABORTING FALSE"_s);
    }

    void pageFileCannotBeCreated()
    {
        pwtest::EngineFixture f;
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(21, 5, 12)));
        f.http.setResponse("/page", page("<p>hi</p>"));
        const QString url = f.http.url(u"/page"_s);
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        // Root may write anywhere: a directory stands where the page file goes.
        const QString pageFile = pw::paths::urlListFolder(f.dataDir(), u"News"_s) + pw::pageName(url, clock.now());
        QVERIFY(QDir().mkpath(pageFile));
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
        QCOMPARE(f.logMessages(), (QStringList{u"News There was an error while saving to file "_s + pageFile,
                                               u"News Transfer error/interrupted on "_s + url}));
        QVERIFY(f.webBox(u"News"_s).isEmpty());
    }

    void refusedConnection()
    {
        pwtest::EngineFixture f;
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString url = u"http://127.0.0.1:%1/x"_s.arg(closed.serverPort());
        closed.close(); // nobody listens there now
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
        const QStringList log = f.logMessages();
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].startsWith(u"News Error \"0: Connection refused"_s), qPrintable(log[0]));
        QVERIFY(log[0].endsWith(u".\" on "_s + url));
    }

    void invalidAddressIsARequestFailure_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("no scheme") << u"www.example.org/page"_s;
        QTest::newRow("ftp") << u"ftp://127.0.0.1/file"_s;
        QTest::newRow("garbage") << u"http://[::1"_s;
    }
    void invalidAddressIsARequestFailure()
    {
        QFETCH(QString, url);
        pwtest::EngineFixture f;
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
        QCOMPARE(f.logMessages(), QStringList{u"News Error \"0: Not a valid http or https address.\" on "_s + url});
    }

    void timeOuts_data()
    {
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("timeOut");
        QTest::addColumn<QString>("text");
        Response slowStart;
        slowStart.delayMs = 5000;
        slowStart.body = "late";
        QTest::newRow("too long") << slowStart << u"3"_s << u"100"_s << u"Time Out (Too Long) on Retrieval of "_s;
        Response stalled;
        stalled.stall = true;
        stalled.body = QByteArray(4000, 's');
        QTest::newRow("slow transfer") << stalled << u"100"_s << u"3"_s
                                       << u"Time Out (Slow Transfer) on Retrieval of "_s;
    }
    void timeOuts()
    {
        QFETCH(Response, response);
        QFETCH(QString, delay);
        QFETCH(QString, timeOut);
        QFETCH(QString, text);
        pwtest::EngineFixture f;
        f.http.setResponse("/slow", response);
        const QString url = f.http.url(u"/slow"_s);
        pw::UrlEntry e = pwtest::urlEntry(url);
        e[pw::UrlEntry::Delay] = delay; // watch ticks are 50 ms here
        e[pw::UrlEntry::TimeOut] = timeOut;
        f.makeList(u"News"_s, {e});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
        // Once by the timer, once when the thread winds the URL up.
        QCOMPARE(f.logMessages(), (QStringList{u"News "_s + text + url, u"News "_s + text + url}));
    }

    void slowButSteadyTransferIsNotTimedOut()
    {
        pwtest::EngineFixture f;
        Response drip;
        drip.body = QByteArray(400, 'd');
        drip.dripBytes = 40;
        drip.dripIntervalMs = 40; // a chunk in every watch period
        f.http.setResponse("/drip", drip);
        pw::UrlEntry e = pwtest::urlEntry(f.http.url(u"/drip"_s));
        e[pw::UrlEntry::TimeOut] = u"2"_s;
        f.makeList(u"News"_s, {e});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
    }

    void requestHeaders_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QByteArray>("ifModifiedSince");
        QTest::newRow("user and password")
            << u"joe"_s << u"secret"_s << u"*"_s << QByteArray("Basic ") + QByteArray("joe:secret").toBase64()
            << QByteArray();
        QTest::newRow("user without password") << u"joe"_s << QString() << u"*"_s << QByteArray() << QByteArray();
        QTest::newRow("date sent verbatim")
            << QString() << QString() << u"  odd  date text "_s << QByteArray() << QByteArray("odd  date text");
        QTest::newRow("Not Available is sent")
            << QString() << QString() << u"Not Available"_s << QByteArray() << QByteArray("Not Available");
    }
    void requestHeaders()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, storedDate);
        QFETCH(QByteArray, authorization);
        QFETCH(QByteArray, ifModifiedSince);
        pwtest::EngineFixture f;
        f.settings.useragent = u"Watcher/3.1"_s;
        f.applySettings();
        f.http.setResponse("/p", page("body"));
        pw::UrlEntry e = pwtest::urlEntry(f.http.url(u"/p"_s));
        e[pw::UrlEntry::Username] = user;
        e[pw::UrlEntry::Password] = pw::PasswordCipher::encipher(password);
        e[pw::UrlEntry::LastModified] = storedDate;
        f.makeList(u"News"_s, {e});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.http.requests().size(), 1);
        const auto request = f.http.requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.headers.value("authorization"), authorization);
        QCOMPARE(request.headers.value("if-modified-since"), ifModifiedSince);
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Watcher/3.1"));
    }

    // Through a real proxy that asks for basic authentication.
    void throughAProxy_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("reached");
        QTest::newRow("right password") << u"proxypass"_s << true;
        QTest::newRow("wrong password") << u"nope"_s << false;
    }
    void throughAProxy()
    {
        QFETCH(QString, password);
        QFETCH(bool, reached);
        pwtest::EngineFixture f;
        const QString tinyproxy = QStandardPaths::findExecutable(u"tinyproxy"_s);
        QVERIFY2(!tinyproxy.isEmpty(), "tinyproxy is installed by scripts/install-deps.sh");
        const quint16 port = pwtest::freeLoopbackPort();
        const QString config =
            f.home.writeFile(u"tinyproxy.conf"_s, "Port " + QByteArray::number(port)
                                                      + "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\n"
                                                        "BasicAuth proxyuser proxypass\nLogLevel Critical\n");
        QProcess proxy;
        proxy.start(tinyproxy, {u"-d"_s, u"-c"_s, config});
        QVERIFY(proxy.waitForStarted());
        auto stop = qScopeGuard([&proxy] {
            proxy.kill();
            proxy.waitForFinished();
        });
        QTRY_VERIFY_WITH_TIMEOUT(
            [port] {
                QTcpSocket s;
                s.connectToHost(QHostAddress::LocalHost, port);
                return s.waitForConnected(200);
            }(),
            5000);

        f.settings.proxyserver = u"127.0.0.1"_s;
        f.settings.proxyport = QString::number(port);
        f.settings.proxyuser = u"proxyuser"_s;
        f.settings.proxypass = password;
        f.applySettings();
        f.http.setResponse("/p", page("via the proxy"));
        const QString url = f.http.url(u"/p"_s);
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        QVERIFY(f.retrieve(u"News"_s));
        if (reached) {
            QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
            QCOMPARE(f.http.requests().size(), 1);
            QVERIFY(f.http.requests()[0].headers.value("via").contains("tinyproxy"));
        } else {
            QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
            QCOMPARE(f.http.requests().size(), 0);
            const QStringList log = f.logMessages();
            QCOMPARE(log.size(), 1);
            // The proxy refuses (tinyproxy answers a wrong password with 401, a missing one with 407).
            QVERIFY2(log[0].startsWith(u"News Error \"407: "_s) || log[0].startsWith(u"News Error \"401: "_s),
                     qPrintable(log[0]));
        }
    }

    void https_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::newRow("certificate from the trusted authority") << true;
        QTest::newRow("certificate nobody vouches for") << false;
    }
    void https()
    {
        QFETCH(bool, trusted);
        pwtest::TestCertificateAuthority ca;
        QVERIFY2(ca.isValid(), "openssl could not make the test certificates");
        pwtest::EngineFixture f;
        pwtest::ScriptedHttpServer tls(ca.serverConfiguration());
        tls.setResponse("/secure", page("<p>secret</p>"));
        if (trusted)
            f.engine->setSslConfiguration(ca.trustingClientConfiguration());
        const QString url = tls.url(u"/secure"_s);
        QVERIFY(url.startsWith(u"https://"_s));
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        QVERIFY(f.retrieve(u"News"_s));
        if (trusted) {
            QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
            QCOMPARE(pwtest::readAll(f.webBox(u"News"_s).value(0).fileLocation), QByteArray("<p>secret</p>\r\n"));
        } else {
            QCOMPARE(f.engine->counters(), (Counters{1, 0, 0, 1, 0}));
            const QStringList log = f.logMessages();
            QCOMPARE(log.size(), 1);
            QVERIFY2(log[0].startsWith(u"News Error \"0: "_s) && log[0].contains(u"SSL"_s, Qt::CaseInsensitive),
                     qPrintable(log[0]));
        }
    }

    void redirectIsFollowed()
    {
        pwtest::EngineFixture f;
        Response moved;
        moved.status = 301;
        moved.reason = "Moved Permanently";
        moved.headers.append({QByteArray("Location"), QByteArray("/new")});
        f.http.setResponse("/old", moved);
        f.http.setResponse("/new", page("<p>moved here</p>"));
        const QString url = f.http.url(u"/old"_s);
        f.makeList(u"News"_s, {pwtest::urlEntry(url)});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
        const pw::WebBoxEntry record = f.webBox(u"News"_s).value(0);
        QCOMPARE(record.url, url); // the entry's own address
        QCOMPARE(pwtest::readAll(record.fileLocation), QByteArray("<p>moved here</p>\r\n"));
    }

    void compressedBodyIsDecoded()
    {
        pwtest::EngineFixture f;
        const QByteArray plain = QByteArray("<p>compressible</p>\r\n").repeated(200);
        Response deflated;
        deflated.body = qCompress(plain).mid(4); // a zlib stream
        deflated.headers.append({QByteArray("Content-Encoding"), QByteArray("deflate")});
        f.http.setResponse("/z", deflated);
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/z"_s))});
        QVERIFY(f.retrieve(u"News"_s));
        const pw::WebBoxEntry record = f.webBox(u"News"_s).value(0);
        QCOMPARE(record.size, QString::number(plain.size()));
        QCOMPARE(pwtest::readAll(record.fileLocation), plain);
    }

    void oversizedBodyFails()
    {
        pwtest::EngineFixture f;
        f.engine->setMaxBodyBytes(4096);
        f.http.setResponse("/big", page(QByteArray(20000, 'b')));
        f.http.setResponse("/small", page(QByteArray(4096, 's')));
        const QString big = f.http.url(u"/big"_s);
        f.makeList(u"News"_s, {pwtest::urlEntry(big), pwtest::urlEntry(f.http.url(u"/small"_s))});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.engine->counters(), (Counters{2, 1, 0, 1, 0}));
        QCOMPARE(f.logMessages(), QStringList{u"News Error \"0: The page is larger than 4096 bytes.\" on "_s + big});
    }

    void unreadablePasswordSkipsTheUrl()
    {
        pwtest::EngineFixture f;
        f.http.setResponse("/p", page("body"));
        f.http.setResponse("/q", page("other"));
        pw::UrlEntry bad = pwtest::urlEntry(f.http.url(u"/p"_s));
        bad[pw::UrlEntry::Username] = u"joe"_s;
        bad[pw::UrlEntry::Password] = u"ZZ"_s;
        f.makeList(u"News"_s, {bad, pwtest::urlEntry(f.http.url(u"/q"_s))});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(f.http.requestCount("/p"), 0);
        QCOMPARE(f.http.requestCount("/q"), 1);
        QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
        QVERIFY(f.logMessages().isEmpty());
    }

    void keepOnlyLatest()
    {
        pwtest::EngineFixture f;
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(9, 0, 0)));
        int version = 0;
        f.http.setHandler([&version](const pwtest::ScriptedHttpServer::Request &r) {
            Response resp;
            resp.body = r.path + " version " + QByteArray::number(version);
            resp.headers.append({"Last-Modified", "v" + QByteArray::number(version)});
            return resp;
        });
        pw::UrlEntry keep = pwtest::urlEntry(f.http.url(u"/keep"_s), u"Keep"_s);
        keep[pw::UrlEntry::KeepOne] = u"TRUE"_s;
        const pw::UrlEntry other = pwtest::urlEntry(f.http.url(u"/other"_s), u"Other"_s);
        f.settings.numthreads = 1; // a fixed order of pages
        f.applySettings();
        f.makeList(u"News"_s, {keep, other});
        QVERIFY(f.retrieve(u"News"_s));
        const QList<pw::WebBoxEntry> first = f.webBox(u"News"_s);
        QCOMPARE(first.size(), 2);

        version = 1;
        clock.set(clock.now().addSecs(60));
        QVERIFY(f.retrieve(u"News"_s));
        const QList<pw::WebBoxEntry> second = f.webBox(u"News"_s);
        QStringList urls;
        for (const auto &e : second)
            urls.append(e.url);
        // The older record of the kept URL is gone with its page file; the others stay in order.
        QCOMPARE(urls, (QStringList{other[pw::UrlEntry::Url], keep[pw::UrlEntry::Url], other[pw::UrlEntry::Url]}));
        QVERIFY(!QFile::exists(first[0].fileLocation));
        QVERIFY(QFile::exists(first[1].fileLocation));
        QCOMPARE(pwtest::readAll(second[1].fileLocation), QByteArray("/keep version 1\r\n"));
    }

    void abortDuringTransfers()
    {
        pwtest::EngineFixture f;
        f.settings.reportscapability = true;
        f.settings.reportlist = {u"All WebBoxes"_s};
        f.applySettings();
        Response slow;
        slow.delayMs = 10000;
        slow.body = "never";
        f.http.setHandler([slow](const pwtest::ScriptedHttpServer::Request &) { return slow; });
        QList<pw::UrlEntry> entries;
        for (int i = 0; i < 30; ++i) {
            entries.append(pwtest::urlEntry(f.http.url(u"/p%1"_s.arg(i))));
            entries.last()[pw::UrlEntry::Delay] = u"100000"_s; // only the abort ends them
        }
        f.makeList(u"News"_s, entries);
        QSignalSpy finished(f.engine.get(), &pw::server::RunEngine::runFinished);
        f.engine->queuelist(u"News"_s);
        QTRY_COMPARE(f.http.requests().size(), 10); // all ten slots are fetching
        QVERIFY(f.engine->aborttransfers());
        QVERIFY(finished.count() == 1 || finished.wait(10000));
        const Counters c = f.engine->counters();
        QCOMPARE(c.completed, 10);
        QCOMPARE(c.errors, 10);
        QCOMPARE(c.modified + c.unchanged, 0);
        QCOMPARE(c.queue, 0);
        QCOMPARE(f.link.count(u"ABORTING TRUE"_s), 2);
        QCOMPARE(f.link.lines.last(), u"ABORTING FALSE"_s);
        QCOMPARE(f.logMessages().count(u"News Error \"404: Connection aborted.\" on "_s + f.http.url(u"/p0"_s)), 1);
        QVERIFY(!f.engine->transferActive());
        QVERIFY(!f.engine->aborttransfers()); // nothing to abort now
    }

    // Closing during a run: the run is aborted without its end-of-run lines, and the
    // values of pages already accepted reach the list file.
    void shutdownDuringARun()
    {
        pwtest::EngineFixture f;
        f.engine->setListSaveInterval(3600 * 1000);
        f.http.setHandler([](const pwtest::ScriptedHttpServer::Request &r) {
            Response resp = page("content of " + r.path);
            if (r.path != "/fast")
                resp.delayMs = 10000;
            return resp;
        });
        QList<pw::UrlEntry> entries{pwtest::urlEntry(f.http.url(u"/fast"_s))};
        for (int i = 0; i < 5; ++i) {
            entries.append(pwtest::urlEntry(f.http.url(u"/slow%1"_s.arg(i))));
            entries.last()[pw::UrlEntry::Delay] = u"100000"_s; // no time-out: the shutdown ends them
        }
        f.settings.numthreads = 3;
        f.applySettings();
        f.makeList(u"News"_s, entries);
        f.engine->queuelist(u"News"_s);
        QTRY_COMPARE(f.engine->counters().modified, 1);
        QTRY_COMPARE(f.http.requests().size(), 4); // the fast page, then three slow ones in the three slots
        f.engine->shutdown();
        QVERIFY(!f.engine->anySlotActive());
        QCOMPARE(f.link.count(u"ABORTING TRUE"_s), 1); // the abort's, no end-of-run lines
        QVERIFY(!f.link.lines.contains(u"TRANSFERACTIVE FALSE"_s));
        QCOMPARE(f.listFile(u"News"_s).value(0)[pw::UrlEntry::Size],
                 QString::number(QByteArray("content of /fast").size()));
    }

    void queueingRules()
    {
        pwtest::EngineFixture f;
        Response slow;
        slow.delayMs = 300;
        slow.body = "x";
        f.http.setHandler([slow](const pwtest::ScriptedHttpServer::Request &) { return slow; });
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/a"_s)), pwtest::urlEntry(f.http.url(u"/b"_s))});
        f.makeList(u"Sports"_s, {pwtest::urlEntry(f.http.url(u"/c"_s))});
        f.settings.numthreads = 1;
        f.applySettings();
        f.engine->queuelist(u"news"_s); // case does not matter
        QVERIFY(f.engine->transferActive());
        f.engine->queuelist(u"NEWS"_s);    // already queued or being fetched
        f.engine->queuelist(u"Unknown"_s); // not a known list
        f.engine->queuelist(u"Sports"_s);
        QCOMPARE(f.link.count(u"TRANSFERACTIVE TRUE"_s), 2);
        QVERIFY(f.waitForRunEnd());
        QCOMPARE(f.http.requests().size(), 3);
        QCOMPARE(f.engine->counters(), (Counters{3, 3, 0, 0, 0}));
    }

    void emptyListDoesNotEndTheRunOfOneSlot()
    {
        pwtest::EngineFixture f;
        f.http.setResponse("/a", page("a"));
        f.settings.numthreads = 1;
        f.applySettings();
        f.makeList(u"Empty"_s, {});
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/a"_s))});
        f.engine->getall();
        QVERIFY(f.waitForRunEnd());
        QCOMPARE(f.http.requestCount("/a"), 1);
        QCOMPARE(f.engine->counters(), (Counters{1, 1, 0, 0, 0}));
    }

    void missingListFileIsLogged()
    {
        pwtest::EngineFixture f;
        f.makeList(u"News"_s, {});
        QFile::remove(pw::paths::urlListFile(f.dataDir(), u"News"_s));
        f.engine->queuelist(u"News"_s);
        QVERIFY(!f.engine->transferActive());
        QCOMPARE(f.logMessages(), QStringList{u"ERROR (Not Found) retrieval executed on \"News\""_s});
    }

    void lowDiskSpaceRefusesTheRun()
    {
        pwtest::EngineFixture f;
        f.engine->setFreeSpaceProbe([] { return qint64(9'999'999); });
        f.makeList(u"News"_s, {pwtest::urlEntry(u"http://127.0.0.1:1/"_s)});
        f.engine->queuelist(u"News"_s);
        QVERIFY(!f.engine->transferActive());
        QCOMPARE(f.logMessages(), QStringList{u"ERROR Pagewarden cannot run due to low disk space."_s});
    }

    void reportsForSelectedLists()
    {
        pwtest::EngineFixture f;
        f.http.setHandler([](const pwtest::ScriptedHttpServer::Request &r) { return page(r.path); });
        f.settings.reportscapability = true;
        f.settings.reportlist = {u"news"_s};
        f.applySettings();
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/n1"_s)), pwtest::urlEntry(f.http.url(u"/n2"_s))});
        f.makeList(u"Sports"_s, {pwtest::urlEntry(f.http.url(u"/s1"_s))});
        f.engine->getall();
        QVERIFY(f.waitForRunEnd());
        const auto index = pw::readReportsIndex(pw::paths::reportsIndexFile());
        QCOMPARE(index.records.size(), 1);
        QCOMPARE(index.records[0].listName, u"News"_s);
        QCOMPARE(f.reportLines(u"News"_s).size(), 2);
        const qsizetype begin = f.link.lines.indexOf(u"BEGINREPORTUPDATE"_s);
        QVERIFY(begin >= 0);
        QCOMPARE(f.link.lines.mid(begin + 1, 4), (QStringList{index.records[0].dateTime, u"News"_s,
                                                              index.records[0].fileLocation, u"ENDREPORTUPDATE"_s}));
    }

    // The client saves the list while the run goes on: the server's values go into the
    // file as it is now instead of overwriting it with the copy loaded at the start.
    void listUpdateKeepsWhatTheClientSaved()
    {
        pwtest::EngineFixture f;
        Response slow = page("new content");
        slow.delayMs = 1500; // time enough for the client's save to come first
        slow.headers.append({"Last-Modified", kLastModified});
        f.http.setResponse("/a", slow);
        pw::UrlEntry a = pwtest::urlEntry(f.http.url(u"/a"_s), u"A"_s);
        a[pw::UrlEntry::TimeOut] = u"100000"_s; // the watch ticks are short here
        f.makeList(u"News"_s, {a});
        f.engine->queuelist(u"News"_s);
        QTRY_COMPARE(f.http.requests().size(), 1);
        pw::UrlEntry added = pwtest::urlEntry(u"http://added.example/"_s, u"Added by the user"_s);
        pw::UrlEntry renamed = a;
        renamed[pw::UrlEntry::Description] = u"A, renamed"_s;
        renamed[pw::UrlEntry::Url] = a[pw::UrlEntry::Url].toUpper().replace(u"HTTP://"_s, u"http://"_s);
        QVERIFY(pw::writeUrlList(f.dataDir(), u"News"_s, {added, renamed}));
        QVERIFY(f.waitForRunEnd());
        const QList<pw::UrlEntry> saved = f.listFile(u"News"_s);
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved[0], added);
        QCOMPARE(saved[1][pw::UrlEntry::Description], u"A, renamed"_s);
        QCOMPARE(saved[1][pw::UrlEntry::LastModified], QString::fromLatin1(kLastModified));
        QCOMPARE(saved[1][pw::UrlEntry::Size], u"11"_s);
    }

    void soundAfterARunWithNews_data()
    {
        QTest::addColumn<bool>("effectOn");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("news");
        QTest::addColumn<bool>("played");
        QTest::newRow("news") << true << true << true << true;
        QTest::newRow("sound off") << false << true << true << false;
        QTest::newRow("file gone") << true << false << true << false;
        QTest::newRow("nothing new") << true << true << false << false;
    }
    void soundAfterARunWithNews()
    {
        QFETCH(bool, effectOn);
        QFETCH(bool, fileExists);
        QFETCH(bool, news);
        QFETCH(bool, played);
        struct Recorder : pw::server::SoundPlayer
        {
            QStringList played;
            void play(const QString &path) override { played.append(path); }
        } recorder;
        pwtest::EngineFixture f;
        const QString wave = f.home.path(u"ding.wav"_s);
        if (fileExists)
            f.home.writeFile(u"ding.wav"_s, "RIFF");
        f.settings.useeffect = effectOn;
        f.settings.soundeffect = wave;
        f.applySettings();
        f.engine->setSoundPlayer(&recorder);
        Response r = news ? page("new") : Response{404, "Not Found", {}, {}, 0, false, 0, 0, true};
        f.http.setResponse("/a", r);
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/a"_s))});
        QVERIFY(f.retrieve(u"News"_s));
        QCOMPARE(recorder.played, played ? QStringList{wave} : QStringList());
    }

    void captionsAreFittedTo475Pixels()
    {
        const QFontMetrics metrics(QGuiApplication::font());
        const QString shortText = u"Transfer Completed on http://a/"_s;
        QCOMPARE(pw::server::fitCaption(shortText, metrics), shortText);
        const QString longText = u"Processing http://example.org/"_s + QString(600, u'w');
        const QString fitted = pw::server::fitCaption(longText, metrics);
        QVERIFY(fitted.endsWith(u"..."_s));
        const QString kept = fitted.chopped(3);
        QVERIFY(longText.startsWith(kept));
        QVERIFY(metrics.horizontalAdvance(kept) <= 475);
        QVERIFY(metrics.horizontalAdvance(longText.left(kept.size() + 1)) > 475); // the longest that fits
    }

    // With a long save interval the list file still gets every value: right after the
    // list's last URL and at the end of the run.
    void listValuesAreSavedWhenTheListIsDone()
    {
        pwtest::EngineFixture f;
        f.engine->setListSaveInterval(3600 * 1000);
        f.http.setHandler([](const pwtest::ScriptedHttpServer::Request &r) { return page(r.path + "!"); });
        QList<pw::UrlEntry> entries;
        for (int i = 0; i < 20; ++i)
            entries.append(pwtest::urlEntry(f.http.url(u"/p%1"_s.arg(i))));
        f.makeList(u"News"_s, entries);
        QVERIFY(f.retrieve(u"News"_s));
        const QList<pw::UrlEntry> saved = f.listFile(u"News"_s);
        QCOMPARE(saved.size(), 20);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(saved[i][pw::UrlEntry::Size], QString::number(u"/p%1!"_s.arg(i).size()));
    }

    // A run with both highlighting passes on: keywords marked from the first retrieval,
    // the changed paragraph framed on the next.
    void acceptedPagesAreHighlighted()
    {
        pwtest::EngineFixture f;
        f.engine->setHighlighter(&pw::server::highlightpage);
        QByteArray body = "<html><body><p>Old news today</p>\r\n<p>Weather report</p></body></html>";
        f.http.setHandler([&body](const pwtest::ScriptedHttpServer::Request &) { return page(body); });
        pw::UrlEntry e = pwtest::urlEntry(f.http.url(u"/p"_s));
        e[pw::UrlEntry::Highlighting] = u"TRUE"_s;
        e[pw::UrlEntry::Keywording] = u"TRUE"_s;
        e[pw::UrlEntry::KeywordsToHighlight] = u"news"_s;
        e[pw::UrlEntry::SizeThreshold] = u"0"_s;
        f.makeList(u"News"_s, {e});
        QVERIFY(f.retrieve(u"News"_s));
        const QByteArray first = pwtest::readAll(f.webBox(u"News"_s).value(0).fileLocation);
        const QByteArray marked = pw::server::keywordStart("#FF0000") + "news" + pw::server::kKeywordEnd.toByteArray();
        QVERIFY2(first.contains(marked), first.constData());
        QVERIFY(!first.contains(pw::server::kFrameEnd.toByteArray()));

        body.replace("Weather report", "Storm warning for the coast");
        QVERIFY(f.retrieve(u"News"_s));
        const QByteArray second = pwtest::readAll(f.webBox(u"News"_s).value(1).fileLocation);
        QVERIFY2(second.contains(pw::server::frameStart("#FFFF00")), second.constData());
        QVERIFY(second.contains("Storm warning for the coast"));
        QVERIFY2(second.contains(QByteArray(pw::server::frameStart("#FFFF00") + "Storm warning for the coast")),
                 second.constData());
        QVERIFY(second.contains("<body><p>Old")); // the unchanged paragraph is not framed
    }

    void noClientMarksNewRetrieve()
    {
        pwtest::EngineFixture f;
        f.link.connected = false;
        f.http.setResponse("/a", page("a"));
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/a"_s))});
        QVERIFY(f.retrieve(u"News"_s));
        QVERIFY(f.link.lines.isEmpty());
        auto store = pw::paths::openSettings();
        QCOMPARE(store->value(u"Defaults/NewRetrieve"_s).toString(), u"TRUE"_s);
        QCOMPARE(f.webBox(u"News"_s).size(), 1); // written all the same
    }

    void reloadsRequestedDuringARunHappenOnceAtItsEnd()
    {
        pwtest::EngineFixture f;
        int settingsReloads = 0;
        int listReloads = 0;
        f.engine->setSettingsReloader([&] { ++settingsReloads; });
        f.engine->setListReloader([&] { ++listReloads; });
        Response slow = page("a");
        slow.delayMs = 200;
        f.http.setResponse("/a", slow);
        f.makeList(u"News"_s, {pwtest::urlEntry(f.http.url(u"/a"_s))});
        f.engine->queuelist(u"News"_s);
        f.engine->requestSettingsReload();
        f.engine->requestSettingsReload();
        f.engine->requestListReload();
        QCOMPARE(settingsReloads, 0);
        QVERIFY(f.waitForRunEnd());
        QCOMPARE(settingsReloads, 1);
        QCOMPARE(listReloads, 1);
        f.engine->requestSettingsReload(); // idle: at once
        QCOMPARE(settingsReloads, 2);
    }

    // Ten slots on one list whose every page changes: nothing is lost or cut.
    void tenSlotsOnOneList()
    {
        pwtest::EngineFixture f;
        f.http.setHandler([](const pwtest::ScriptedHttpServer::Request &r) {
            return page("<html><body>" + r.path + QByteArray(200, '.') + "</body></html>");
        });
        QList<pw::UrlEntry> entries;
        for (int i = 0; i < 500; ++i) {
            pw::UrlEntry e = pwtest::urlEntry(f.http.url(u"/page%1"_s.arg(i)), u"Page %1"_s.arg(i));
            e[pw::UrlEntry::Size] = u"1"_s; // known and different: every page is a change
            e[pw::UrlEntry::SizeThreshold] = u"0"_s;
            e[pw::UrlEntry::KeepOne] = (i % 7 == 0) ? u"TRUE"_s : u"FALSE"_s;
            entries.append(e);
        }
        f.makeList(u"News"_s, entries);
        QVERIFY(f.retrieve(u"News"_s, 120000));
        QCOMPARE(f.engine->counters(), (Counters{500, 500, 0, 0, 0}));
        const auto box = pw::readWebBox(pw::paths::webBoxFile(f.dataDir(), u"News"_s), pw::ReaderSide::Server);
        QCOMPARE(box.entries.size(), 500);
        QVERIFY(!box.truncated);
        QSet<QString> urls;
        for (const auto &e : box.entries) {
            urls.insert(e.url);
            QVERIFY(QFile::exists(e.fileLocation));
        }
        QCOMPARE(urls.size(), 500);
        const QList<pw::UrlEntry> saved = f.listFile(u"News"_s);
        QCOMPARE(saved.size(), 500);
        for (const pw::UrlEntry &e : saved) {
            const QByteArray path = QUrl(e[pw::UrlEntry::Url]).path().toUtf8();
            QCOMPARE(e[pw::UrlEntry::Size], QString::number(path.size() + 226));
        }
    }
};

QTEST_MAIN(TestRunEngine)
#include "tst_runengine.moc"
