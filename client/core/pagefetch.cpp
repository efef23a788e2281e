#include "pagefetch.h"

#include "pagebody.h"

#include <QAuthenticator>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <chrono>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

namespace pw::client {

QString bytesReceivedText(qint64 bytes)
{
    return QString::number(bytes) + u" Bytes received on URL."_s;
}

QString fetchErrorText(int code, const QString &reason)
{
    return u"\""_s + QString::number(code) + u": "_s + reason + u".\""_s;
}

PageFetch::PageFetch(QObject *parent)
    : QObject(parent)
{
    // Credentials go with the request; a challenge that still comes means they were
    // refused, and the fetch ends with that answer.
    connect(&m_manager, &QNetworkAccessManager::authenticationRequired, this, [](QNetworkReply *, QAuthenticator *) {});
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { stop(Stop::TimedOut); });
}

PageFetch::~PageFetch()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    if (m_loop)
        m_loop->quit();
}

void PageFetch::setSettings(const pw::Settings &settings)
{
    m_proxyServer = settings.proxyserver;
    m_proxyPort = settings.proxyport;
    m_proxyUser = settings.proxyuser;
    m_proxyPassword = settings.proxypass;
    m_userAgent = settings.useragent;
    bool ok = false;
    const int seconds = settings.httptimeout.trimmed().toInt(&ok);
    m_timeoutSeconds = ok ? seconds : 180;
}

void PageFetch::setCaCertificates(const QList<QSslCertificate> &extra)
{
    m_ssl = QSslConfiguration::defaultConfiguration();
    m_ssl.addCaCertificates(extra);
}

bool PageFetch::starttransfer(const QString &user, const QString &password, QString &url, QString &error,
                              QStringList &lines)
{
    lines.clear();
    error.clear();
    if (isRunning()) {
        error = fetchErrorText(0, u"Another page fetch is running"_s);
        return false;
    }

    QString address = url.trimmed();
    if (!address.contains(u"://"))
        address.prepend(u"http://"_s);
    url = address;
    const QUrl target(address, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || (scheme != u"http"_s && scheme != u"https"_s) || target.host().isEmpty()) {
        error = fetchErrorText(0, u"Not a valid http or https address"_s);
        return false;
    }

    if (!m_proxyServer.isEmpty() && !m_proxyPort.isEmpty()) {
        QNetworkProxy proxy(QNetworkProxy::HttpProxy, m_proxyServer, quint16(m_proxyPort.toUInt()));
        if (!m_proxyUser.isEmpty()) {
            proxy.setUser(m_proxyUser);
            if (!m_proxyPassword.isEmpty())
                proxy.setPassword(m_proxyPassword);
        }
        m_manager.setProxy(proxy);
    } else {
        // Only the settings decide, not the environment's proxy variables.
        m_manager.setProxy(QNetworkProxy::NoProxy);
    }

    QNetworkRequest request(target);
    request.setSslConfiguration(m_ssl);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    if (!user.isEmpty() && !password.isEmpty())
        request.setRawHeader("Authorization", "Basic " + (user + u':' + password).toUtf8().toBase64());

    m_body.clear();
    m_bytes = 0;
    m_stop = Stop::None;
    m_succeeded = false;
    m_error.clear();
    m_contentType.clear();
    m_redirect.clear();
    m_redirected = false;

    QEventLoop loop;
    m_loop = &loop;
    QPointer<PageFetch> alive(this);
    m_reply = m_manager.get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &PageFetch::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageFetch::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &PageFetch::onFinished);
    connect(m_reply, &QNetworkReply::redirected, this, [this] { m_redirected = true; });
    if (m_timeoutSeconds > 0) {
        using namespace std::chrono;
        constexpr auto longest = milliseconds(std::numeric_limits<int>::max());
        m_deadline.start(std::min<milliseconds>(seconds(m_timeoutSeconds), longest));
    }
    if (m_reply)
        loop.exec();

    if (!alive) {
        // Destroyed while the fetch ran (its window closed): nothing of it is left to use.
        error = fetchErrorText(404, u"Connection aborted"_s);
        return false;
    }
    m_loop = nullptr;
    m_deadline.stop();
    if (!m_redirect.isEmpty())
        url = m_redirect;
    const QByteArray body = std::exchange(m_body, QByteArray());
    if (!m_succeeded) {
        error = m_error;
        return false;
    }
    lines = pageBodyLines(body, m_contentType);
    return true;
}

void PageFetch::abort()
{
    stop(Stop::Aborted);
}

void PageFetch::stop(Stop why)
{
    if (!m_reply || m_stop != Stop::None)
        return;
    m_stop = why;
    m_reply->abort(); // ends in onFinished
}

void PageFetch::onMetaData()
{
    if (!m_reply)
        return;
    // A body announced as too large is not waited for; a compressed one is counted as it
    // is decoded.
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxBody && !m_reply->hasRawHeader("Content-Encoding"))
        stop(Stop::TooLarge);
}

void PageFetch::onReadyRead()
{
    if (!m_reply || m_stop != Stop::None)
        return;
    const QByteArray chunk = m_reply->readAll();
    if (chunk.isEmpty())
        return;
    m_bytes += chunk.size();
    if (m_bytes > m_maxBody) {
        m_body.clear();
        stop(Stop::TooLarge);
        return;
    }
    m_body += chunk;
    Q_EMIT bytesReceived(m_bytes);
}

void PageFetch::onFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    onReadyRead(); // whatever is still buffered
    reply->disconnect(this);
    reply->deleteLater();
    m_reply = nullptr;
    m_deadline.stop();
    // The reply's address is the last redirect target, resolved against the one before.
    if (m_redirected)
        m_redirect = reply->url().toString();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (m_stop) {
    case Stop::Aborted:
        m_error = fetchErrorText(404, u"Connection aborted"_s);
        break;
    case Stop::TimedOut:
        m_error = fetchErrorText(0, m_timeoutSeconds == 1 ? u"Timed out after 1 second"_s
                                                          : u"Timed out after %1 seconds"_s.arg(m_timeoutSeconds));
        break;
    case Stop::TooLarge: {
        constexpr qint64 mb = 1024 * 1024;
        m_error = fetchErrorText(0, m_maxBody % mb == 0 ? u"The page is larger than %1 MB"_s.arg(m_maxBody / mb)
                                                        : u"The page is larger than %1 bytes"_s.arg(m_maxBody));
        break;
    }
    case Stop::None:
        if (status >= 400) {
            QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            if (reason.isEmpty())
                reason = reply->errorString();
            m_error = fetchErrorText(status, reason);
        } else if (reply->error() != QNetworkReply::NoError) {
            m_error = fetchErrorText(0, reply->errorString());
        } else {
            m_succeeded = true;
            m_contentType = reply->rawHeader("Content-Type");
        }
        break;
    }
    if (!m_succeeded)
        m_body.clear();
    if (m_loop)
        m_loop->quit();
}

} // namespace pw::client
