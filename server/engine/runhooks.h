#pragma once

#include <QByteArray>
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
    // Makes sure a connection exists; false when none could be made.
    virtual bool connectForRun() = 0;
    virtual bool isConnected() const = 0;
    // Hangs up a connection that this program dialled itself.
    virtual void hangUpAfterRun() = 0;
};

class NoDialUp final : public DialUpControl
{
public:
    bool connectForRun() override { return true; }
    bool isConnected() const override { return true; }
    void hangUpAfterRun() override {}
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
