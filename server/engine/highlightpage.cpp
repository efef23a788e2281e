#include "highlightpage.h"

#include "highlightchanges.h"
#include "highlightjoin.h"
#include "highlightkeywords.h"

#include "store/fileio.h"

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

enum class PassEnd { Done, Stopped, NoStoredCopy, Failed };

// What both passes share: progress, the stop request, the guard on the stored copy and
// the reading of the page.
class Pass
{
public:
    explicit Pass(const HighlightJob &job)
        : m_job(job)
    {
    }

    bool stopped() const { return m_job.stopRequest && m_job.stopRequest->load(); }

    // Once a stop is asked for, the slot's caption stays as it is.
    void show(QLatin1StringView suffix) const
    {
        if (!stopped() && m_job.status)
            m_job.status(u"Processing "_s + m_job.url + suffix);
    }

    // A step's progress; false when the pass ends here.
    bool step(QLatin1StringView suffix) const
    {
        show(suffix);
        return !stopped();
    }

    bool storedCopyHasLines() const
    {
        if (!readlines(m_job.storedCopy).isEmpty())
            return true;
        if (m_job.log)
            m_job.log(u"Highlighter Corruption Error (2)"_s + m_job.url);
        return false;
    }

    // The page's lines and the end marker, joined; nothing when the file cannot be read,
    // so a page is never replaced by what little could be read of it.
    std::optional<QByteArray> readPage() const
    {
        bool ok = false;
        const QList<QByteArray> lines = readlines(m_job.pageFile, &ok);
        if (!ok)
            return std::nullopt;
        return joinPageLines(lines);
    }

private:
    const HighlightJob &m_job;
};

PassEnd changePass(const HighlightJob &job)
{
    const Pass pass(job);
    QByteArray oldText;
    {
        const QList<QByteArray> oldLines = readlines(job.storedCopy);
        if (oldLines.isEmpty()) {
            pass.storedCopyHasLines(); // logs
            return PassEnd::NoStoredCopy;
        }
        oldText = joinLines(oldLines);
    }
    pass.show(" 15%"_L1);
    const std::optional<QByteArray> newText = pass.readPage();
    if (!newText)
        return PassEnd::Failed;
    if (!pass.step(" 25%"_L1))
        return PassEnd::Stopped;

    QByteArray flags;
    {
        const QList<QByteArray> oldBlocks = splitblocks(std::exchange(oldText, {}), false);
        if (!pass.step(" 30%"_L1))
            return PassEnd::Stopped;
        const QList<QByteArray> newBlocks = splitblocks(*newText, true);
        if (!pass.step(" 35%"_L1))
            return PassEnd::Stopped;
        flags = markchanges(oldBlocks, newBlocks);
    }
    if (!pass.step(" 55%"_L1))
        return PassEnd::Stopped;
    const QByteArray marked = wrapchanges(*newText, flags, job.highlightColour);
    if (!pass.step(" 70%"_L1))
        return PassEnd::Stopped;

    // The next retrieval compares against the new page's unmarked text.
    if (!writelines(job.storedCopy, {*newText}) || !writelines(job.pageFile, {marked}))
        return PassEnd::Failed;
    pass.show(" 100%"_L1);
    return PassEnd::Done;
}

PassEnd keywordPass(const HighlightJob &job, bool afterChangePass)
{
    const Pass pass(job);
    // Marking needs only the page; the stored copy is checked when the change pass has
    // just written it.
    if (afterChangePass && !pass.storedCopyHasLines())
        return PassEnd::NoStoredCopy;
    pass.show(" 15%"_L1);
    const std::optional<QByteArray> text = pass.readPage();
    if (!text)
        return PassEnd::Failed;
    if (!pass.step(" 25%"_L1))
        return PassEnd::Stopped;
    const QList<QByteArray> keywords = keywordlist(keywordBytes(job.keywords, *text));
    if (!pass.step(" 85%"_L1))
        return PassEnd::Stopped;
    const QByteArray marked = markkeywords(*text, keywords, job.wordChecked, job.caseSensitive, job.keywordColour);
    if (!writelines(job.pageFile, {marked}))
        return PassEnd::Failed;
    pass.show(" 100%"_L1);
    return PassEnd::Done;
}

} // namespace

void highlightpage(const HighlightJob &job)
{
    if (job.highlighting) {
        const PassEnd end = changePass(job);
        // A write that failed ends the page's marking; an empty stored copy only ends the
        // change pass (it is logged, and the keyword pass still runs).
        if (end == PassEnd::Stopped || end == PassEnd::Failed)
            return;
    }
    if (job.keywording && !Pass(job).stopped())
        keywordPass(job, job.highlighting);
}

} // namespace pw::server
