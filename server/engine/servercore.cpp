#include "servercore.h"

#include "highlightpage.h"

#include "store/nmdialup.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/webboxeslist.h"

using namespace Qt::StringLiterals;

namespace pw::server {

ServerCore::ServerCore(QObject *parent)
    : ServerCore(std::make_unique<NmDialUp>(), parent)
{
}

ServerCore::ServerCore(std::unique_ptr<DialUpDevice> dialUp, QObject *parent)
    : QObject(parent)
    , m_dialUp(std::move(dialUp))
    , m_link(std::make_unique<LinkServer>())
    , m_dialer(std::make_unique<Dialer>(*m_dialUp, *m_link))
    , m_engine(std::make_unique<RunEngine>(*m_link))
    , m_scheduler(std::make_unique<Scheduler>(*m_engine, *m_link))
{
    RunEngine *engine = m_engine.get();
    Dialer *dialer = m_dialer.get();
    m_link->setStateProvider([engine, dialer] {
        return LinkState{dialer->dialling(), dialer->dialled(), engine->transferActive()};
    });
    m_link->setLogger([engine](const QString &message) { engine->logLine(message); });
    dialer->setSettingsSource([engine]() -> const Settings & { return engine->settings(); });
    dialer->setLogger([engine](const QString &message) { engine->logLine(message); });
    m_engine->setDialUp(dialer);
    connect(m_link.get(), &LinkServer::dialRequested, this, &ServerCore::onDialRequested);
    connect(m_link.get(), &LinkServer::getAllRequested, engine, &RunEngine::getall);
    connect(m_link.get(), &LinkServer::retrieveRequested, engine, &RunEngine::queuelist);
    connect(m_link.get(), &LinkServer::refreshListRequested, engine, &RunEngine::requestListReload);
    connect(m_link.get(), &LinkServer::refreshSetupRequested, engine, &RunEngine::requestSettingsReload);
    m_engine->setHighlighter(&highlightpage);
    // Stopped while a run is aborted, started again at the end of every run.
    connect(engine, &RunEngine::schedulerEnabledChanged, m_scheduler.get(), &Scheduler::setEnabled);
    m_engine->setSettingsReloader([this] { reloadSettings(); });
    m_engine->setListReloader([this] { reloadLists(); });
}

ServerCore::~ServerCore()
{
    m_scheduler.reset();
    // The dialer reads the engine's settings: it goes first, and the engine forgets it.
    m_engine->setDialUp(nullptr);
    m_dialer.reset();
    m_engine.reset(); // its threads end before the link goes
}

void ServerCore::start(quint16 port)
{
    reloadSettings();
    m_scheduler->queueMissed();
    m_scheduler->setEnabled(true);
    reloadLists();
    if (!m_link->listen(port))
        m_engine->logLine(u"Error while establishing Pagewarden client/server connection"_s);
}

void ServerCore::reloadSettings()
{
    auto store = paths::openSettings();
    m_engine->setSettings(settings::load(*store, *m_dialUp));
    m_scheduler->load(m_engine->settings().schedview);
    Q_EMIT settingsReloaded();
}

void ServerCore::reloadLists()
{
    auto store = paths::openSettings();
    m_engine->setKnownLists(loadWebBoxesList(*store, m_engine->settings().datadir).names);
}

void ServerCore::onDialRequested()
{
    // The link's "DUN": only when no dialling is going on and no connection is up.
    if (!m_dialer->dialling() && !m_dialer->dialled())
        m_dialer->dial();
}

bool ServerCore::abort()
{
    const Settings &s = m_engine->settings();
    // What the connection was before Abort hangs it up decides about the run: a run on a
    // connection the server dialled is aborted together with the hang-up, not left going
    // without a connection.
    const bool wasDialling = m_dialer->dialling();
    const bool wasUp = m_dialer->dialled();
    m_dialer->abortDialling();
    if (!s.enabledun || wasUp || (!wasDialling && m_engine->transferActive()))
        return m_engine->aborttransfers();
    return true;
}

} // namespace pw::server
