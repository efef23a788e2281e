#pragma once

#include "dialer.h"
#include "linkserver.h"
#include "runengine.h"
#include "scheduler.h"

#include "store/dialupdevice.h"

#include <QObject>

#include <memory>

namespace pw::server {

// The server without its windows: settings, known URL Lists, the retrieval engine and the
// link, wired together. The program adds the window and tray on top; tests drive it as is.
class ServerCore final : public QObject
{
    Q_OBJECT

public:
    // Dials through NetworkManager.
    explicit ServerCore(QObject *parent = nullptr);
    // Dials through `dialUp` (tests give a scripted one).
    explicit ServerCore(std::unique_ptr<DialUpDevice> dialUp, QObject *parent = nullptr);
    ~ServerCore() override;

    // Loads the settings and the known lists, then listens on `port`. A port that cannot
    // be had is logged; the server goes on without a link.
    void start(quint16 port);

    RunEngine &engine() { return *m_engine; }
    LinkServer &link() { return *m_link; }
    Scheduler &scheduler() { return *m_scheduler; }
    Dialer &dialer() { return *m_dialer; }

    // The Abort command: stops a dialling, hangs up what the server dialled and aborts the
    // run. False when there was nothing to abort (the window tells the user so).
    bool abort();

    void reloadSettings();
    void reloadLists();

Q_SIGNALS:
    // The settings were read again; the schedule is to be read again too.
    void settingsReloaded();

private:
    void onDialRequested();

    std::unique_ptr<DialUpDevice> m_dialUp;
    std::unique_ptr<LinkServer> m_link;
    std::unique_ptr<Dialer> m_dialer;
    std::unique_ptr<RunEngine> m_engine;
    std::unique_ptr<Scheduler> m_scheduler;
};

} // namespace pw::server
