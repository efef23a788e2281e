#include "httpserver.h"

#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace pwtest {

ScriptedHttpServer::ScriptedHttpServer(QObject *parent)
    : QObject(parent)
    , m_server(std::make_unique<QTcpServer>())
{
    listen();
}

ScriptedHttpServer::ScriptedHttpServer(const QSslConfiguration &tls, QObject *parent)
    : QObject(parent)
    , m_tls(true)
{
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(tls);
    m_server = std::move(server);
    listen();
}

void ScriptedHttpServer::listen()
{
    m_server->listen(QHostAddress::LocalHost, 0);
    // Emitted once a connection is usable: for TLS, after its handshake.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &ScriptedHttpServer::onConnection);
}

ScriptedHttpServer::~ScriptedHttpServer() = default;

QString ScriptedHttpServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(port())
        .arg(path);
}

int ScriptedHttpServer::requestCount(const QByteArray &path) const
{
    return int(std::count_if(m_requests.begin(), m_requests.end(), [&](const Request &r) { return r.path == path; }));
}

void ScriptedHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = buffer->left(end).split('\n');
            buffer->remove(0, end + 4);
            Request request;
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0);
            request.target = first.value(1);
            request.path = request.target.startsWith('/') ? request.target
                                                          : QUrl(QString::fromUtf8(request.target)).path().toUtf8();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines[i].trimmed();
                const qsizetype colon = line.indexOf(':');
                if (colon > 0)
                    request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
            }
            m_requests.append(request);
            serve(socket, request);
        });
    }
}

void ScriptedHttpServer::serve(QTcpSocket *socket, const Request &request)
{
    Response response;
    if (const auto it = m_responses.constFind(request.path); it != m_responses.constEnd())
        response = *it;
    else if (m_handler)
        response = m_handler(request);
    else
        response = Response{404, "Not Found", {}, "missing", 0, false, 0, 0, true};

    QPointer<QTcpSocket> guard(socket);
    auto send = [guard, response] {
        if (!guard)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason + "\r\n";
        for (const auto &[name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        if (response.sendLength && !response.stall)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        guard->write(head);
        if (response.stall) {
            guard->write(response.body.left(response.body.size() / 2));
            return; // and nothing more: the client must give up
        }
        if (response.dripBytes <= 0) {
            guard->write(response.body);
            guard->disconnectFromHost();
            return;
        }
        auto offset = std::make_shared<qsizetype>(0);
        auto *timer = new QTimer(guard);
        timer->setInterval(response.dripIntervalMs);
        QObject::connect(timer, &QTimer::timeout, guard, [guard, timer, offset, response] {
            guard->write(response.body.mid(*offset, response.dripBytes));
            *offset += response.dripBytes;
            if (*offset >= response.body.size()) {
                timer->stop();
                guard->disconnectFromHost();
            }
        });
        timer->start();
    };
    if (response.delayMs > 0)
        QTimer::singleShot(response.delayMs, this, send);
    else
        send();
}

} // namespace pwtest
