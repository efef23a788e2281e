#include "slottransfer.h"

#include <QAuthenticator>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace pw::server {

QString transferErrorText(int code, const QString &reason)
{
    return u"\""_s + QString::number(code) + u": "_s + reason + u".\""_s;
}

SlotTransfer::SlotTransfer(QObject *parent)
    : QObject(parent)
{
    // Credentials go with the request; a challenge that still comes means they were refused.
    connect(&m_manager, &QNetworkAccessManager::authenticationRequired, this, [](QNetworkReply *, QAuthenticator *) {});
}

SlotTransfer::~SlotTransfer()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void SlotTransfer::start(const TransferRequest &request, TransferResult *result, std::function<void()> done)
{
    Q_ASSERT(!m_result);
    m_result = result;
    m_done = std::move(done);
    m_body.clear();
    m_bytes = 0;
    m_aborted = false;
    m_tooLarge = false;
    *m_result = TransferResult();

    const QUrl url(request.url, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http"_s && scheme != u"https"_s) || url.host().isEmpty()) {
        fail(0, u"Not a valid http or https address"_s);
        return;
    }

    if (!request.proxyServer.isEmpty() && !request.proxyPort.isEmpty()) {
        QNetworkProxy proxy(QNetworkProxy::HttpProxy, request.proxyServer, quint16(request.proxyPort.toUInt()));
        if (!request.proxyUser.isEmpty()) {
            proxy.setUser(request.proxyUser);
            if (!request.proxyPassword.isEmpty())
                proxy.setPassword(request.proxyPassword);
        }
        m_manager.setProxy(proxy);
    } else {
        // Not the environment's proxy either: only the setting decides.
        m_manager.setProxy(QNetworkProxy::NoProxy);
    }

    QNetworkRequest req(url);
    req.setSslConfiguration(m_ssl);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    req.setHeader(QNetworkRequest::UserAgentHeader, request.userAgent);
    if (!request.ifModifiedSince.isEmpty())
        req.setRawHeader("If-Modified-Since", request.ifModifiedSince.toUtf8());
    if (!request.username.isEmpty() && !request.password.isEmpty()) {
        const QByteArray credentials = (request.username + u':' + request.password).toUtf8();
        req.setRawHeader("Authorization", "Basic " + credentials.toBase64());
    }

    m_reply = m_manager.get(req);
    connect(m_reply, &QNetworkReply::readyRead, this, &SlotTransfer::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &SlotTransfer::onFinished);
}

void SlotTransfer::abort()
{
    if (!m_reply)
        return;
    m_aborted = true;
    m_reply->abort(); // emits finished
}

void SlotTransfer::onReadyRead()
{
    if (!m_reply || m_tooLarge)
        return;
    const QByteArray chunk = m_reply->readAll();
    m_bytes += chunk.size();
    if (m_bytes > m_maxBody) {
        m_tooLarge = true;
        m_body.clear();
        m_reply->abort();
        return;
    }
    m_body += chunk;
    Q_EMIT progress(m_bytes);
}

void SlotTransfer::onFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply || !m_result)
        return;
    onReadyRead(); // whatever is still buffered
    reply->disconnect(this);
    reply->deleteLater();
    m_reply = nullptr;

    const QVariant statusAttr = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttr.isValid() ? statusAttr.toInt() : 0;
    TransferResult &r = *m_result;
    r.bytesReceived = m_bytes;
    if (reply->hasRawHeader("Last-Modified"))
        r.newLastModified = QString::fromUtf8(reply->rawHeader("Last-Modified"));
    else if (status == 304)
        r.newLastModified = u"304"_s;

    if (m_tooLarge) {
        constexpr qint64 mb = 1024 * 1024;
        fail(0, m_maxBody % mb == 0 ? u"The page is larger than %1 MB"_s.arg(m_maxBody / mb)
                                    : u"The page is larger than %1 bytes"_s.arg(m_maxBody));
        return;
    }
    if (m_aborted) {
        fail(404, u"Connection aborted"_s);
        return;
    }
    if (reply->error() != QNetworkReply::NoError || status >= 400) {
        if (status >= 400) {
            QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            if (reason.isEmpty())
                reason = reply->errorString();
            fail(status, reason);
        } else {
            fail(0, reply->errorString());
        }
        return;
    }
    r.succeeded = true;
    r.body = std::move(m_body);
    m_body = QByteArray();
    finish();
}

void SlotTransfer::fail(int code, const QString &reason)
{
    m_result->succeeded = false;
    m_result->errorText = transferErrorText(code, reason);
    m_result->bytesReceived = m_bytes;
    m_body.clear();
    finish();
}

void SlotTransfer::finish()
{
    m_result = nullptr;
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done();
}

} // namespace pw::server
