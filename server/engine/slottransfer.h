#pragma once

#include "tranthread.h"

#include <QNetworkAccessManager>
#include <QPointer>
#include <QSslConfiguration>

#include <functional>

class QNetworkReply;

namespace pw::server {

// Largest page body a slot accepts; a bigger one fails the request.
inline constexpr qint64 kMaxBodyBytes = 64 * 1024 * 1024;

struct TransferRequest
{
    QString url;
    QString ifModifiedSince; // sent verbatim when not empty
    QString username;        // basic authentication, only with a password
    QString password;        // plain
    QString userAgent;
    QString proxyServer;
    QString proxyPort;
    QString proxyUser;
    QString proxyPassword;
};

// The HTTP client of one retrieval slot. Lives and works on the main thread: a transfer
// runs on its event loop, so the watch timers can abort it and progress is seen as it
// arrives.
class SlotTransfer final : public QObject
{
    Q_OBJECT

public:
    explicit SlotTransfer(QObject *parent = nullptr);
    ~SlotTransfer() override;

    void setSslConfiguration(const QSslConfiguration &config) { m_ssl = config; }
    void setMaxBodyBytes(qint64 bytes) { m_maxBody = bytes; }

    // Starts a GET; `result` is filled and `done` called once when it has ended,
    // whichever way.
    void start(const TransferRequest &request, TransferResult *result, std::function<void()> done);

    // Aborts a transfer in progress; it ends as "404: Connection aborted".
    void abort();

    bool busy() const { return m_result != nullptr; }
    qint64 bytesReceived() const { return m_bytes; }

Q_SIGNALS:
    void progress(qint64 bytesReceived);

private:
    void onReadyRead();
    void onFinished();
    void fail(int code, const QString &reason);
    void finish();

    QNetworkAccessManager m_manager;
    QSslConfiguration m_ssl = QSslConfiguration::defaultConfiguration();
    QPointer<QNetworkReply> m_reply;
    TransferResult *m_result = nullptr;
    std::function<void()> m_done;
    QByteArray m_body;
    qint64 m_bytes = 0;
    bool m_aborted = false;
    bool m_tooLarge = false;
    qint64 m_maxBody = kMaxBodyBytes;
};

// The error text of a failed request: a double quote, the code, ": ", the reason, "."
// and a double quote.
QString transferErrorText(int code, const QString &reason);

} // namespace pw::server
