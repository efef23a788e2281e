#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace pw::client {

class ServerLink;

// Makes sure the server runs and the link is open, the way the client starts: one
// connect; when nothing answers, start the server minimised and connect again up to
// ten times. A refused connect on loopback fails at once, so the further connects are
// spaced out (growing pauses, about 30 s in all) to give the server time to start.
class ServerStarter final : public QObject
{
    Q_OBJECT

public:
    enum class Result { Connected, ServerMissing, NoAnswer };

    explicit ServerStarter(ServerLink &link, QObject *parent = nullptr);

    // The server program beside the client.
    static QString serverProgram();
    static bool serverExists();

    Result connectOrStart();

    // The pause before each further connect; the count is the number of further
    // connects. Tests shorten them.
    void setRetryPauses(QList<int> pausesMs) { m_pauses = std::move(pausesMs); }
    static QList<int> defaultRetryPauses();
    // The process started, 0 when none was.
    qint64 startedPid() const { return m_startedPid; }

Q_SIGNALS:
    void serverStarting();

private:
    ServerLink &m_link;
    QList<int> m_pauses = defaultRetryPauses();
    qint64 m_startedPid = 0;
};

// Lets the event loop run for `ms` milliseconds, so the window stays alive while we wait.
void waitWithEvents(int ms);

} // namespace pw::client
