#pragma once

#include "runhooks.h"

#include "store/urllist.h"

#include <QByteArray>
#include <QList>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <vector>

namespace pw::server {

class RunEngine;

// The copies of the settings a retrieval thread works with; a settings change during a
// run only reaches slots started afterwards.
struct ThreadSettings
{
    int slot = 1;
    QString dataDirectory;
    QString userAgent;
    QString proxyServer;
    QString proxyPort;
    QString proxyUser;
    QString proxyPassword;
    QString sizeProtection;
    bool reportsEnabled = false;
    bool reportUnchanged = false;
};

// The URL a thread works on, as dequeueurl copies it.
struct CurrentUrl
{
    QString description;
    QString url;
    QString username;
    QString password; // as stored: enciphered
    QString highlightColor;
    QString keywordColor;
    QString keywords;
    QString storedLastModified;
    QString storedSize;
    bool keepOne = false;
    bool sizePriority = false;
    bool highlighting = false;
    bool keywording = false;
    bool wordChecked = false;
    bool caseSensitive = false;
    int delay = 60;
    int timeOut = 30;
    int sizeThreshold = 500;

    static CurrentUrl from(const UrlEntry &entry);
};

// What the main thread's transfer leaves for the thread.
struct TransferResult
{
    bool succeeded = false;
    bool timedOut = false;
    QString errorText;
    QString newLastModified;
    qint64 bytesReceived = 0;
    QByteArray body;
};

// The worker of one retrieval slot: takes URLs from the queue, has the main thread fetch
// them, judges and keeps each page. Everything shared is reached through blocking calls
// into the main thread; the main thread never waits for this thread.
class TranThread final : public QThread
{
    Q_OBJECT

public:
    TranThread(RunEngine &engine, ThreadSettings settings);
    ~TranThread() override;

    const ThreadSettings &settings() const { return m_settings; }

    // Set by the main thread to make the thread end after its current step.
    void requestStop() { m_stopRequest = true; }
    bool stopRequested() const { return m_stopRequest; }

    // State that the main-thread operations read and write while this thread waits.
    QString listName;
    int listIndex = -1;
    bool reportDue = false;
    bool listDrained = false; // this URL was the last of its list in the queue
    CurrentUrl current;
    bool hasUrl = false;
    bool counted = false;
    QString statusText;
    QString message;
    QString reportLine;
    QStringList webBoxLines;
    QStringList editUpdateLines;

    // The transfer in progress, written on the main thread.
    TransferResult transfer;
    std::atomic<bool> transferInProgress{false};
    // Released by the main thread when the transfer has ended.
    QSemaphore transferDone;

protected:
    void run() override;

private:
    // Runs `op` on the main thread and waits for it.
    template <typename Op> void onMain(Op &&op);

    // Queues an operation for the main thread; it runs at the next flush.
    void later(std::function<void()> op);
    // Runs the queued operations, then `last`, on the main thread, and waits.
    void flush(const std::function<void()> &last = {});

    void workOnUrl();
    void processpage();
    void logMessage(const QString &text);
    void count(const char *keyword);
    void showStatus(const QString &text);
    void addReportLine(const QString &line);
    void logTransferError();

    RunEngine &m_engine;
    ThreadSettings m_settings;
    std::atomic<bool> m_stopRequest{false};
    QList<QByteArray> m_pageLines;
    std::vector<std::function<void()>> m_batch;
    QString m_pageFile;
};

} // namespace pw::server
