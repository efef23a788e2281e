#include "runengine.h"

#include "captionfit.h"
#include "listfiles.h"
#include "reportmailer.h"
#include "slottransfer.h"
#include "soundeffectplayer.h"

#include "store/actionlog.h"
#include "store/clock.h"
#include "store/datetimetext.h"
#include "store/linkframing.h"
#include "store/passwordcipher.h"
#include "store/paths.h"
#include "store/reports.h"
#include "store/webbox.h"
#include "store/webboxeslist.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QStorageInfo>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

const QString kIdle = u"Idle"_s;

QString quoted(const QString &name)
{
    return u"\""_s + name + u"\""_s;
}

} // namespace

RunEngine::RunEngine(ClientLink &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    qRegisterMetaType<pw::server::Counters>();
    for (RetrievalSlot &slot : m_slots) {
        slot.http = new SlotTransfer(this);
        const int number = int(&slot - m_slots.data()) + 1;
        connect(slot.http, &SlotTransfer::progress, this, [this, number](qint64 bytes) {
            // DocData: the running byte count in the slot's caption.
            RetrievalSlot &s = m_slots[number - 1];
            if (s.thread && !s.thread->stopRequested())
                setCaption(number, QString::number(bytes) + u" Bytes received on "_s + s.thread->current.url);
        });
    }
    m_mailer = new ReportMailer(this);
    connect(m_mailer, &ReportMailer::finished, this, [this](const QStringList &log, int) {
        for (const QString &line : log)
            logLine(line);
        if (!m_closing)
            finishRun();
    });
    m_freeSpace = [] { return QStorageInfo(paths::dataHome()).bytesAvailable(); };
    m_ownSound = std::make_unique<SoundEffectPlayer>();
    m_sound = m_ownSound.get();
    for (QTimer *timer : {&m_tooLongTimer, &m_slowTimer}) {
        timer->setInterval(1000);
        timer->setSingleShot(true); // each tick re-arms itself when its work is done
    }
    connect(&m_tooLongTimer, &QTimer::timeout, this, &RunEngine::watchTooLong);
    connect(&m_slowTimer, &QTimer::timeout, this, &RunEngine::watchSlowTransfer);
    if (QGuiApplication::instance())
        m_captionFont = QGuiApplication::font();
}

RunEngine::~RunEngine()
{
    // Threads still running must not call into a dead engine: stop them and let their
    // blocking calls through until they end.
    m_closing = true;
    for (RetrievalSlot &slot : m_slots) {
        if (slot.thread) {
            slot.thread->requestStop();
            slot.http->abort();
        }
    }
    for (RetrievalSlot &slot : m_slots) {
        if (!slot.thread)
            continue;
        while (!slot.thread->wait(10))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        delete slot.thread;
        slot.thread = nullptr;
    }
}

void RunEngine::setSslConfiguration(const QSslConfiguration &config)
{
    for (RetrievalSlot &slot : m_slots)
        slot.http->setSslConfiguration(config);
}

void RunEngine::setMaxBodyBytes(qint64 bytes)
{
    for (RetrievalSlot &slot : m_slots)
        slot.http->setMaxBodyBytes(bytes);
}

void RunEngine::setWatchInterval(int ms)
{
    m_tooLongTimer.setInterval(ms);
    m_slowTimer.setInterval(ms);
}

QString RunEngine::dataDirectory() const
{
    return m_settings.datadir.isEmpty() ? paths::dataDir() : m_settings.datadir;
}

bool RunEngine::anySlotActive() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const RetrievalSlot &s) { return s.active; });
}

void RunEngine::setCaption(int slot, const QString &caption)
{
    m_slots[slot - 1].caption = caption;
    Q_EMIT slotCaptionChanged(slot, caption);
}

void RunEngine::setCounters(const Counters &counters)
{
    m_counters = counters;
    Q_EMIT countersChanged(m_counters);
}

void RunEngine::setAcceptingWork(bool accepting)
{
    if (m_acceptingWork == accepting)
        return;
    m_acceptingWork = accepting;
    Q_EMIT acceptingWorkChanged(accepting);
}

void RunEngine::setBusy(bool busy)
{
    Q_EMIT busyChanged(busy);
}

void RunEngine::sendToClient(const QStringList &lines)
{
    if (m_link.isConnected())
        m_link.send(lines);
}

void RunEngine::logLine(const QString &message)
{
    const QString when = datetime::fullText(Clock::currentDateTime());
    appendLogEntry(paths::logFile(), {when, message}); // a failed append loses the entry
    Q_EMIT actionLogged(when, message);
}

// ---- Queueing -------------------------------------------------------------------------

QString RunEngine::admissibleList(const QString &requested) const
{
    const QString name = storedListName(m_knownLists, requested);
    if (name.isEmpty() || !m_acceptingWork)
        return {};
    if (m_transferActive) {
        for (const QueueEntry &entry : m_queue) {
            if (entry.listName.compare(name, Qt::CaseInsensitive) == 0)
                return {};
        }
        for (const RetrievalSlot &slot : m_slots) {
            if (slot.active && slot.thread && slot.thread->listIndex >= 0
                && slot.thread->listIndex < m_loadedLists.size()
                && m_loadedLists[slot.thread->listIndex].name.compare(name, Qt::CaseInsensitive) == 0)
                return {};
        }
    }
    return name;
}

void RunEngine::queuelist(const QString &requested)
{
    requestList(requested, false);
}

bool RunEngine::requestList(const QString &requested, bool fromGetAll)
{
    const QString name = admissibleList(requested);
    if (name.isEmpty())
        return false;
    if (!m_settings.enabledun) {
        queueNow(name);
        return false;
    }
    if (containsListName(m_waitingForLine, name))
        return false; // asked for already; it is on its way
    m_waitingForLine.append(name);
    m_dialUp->connectForRun(this, [this, name, fromGetAll](bool connected) { afterDial(name, fromGetAll, connected); });
    return true;
}

void RunEngine::afterDial(const QString &name, bool fromGetAll, bool connected)
{
    m_waitingForLine.removeIf([&name](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    if (m_closing)
        return;
    if (!connected) {
        logLine(u"Unable to establish Dial-Up networking connection for "_s + quoted(name));
        // Without a connection the rest of a "retrieve all" would fail the same way.
        if (fromGetAll)
            m_getAllPending.clear();
    } else {
        // The run may have moved on while the line was dialled: ask again.
        const QString again = admissibleList(name);
        if (!again.isEmpty())
            queueNow(again);
    }
    if (fromGetAll) {
        m_getAllWaiting = false;
        continueGetAll();
    }
}

void RunEngine::queueNow(const QString &name)
{
    if (m_freeSpace) {
        const qint64 free = m_freeSpace();
        if (free >= 0 && free < kMinimumFreeBytes) {
            logLine(u"ERROR Pagewarden cannot run due to low disk space."_s);
            return;
        }
    }

    Q_EMIT trayHintChanged(u"Pagewarden Data Transfer Active"_s);
    setBusy(true);
    if (!m_transferActive)
        setCounters({});

    const QString dataDir = dataDirectory();
    if (!QFile::exists(paths::urlListFile(dataDir, name))) {
        logLine(u"ERROR (Not Found) retrieval executed on "_s + quoted(name));
        if (!m_transferActive) // nothing runs, whatever the hint said a moment ago
            Q_EMIT trayHintChanged(u"Pagewarden Idle."_s);
        setBusy(false);
        return;
    }

    const bool wasActive = m_transferActive;
    m_transferActive = true;
    if (!wasActive)
        Q_EMIT transferActiveChanged(true);
    sendToClient({link::stateLine(link::kTransferActive, true)});
    Q_EMIT statusPanelChanged(0, u"Pagewarden Data Transfer Active."_s);

    setAcceptingWork(false);
    loadtomemory(name);
    const int threads = std::clamp(m_settings.numthreads, 1, kSlotCount);
    for (int slot = 1; slot <= threads; ++slot)
        multithreadit(slot);
    setBusy(false);
    setAcceptingWork(true);
}

void RunEngine::getall()
{
    if (!m_settings.enabledun) {
        for (const QString &name : QStringList(m_knownLists))
            queuelist(name);
        return;
    }
    // With dial-up each list waits for the line in turn. A second "retrieve all" meanwhile
    // would only repeat the lists already on their way.
    if (m_getAllWaiting || !m_getAllPending.isEmpty())
        return;
    m_getAllPending = m_knownLists;
    continueGetAll();
}

void RunEngine::continueGetAll()
{
    while (!m_getAllWaiting && !m_getAllPending.isEmpty())
        m_getAllWaiting = requestList(m_getAllPending.takeFirst(), true);
}

bool RunEngine::loadtomemory(const QString &name)
{
    const QString dataDir = dataDirectory();
    ensureFolder(paths::urlListFolder(dataDir, name));
    const UrlListRead read = readUrlList(paths::urlListFile(dataDir, name), ReaderSide::Server);
    if (read.status == UrlListRead::Missing) {
        logLine(u"ERROR (not found) loading "_s + quoted(name));
        return false;
    }
    if (read.status == UrlListRead::TooLarge || read.status == UrlListRead::Failed)
        logLine(name + u' ' + read.error);

    qsizetype index = -1;
    for (qsizetype i = 0; i < m_loadedLists.size(); ++i) {
        if (m_loadedLists[i].name.compare(name, Qt::CaseInsensitive) == 0)
            index = i;
    }
    const bool loadedBefore = index >= 0;
    if (!loadedBefore) {
        m_loadedLists.append(LoadedList{name, {}, {}, {}, {}, {}, false});
        index = m_loadedLists.size() - 1;
    } else {
        m_loadedLists[index].reportLines.clear();
        m_loadedLists[index].keepOneEntries.clear();
    }
    QueueEntry entry{name, read.entries};
    if (!loadedBefore)
        m_loadedLists[index].entries = read.entries;
    if (read.status == UrlListRead::DeadRecord)
        logLine(u"URL List read error "_s + quoted(name));
    Counters c = m_counters;
    c.queue += int(entry.pending.size());
    m_queue.append(std::move(entry));
    setCounters(c);
    return true;
}

void RunEngine::multithreadit(int number)
{
    RetrievalSlot &slot = m_slots[number - 1];
    if (slot.active || slot.stopping)
        return;
    if (slot.thread) { // the previous thread has ended; its slot was freed
        slot.thread->wait();
        delete slot.thread;
        slot.thread = nullptr;
    }
    slot.active = true;
    slot.stopping = false;

    ThreadSettings ts;
    ts.slot = number;
    ts.dataDirectory = dataDirectory();
    ts.userAgent = m_settings.useragent;
    ts.proxyServer = m_settings.proxyserver;
    ts.proxyPort = m_settings.proxyport;
    ts.proxyUser = m_settings.proxyuser;
    ts.proxyPassword = m_settings.proxypass;
    ts.sizeProtection = m_settings.sizeprot;
    ts.reportsEnabled = m_settings.reportscapability;
    ts.reportUnchanged = m_settings.reportunchanged;

    auto *thread = new TranThread(*this, ts);
    slot.thread = thread;
    connect(thread, &QThread::finished, this, [this, number] { threadterminate(number); });
    thread->start(QThread::IdlePriority);
    if (!m_tooLongTimer.isActive())
        m_tooLongTimer.start();
    if (!m_slowTimer.isActive())
        m_slowTimer.start();
}

// ---- Operations for the threads -----------------------------------------------------

int RunEngine::slotOf(const TranThread &thread) const
{
    return thread.settings().slot;
}

LoadedList *RunEngine::listOf(const TranThread &thread)
{
    if (thread.listIndex < 0 || thread.listIndex >= m_loadedLists.size())
        return nullptr;
    return &m_loadedLists[thread.listIndex];
}

bool RunEngine::otherThreadOnList(const TranThread &thread) const
{
    for (const RetrievalSlot &slot : m_slots) {
        if (slot.active && slot.thread && slot.thread != &thread && slot.thread->listIndex == thread.listIndex)
            return true;
    }
    return false;
}

void RunEngine::dequeueurl(TranThread &thread)
{
    thread.reportDue = false;
    thread.listDrained = false;
    thread.hasUrl = false;
    while (!m_queue.isEmpty() && !thread.stopRequested() && m_acceptingWork) {
        QueueEntry &entry = m_queue.first();
        thread.listName = entry.listName;
        thread.listIndex = -1;
        for (qsizetype i = 0; i < m_loadedLists.size(); ++i) {
            if (m_loadedLists[i].name.compare(entry.listName, Qt::CaseInsensitive) == 0)
                thread.listIndex = int(i);
        }
        // A list without (more) records gives its place to the next one in the queue.
        if (entry.pending.isEmpty()) {
            m_queue.removeFirst();
            continue;
        }
        thread.current = CurrentUrl::from(entry.pending.takeFirst());
        thread.hasUrl = true;
        Counters c = m_counters;
        c.queue = std::max(0, c.queue - 1);
        setCounters(c);
        if (entry.pending.isEmpty()) {
            m_queue.removeFirst();
            for (const RetrievalSlot &slot : m_slots) {
                if (slot.active && slot.thread && slot.thread->listIndex == thread.listIndex) {
                    slot.thread->listDrained = true;
                    if (thread.settings().reportsEnabled)
                        slot.thread->reportDue = true;
                }
            }
            thread.listDrained = true;
            if (thread.settings().reportsEnabled)
                thread.reportDue = true;
        }
        return;
    }
}

void RunEngine::begintransfer(TranThread &thread)
{
    const int number = slotOf(thread);
    RetrievalSlot &slot = m_slots[number - 1];
    slot.tooLongTicks = 0; // resetthreadtimer
    slot.slowTicks = 0;
    slot.lastByteSample = 0;
    thread.transferInProgress = true;
    if (thread.stopRequested()) {
        // The abort came between handing out the URL and its request: no request now.
        thread.transfer = TransferResult();
        thread.transfer.errorText = transferErrorText(404, u"Connection aborted"_s);
        thread.transferInProgress = false;
        thread.transferDone.release();
        return;
    }

    const CurrentUrl &u = thread.current;
    TransferRequest request;
    request.url = u.url;
    if (u.storedLastModified != u"*"_s)
        request.ifModifiedSince = u.storedLastModified;
    if (!u.username.isEmpty() && !u.password.isEmpty()) {
        request.username = u.username;
        request.password = PasswordCipher::decipher(u.password).value_or(QString());
    }
    const ThreadSettings &ts = thread.settings();
    request.userAgent = ts.userAgent;
    request.proxyServer = ts.proxyServer;
    request.proxyPort = ts.proxyPort;
    request.proxyUser = ts.proxyUser;
    request.proxyPassword = ts.proxyPassword;

    TranThread *t = &thread;
    slot.http->start(request, &thread.transfer, [t] {
        if (t->transferInProgress.exchange(false) || t->transfer.timedOut)
            t->transferDone.release();
    });
}

void RunEngine::timeOut(RetrievalSlot &slot, const QString &text)
{
    TranThread &thread = *slot.thread;
    thread.message = text;
    logaction(thread);
    thread.transfer.timedOut = true;
    thread.statusText = text;
    showstatus(thread);
    slot.tooLongTicks = 0;
    // Ends the transfer: its finish releases the waiting thread.
    thread.transferInProgress = false;
    slot.http->abort();
}

void RunEngine::watchTooLong()
{
    for (RetrievalSlot &slot : m_slots) {
        if (!slot.active || slot.stopping || !slot.thread || !slot.thread->transferInProgress)
            continue;
        ++slot.tooLongTicks;
        const int limit = slot.thread->current.delay;
        if (limit > 0 && slot.tooLongTicks >= limit)
            timeOut(slot, u"Time Out (Too Long) on Retrieval of "_s + slot.thread->current.url);
    }
    if (anySlotActive())
        m_tooLongTimer.start();
}

void RunEngine::watchSlowTransfer()
{
    for (RetrievalSlot &slot : m_slots) {
        if (!slot.active || slot.stopping || !slot.thread || !slot.thread->transferInProgress)
            continue;
        ++slot.slowTicks;
        const int period = slot.thread->current.timeOut;
        if (period <= 0 || slot.slowTicks < period)
            continue;
        const qint64 bytes = slot.http->bytesReceived();
        if (bytes == slot.lastByteSample)
            timeOut(slot, u"Time Out (Slow Transfer) on Retrieval of "_s + slot.thread->current.url);
        slot.lastByteSample = bytes;
        slot.slowTicks = 0;
    }
    if (anySlotActive() && m_acceptingWork)
        m_slowTimer.start();
}

void RunEngine::countresult(TranThread &thread, const char *keyword)
{
    Counters c = m_counters;
    const QByteArrayView k(keyword);
    if (k == "DISPRETR") {
        ++c.completed;
    } else if (k == "DISPMOD") {
        ++c.modified;
        thread.counted = true;
    } else if (k == "DISPNCHG") {
        ++c.unchanged;
        thread.counted = true;
    } else if (k == "DISPERR") {
        ++c.errors;
        thread.counted = true;
    } else if (k == "DEQUEUE") {
        if (c.queue > 0)
            --c.queue;
    }
    setCounters(c);
}

void RunEngine::showstatus(TranThread &thread)
{
    if (thread.stopRequested())
        return;
    if (!m_captionMetrics)
        m_captionMetrics.emplace(m_captionFont);
    setCaption(slotOf(thread), fitCaption(thread.statusText, *m_captionMetrics));
}

void RunEngine::logaction(TranThread &thread)
{
    logLine(thread.listName + u' ' + thread.message);
}

void RunEngine::addreportline(TranThread &thread)
{
    if (LoadedList *list = listOf(thread))
        list->reportLines.append(thread.reportLine);
}

void RunEngine::processreports(TranThread &thread)
{
    const bool selected = containsListName(m_settings.reportlist, thread.listName)
                          || m_settings.reportlist.contains(QString::fromLatin1(kAllWebBoxes));
    if (!selected || otherThreadOnList(thread)) {
        thread.listIndex = -1;
        return;
    }
    thread.statusText = u"Processing Reports..."_s;
    showstatus(thread);
    createreport(thread.listIndex);
    thread.listIndex = -1;
}

void RunEngine::createreport(int listIndex)
{
    if (listIndex < 0 || listIndex >= m_loadedLists.size())
        return;
    const LoadedList &list = m_loadedLists[listIndex];
    const QString when = datetime::fullText(Clock::currentDateTime());
    const QString reportsDir = m_settings.reportsdir.isEmpty() ? paths::reportsDir() : m_settings.reportsdir;
    const auto path = writeReportFile(reportsDir, list.name, when, list.reportLines);
    if (!path)
        return; // nothing follows a report that could not be written
    appendReportRecord(reportsDir + u"reports.dir"_s, {when, list.name, *path});
    sendToClient(link::reportUpdateBlock({when, list.name, *path}));
}

void RunEngine::keeponlylatest(TranThread &thread)
{
    LoadedList *list = listOf(thread);
    if (!list || thread.webBoxLines.size() < 7)
        return;
    list->keepOneEntries.append({thread.webBoxLines[2], thread.webBoxLines[3]});
}

void RunEngine::updatelistentry(TranThread &thread)
{
    thread.editUpdateLines.clear();
    LoadedList *list = listOf(thread);
    if (!list)
        return;
    for (UrlEntry &entry : list->entries) {
        if (entry[UrlEntry::Url].compare(thread.current.url, Qt::CaseInsensitive) != 0)
            continue;
        const QString lastModified =
            thread.transfer.newLastModified.trimmed().isEmpty() ? u"*"_s : thread.transfer.newLastModified;
        const QString size = QString::number(thread.transfer.bytesReceived);
        thread.editUpdateLines = {thread.listName, thread.current.url, lastModified, size};
        entry[UrlEntry::LastModified] = lastModified;
        entry[UrlEntry::Size] = size;
        list->unsaved.append({entry[UrlEntry::Url], lastModified, size});
        return;
    }
}

void RunEngine::sendeditupdate(TranThread &thread)
{
    if (thread.editUpdateLines.size() == link::kEditBodyLines && !thread.stopRequested()) {
        const QStringList &l = thread.editUpdateLines;
        sendToClient(link::editUpdateBlock({l[0], l[1], l[2], l[3]}));
    }
    thread.editUpdateLines.clear();
}

void RunEngine::savelist(TranThread &thread)
{
    if (thread.listIndex >= 0 && thread.listIndex < m_loadedLists.size())
        scheduleListSave(thread.listIndex);
}

void RunEngine::scheduleListSave(int listIndex)
{
    LoadedList &list = m_loadedLists[listIndex];
    if (list.unsaved.isEmpty() || list.saveScheduled)
        return;
    // Rewriting a big list after every page would cost a whole file per page: write at
    // most once per interval while its pages keep coming.
    const qint64 since = list.sinceSave.isValid() ? list.sinceSave.elapsed() : m_listSaveInterval;
    if (since >= m_listSaveInterval) {
        saveListNow(listIndex);
        return;
    }
    list.saveScheduled = true;
    const QString name = list.name;
    QTimer::singleShot(int(m_listSaveInterval - since), this, [this, name] {
        for (qsizetype i = 0; i < m_loadedLists.size(); ++i) {
            if (m_loadedLists[i].name == name) {
                m_loadedLists[i].saveScheduled = false;
                saveListNow(int(i));
            }
        }
    });
}

void RunEngine::saveListNow(int listIndex)
{
    LoadedList &list = m_loadedLists[listIndex];
    list.sinceSave.start();
    if (list.unsaved.isEmpty())
        return;
    QList<ListValueUpdate> updates;
    updates.reserve(list.unsaved.size());
    for (const LoadedList::PendingValues &p : list.unsaved)
        updates.append({p.url, p.lastModified, p.size});
    QString error;
    const QString dataDir = dataDirectory();
    if (!saveListUpdates(dataDir, list.name, list.entries, updates, &error))
        logLine(list.name + u' ' + error);
    list.unsaved.clear();
}

void RunEngine::saveAllLists()
{
    for (qsizetype i = 0; i < m_loadedLists.size(); ++i)
        saveListNow(int(i));
}

void RunEngine::sendinboxupdate(TranThread &thread)
{
    if (thread.webBoxLines.size() >= link::kInboxBodyLines && !thread.stopRequested()) {
        const QStringList &l = thread.webBoxLines;
        sendToClient(link::inboxUpdateBlock({l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7] == u"TRUE"_s}));
    }
}

void RunEngine::updatesavedones(TranThread &thread)
{
    LoadedList *list = listOf(thread);
    if (!list || list->keepOneEntries.isEmpty())
        return;
    const QString dataDir = thread.settings().dataDirectory;
    const KeepLatestResult result =
        keepOnlyLatest(paths::webBoxFile(dataDir, list->name), list->name, list->keepOneEntries);
    if (result.removed)
        list->keepOneEntries.clear();
}

void RunEngine::urlfinished(TranThread &thread)
{
    // The last URL of a list is done: its file gets the values now, not a second later.
    if (thread.listDrained && !otherThreadOnList(thread) && thread.listIndex >= 0
        && thread.listIndex < m_loadedLists.size())
        saveListNow(thread.listIndex);
    thread.listDrained = false;
}

// ---- Abort and end of run -------------------------------------------------------------

bool RunEngine::aborttransfers()
{
    if (!m_transferActive)
        return false;
    sendToClient({link::stateLine(link::kAborting, true)});
    setBusy(true);
    setAcceptingWork(false);
    Q_EMIT schedulerEnabledChanged(false);
    m_slowTimer.stop();
    m_mailer->cancel(); // an aborted run mails nothing more
    for (int slot = 1; slot <= kSlotCount; ++slot)
        notifythreadterminate(slot);
    setBusy(false);
    // Nothing may be running already (a list was only being loaded): end the run now.
    if (!anySlotActive())
        posttransfer();
    return true;
}

void RunEngine::shutdown()
{
    const bool wasActive = m_transferActive;
    m_closing = true;
    if (wasActive) {
        aborttransfers();
        while (anySlotActive())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    m_mailer->cancel();
    while (m_mailer->busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    m_tooLongTimer.stop();
    m_slowTimer.stop();
    saveAllLists();
    m_getAllPending.clear();
    m_dialUp->hangUpForClose();
    // The hang-up must be done before the program ends, but a dial-up layer that does not
    // answer must not keep it from ending.
    QDeadlineTimer deadline(kDialUpCloseWaitMs);
    while (m_dialUp->isBusy() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    m_transferActive = false;
}

void RunEngine::notifythreadterminate(int number)
{
    RetrievalSlot &slot = m_slots[number - 1];
    if (!slot.active || !slot.thread || slot.thread->stopRequested())
        return;
    slot.thread->requestStop();
    slot.stopping = true;
    slot.http->abort();
    setCaption(number, u"Stopping..."_s);
}

void RunEngine::threadterminate(int number)
{
    RetrievalSlot &slot = m_slots[number - 1];
    setCaption(number, kIdle);
    slot.stopping = false;
    slot.active = false;
    posttransfer();
}

void RunEngine::posttransfer()
{
    if (m_closing || anySlotActive() || !m_transferActive || m_mailer->busy())
        return;
    if (m_settings.emailreports && m_acceptingWork && !m_settings.reportlist.isEmpty()) {
        Q_EMIT statusPanelChanged(0, u"E-Mailing Reports."_s);
        setAcceptingWork(false); // the run is still ending: no queueing meanwhile
        if (mailReports())
            return; // the end of the run goes on when the mail is done
    }
    finishRun();
}

bool RunEngine::mailReports()
{
    if (m_settings.sendmail.isEmpty()) {
        logLine(u"No recipient mailed because no address given for confirmation."_s);
        return false;
    }
    if (m_settings.smtpserver.isEmpty()) {
        logLine(u"No SMTP server specified: confirmations cannot be mailed."_s);
        return false;
    }
    QList<MailReport> reports;
    for (LoadedList &list : m_loadedLists) {
        reports.append({list.name, list.reportLines});
        list.reportLines.clear();
    }
    m_mailer->start({m_settings.smtpserver, m_settings.origmail, m_settings.sendmail, m_settings.emailblank}, reports,
                    Clock::currentDateTime());
    return true;
}

void RunEngine::finishRun()
{
    m_transferActive = false;
    setAcceptingWork(false);
    setBusy(true);
    sendToClient({link::stateLine(link::kAborting, true)});
    m_tooLongTimer.stop();
    m_slowTimer.stop();
    saveAllLists();

    if (m_listReloadDue) {
        m_listReloadDue = false;
        if (m_reloadLists)
            m_reloadLists();
    }
    if (m_settingsReloadDue) {
        m_settingsReloadDue = false;
        if (m_reloadSettings)
            m_reloadSettings();
    }
    Q_EMIT statusPanelChanged(0, u"Pagewarden Idle."_s);
    Q_EMIT statusPanelChanged(1, QString());
    Q_EMIT trayHintChanged(u"Pagewarden Idle."_s);

    clearitall();
    Counters c = m_counters;
    c.queue = 0;
    setCounters(c);

    if (m_link.isConnected()) {
        m_link.send({link::transferInfoLine(c.completed, c.modified, c.unchanged, c.errors)});
    } else if (c.modified > 0) {
        auto store = paths::openSettings();
        store->beginGroup(u"Defaults"_s);
        settings::writeFlag(*store, settings::kNewRetrieve, true, settings::FlagTest::IsTrue);
        store->endGroup();
    }
    sendToClient({link::stateLine(link::kTransferActive, false)});
    Q_EMIT transferActiveChanged(false);

    if (m_settings.enabledun && m_settings.discdun)
        m_dialUp->hangUpAfterRun();
    if (m_settings.useeffect && c.modified > 0 && QFile::exists(m_settings.soundeffect) && m_sound)
        m_sound->play(m_settings.soundeffect);

    setAcceptingWork(true);
    Q_EMIT schedulerEnabledChanged(true);
    setBusy(false);
    sendToClient({link::stateLine(link::kAborting, false)});
    Q_EMIT runFinished();
}

void RunEngine::clearitall()
{
    m_loadedLists.clear();
    m_queue.clear();
}

void RunEngine::requestListReload()
{
    if (m_transferActive) {
        m_listReloadDue = true;
        return;
    }
    if (m_reloadLists)
        m_reloadLists();
}

void RunEngine::requestSettingsReload()
{
    if (m_transferActive) {
        m_settingsReloadDue = true;
        return;
    }
    if (m_reloadSettings)
        m_reloadSettings();
}

QList<QueueRow> RunEngine::queueupdate() const
{
    QList<QueueRow> rows;
    for (const QueueEntry &entry : m_queue) {
        for (const UrlEntry &u : entry.pending)
            rows.append({entry.listName, u[UrlEntry::Url], u[UrlEntry::Description]});
    }
    return rows;
}

} // namespace pw::server
