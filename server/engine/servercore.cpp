#include "servercore.h"

#include "highlightpage.h"

#include "store/paths.h"
#include "store/settings.h"
#include "store/webboxeslist.h"

using namespace Qt::StringLiterals;

namespace pw::server {

ServerCore::ServerCore(QObject *parent)
    : QObject(parent)
    , m_link(std::make_unique<LinkServer>())
    , m_engine(std::make_unique<RunEngine>(*m_link))
    , m_scheduler(std::make_unique<Scheduler>(*m_engine, *m_link))
{
    RunEngine *engine = m_engine.get();
    m_link->setStateProvider([engine] { return LinkState{false, false, engine->transferActive()}; });
    m_link->setLogger([engine](const QString &message) { engine->logLine(message); });
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
    m_engine->setSettings(settings::load(*store, m_phoneBook));
    m_scheduler->load(m_engine->settings().schedview);
    Q_EMIT settingsReloaded();
}

void ServerCore::reloadLists()
{
    auto store = paths::openSettings();
    m_engine->setKnownLists(loadWebBoxesList(*store, m_engine->settings().datadir).names);
}

} // namespace pw::server
