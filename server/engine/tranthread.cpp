#include "tranthread.h"

#include "runengine.h"

#include "store/clock.h"
#include "store/colourtext.h"
#include "store/datetimetext.h"
#include "store/fileio.h"
#include "store/linkframing.h"
#include "store/passwordcipher.h"
#include "store/paths.h"
#include "store/reports.h"
#include "store/textlines.h"
#include "store/webbox.h"

#include <QFile>
#include <QMetaObject>

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

int wholeNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : fallback;
}

qint64 wholeNumber64(const QString &text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok, 10);
    return ok ? n : 0;
}

} // namespace

CurrentUrl CurrentUrl::from(const UrlEntry &e)
{
    CurrentUrl u;
    u.description = e[UrlEntry::Description];
    u.url = e[UrlEntry::Url];
    u.username = e[UrlEntry::Username];
    u.password = e[UrlEntry::Password];
    u.highlightColor = e[UrlEntry::HighlightColor];
    u.keywordColor = e[UrlEntry::KeywordColor];
    u.keywords = e[UrlEntry::KeywordsToHighlight];
    u.storedLastModified = e[UrlEntry::LastModified].trimmed();
    u.storedSize = e[UrlEntry::Size].trimmed();
    u.keepOne = e.flag(UrlEntry::KeepOne);
    u.sizePriority = e.flag(UrlEntry::SizePriority);
    u.highlighting = e.flag(UrlEntry::Highlighting);
    u.keywording = e.flag(UrlEntry::Keywording);
    u.wordChecked = e.flag(UrlEntry::WordChecked);
    u.caseSensitive = e.flag(UrlEntry::CaseSensitive);
    u.delay = e.number(UrlEntry::Delay, 60);
    u.timeOut = e.number(UrlEntry::TimeOut, 30);
    u.sizeThreshold = e.number(UrlEntry::SizeThreshold, 500);
    return u;
}

TranThread::TranThread(RunEngine &engine, ThreadSettings settings)
    : m_engine(engine)
    , m_settings(std::move(settings))
{
}

TranThread::~TranThread() = default;

template <typename Op> void TranThread::onMain(Op &&op)
{
    QMetaObject::invokeMethod(&m_engine, std::forward<Op>(op), Qt::BlockingQueuedConnection);
}

void TranThread::later(std::function<void()> op)
{
    m_batch.push_back(std::move(op));
}

void TranThread::flush(const std::function<void()> &last)
{
    // The operations queued since the last visit to the main thread run there in one go,
    // in their order; each visit costs a wake-up of the main thread and of this one.
    std::vector<std::function<void()>> batch;
    batch.swap(m_batch);
    if (batch.empty() && !last)
        return;
    onMain([&batch, &last] {
        for (const auto &op : batch)
            op();
        if (last)
            last();
    });
}

void TranThread::logMessage(const QString &text)
{
    later([this, text] {
        message = text;
        m_engine.logaction(*this);
    });
}

void TranThread::count(const char *keyword)
{
    later([this, keyword] { m_engine.countresult(*this, keyword); });
}

void TranThread::showStatus(const QString &text)
{
    later([this, text] {
        statusText = text;
        m_engine.showstatus(*this);
    });
}

void TranThread::addReportLine(const QString &line)
{
    later([this, line] {
        reportLine = line;
        m_engine.addreportline(*this);
    });
}

void TranThread::run()
{
    while (!m_stopRequest) {
        // The previous URL's closing steps and the hand-out of the next URL share a visit.
        flush([this] {
            hasUrl = false;
            m_engine.dequeueurl(*this);
        });
        if (m_stopRequest || !hasUrl)
            break;
        try {
            workOnUrl();
        } catch (...) {
            // An unexpected failure ends the work on this URL only.
        }
    }
    flush();
}

void TranThread::logTransferError()
{
    if (!transfer.timedOut) {
        if (transfer.errorText.isEmpty())
            message = u"Transfer error/interrupted on "_s + current.url;
        else
            message = u"Error "_s + transfer.errorText + u" on "_s + current.url;
    }
    // A timed-out URL logs the timer's message once more.
    logMessage(message);
}

void TranThread::workOnUrl()
{
    showStatus(current.url);
    transfer = TransferResult();
    m_pageLines.clear();
    counted = false;
    message.clear();

    // A password that cannot be read: the URL is given up before its request.
    const bool passwordReadable = current.username.isEmpty() || current.password.isEmpty()
                                  || PasswordCipher::decipher(current.password).has_value();
    if (passwordReadable) {
        flush([this] { m_engine.begintransfer(*this); });
        transferDone.acquire();

        if (!transfer.succeeded || transfer.timedOut) {
            count("DISPRETR");
            count("DISPERR");
            logTransferError();
        } else {
            showStatus(u"Transfer Completed on "_s + current.url);
            count("DISPRETR");
            m_pageLines = splitBodyLines(transfer.body);
            transfer.body = QByteArray();
            if (transfer.newLastModified == current.storedLastModified || transfer.newLastModified == u"304"_s) {
                if (m_settings.reportsEnabled && m_settings.reportUnchanged)
                    addReportLine(current.url + QString::fromLatin1(kReportUnchangedDate));
                count("DISPNCHG");
            } else if (m_pageLines.isEmpty()) {
                count("DISPERR");
                logTransferError();
            } else {
                processpage();
                flush(); // `counted` is the main thread's to set
                if (!counted) {
                    count("DISPERR");
                    logTransferError();
                }
            }
        }
    }
    m_pageLines.clear();

    later([this] {
        if (reportDue)
            m_engine.processreports(*this);
        if (!m_stopRequest)
            m_engine.updatesavedones(*this);
        m_engine.urlfinished(*this);
    });
    showStatus(u"Idle"_s);
}

void TranThread::processpage()
{
    webBoxLines.clear();
    const QString folder = paths::urlListFolder(m_settings.dataDirectory, listName);
    ensureFolder(folder);
    const QDateTime now = Clock::currentDateTime();
    m_pageFile = folder + pageName(current.url, now);
    if (!writelines(m_pageFile, m_pageLines)) {
        logMessage(u"There was an error while saving to file "_s + m_pageFile);
        return;
    }
    if (m_stopRequest)
        return;

    const qint64 newSize = transfer.bytesReceived;
    const double fraction = wholeNumber(m_settings.sizeProtection, 0) / 100.0;
    const qint64 oldSize = wholeNumber64(current.storedSize);
    if (fraction > 0 && oldSize >= 1 && double(newSize) < double(oldSize) * fraction) {
        logMessage(u"Size protection activated: "_s + current.url);
        return;
    }

    const QString &storedDate = current.storedLastModified;
    const bool dateKnown = storedDate != u"Not Available"_s && !storedDate.isEmpty() && storedDate != u"*"_s;
    const bool sizeKnown = current.storedSize != u"*"_s && !current.storedSize.isEmpty();
    if ((dateKnown && !current.sizePriority) || !sizeKnown) {
        count("DISPMOD");
        if (m_settings.reportsEnabled)
            addReportLine(current.url + QString::fromLatin1(dateKnown ? kReportChangedDate : kReportNew));
    } else {
        bool whole = false;
        current.storedSize.toLongLong(&whole, 10);
        const qint64 low = whole ? oldSize - current.sizeThreshold : 0;
        const qint64 high = whole ? oldSize + current.sizeThreshold : 0;
        if (newSize > high || newSize < low) {
            count("DISPMOD");
            if (m_settings.reportsEnabled)
                addReportLine(current.url + QString::fromLatin1(kReportChangedSize));
        } else {
            count("DISPNCHG");
            if (m_settings.reportsEnabled && m_settings.reportUnchanged)
                addReportLine(current.url + QString::fromLatin1(kReportUnchangedSize));
            QFile::remove(m_pageFile);
            return;
        }
    }
    if (m_stopRequest)
        return;

    // Accepted as new or changed.
    showStatus(u"Processing "_s + current.url);
    webBoxLines = {listName,
                   current.description,
                   current.url,
                   datetime::fullText(now),
                   link::inboxLastModified(transfer.newLastModified),
                   QString::number(newSize),
                   m_pageFile,
                   current.keepOne ? u"TRUE"_s : u"FALSE"_s};
    if (current.keepOne) {
        if (m_stopRequest)
            return;
        later([this] { m_engine.keeponlylatest(*this); });
    }

    if (current.highlighting || current.keywording) {
        HighlightJob job;
        job.pageFile = m_pageFile;
        job.storedCopy = folder + urlKey(current.url) + u".tmp"_s;
        job.url = current.url;
        if (current.highlighting) {
            if (QFile::exists(job.storedCopy)) {
                job.highlighting = true;
                job.highlightColour = colortohtml(current.highlightColor).value_or(QByteArray("#FFFF00"));
            } else {
                // The first retrieval of a highlighted page marks nothing.
                writelines(job.storedCopy, m_pageLines);
            }
        }
        if (current.keywording) {
            job.keywording = true;
            job.keywordColour = colortohtml(current.keywordColor).value_or(QByteArray("#FF0000"));
            job.keywords = current.keywords;
            job.wordChecked = current.wordChecked;
            job.caseSensitive = current.caseSensitive;
        }
        job.stopRequest = &m_stopRequest;
        job.log = [this](const QString &text) { logMessage(text); };
        job.status = [this](const QString &text) {
            showStatus(text);
            flush(); // progress is worth showing while the work goes on
        };
        if ((job.highlighting || job.keywording) && m_engine.highlighter() && !m_stopRequest) {
            flush();
            m_engine.highlighter()(job);
        }
    }

    if (webBoxLines.size() >= 7) {
        appendWebBox(
            paths::webBoxFile(m_settings.dataDirectory, listName), listName,
            {webBoxLines[1], webBoxLines[2], webBoxLines[4], webBoxLines[5], webBoxLines[6], webBoxLines[3], false});
    }
    later([this] {
        // Each step is skipped once the stop request is set.
        for (auto step : {&RunEngine::updatelistentry, &RunEngine::sendeditupdate, &RunEngine::savelist,
                          &RunEngine::sendinboxupdate}) {
            if (m_stopRequest)
                return;
            (m_engine.*step)(*this);
        }
    });
    m_pageFile.clear();
}

} // namespace pw::server
