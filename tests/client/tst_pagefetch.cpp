// The client's single-page fetch against a real HTTP server on loopback: lines, error
// texts, redirects, credentials, abort, time-out, the body limit, proxy, TLS and the
// reading of page bytes as text.
#include "support/freeport.h"
#include "support/httpserver.h"
#include "support/testca.h"

#include "client/core/pagebody.h"
#include "client/core/pagefetch.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::PageFetch;
using Response = pwtest::ScriptedHttpServer::Response;
using Request = pwtest::ScriptedHttpServer::Request;

namespace {

Response page(const QByteArray &body, const QList<std::pair<QByteArray, QByteArray>> &headers = {})
{
    Response r;
    r.body = body;
    r.headers = headers;
    return r;
}

Response answer(int status, const QByteArray &reason, const QList<std::pair<QByteArray, QByteArray>> &headers = {})
{
    Response r;
    r.status = status;
    r.reason = reason;
    r.headers = headers;
    r.body = reason;
    return r;
}

struct Fetched
{
    bool ok = false;
    QString url;
    QString error;
    QStringList lines;
};

Fetched fetch(PageFetch &fetcher, const QString &url, const QString &user = {}, const QString &password = {})
{
    Fetched f;
    f.url = url;
    f.ok = fetcher.starttransfer(user, password, f.url, f.error, f.lines);
    return f;
}

pw::Settings settings(const QString &timeout = u"30"_s)
{
    pw::Settings s;
    s.useragent = u"Pagewarden Test Agent"_s;
    s.httptimeout = timeout;
    return s;
}

QString errorText(int code, const QString &reason)
{
    return u"\"%1: %2.\""_s.arg(code).arg(reason);
}

} // namespace

class TestPageFetch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void success()
    {
        pwtest::ScriptedHttpServer server;
        const QByteArray body = "<html>\r\n<a href=\"x.htm\">\r\nbare\nLF stays\r\n\r\nlast without break";
        Response r = page(body);
        r.dripBytes = 16; // several pieces, several progress reports
        r.dripIntervalMs = 5;
        server.setResponse("/page", r);
        PageFetch fetcher;
        fetcher.setSettings(settings());
        QSignalSpy progress(&fetcher, &PageFetch::bytesReceived);

        const Fetched f = fetch(fetcher, server.url(u"/page"_s));
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.lines, (QStringList{u"<html>"_s, u"<a href=\"x.htm\">"_s, u"bare\nLF stays"_s, QString(),
                                       u"last without break"_s}));
        QCOMPARE(f.url, server.url(u"/page"_s));
        QCOMPARE(f.error, QString());
        QVERIFY(!fetcher.isRunning());

        QVERIFY(progress.size() > 1);
        qint64 before = 0;
        for (const QList<QVariant> &report : progress) {
            QVERIFY(report.at(0).toLongLong() > before);
            before = report.at(0).toLongLong();
        }
        QCOMPARE(before, qint64(body.size()));

        const Request request = server.requests().value(0);
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Pagewarden Test Agent"));
        QVERIFY(!request.headers.contains("authorization"));
    }

    void emptyBodyGivesNoLines()
    {
        pwtest::ScriptedHttpServer server;
        server.setResponse("/empty", page({}));
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/empty"_s));
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.lines, QStringList());
    }

    void progressText() { QCOMPARE(pw::client::bytesReceivedText(1234), u"1234 Bytes received on URL."_s); }

    void errorStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("404") << 404 << QByteArray("Not Found");
        QTest::newRow("403") << 403 << QByteArray("Forbidden");
        QTest::newRow("500") << 500 << QByteArray("Internal Server Error");
        QTest::newRow("reason of the server's own") << 503 << QByteArray("Come Back Later");
    }

    void errorStatus()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reason);
        pwtest::ScriptedHttpServer server;
        server.setResponse("/page", answer(status, reason));
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/page"_s));
        QVERIFY(!f.ok);
        QCOMPARE(f.error, errorText(status, QString::fromLatin1(reason)));
        QCOMPARE(f.lines, QStringList());
        QCOMPARE(f.url, server.url(u"/page"_s));
    }

    void unscriptedPathIs404()
    {
        pwtest::ScriptedHttpServer server;
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/nowhere.htm"_s));
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"404: Not Found.\""_s);
    }

    void redirectTargetReported()
    {
        pwtest::ScriptedHttpServer server;
        server.setResponse("/old", answer(301, "Moved Permanently", {{"Location", "/new"}}));
        server.setResponse("/new", answer(302, "Found", {{"Location", server.url(u"/newest.htm"_s).toUtf8()}}));
        server.setResponse("/newest.htm", page("<p>here</p>"));
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/old"_s));
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.url, server.url(u"/newest.htm"_s));
        QCOMPARE(f.lines, QStringList{u"<p>here</p>"_s});

        // The next fetch forgets it.
        const Fetched again = fetch(fetcher, server.url(u"/newest.htm"_s));
        QVERIFY(again.ok);
        QCOMPARE(again.url, server.url(u"/newest.htm"_s));
    }

    void redirectTargetReportedOnFailure()
    {
        pwtest::ScriptedHttpServer server;
        server.setResponse("/moved", answer(307, "Temporary Redirect", {{"Location", "/gone.htm"}}));
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/moved"_s));
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"404: Not Found.\""_s);
        QCOMPARE(f.url, server.url(u"/gone.htm"_s));
    }

    void basicAuthentication()
    {
        pwtest::ScriptedHttpServer server;
        const QByteArray expected = "Basic " + QByteArray("ann:s3cret").toBase64();
        server.setHandler([expected](const Request &r) {
            if (r.headers.value("authorization") == expected)
                return page("<p>members</p>");
            return answer(401, "Unauthorized", {{"WWW-Authenticate", "Basic realm=\"members\""}});
        });
        PageFetch fetcher;

        const Fetched in = fetch(fetcher, server.url(u"/members.htm"_s), u"ann"_s, u"s3cret"_s);
        QVERIFY2(in.ok, qPrintable(in.error));
        QCOMPARE(in.lines, QStringList{u"<p>members</p>"_s});
        // Sent with the first request, not after a challenge.
        QCOMPARE(server.requestCount("/members.htm"), 1);

        const Fetched wrong = fetch(fetcher, server.url(u"/members.htm"_s), u"ann"_s, u"guess"_s);
        QVERIFY(!wrong.ok);
        QCOMPARE(wrong.error, u"\"401: Unauthorized.\""_s);

        // A user without a password sends nothing.
        server.clearRequests();
        const Fetched half = fetch(fetcher, server.url(u"/members.htm"_s), u"ann"_s, QString());
        QVERIFY(!half.ok);
        QCOMPARE(half.error, u"\"401: Unauthorized.\""_s);
        QVERIFY(!server.requests().value(0).headers.contains("authorization"));
    }

    void abortFromTheEventLoop()
    {
        pwtest::ScriptedHttpServer server;
        Response stalled = page(QByteArray(4096, 'x'));
        stalled.stall = true;
        server.setResponse("/slow", stalled);
        PageFetch fetcher;
        fetcher.setSettings(settings());
        bool runningWhenAborted = false;
        QTimer::singleShot(100, &fetcher, [&] {
            runningWhenAborted = fetcher.isRunning();
            fetcher.abort();
        });
        const Fetched f = fetch(fetcher, server.url(u"/slow"_s));
        QVERIFY(runningWhenAborted);
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"404: Connection aborted.\""_s);
        QCOMPARE(f.lines, QStringList());
        QVERIFY(!fetcher.isRunning());

        // Abort with nothing running does nothing, and the fetcher works again.
        fetcher.abort();
        server.setResponse("/page", page("ok"));
        QVERIFY(fetch(fetcher, server.url(u"/page"_s)).ok);
    }

    void timeOut()
    {
        pwtest::ScriptedHttpServer server;
        Response stalled = page(QByteArray(4096, 'x'));
        stalled.stall = true;
        server.setResponse("/slow", stalled);
        PageFetch fetcher;
        fetcher.setSettings(settings(u"1"_s));
        const Fetched f = fetch(fetcher, server.url(u"/slow"_s));
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"0: Timed out after 1 second.\""_s);
        QVERIFY(!fetcher.isRunning());
    }

    void bodyLimit_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("sendLength");
        QTest::addColumn<QString>("error");
        const QString small = errorText(0, u"The page is larger than 1000 bytes"_s);
        QTest::newRow("at the limit") << qint64(1000) << qint64(1000) << true << QString();
        QTest::newRow("over, announced") << qint64(1000) << qint64(1001) << true << small;
        QTest::newRow("over, not announced") << qint64(1000) << qint64(1001) << false << small;
        const qint64 big = pw::client::kMaxPageBytes;
        const QString full = errorText(0, u"The page is larger than 64 MB"_s);
        QTest::newRow("64 MB and a byte, announced") << qint64(0) << big + 1 << true << full;
        QTest::newRow("64 MB and a byte, not announced") << qint64(0) << big + 1 << false << full;
    }

    void bodyLimit()
    {
        QFETCH(qint64, limit);
        QFETCH(qint64, size);
        QFETCH(bool, sendLength);
        QFETCH(QString, error);
        pwtest::ScriptedHttpServer server;
        Response r = page(QByteArray(size, 'x'));
        r.sendLength = sendLength;
        server.setResponse("/big", r);
        PageFetch fetcher;
        if (limit > 0)
            fetcher.setMaxBodyBytes(limit);
        const Fetched f = fetch(fetcher, server.url(u"/big"_s));
        QCOMPARE(f.error, error);
        QCOMPARE(f.ok, error.isEmpty());
        if (f.ok)
            QCOMPARE(f.lines, QStringList{QString(size, u'x')});
        else
            QCOMPARE(f.lines, QStringList());
    }

    void announcedSizeRefusedBeforeTheBody()
    {
        // The server announces more than the limit, sends a little and then nothing: only
        // the announcement can end this fetch before its time-out.
        pwtest::ScriptedHttpServer server;
        Response r = page(QByteArray(600, 'x'), {{"Content-Length", "100000"}});
        r.stall = true;
        server.setResponse("/big", r);
        PageFetch fetcher;
        fetcher.setSettings(settings(u"20"_s));
        fetcher.setMaxBodyBytes(1000);
        const Fetched f = fetch(fetcher, server.url(u"/big"_s));
        QCOMPARE(f.error, errorText(0, u"The page is larger than 1000 bytes"_s));
    }

    void compressedBodyIsDecoded()
    {
        pwtest::ScriptedHttpServer server;
        const QByteArray plain = "<a href=\"one.htm\">\r\n<a href=\"two.htm\">";
        // A zlib stream, which is what "deflate" carries; qCompress puts a length in front.
        server.setResponse("/packed", page(qCompress(plain).sliced(4), {{"Content-Encoding", "deflate"}}));
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, server.url(u"/packed"_s));
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.lines, (QStringList{u"<a href=\"one.htm\">"_s, u"<a href=\"two.htm\">"_s}));
    }

    void charsetFromTheHeader()
    {
        pwtest::ScriptedHttpServer server;
        server.setResponse("/latin", page("caf\xe9", {{"Content-Type", "text/html; charset=ISO-8859-1"}}));
        server.setResponse("/utf8", page("caf\xc3\xa9", {{"Content-Type", "text/html"}}));
        PageFetch fetcher;
        QCOMPARE(fetch(fetcher, server.url(u"/latin"_s)).lines, QStringList{u"caf\u00e9"_s});
        QCOMPARE(fetch(fetcher, server.url(u"/utf8"_s)).lines, QStringList{u"caf\u00e9"_s});
    }

    void bodyText_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("declared Latin-1")
            << QByteArray("caf\xe9") << QByteArray("text/html; charset=iso-8859-1") << QStringList{u"caf\u00e9"_s};
        QTest::newRow("declared in quotes")
            << QByteArray("caf\xe9") << QByteArray("text/html;charset=\"latin1\"") << QStringList{u"caf\u00e9"_s};
        QTest::newRow("valid UTF-8, undeclared") << QByteArray("caf\xc3\xa9\r\n\xe2\x82\xac") << QByteArray("text/html")
                                                 << QStringList{u"caf\u00e9"_s, u"\u20ac"_s};
        QTest::newRow("invalid UTF-8, undeclared, is Latin-1")
            << QByteArray("caf\xe9 \xc3\xa9") << QByteArray() << QStringList{u"caf\u00e9 \u00c3\u00a9"_s};
        QTest::newRow("meta charset") << QByteArray("<meta charset=\"windows-1252\">\r\n\x80")
                                      << QByteArray("text/html")
                                      << QStringList{u"<meta charset=\"windows-1252\">"_s, u"\u20ac"_s};
        QTest::newRow("meta http-equiv")
            << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=koi8-r\">\r\n\xc1")
            << QByteArray()
            << QStringList{u"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=koi8-r\">"_s, u"\u0430"_s};
        QTest::newRow("the header wins over a meta tag")
            << QByteArray("<meta charset=windows-1252>\r\n\xc3\xa9") << QByteArray("text/html; charset=utf-8")
            << QStringList{u"<meta charset=windows-1252>"_s, u"\u00e9"_s};
        QTest::newRow("unknown charset counts as none")
            << QByteArray("caf\xc3\xa9") << QByteArray("text/html; charset=x-no-such-thing")
            << QStringList{u"caf\u00e9"_s};
        QTest::newRow("UTF-8 byte order mark")
            << QByteArray("\xef\xbb\xbfx\ry") << QByteArray() << QStringList{u"x"_s, u"y"_s};
        QTest::newRow("UTF-16 with byte order mark, split as text")
            << QByteArray("\xff\xfe"
                          "a\0\r\0\n\0\x0d\x26\r\0b\0\0\0c\0",
                          18)
            << QByteArray() << QStringList{u"a"_s, u"\u260d"_s, u"b"_s};
        QTest::newRow("NUL cuts its line")
            << QByteArray("ab\0cd\r\nef", 9) << QByteArray() << QStringList{u"ab"_s, u"ef"_s};
    }

    void bodyText()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QStringList, lines);
        QCOMPARE(pw::client::pageBodyLines(body, contentType), lines);
    }

    void proxyFromTheSettings()
    {
        // The scripted server stands in for the proxy: it receives the absolute address.
        pwtest::ScriptedHttpServer proxy;
        const QByteArray credentials = "Basic " + QByteArray("puser:ppass").toBase64();
        proxy.setHandler([credentials](const Request &r) {
            if (r.headers.value("proxy-authorization") != credentials)
                return answer(407, "Proxy Authentication Required", {{"Proxy-Authenticate", "Basic realm=\"p\""}});
            return page("<p>through the proxy</p>");
        });
        pw::Settings s = settings();
        s.proxyserver = u"127.0.0.1"_s;
        s.proxyport = QString::number(proxy.port());
        s.proxyuser = u"puser"_s;
        s.proxypass = u"ppass"_s;
        PageFetch fetcher;
        fetcher.setSettings(s);
        const Fetched f = fetch(fetcher, u"http://pagewarden.invalid/via.htm"_s);
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.lines, QStringList{u"<p>through the proxy</p>"_s});
        QVERIFY(!proxy.requests().isEmpty());
        QCOMPARE(proxy.requests().last().target, QByteArray("http://pagewarden.invalid/via.htm"));

        // Without a port there is no proxy: the request goes straight to its server.
        s.proxyport.clear();
        fetcher.setSettings(s);
        proxy.clearRequests();
        proxy.setResponse("/direct.htm", page("<p>direct</p>"));
        const Fetched direct = fetch(fetcher, proxy.url(u"/direct.htm"_s));
        QVERIFY2(direct.ok, qPrintable(direct.error));
        QCOMPARE(proxy.requests().value(0).target, QByteArray("/direct.htm"));
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
        pwtest::ScriptedHttpServer tls(ca.serverConfiguration());
        tls.setResponse("/secure.htm", page("<p>secret</p>"));
        PageFetch fetcher;
        if (trusted)
            fetcher.setCaCertificates(ca.trustingClientConfiguration().caCertificates());
        const QString url = tls.url(u"/secure.htm"_s);
        QVERIFY(url.startsWith(u"https://"_s));
        const Fetched f = fetch(fetcher, url);
        if (trusted) {
            QVERIFY2(f.ok, qPrintable(f.error));
            QCOMPARE(f.lines, QStringList{u"<p>secret</p>"_s});
        } else {
            QVERIFY(!f.ok);
            QVERIFY2(f.error.startsWith(u"\"0: "_s) && f.error.contains(u"SSL"_s, Qt::CaseInsensitive),
                     qPrintable(f.error));
        }
    }

    void addressChecks_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("other scheme") << u"ftp://127.0.0.1/file.htm"_s;
        QTest::newRow("no host") << u"http:///page.htm"_s;
        QTest::newRow("a blank inside") << u"http://127.0.0.1/a page.htm"_s;
        QTest::newRow("scheme only") << u"http://"_s;
    }

    void addressChecks()
    {
        QFETCH(QString, url);
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, url);
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"0: Not a valid http or https address.\""_s);
    }

    void schemeAddedWhenMissing()
    {
        pwtest::ScriptedHttpServer server;
        server.setResponse("/page.htm", page("ok"));
        PageFetch fetcher;
        const QString typed = u"  127.0.0.1:%1/page.htm "_s.arg(server.port());
        const Fetched f = fetch(fetcher, typed);
        QVERIFY2(f.ok, qPrintable(f.error));
        QCOMPARE(f.url, server.url(u"/page.htm"_s));
    }

    void connectionRefused()
    {
        PageFetch fetcher;
        const Fetched f = fetch(fetcher, u"http://127.0.0.1:%1/page.htm"_s.arg(pwtest::freeLoopbackPort()));
        QVERIFY(!f.ok);
        QVERIFY2(f.error.startsWith(u"\"0: "_s) && f.error.endsWith(u".\""_s) && f.error.size() > 6,
                 qPrintable(f.error));
    }

    void oneFetchAtATime()
    {
        pwtest::ScriptedHttpServer server;
        Response stalled = page("x");
        stalled.stall = true;
        server.setResponse("/slow", stalled);
        server.setResponse("/other", page("other"));
        PageFetch fetcher;
        Fetched nested;
        QTimer::singleShot(100, &fetcher, [&] {
            nested = fetch(fetcher, server.url(u"/other"_s));
            fetcher.abort();
        });
        const Fetched f = fetch(fetcher, server.url(u"/slow"_s));
        QCOMPARE(nested.ok, false);
        QCOMPARE(nested.error, u"\"0: Another page fetch is running.\""_s);
        QCOMPARE(server.requestCount("/other"), 0);
        QCOMPARE(f.error, u"\"404: Connection aborted.\""_s);
    }

    void destroyedWhileFetching()
    {
        // The window that owns the fetch closes while it runs.
        pwtest::ScriptedHttpServer server;
        Response stalled = page("x");
        stalled.stall = true;
        server.setResponse("/slow", stalled);
        auto *fetcher = new PageFetch;
        QObject context;
        QTimer::singleShot(100, &context, [&] { delete fetcher; });
        const Fetched f = fetch(*fetcher, server.url(u"/slow"_s));
        QVERIFY(!f.ok);
        QCOMPARE(f.error, u"\"404: Connection aborted.\""_s);
    }
};

QTEST_GUILESS_MAIN(TestPageFetch)
#include "tst_pagefetch.moc"
