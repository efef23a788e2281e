#pragma once

#include "clientlink.h"

#include "store/linkframing.h"

#include <QObject>
#include <QPointer>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace pw::server {

// What the server tells a client right after it connects.
struct LinkState
{
    bool dialling = false;
    bool dialled = false;
    bool transferActive = false;
};

// The server's end of the link: one client at a time on the loopback address, lines in
// and out, and the client's commands turned into signals.
class LinkServer final : public QObject, public ClientLink
{
    Q_OBJECT

public:
    explicit LinkServer(QObject *parent = nullptr);
    ~LinkServer() override;

    // Listens on 127.0.0.1 only; false when the port cannot be had.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }

    void setStateProvider(std::function<LinkState()> provider) { m_state = std::move(provider); }
    void setLogger(std::function<void(const QString &)> log) { m_log = std::move(log); }

    bool isConnected() const override { return m_connected; }
    void send(const QStringList &lines) override;

Q_SIGNALS:
    void getAllRequested();
    void retrieveRequested(const QString &name);
    void dialRequested();
    void refreshListRequested();
    void refreshSetupRequested();
    void clientConnected();
    void clientDisconnected();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void dispatch(const QByteArray &line);
    void dropClient();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    bool m_connected = false;
    link::LineFramer m_framer{link::LineFramer::Overlong::Discard};
    std::function<LinkState()> m_state;
    std::function<void(const QString &)> m_log;
};

} // namespace pw::server
