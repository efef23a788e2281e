#pragma once

#include "store/linkframing.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace pwtest {

// The server's end of the link as a test plays it: listens on 127.0.0.1, takes one
// client, records the lines it sends and sends lines to it.
class FakeLinkServer : public QObject
{
public:
    FakeLinkServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_client = socket;
                ++m_connections;
                QObject::connect(socket, &QTcpSocket::readyRead, this,
                                 [this, socket] { received += m_framer.feed(socket->readAll()); });
            }
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    bool hasClient() const { return m_client && m_client->state() == QAbstractSocket::ConnectedState; }
    int connections() const { return m_connections; }

    void send(const QList<QByteArray> &lines)
    {
        for (const QByteArray &line : lines)
            m_client->write(line + '\n');
        m_client->flush();
    }
    void dropClient()
    {
        if (m_client)
            m_client->abort();
    }
    void close() { m_server.close(); }

    QList<QByteArray> received;

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    pw::link::LineFramer m_framer;
    int m_connections = 0;
};

} // namespace pwtest
