#pragma once

#include "store/settings.h"

#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStringList>
#include <QTimer>

class QEventLoop;
class QNetworkReply;

namespace pw::client {

// Largest page body a fetch holds; a bigger one fails the fetch.
inline constexpr qint64 kMaxPageBytes = 64 * 1024 * 1024;

// The client's one HTTP client (`FHttpCli`): fetches a single page for the URL entry
// dialog and the Link Wizard. Lives on the main thread; a fetch runs the event loop
// until it ends, so the caller's Abort button and the server link keep working.
class PageFetch final : public QObject
{
    Q_OBJECT

public:
    explicit PageFetch(QObject *parent = nullptr);
    ~PageFetch() override;

    // Proxy, user agent and the HTTP Timeout (seconds for the whole fetch, 0 for none).
    void setSettings(const pw::Settings &settings);

    // `starttransfer`: fetches `url` (with "http://" in front when it names no scheme).
    // True with the body as lines. False with `error` in the form "\"404: Not Found.\"";
    // a failure without an HTTP status has code 0 and says what went wrong. `url` becomes
    // the address fetched, or the redirect target when the server redirected.
    bool starttransfer(const QString &user, const QString &password, QString &url, QString &error, QStringList &lines);
    // Ends a running fetch as "\"404: Connection aborted.\"".
    void abort();
    bool isRunning() const { return m_loop != nullptr; }

    // Trusts these certificate authorities besides the system's. Certificates are always
    // checked; tests give their own authority here.
    void setCaCertificates(const QList<QSslCertificate> &extra);
    // For tests: a smaller body limit than kMaxPageBytes.
    void setMaxBodyBytes(qint64 bytes) { m_maxBody = bytes; }

Q_SIGNALS:
    // The body bytes received so far in the running fetch.
    void bytesReceived(qint64 bytes);

private:
    enum class Stop { None, Aborted, TimedOut, TooLarge };

    void onMetaData();
    void onReadyRead();
    void onFinished();
    void stop(Stop why);
    QString failureText(QNetworkReply *reply) const;

    QNetworkAccessManager m_manager;
    QSslConfiguration m_ssl = QSslConfiguration::defaultConfiguration();
    QString m_proxyServer;
    QString m_proxyPort;
    QString m_proxyUser;
    QString m_proxyPassword;
    QString m_userAgent = QStringLiteral("Pagewarden 1.0");
    int m_timeoutSeconds = 180;
    qint64 m_maxBody = kMaxPageBytes;

    // State of the running fetch.
    QEventLoop *m_loop = nullptr;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_body;
    qint64 m_bytes = 0;
    Stop m_stop = Stop::None;
    bool m_succeeded = false;
    QString m_error;
    QByteArray m_contentType;
    bool m_redirected = false;
    QString m_redirect;
};

// The progress text the callers show: the byte count and " Bytes received on URL.".
QString bytesReceivedText(qint64 bytes);

// The error text of a failed fetch: a double quote, the code, ": ", the reason, "." and a
// double quote.
QString fetchErrorText(int code, const QString &reason);

} // namespace pw::client
