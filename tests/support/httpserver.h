#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QTcpServer>

#include <functional>
#include <memory>

namespace pwtest {

// A scripted HTTP/1.1 server on 127.0.0.1 for tests: each path answers as told, and every
// request is recorded. Runs on the thread that created it, driven by its event loop.
class ScriptedHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // as sent: a path, or an absolute URL through a proxy
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names lower-cased
    };

    struct Response
    {
        int status = 200;
        QByteArray reason = "OK";
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int delayMs = 0;        // before anything is sent
        bool stall = false;     // send the head and part of the body, then nothing more
        int dripBytes = 0;      // send the body this many bytes at a time ...
        int dripIntervalMs = 0; // ... with this pause between them
        bool sendLength = true;
    };

    explicit ScriptedHttpServer(QObject *parent = nullptr);
    // Serves HTTPS with the given certificate and key.
    explicit ScriptedHttpServer(const QSslConfiguration &tls, QObject *parent = nullptr);
    ~ScriptedHttpServer() override;

    quint16 port() const { return m_server->serverPort(); }
    QString url(const QString &path) const;

    void setResponse(const QByteArray &path, const Response &response) { m_responses.insert(path, response); }
    // Answers paths without a scripted response; a 404 when unset.
    void setHandler(std::function<Response(const Request &)> handler) { m_handler = std::move(handler); }

    QList<Request> requests() const { return m_requests; }
    int requestCount(const QByteArray &path) const;
    void clearRequests() { m_requests.clear(); }

private:
    void listen();
    void onConnection();
    void serve(class QTcpSocket *socket, const Request &request);

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    QHash<QByteArray, Response> m_responses;
    std::function<Response(const Request &)> m_handler;
    QList<Request> m_requests;
};

} // namespace pwtest
