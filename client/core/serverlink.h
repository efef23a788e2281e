#pragma once

#include "store/linkframing.h"

#include <QObject>
#include <QTcpSocket>

namespace pw::client {

// The client's end of the link: one TCP connection to the server on 127.0.0.1, lines
// out and lines in. Connecting waits with the event loop running, so received lines,
// clicks and timers go on meanwhile; the link never reconnects by itself.
class ServerLink final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kConnectWaitMs = 30000;

    explicit ServerLink(quint16 port, QObject *parent = nullptr);

    // `serverconnect`: one attempt to open the link; true when it is open.
    bool serverconnect();
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

    // Sends one line when the link is open; false when it is closed.
    bool send(const QString &line);
    // The senders' rule: send on an open link, else try one `serverconnect` first.
    bool sendConnectingOnce(const QString &line);

    void setConnectWait(int ms) { m_connectWaitMs = ms; }
    void disconnectFromServer();

Q_SIGNALS:
    void lineReceived(const QString &line);
    // The connection failed or broke: the client goes back to idle.
    void linkError();

private:
    void onReadyRead();

    quint16 m_port;
    QTcpSocket m_socket;
    link::LineFramer m_framer{link::LineFramer::Overlong::Discard};
    bool m_failed = false;
    bool m_connecting = false;
    int m_connectWaitMs = kConnectWaitMs;
};

} // namespace pw::client
