#pragma once

#include "store/linkframing.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QtTest>

namespace pwtest {

// A client as the real one talks: a TCP socket on loopback, lines in and out.
class LineClient
{
public:
    explicit LineClient(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket,
                         [this] { lines += m_framer.feed(m_socket.readAll()); });
    }
    bool waitConnected() { return m_socket.waitForConnected(5000); }
    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }
    bool waitForLines(int count, int timeoutMs = 10000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (lines.size() < count && !deadline.hasExpired())
            QTest::qWait(10);
        return lines.size() >= count;
    }
    bool waitForLine(const QByteArray &line, int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!lines.contains(line) && !deadline.hasExpired())
            QTest::qWait(10);
        return lines.contains(line);
    }
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

    QList<QByteArray> lines;

private:
    QTcpSocket m_socket;
    pw::link::LineFramer m_framer;
};

} // namespace pwtest
