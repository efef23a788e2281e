#include "linkserver.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace pw::server {

LinkServer::LinkServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LinkServer::onNewConnection);
}

LinkServer::~LinkServer()
{
    // The sockets die with the listening server; none may call back into a half-destroyed
    // link.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool LinkServer::listen(quint16 port)
{
    // Loopback only: nothing from another machine ever reaches the dispatcher.
    return m_server.listen(QHostAddress::LocalHost, port);
}

void LinkServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (m_connected) {
            socket->abort(); // one client at a time
            continue;
        }
        if (socket->peerAddress() != QHostAddress(QHostAddress::LocalHost)) {
            if (m_log)
                m_log(u"Connection attempted from non-local IP address: "_s + socket->peerAddress().toString());
            socket->abort();
            continue;
        }
        // A client that said goodbye may still hold its socket; it is simply forgotten.
        if (m_client)
            m_client->disconnect(this);
        m_client = socket;
        m_connected = true;
        m_framer.clear();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        // A reset connection need not say "disconnected": its state tells.
        connect(socket, &QTcpSocket::stateChanged, this, [this, socket](QAbstractSocket::SocketState state) {
            if (state == QAbstractSocket::UnconnectedState && socket == m_client)
                dropClient();
        });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
            if (socket == m_client && socket->state() != QAbstractSocket::ConnectedState)
                dropClient();
        });
        const LinkState state = m_state ? m_state() : LinkState{};
        send({link::stateLine(link::kDunConnecting, state.dialling),
              link::stateLine(link::kDunConnected, state.dialled),
              link::stateLine(link::kTransferActive, state.transferActive)});
        Q_EMIT clientConnected();
    }
}

void LinkServer::dropClient()
{
    if (m_client)
        m_client->disconnect(this);
    m_client = nullptr;
    const bool was = m_connected;
    m_connected = false;
    if (was)
        Q_EMIT clientDisconnected();
}

void LinkServer::send(const QStringList &lines)
{
    if (!m_connected || !m_client)
        return;
    QByteArray out;
    for (const QString &line : lines)
        out += link::frameLine(line);
    m_client->write(out); // one write: a block never interleaves; failures are ignored
}

void LinkServer::onReadyRead(QTcpSocket *socket)
{
    const QByteArray bytes = socket->readAll();
    if (socket != m_client || !m_connected)
        return;
    for (const QByteArray &line : m_framer.feed(bytes)) {
        dispatch(line);
        if (!m_connected)
            break; // after "CLIENTCLOSE" nothing more from this connection counts
    }
}

void LinkServer::dispatch(const QByteArray &line)
{
    if (line == link::kGetAll) {
        Q_EMIT getAllRequested();
    } else if (line.startsWith(link::kRetrieve)) {
        const qsizetype blank = line.indexOf(' ');
        if (blank >= 0)
            Q_EMIT retrieveRequested(QString::fromUtf8(line.sliced(blank + 1)));
    } else if (line == link::kDial) {
        Q_EMIT dialRequested(); // the receiver knows whether it is dialling or dialled
    } else if (line == link::kRefreshList) {
        Q_EMIT refreshListRequested();
    } else if (line == link::kRefreshSetup) {
        Q_EMIT refreshSetupRequested();
    } else if (line == link::kClientClose) {
        dropClient();
    }
}

} // namespace pw::server
