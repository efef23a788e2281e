#pragma once

#include "clientlink.h"
#include "runhooks.h"
#include "tranthread.h"

#include "store/settings.h"
#include "store/urllist.h"

#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace pw::server {

class ReportMailer;
class SlotTransfer;

inline constexpr int kSlotCount = 10;
inline constexpr qint64 kMinimumFreeBytes = 10'000'000;
inline constexpr int kDialUpCloseWaitMs = 15'000;

struct Counters
{
    int completed = 0;
    int modified = 0;
    int unchanged = 0;
    int errors = 0;
    int queue = 0;

    friend bool operator==(const Counters &, const Counters &) = default;
};

// A URL List loaded during the run.
struct LoadedList
{
    QString name;
    QList<UrlEntry> entries;
    QStringList reportLines;
    QList<std::pair<QString, QString>> keepOneEntries; // (URL, Date/Time)

    // New Last Modified and Size values not yet written to the list's file, in order.
    struct PendingValues
    {
        QString url;
        QString lastModified;
        QString size;
    };
    QList<PendingValues> unsaved;
    QElapsedTimer sinceSave;
    bool saveScheduled = false;
};

struct QueueEntry
{
    QString listName;
    QList<UrlEntry> pending;
};

// One row of the queue window.
struct QueueRow
{
    QString listName;
    QString url;
    QString description;
};

struct RetrievalSlot
{
    SlotTransfer *http = nullptr;
    TranThread *thread = nullptr;
    bool active = false;
    bool stopping = false;
    int tooLongTicks = 0;
    int slowTicks = 0;
    qint64 lastByteSample = 0;
    QString caption = QStringLiteral("Idle");
};

// The retrieval run: queue, loaded lists, ten slots, the watch timers, counters and the
// end-of-run work. Lives on the main thread; retrieval threads reach it only through the
// operations they run there with a blocking call. Windows observe it through signals.
class RunEngine final : public QObject
{
    Q_OBJECT

public:
    explicit RunEngine(ClientLink &link, QObject *parent = nullptr);
    ~RunEngine() override;

    // Configuration. The settings and the known lists are the server's current copies.
    void setSettings(const Settings &settings) { m_settings = settings; }
    const Settings &settings() const { return m_settings; }
    void setKnownLists(const QStringList &names) { m_knownLists = names; }
    const QStringList &knownLists() const { return m_knownLists; }
    void setHighlighter(Highlighter highlighter) { m_highlighter = std::move(highlighter); }
    // Without one (nullptr) the network is taken to be up.
    void setDialUp(DialUpControl *dialUp) { m_dialUp = dialUp ? dialUp : &m_noDialUp; }
    void setSoundPlayer(SoundPlayer *player) { m_sound = player; }
    void setFreeSpaceProbe(std::function<qint64()> probe) { m_freeSpace = std::move(probe); }
    void setCaptionFont(const QFont &font)
    {
        m_captionFont = font;
        m_captionMetrics.reset();
    }
    void setSslConfiguration(const QSslConfiguration &config);
    // The largest page body accepted; 64 MB but in tests.
    void setMaxBodyBytes(qint64 bytes);
    // Reloads of the settings and of the known lists, carried out at once when idle and at
    // the end of the run otherwise.
    void setSettingsReloader(std::function<void()> reload) { m_reloadSettings = std::move(reload); }
    void setListReloader(std::function<void()> reload) { m_reloadLists = std::move(reload); }
    // The tick of the two watch timers; one second but in tests.
    void setWatchInterval(int ms);
    // Coalescing of URL List rewrites while a list's pages keep being accepted.
    void setListSaveInterval(int ms) { m_listSaveInterval = ms; }

    // Commands.
    void queuelist(const QString &name);
    void getall();
    // False when no run is active (the caller tells the user).
    bool aborttransfers();
    void requestListReload();
    void requestSettingsReload();
    // The server is closing: aborts a run without its end-of-run work, waits (serving
    // events) until every slot has ended, writes the list values still pending, stops a
    // dialling and hangs up a connection this program dialled.
    void shutdown();

    // State for windows.
    bool transferActive() const { return m_transferActive; }
    bool acceptingWork() const { return m_acceptingWork; }
    Counters counters() const { return m_counters; }
    QString slotCaption(int slot) const { return m_slots.at(slot - 1).caption; }
    bool isSlotActive(int slot) const { return m_slots.at(slot - 1).active; }
    bool anySlotActive() const;
    QList<QueueRow> queueupdate() const;

    // Main-thread operations of a retrieval thread.
    void dequeueurl(TranThread &thread);
    void begintransfer(TranThread &thread);
    void countresult(TranThread &thread, const char *keyword);
    void showstatus(TranThread &thread);
    void logaction(TranThread &thread);
    void addreportline(TranThread &thread);
    void processreports(TranThread &thread);
    void keeponlylatest(TranThread &thread);
    void updatelistentry(TranThread &thread);
    void sendeditupdate(TranThread &thread);
    void savelist(TranThread &thread);
    void sendinboxupdate(TranThread &thread);
    void updatesavedones(TranThread &thread);
    void urlfinished(TranThread &thread);
    const Highlighter &highlighter() const { return m_highlighter; }

    // Appends a line to the action log.
    void logLine(const QString &message);

Q_SIGNALS:
    void slotCaptionChanged(int slot, const QString &caption);
    void countersChanged(const pw::server::Counters &counters);
    void statusPanelChanged(int panel, const QString &text);
    void trayHintChanged(const QString &hint);
    void busyChanged(bool busy); // hourglass and disabled window
    void acceptingWorkChanged(bool accepting);
    void transferActiveChanged(bool active);
    void schedulerEnabledChanged(bool enabled);
    void actionLogged(const QString &dateTime, const QString &message);
    void runFinished();

private:
    // The data directory of the settings, or the resolved one when they hold none.
    QString dataDirectory() const;
    void setCaption(int slot, const QString &caption);
    void setCounters(const Counters &counters);
    void setAcceptingWork(bool accepting);
    void setBusy(bool busy);
    // The name as the known lists spell it when a request for it may be queued now: a
    // known list, work accepted, not queued already and not being fetched.
    QString admissibleList(const QString &requested) const;
    // Queues a list, dialling first when dial-up is on; true while it waits for the line.
    bool requestList(const QString &requested, bool fromGetAll);
    void afterDial(const QString &name, bool fromGetAll, bool connected);
    // The queueing that follows a connection: disk space, list file, slots.
    void queueNow(const QString &name);
    void continueGetAll();
    bool loadtomemory(const QString &name);
    void multithreadit(int slot);
    void notifythreadterminate(int slot);
    void threadterminate(int slot);
    void posttransfer();
    bool mailReports();
    void finishRun();
    void clearitall();
    void createreport(int listIndex);
    void watchTooLong();
    void watchSlowTransfer();
    void timeOut(RetrievalSlot &slot, const QString &text);
    void saveListNow(int listIndex);
    void scheduleListSave(int listIndex);
    void saveAllLists();
    void sendToClient(const QStringList &lines);
    LoadedList *listOf(const TranThread &thread);
    int slotOf(const TranThread &thread) const;
    bool otherThreadOnList(const TranThread &thread) const;

    ClientLink &m_link;
    Settings m_settings;
    QStringList m_knownLists;
    Highlighter m_highlighter;
    NoDialUp m_noDialUp;
    DialUpControl *m_dialUp = &m_noDialUp;
    std::unique_ptr<SoundPlayer> m_ownSound;
    SoundPlayer *m_sound = nullptr;
    std::function<qint64()> m_freeSpace;
    std::function<void()> m_reloadSettings;
    std::function<void()> m_reloadLists;
    QFont m_captionFont;
    std::optional<QFontMetrics> m_captionMetrics; // made on first use

    int m_listSaveInterval = 1000;

    bool m_transferActive = false;
    bool m_acceptingWork = true;
    bool m_closing = false;
    bool m_listReloadDue = false;
    bool m_settingsReloadDue = false;
    QStringList m_waitingForLine; // lists asked for while dial-up connects
    QStringList m_getAllPending;  // the rest of a "retrieve all" that waits for the line
    bool m_getAllWaiting = false;
    QList<LoadedList> m_loadedLists;
    QList<QueueEntry> m_queue;
    Counters m_counters;
    std::array<RetrievalSlot, kSlotCount> m_slots;
    ReportMailer *m_mailer = nullptr;
    QTimer m_tooLongTimer;
    QTimer m_slowTimer;
};

} // namespace pw::server

Q_DECLARE_METATYPE(pw::server::Counters)
