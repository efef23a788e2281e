// Link extraction on generated pages of 500 KB and of 5 MB in the same invocation. The
// ratio of the two times tells whether the scan stays linear: ten times the page should
// take about ten times as long, and no more than twelve. Two further pages are built to
// hurt a scan that searches the rest of the page again on every pass: a keyword whose
// attribute lies far ahead, and a keyword that occurs only at the very end.
//
// Everything runs twice. First with the allocator as it comes: glibc hands the large
// page's buffers (tens of MB) back to the kernel after each run, so every run of the large
// page pays one page fault per 4 KB again, while the small page's buffers are reused
// without any; in a virtual machine a fault can cost microseconds, which shows in that
// ratio. Then with freed memory kept in the process, so that both sizes run in the same
// state and the ratio is the scan's own. The page faults per run are printed with each
// figure.
//
// Nothing here compares against a fixed time. The program fails only when a page gives a
// wrong number of addresses, which would make its timing meaningless.

#include "client/core/pageparsing.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

volatile qsizetype g_sink = 0;
bool g_failed = false;

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

struct Timing
{
    qint64 bestNs = std::numeric_limits<qint64>::max();
    double faultsPerRun = 0;
};

// Best of the same number of runs for every size, after one run that is not counted.
Timing measure(const std::function<qsizetype()> &work)
{
    constexpr int kRuns = 15;
    g_sink = g_sink + work();
    Timing timing;
    const long faultsBefore = minorFaults();
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        g_sink = g_sink + work();
        timing.bestNs = std::min(timing.bestNs, std::max<qint64>(timer.nsecsElapsed(), 1));
    }
    timing.faultsPerRun = double(minorFaults() - faultsBefore) / kRuns;
    return timing;
}

qsizetype textSize(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    return size;
}

struct Page
{
    QStringList lines;
    qsizetype expected = 0; // addresses it must give
};

// An ordinary page: text, entities, comments, and per block six addresses that are listed
// (a page, a directory, a climb, an https site, a frame, an option) and five that are not
// (image, fragment, query, mail, comment-hidden).
Page ordinaryPage(qsizetype bytes)
{
    Page page;
    page.lines += u"<html><head><title>Generated</title></head><body>"_s;
    for (int i = 0; textSize(page.lines) < bytes; ++i) {
        const QString n = QString::number(i);
        page.lines += QStringList{
            u"<!-- block "_s + n + u" -->"_s,
            u"<p>Some text about item "_s + n + u", with &amp; and &quot;quotes&quot; &nbsp; and &copy; signs,"_s,
            u"\tand a second line that wraps the paragraph before the links begin.</p>"_s,
            u"<a href=\"page"_s + n + u".htm\">Page</a> <a href='/dir"_s + n + u"/' title='d'>Dir</a>"_s,
            u"<A HREF=\"../up"_s + n + u".asp\" class=\"nav\">Up</a> <a href=\"pic"_s + n
                + u".gif\"><img src=\"pic.gif\" alt=\"p\"></a>"_s,
            u"<a href=\"#sec"_s + n + u"\">Section</a> <a href=\"list.asp?p="_s + n + u"&amp;s=2\">Query</a>"_s,
            u"<a href=\"mailto:user"_s + n + u"@example.com\">Mail</a> <a href=\"https://ext"_s + n
                + u".example.org/\">Ext</a>"_s,
            u"<frame name=\"f\" src=\"frame"_s + n + u".htm\"> <select><option value=\"opt"_s + n
                + u".html\">Option</option></select>"_s,
        };
        page.expected += 6;
    }
    page.lines += u"</body></html>"_s;
    return page;
}

// Frames without a "src" before their ">", and one far ahead at the end.
Page distantAttributePage(qsizetype bytes)
{
    Page page;
    QString line;
    while (textSize(page.lines) < bytes) {
        line += u"<frame name=x> "_s;
        if (line.size() > 100) {
            page.lines += line;
            line.clear();
        }
    }
    page.lines += line + u"<frame src=\"last.htm\">"_s;
    page.expected = 1;
    return page;
}

// Many links, and the only "param " at the very end.
Page lateKeywordPage(qsizetype bytes)
{
    Page page;
    for (int i = 0; textSize(page.lines) < bytes; ++i)
        page.lines += u"<a href=\"p"_s + QString::number(i) + u".htm\">link</a> text text text"_s;
    page.expected = page.lines.size();
    page.lines += u"<param name=\"movie\" value=\"end.htm\">"_s;
    ++page.expected;
    return page;
}

qsizetype parse(const Page &page, bool frameMode)
{
    QStringList result;
    pw::client::PageParsing(page.lines, result, frameMode, u"http://www.example.com/a/b/index.htm"_s);
    return result.size();
}

struct Case
{
    const char *name;
    std::function<Page(qsizetype)> make;
    bool frameMode;
    bool checkCount;
};

void report(const Case &c)
{
    constexpr qsizetype kSmall = 500 * 1000;
    constexpr qsizetype kLarge = 5 * 1000 * 1000;
    const Page small = c.make(kSmall);
    const Page large = c.make(kLarge);
    for (const Page *page : {&small, &large}) {
        const qsizetype found = parse(*page, c.frameMode);
        if (c.checkCount && found != page->expected) {
            std::printf("  WRONG RESULT: %s gave %lld addresses, not %lld\n", c.name, qlonglong(found),
                        qlonglong(page->expected));
            g_failed = true;
        }
    }
    const Timing t1 = measure([&] { return parse(small, c.frameMode); });
    const Timing t10 = measure([&] { return parse(large, c.frameMode); });
    const auto mbPerS = [](qsizetype chars, qint64 ns) { return double(chars) / 1e6 / (double(ns) / 1e9); };
    const double ratio = double(t10.bestNs) / double(t1.bestNs);
    std::printf(
        "%-27s %5.2f M %8.3f ms %6.1f M/s %6.0f pf | %5.2f M %8.3f ms %6.1f M/s %6.0f pf | ratio %5.2f (goal <= 12: "
        "%s)\n",
        c.name, textSize(small.lines) / 1e6, t1.bestNs / 1e6, mbPerS(textSize(small.lines), t1.bestNs), t1.faultsPerRun,
        textSize(large.lines) / 1e6, t10.bestNs / 1e6, mbPerS(textSize(large.lines), t10.bestNs), t10.faultsPerRun,
        ratio, ratio <= 12.0 ? "met" : "NOT MET");
}

} // namespace

int main()
{
    const Case cases[] = {
        {"link mode, ordinary page", ordinaryPage, false, true},
        {"frame mode, ordinary page", ordinaryPage, true, false},
        {"link mode, distant src", distantAttributePage, false, true},
        {"link mode, late keyword", lateKeywordPage, false, true},
    };
    std::printf("PageParsing, best of 15 runs; sizes in millions of characters of page text, pf = page faults per "
                "run\n\n");
    std::printf("Allocator as it comes (the large page's buffers go back to the kernel after each run):\n");
    for (const Case &c : cases)
        report(c);

    // Freed memory stays in the process: no trimming of the heap, no separate mappings for
    // large blocks (glibc allows up to 32 MB for that threshold).
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    std::printf("\nFreed memory kept in the process (both sizes in the same state: the scan's own cost):\n");
    for (const Case &c : cases)
        report(c);
    return g_failed ? 1 : 0;
}
