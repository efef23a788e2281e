#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

namespace pw::server {

// Dial-up before a run and hang-up after it. Without a dial-up layer the network is
// taken to be up.
class DialUpControl
{
public:
    virtual ~DialUpControl() = default;
    // Makes sure a connection exists, dialling when needed. `done` gets whether one does;
    // it runs later, on the event loop, never inside the call, and not once `context` is gone.
    virtual void connectForRun(QObject *context, std::function<void(bool connected)> done) = 0;
    // The end of a run: hangs up a connection that this program dialled itself.
    virtual void hangUpAfterRun() = 0;
    // The program is closing: stops a dialling in progress and hangs up what it dialled.
    virtual void hangUpForClose() = 0;
    // A dialling or hang-up is still going on.
    virtual bool isBusy() const = 0;
};

class NoDialUp final : public DialUpControl
{
public:
    void connectForRun(QObject *context, std::function<void(bool)> done) override
    {
        QMetaObject::invokeMethod(
            context, [done] { done(true); }, Qt::QueuedConnection);
    }
    void hangUpAfterRun() override {}
    void hangUpForClose() override {}
    bool isBusy() const override { return false; }
};

// Plays the sound file after a run that found news. Failures are ignored.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &path) = 0;
};

// What the highlighter gets for one accepted page. Runs in a retrieval thread.
struct HighlightJob
{
    QString pageFile;   // the page file just written
    QString storedCopy; // the URL key's ".tmp" file in the list folder
    QString url;
    bool highlighting = false;
    QByteArray highlightColour; // "#RRGGBB"
    bool keywording = false;
    QByteArray keywordColour;
    QString keywords;
    bool wordChecked = false;
    bool caseSensitive = false;
    const std::atomic<bool> *stopRequest = nullptr;
    // Logs a message for the thread's list (goes to the main thread).
    std::function<void(const QString &message)> log;
    // Shows a status text in the thread's slot.
    std::function<void(const QString &status)> status;
};

using Highlighter = std::function<void(const HighlightJob &job)>;

} // namespace pw::server
