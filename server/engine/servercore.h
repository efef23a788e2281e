#pragma once

#include "linkserver.h"
#include "runengine.h"
#include "scheduler.h"

#include "store/dialup.h"

#include <QObject>

#include <memory>

namespace pw::server {

// The server without its windows: settings, known URL Lists, the retrieval engine and the
// link, wired together. The program adds the window and tray on top; tests drive it as is.
class ServerCore final : public QObject
{
    Q_OBJECT

public:
    explicit ServerCore(QObject *parent = nullptr);
    ~ServerCore() override;

    // Loads the settings and the known lists, then listens on `port`. A port that cannot
    // be had is logged; the server goes on without a link.
    void start(quint16 port);

    RunEngine &engine() { return *m_engine; }
    LinkServer &link() { return *m_link; }
    Scheduler &scheduler() { return *m_scheduler; }

    void reloadSettings();
    void reloadLists();

Q_SIGNALS:
    // The settings were read again; the schedule is to be read again too.
    void settingsReloaded();

private:
    std::unique_ptr<LinkServer> m_link;
    std::unique_ptr<RunEngine> m_engine;
    std::unique_ptr<Scheduler> m_scheduler;
    EmptyPhoneBook m_phoneBook;
};

} // namespace pw::server
