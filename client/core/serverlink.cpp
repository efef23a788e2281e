#include "serverlink.h"

#include <QEventLoop>
#include <QTimer>

namespace pw::client {

ServerLink::ServerLink(quint16 port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    // The link's lines are short; the buffers of both sides are bounded the same way.
    m_socket.setReadBufferSize(link::kMaxLine);
    connect(&m_socket, &QTcpSocket::readyRead, this, &ServerLink::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] {
        m_failed = true;
        Q_EMIT linkError();
    });
}

bool ServerLink::serverconnect()
{
    if (isOpen())
        return true;
    if (m_connecting)
        return false; // a wait further up the stack is already connecting
    m_socket.abort();
    m_framer.clear();
    m_failed = false;
    m_connecting = true;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(&m_socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), m_port);
    if (m_socket.state() != QAbstractSocket::ConnectedState && !m_failed) {
        deadline.start(m_connectWaitMs);
        loop.exec();
    }
    m_connecting = false;
    if (isOpen())
        return true;
    m_socket.abort();
    return false;
}

bool ServerLink::send(const QString &line)
{
    if (!isOpen())
        return false;
    return m_socket.write(link::frameLine(line)) >= 0;
}

bool ServerLink::sendConnectingOnce(const QString &line)
{
    if (!isOpen() && !serverconnect())
        return false;
    return send(line);
}

void ServerLink::disconnectFromServer()
{
    // A line or two at most is pending: flush hands it to the kernel now, so it goes out
    // even when the program ends right after.
    if (isOpen())
        m_socket.flush();
    m_socket.disconnectFromHost();
}

void ServerLink::onReadyRead()
{
    // Each line is handed on by itself; a handler that waits (a message box, a connect)
    // may read further lines meanwhile, which then arrive in order after this one.
    const QList<QByteArray> lines = m_framer.feed(m_socket.readAll());
    for (const QByteArray &line : lines)
        Q_EMIT lineReceived(QString::fromUtf8(line));
}

} // namespace pw::client
