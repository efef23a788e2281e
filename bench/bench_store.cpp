// Throughput and memory figures of the store's readers.
//
// Each reader runs on generated input of one size and of four times that size in the
// same invocation; the ratio of the two times tells whether it stays linear (about 4).
// Nothing here compares against a fixed time: the figures are printed, and the program
// fails only when a reader gives a wrong result, which would make its timing meaningless.

#include "store/actionlog.h"
#include "store/datetimetext.h"
#include "store/fileio.h"
#include "store/passwordcipher.h"
#include "store/textlines.h"
#include "store/urllist.h"
#include "store/webbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Results are folded in here so that the optimiser cannot drop the work being timed.
volatile qsizetype g_sink = 0;

// Best of several runs: the least disturbed run is the closest to the code's own cost.
// At least three runs, and more until a quarter of a second has been spent.
qint64 bestNs(const std::function<qsizetype()> &work)
{
    qint64 best = std::numeric_limits<qint64>::max();
    qint64 spent = 0;
    for (int run = 0; run < 3 || (spent < 250'000'000 && run < 1000); ++run) {
        QElapsedTimer timer;
        timer.start();
        g_sink = g_sink + work();
        const qint64 ns = timer.nsecsElapsed();
        best = std::min(best, ns);
        spent += ns;
    }
    return std::max<qint64>(best, 1);
}

bool g_failed = false;

void expect(bool ok, const char *what)
{
    if (!ok) {
        std::printf("  WRONG RESULT: %s\n", what);
        g_failed = true;
    }
}

struct Case
{
    QByteArray small;
    QByteArray large; // four times the work of `small`
    std::function<qsizetype(QByteArrayView)> run;
};

void report(const char *name, const Case &c)
{
    const qint64 t1 = bestNs([&] { return c.run(c.small); });
    const qint64 t4 = bestNs([&] { return c.run(c.large); });
    const auto mbPerS = [](qsizetype bytes, qint64 ns) { return double(bytes) / 1e6 / (double(ns) / 1e9); };
    const double ratio = double(t4) / double(t1);
    std::printf("%-28s 1x %8.2f MB %9.3f ms %8.1f MB/s | 4x %8.2f MB %9.3f ms %8.1f MB/s | 4x/1x %5.2f\n", name,
                c.small.size() / 1e6, t1 / 1e6, mbPerS(c.small.size(), t1), c.large.size() / 1e6, t4 / 1e6,
                mbPerS(c.large.size(), t4), ratio);
}

// --- generated inputs -------------------------------------------------------------------

QList<pw::UrlEntry> urlEntries(int count)
{
    QList<pw::UrlEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        pw::UrlEntry e;
        e[pw::UrlEntry::Description] = u"Watched page number %1"_s.arg(i);
        e[pw::UrlEntry::Url] = u"http://server%1.example.com/section/page-%2.html"_s.arg(i % 37).arg(i);
        e[pw::UrlEntry::LastModified] = u"Sun, 07 Mar 1999 21:05:12 GMT"_s;
        e[pw::UrlEntry::Size] = QString::number(1000 + i * 7);
        e[pw::UrlEntry::Username] = i % 3 ? QString() : u"reader"_s;
        e[pw::UrlEntry::Password] = i % 3 ? QString() : pw::PasswordCipher::encipher(u"secret%1"_s.arg(i), i % 256);
        e[pw::UrlEntry::KeepOne] = i % 2 ? u"TRUE"_s : u"FALSE"_s;
        e[pw::UrlEntry::SizePriority] = u"FALSE"_s;
        e[pw::UrlEntry::Highlighting] = u"TRUE"_s;
        e[pw::UrlEntry::Delay] = u"60"_s;
        e[pw::UrlEntry::TimeOut] = u"30"_s;
        e[pw::UrlEntry::HighlightColor] = u"clYellow"_s;
        e[pw::UrlEntry::KeywordColor] = u"$000080FF"_s;
        e[pw::UrlEntry::Keywording] = u"TRUE"_s;
        e[pw::UrlEntry::KeywordsToHighlight] = u"price offer \"big deal\""_s;
        e[pw::UrlEntry::WordChecked] = u"TRUE"_s;
        e[pw::UrlEntry::CaseSensitive] = u"FALSE"_s;
        e[pw::UrlEntry::SizeThreshold] = u"500"_s;
        entries.append(e);
    }
    return entries;
}

QByteArray urlListText(int count)
{
    return pw::formatUrlList(u"Bench"_s, urlEntries(count));
}

QByteArray webBoxText(int count)
{
    const QDateTime start(QDate(1999, 3, 7), QTime(21, 5, 12));
    QByteArray out = pw::webBoxHeader(u"Bench"_s);
    for (int i = 0; i < count; ++i) {
        const QString url = u"http://server%1.example.com/section/page-%2.html"_s.arg(i % 37).arg(i);
        const QDateTime when = start.addSecs(qint64(i) * 61);
        out += pw::formatWebBoxRecord({u"Watched page number %1"_s.arg(i), url, u"Sun, 07 Mar 1999 21:05:12 GMT"_s,
                                       QString::number(1000 + i * 7),
                                       u"/home/user/.local/share/pagewarden/webdata/Bench/"_s + pw::pageName(url, when),
                                       pw::datetime::fullText(when), i % 2 == 0});
    }
    return out;
}

// A page of HTML-like lines, mostly CR LF, some bare LF (kept inside a line) and bare CR,
// and now and then a NUL that cuts its line.
QByteArray bodyText(qsizetype bytes)
{
    QRandomGenerator random(42);
    QByteArray out;
    out.reserve(bytes + 256);
    static const char *const words[] = {"<p>",   "the",  "price", "of",   "</p>",  "<a href=\"/x\">",
                                        "offer", "</a>", "today", "news", "&amp;", "page",
                                        "<td>",  "</td>"};
    while (out.size() < bytes) {
        const int wordsInLine = 4 + int(random.bounded(14));
        for (int w = 0; w < wordsInLine; ++w) {
            out += words[random.bounded(int(std::size(words)))];
            out += ' ';
        }
        const quint32 end = random.bounded(100);
        if (end < 80)
            out += "\r\n";
        else if (end < 90)
            out += '\n';
        else if (end < 99)
            out += '\r';
        else
            out += QByteArray("\0tail\r\n", 7);
    }
    out.truncate(bytes);
    return out;
}

QByteArray logText(int lines)
{
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0));
    QByteArray out;
    for (int i = 0; i < lines; ++i) {
        const pw::LogEntry entry{pw::datetime::fullText(start.addSecs(qint64(i) * 37)),
                                 i % 10 ? u"Retrieval of \"News %1\" completed: 3 new, 1 changed"_s.arg(i % 50)
                                        : u"ERROR (not found) loading \"Prices\""_s};
        out += pw::formatLogLine(entry).toUtf8() + "\r\n";
    }
    return out;
}

// --- memory ---------------------------------------------------------------------------

// A field of /proc/self/status in kB, or -1.
qint64 statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Writing "5" to clear_refs restarts the peak RSS count, so the figure after a step is that
// step's own peak rather than the program's so far.
bool resetPeakRss()
{
    QFile refs(u"/proc/self/clear_refs"_s);
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

const char *statusName(pw::UrlListRead::Status status)
{
    switch (status) {
    case pw::UrlListRead::Ok:
        return "Ok";
    case pw::UrlListRead::Missing:
        return "Missing";
    case pw::UrlListRead::DeadRecord:
        return "DeadRecord";
    case pw::UrlListRead::TooLarge:
        return "TooLarge";
    case pw::UrlListRead::Failed:
        return "Failed";
    }
    return "?";
}

void readThroughUrlList(const QString &path, const char *what)
{
    const bool reset = resetPeakRss();
    const qint64 rssBefore = statusKb("VmRSS");
    const qint64 peakBefore = statusKb("VmHWM");
    const qint64 virtualBefore = statusKb("VmPeak");
    const pw::UrlListRead read = pw::readUrlList(path, pw::ReaderSide::Client);
    const qint64 peakAfter = statusKb("VmHWM");
    const qint64 virtualAfter = statusKb("VmPeak");
    std::printf("%s: readUrlList gave %s, %lld entries%s%s\n", what, statusName(read.status),
                static_cast<long long>(read.entries.size()),
                read.error.isEmpty() ? "" : ", error: ", qPrintable(read.error));
    std::printf("  peak RSS (VmHWM) %lld kB before, %lld kB after (+%lld kB; RSS before %lld kB)%s\n",
                static_cast<long long>(peakBefore), static_cast<long long>(peakAfter),
                static_cast<long long>(peakAfter - peakBefore), static_cast<long long>(rssBefore),
                reset ? "" : " [peak could not be reset: the figure includes earlier steps]");
    // Address space reserved but never touched costs no RSS; shown apart so it is seen.
    std::printf("  peak virtual size (VmPeak) %lld kB before, %lld kB after (+%lld kB)\n",
                static_cast<long long>(virtualBefore), static_cast<long long>(virtualAfter),
                static_cast<long long>(virtualAfter - virtualBefore));
    g_sink = g_sink + read.entries.size();
}

bool memoryFigures()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("cannot create a temporary folder: %s\n", qPrintable(dir.errorString()));
        return false;
    }

    // 100 MB of random bytes, written a megabyte at a time so this program never holds it.
    const QString junkPath = dir.filePath(u"junk.lst"_s);
    {
        QFile junk(junkPath);
        if (!junk.open(QIODevice::WriteOnly)) {
            std::printf("cannot write %s\n", qPrintable(junkPath));
            return false;
        }
        QRandomGenerator random(7);
        QByteArray chunk(1024 * 1024, Qt::Uninitialized);
        for (int mb = 0; mb < 100; ++mb) {
            random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
            if (junk.write(chunk) != chunk.size()) {
                std::printf("cannot write %s\n", qPrintable(junkPath));
                return false;
            }
        }
    }
    readThroughUrlList(junkPath, "100 MB junk file");
    const pw::UrlListRead junkRead = pw::readUrlList(junkPath, pw::ReaderSide::Client);
    expect(junkRead.status == pw::UrlListRead::TooLarge && junkRead.entries.isEmpty(),
           "a file over the size limit must be refused");

    // For scale: a real list of 4,000 entries read the same way.
    const QString listPath = dir.filePath(u"list.lst"_s);
    QFile list(listPath);
    if (!list.open(QIODevice::WriteOnly) || list.write(urlListText(4000)) < 0) {
        std::printf("cannot write %s\n", qPrintable(listPath));
        return false;
    }
    list.close();
    readThroughUrlList(listPath, "4,000-entry URL List file");
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    std::printf("== memory\n");
    if (!memoryFigures())
        return 1;

    std::printf("\n== throughput (best of several runs; 4x/1x is about 4 when linear)\n");

    const QByteArray urls1 = urlListText(1000);
    const QByteArray urls4 = urlListText(4000);
    expect(pw::parseUrlList(urls1, pw::ReaderSide::Server).entries.size() == 1000, "URL List 1,000 entries");
    expect(pw::parseUrlList(urls4, pw::ReaderSide::Server).entries.size() == 4000, "URL List 4,000 entries");
    report("parseUrlList 1000/4000", {urls1, urls4, [](QByteArrayView text) {
                                          return pw::parseUrlList(text, pw::ReaderSide::Server).entries.size();
                                      }});

    const QByteArray boxes1 = webBoxText(1000);
    const QByteArray boxes4 = webBoxText(4000);
    expect(pw::parseWebBox(boxes1, pw::ReaderSide::Client).entries.size() == 1000, "WebBox 1,000 records");
    expect(pw::parseWebBox(boxes4, pw::ReaderSide::Client).entries.size() == 4000, "WebBox 4,000 records");
    report("parseWebBox 1000/4000", {boxes1, boxes4, [](QByteArrayView text) {
                                         return pw::parseWebBox(text, pw::ReaderSide::Client).entries.size();
                                     }});

    const QByteArray body1 = bodyText(1024 * 1024);
    const QByteArray body4 = bodyText(4 * 1024 * 1024);
    expect(pw::splitBodyLines(body1).size() > 10000, "body of 1 MB split into lines");
    report("splitBodyLines 1MB/4MB",
           {body1, body4, [](QByteArrayView text) { return pw::splitBodyLines(text).size(); }});

    const QByteArray log1 = logText(10000);
    const QByteArray log4 = logText(40000);
    expect(pw::parseLog(log1).entries.size() == 10000, "log of 10,000 lines");
    expect(pw::parseLog(log4).entries.size() == 40000, "log of 40,000 lines");
    report("parseLog 10k/40k lines",
           {log1, log4, [](QByteArrayView text) { return pw::parseLog(text).entries.size(); }});

    std::printf("\npeak RSS of the whole run (VmHWM since the last reset): %lld kB\n",
                static_cast<long long>(statusKb("VmHWM")));
    if (g_failed) {
        std::printf("some reader gave a wrong result: the figures above do not count\n");
        return 1;
    }
    return 0;
}
