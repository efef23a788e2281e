#pragma once

#include "clientlink.h"
#include "runhooks.h"

#include "store/dialupdevice.h"
#include "store/settings.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

namespace pw::server {

// Dial-up networking of the server: dials the chosen phone book entry before a run, with
// redials on a busy line or no answer, adopts a connection that is already up, and hangs
// up. Every step waits for the dial-up layer on the event loop, so the link, the window and
// Abort keep working while a line is dialled. Tells the user through the second status
// panel and the action log, and the client through the DUNCONNECTING/DUNCONNECTED lines.
class Dialer final : public QObject, public DialUpControl
{
    Q_OBJECT

public:
    // A disconnect that fails while the connection is still listed is tried this often.
    static constexpr int kDisconnectTries = 3;

    Dialer(DialUpDevice &device, ClientLink &link, QObject *parent = nullptr);
    ~Dialer() override;

    // Where the current settings come from (the run engine's copy in the server).
    void setSettingsSource(std::function<const Settings &()> source) { m_settingsSource = std::move(source); }
    void setLogger(std::function<void(const QString &)> log) { m_log = std::move(log); }
    // The pause before a failed disconnect is tried again; a second but in tests.
    void setDisconnectRetryPause(int ms) { m_retryPause = ms; }

    // The dialling sequence. `done` gets whether the connection is up at its end. A request
    // made while a sequence or a hang-up is going on waits for it, then has its own turn.
    void dial(QObject *context = nullptr, std::function<void(bool connected)> done = {});
    // Hangs up the chosen entry's connection, whoever dialled it.
    void hangUpNow();
    // The Abort command: while dialling, or when "DUNDisconnect" is on and this server
    // dialled, marks the dialling aborted and hangs up. Requests waiting for a turn are
    // refused. False when there was nothing of the kind to do.
    bool abortDialling();

    bool dialling() const { return m_dialling; }
    bool dialled() const { return m_dialled; }
    bool serverDialled() const { return m_serverDialled; }

    // DialUpControl
    void connectForRun(QObject *context, std::function<void(bool)> done) override;
    void hangUpAfterRun() override;
    void hangUpForClose() override;
    bool isBusy() const override { return m_dialling || m_hangingUp; }

Q_SIGNALS:
    // The second status panel's text.
    void statusChanged(const QString &text);
    // The busy cursor, on while a line is dialled or hung up.
    void busyCursorChanged(bool busy);

private:
    enum class Attempt { Connected, BusyOrNoAnswer, Failed };
    struct Request
    {
        QPointer<QObject> context;
        bool hasContext = false;
        std::function<void(bool)> done;
    };

    const Settings &settings() const;
    QString selectedEntry(const Settings &s) const;
    void startNext();
    void connectOnce();
    void dialEntry(const QString &entry);
    void endAttempt();
    void afterAttempt(Attempt result);
    void finishDial();
    void hangUpNow(std::function<void()> then);
    void hangUpFind(const QString &entry);
    void hangUpEnd(bool disconnected);
    void refuseWaiting();
    void showStatus(const QString &text);
    void setCursorBusy(bool busy);
    void log(const QString &message);
    void sendState(const char *keyword, bool value);

    DialUpDevice &m_device;
    ClientLink &m_link;
    std::function<const Settings &()> m_settingsSource;
    Settings m_ownSettings;
    std::function<void(const QString &)> m_log;
    int m_retryPause = 1000;

    // The sequence in progress and those waiting for their turn.
    Request m_current;
    QList<Request> m_waiting;
    Settings m_sequence; // the settings the sequence started with
    int m_attempt = 0;
    int m_attempts = 0;

    bool m_dialling = false;
    bool m_dialled = false;
    bool m_serverDialled = false;
    bool m_dialFailed = false;
    bool m_busyOrNoAnswer = false;
    bool m_dialAborted = false;
    bool m_attemptDialled = false; // this attempt dialled rather than adopted
    bool m_closing = false;

    bool m_hangingUp = false;
    int m_disconnectTries = 0;
    QList<std::function<void()>> m_afterHangUp;
    int m_cursorDepth = 0;
};

} // namespace pw::server
