// Change and keyword highlighting on page pairs of 100 KB, 1 MB and 10 MB, with 1% of the
// blocks changed and 50 keywords, against GNU diff on the same pair in the same run.
//
// Both passes run as the retrieval thread runs them, from files to files (highlightpage),
// and once more on texts in memory, to show what the file work costs. Figures printed:
// best time of several runs, and the peak memory a pass adds to what was in use before
// it. Timings are compared as ratios only: 10 MB
// against 1 MB (near-linear: at most 12), and each pass against diff on 1 MB. The program
// fails only when a pass gives a wrong result.

#include "server/engine/highlightchanges.h"
#include "server/engine/highlightjoin.h"
#include "server/engine/highlightkeywords.h"
#include "server/engine/highlightmarkup.h"
#include "server/engine/highlightpage.h"

#include "store/fileio.h"
#include "store/textlines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;
using namespace pw::server;

namespace {

volatile qsizetype g_sink = 0;
bool g_failed = false;

void expect(bool ok, const char *what)
{
    if (!ok) {
        std::printf("  WRONG RESULT: %s\n", what);
        g_failed = true;
    }
}

// --- generated pages --------------------------------------------------------------------

struct PagePair
{
    QList<QByteArray> oldLines;
    QList<QByteArray> newLines;
    int blocks = 0;
    int changedBlocks = 0;
};

class PageMaker
{
public:
    PageMaker()
        : m_random(19990307)
    {
        for (int i = 0; i < 2000; ++i) {
            QByteArray word;
            const int length = 3 + int(m_random.bounded(7));
            for (int k = 0; k < length; ++k)
                word += char('a' + m_random.bounded(26));
            m_words.append(word);
        }
    }

    const QList<QByteArray> &words() const { return m_words; }

    // Pages of about `bytes` bytes made of paragraphs, list items, headings, comments and
    // preformatted code; one block in a hundred differs in the new page by one word.
    PagePair pair(qsizetype bytes)
    {
        PagePair pair;
        pair.oldLines = {"<html><head><title>Generated page</title></head>", "<body>"};
        pair.newLines = pair.oldLines;
        qsizetype size = 0;
        while (size < bytes) {
            const QList<QByteArray> block = makeBlock(pair.blocks);
            QList<QByteArray> changed = block;
            if (m_random.bounded(100) == 0) {
                QByteArray &line = changed[changed.size() / 2];
                line.replace(line.size() / 2, 1, "Q");
                ++pair.changedBlocks;
            }
            pair.oldLines += block;
            pair.newLines += changed;
            for (const QByteArray &line : block)
                size += line.size() + 2;
            ++pair.blocks;
        }
        pair.oldLines += QList<QByteArray>{"</body>", "</html>"};
        pair.newLines += QList<QByteArray>{"</body>", "</html>"};
        return pair;
    }

private:
    // Frequent words come first: an index drawn as the square of a uniform number.
    QByteArray word()
    {
        const double u = m_random.generateDouble();
        return m_words[qsizetype(u * u * double(m_words.size()))];
    }

    QByteArray sentence(int words)
    {
        QByteArray text;
        for (int i = 0; i < words; ++i) {
            if (i)
                text += ' ';
            text += word();
            if (i % 7 == 6)
                text += ',';
        }
        return text + '.';
    }

    QList<QByteArray> makeBlock(int index)
    {
        switch (m_random.bounded(10)) {
        case 0:
            return {"<h2>" + QByteArray::number(index) + ' ' + sentence(4) + "</h2>"};
        case 1:
        case 2:
            return {"<li>" + sentence(8) + " <a href=\"/item/" + QByteArray::number(index) + ".html\">" + word()
                    + "</a>"};
        case 3:
            return {"<!-- block " + QByteArray::number(index) + ' ' + word() + " -->",
                    "<div class=\"note\">" + sentence(10) + "</div>"};
        case 4:
            return {"<pre>", "int " + word() + " = " + QByteArray::number(index) + ";", "call(" + word() + ");",
                    "</pre>"};
        default:
            return {"<p>" + QByteArray::number(index) + ' ' + sentence(12),
                    sentence(10) + " <b>" + word() + "</b> " + sentence(6) + "&nbsp;" + word() + "</p>"};
        }
    }

    QRandomGenerator m_random;
    QList<QByteArray> m_words;
};

// --- measuring --------------------------------------------------------------------------

// Best of several runs: at least five, more until a second has been spent. `prepare`
// runs before each run and is not counted.
qint64 bestNs(const std::function<void()> &prepare, const std::function<void()> &work)
{
    // One run first that is not counted: the server highlights page after page, so the
    // allocator has its memory at hand, while a first run pays for fresh pages.
    prepare();
    work();
    qint64 best = std::numeric_limits<qint64>::max();
    qint64 spent = 0;
    for (int run = 0; run < 5 || (spent < 1'000'000'000 && run < 200); ++run) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        const qint64 ns = timer.nsecsElapsed();
        best = std::min(best, ns);
        spent += ns;
    }
    return std::max<qint64>(best, 1);
}

qint64 statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Peak resident memory a piece of work adds to what was in use before it, in KB.
qint64 peakExtraKb(const std::function<void()> &work)
{
    // Freed memory the allocator still holds would hide what the work allocates anew.
    malloc_trim(0);
    QFile clear(u"/proc/self/clear_refs"_s);
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = statusKb("VmRSS:");
    work();
    const qint64 peak = statusKb("VmHWM:");
    return reset && before >= 0 && peak >= 0 ? std::max<qint64>(peak - before, 0) : -1;
}

// Runs a program with its output thrown away and gives its time, or nothing when it could
// not run. Spawned without copying this process's page tables, so a big benchmark does not
// slow its reference down.
std::optional<qint64> runProgram(const QByteArray &program, const QList<QByteArray> &arguments, int *exitCode)
{
    QList<QByteArray> all{program};
    all += arguments;
    std::vector<char *> argv;
    for (QByteArray &a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return std::nullopt;
    const qint64 ns = timer.nsecsElapsed();
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ns;
}

struct Figures
{
    qint64 diffNs = 0;
    qint64 changeNs = 0, changeKb = 0;
    qint64 keywordNs = 0, keywordKb = 0;
    qint64 changeMemNs = 0, keywordMemNs = 0;
};

QString keywordText(const PageMaker &maker)
{
    // 50 keywords of every frequency, from words on nearly every line to words that never
    // occur.
    QStringList keywords;
    const QList<QByteArray> &words = maker.words();
    for (int i = 0; i < 45; ++i)
        keywords.append(QString::fromLatin1(words[qsizetype(i) * i * words.size() / (45 * 45)]));
    for (int i = 0; i < 5; ++i)
        keywords.append(u"absent%1"_s.arg(i));
    return keywords.join(u' ');
}

Figures measure(const char *label, const PagePair &pair, const QString &keywords, const QString &diffProgram)
{
    Figures f;
    QTemporaryDir dir;
    const QString oldPath = dir.filePath(u"old.html"_s);
    const QString newPath = dir.filePath(u"new.html"_s);
    expect(pw::writelines(oldPath, pair.oldLines) && pw::writelines(newPath, pair.newLines), "writing the pages");

    HighlightJob job;
    job.pageFile = dir.filePath(u"page.htm"_s);
    job.storedCopy = dir.filePath(u"key.tmp"_s);
    job.url = u"http://example.com/bench"_s;
    job.highlightColour = "#FFFF00";
    job.keywordColour = "#FF0000";
    job.keywords = keywords;
    job.wordChecked = true;
    job.caseSensitive = false;
    // The stored copy as a previous change pass left it: the old page joined on one line.
    const QByteArray storedCopy = pw::joinCrLf({joinPageLines(pair.oldLines)});
    const QByteArray page = pw::joinCrLf(pair.newLines);
    const auto resetFiles = [&] {
        QFile::remove(job.storedCopy);
        QFile::remove(job.pageFile);
        expect(pw::writeFileAtomic(job.storedCopy, storedCopy, nullptr, pw::Durability::Unsynced)
                   && pw::writeFileAtomic(job.pageFile, page, nullptr, pw::Durability::Unsynced),
               "resetting the files");
    };

    // Change pass alone, from files to files.
    job.highlighting = true;
    job.keywording = false;
    f.changeNs = bestNs(resetFiles, [&] { highlightpage(job); });
    resetFiles();
    f.changeKb = peakExtraKb([&] { highlightpage(job); });
    const QByteArray framed = pw::readlines(job.pageFile).value(0);
    const qsizetype frames = framed.count(frameStart(job.highlightColour));
    expect(frames > 0 && frames <= pair.changedBlocks + 1, "the change pass framing the changed blocks");
    expect(framed.count(kFrameEnd) == frames, "every frame closed");

    // Keyword pass alone, on the framed page.
    const QByteArray framedFile = pw::joinCrLf({framed});
    const auto resetPage = [&] {
        expect(pw::writeFileAtomic(job.pageFile, framedFile, nullptr, pw::Durability::Unsynced), "resetting the page");
    };
    job.highlighting = false;
    job.keywording = true;
    f.keywordNs = bestNs(resetPage, [&] { highlightpage(job); });
    resetPage();
    f.keywordKb = peakExtraKb([&] { highlightpage(job); });
    const QByteArray marked = pw::readlines(job.pageFile).value(0);
    const qsizetype marks = marked.count(keywordStart(job.keywordColour));
    expect(marks > 0 && marked.count(kKeywordEnd) == marks, "the keyword pass marking keywords");

    // The same two passes on texts in memory.
    const QByteArray oldText = pw::server::joinLines({joinPageLines(pair.oldLines)});
    const QByteArray newText = joinPageLines(pair.newLines);
    f.changeMemNs = bestNs([] {},
                           [&] {
                               const QByteArray flags =
                                   markchanges(splitblocks(oldText, false), splitblocks(newText, true));
                               g_sink = g_sink + wrapchanges(newText, flags, job.highlightColour).size();
                           });
    const QList<QByteArray> list = keywordlist(keywordBytes(keywords, framed));
    expect(list.size() == 50, "fifty keywords");
    f.keywordMemNs =
        bestNs([] {}, [&] { g_sink = g_sink + markkeywords(framed, list, true, false, job.keywordColour).size(); });

    if (!diffProgram.isEmpty()) {
        const QByteArray program = QFile::encodeName(diffProgram);
        const QList<QByteArray> args{QFile::encodeName(oldPath), QFile::encodeName(newPath)};
        f.diffNs = bestNs([] {},
                          [&] {
                              int exitCode = -1;
                              expect(runProgram(program, args, &exitCode).has_value() && exitCode == 1,
                                     "diff finding the differences");
                          });
    }
    const auto ms = [](qint64 ns) { return double(ns) / 1e6; };
    const auto mb = [](qint64 kb) { return kb < 0 ? -1.0 : double(kb) / 1024.0; };
    std::printf("%-6s %9.2f MB %6d blocks %4d changed %5lld frames %7lld keywords marked\n", label,
                double(page.size()) / 1e6, pair.blocks, pair.changedBlocks, static_cast<long long>(frames),
                static_cast<long long>(marks));
    std::printf("         diff          %9.2f ms\n", ms(f.diffNs));
    std::printf("         change pass   %9.2f ms  peak +%6.1f MB   (in memory %8.2f ms)\n", ms(f.changeNs),
                mb(f.changeKb), ms(f.changeMemNs));
    std::printf("         keyword pass  %9.2f ms  peak +%6.1f MB   (in memory %8.2f ms)\n", ms(f.keywordNs),
                mb(f.keywordKb), ms(f.keywordMemNs));
    return f;
}

void report(const Figures &one, const Figures &ten)
{
    const auto ratio = [](qint64 a, qint64 b) { return b > 0 ? double(a) / double(b) : 0.0; };
    std::printf("10 MB / 1 MB      change pass %5.2f, keyword pass %5.2f (goal: at most 12)\n",
                ratio(ten.changeNs, one.changeNs), ratio(ten.keywordNs, one.keywordNs));
    if (one.diffNs > 0) {
        std::printf("1 MB against diff change pass %5.2f (goal: at most 1), keyword pass %5.2f (goal: at most 3)\n",
                    ratio(one.changeNs, one.diffNs), ratio(one.keywordNs, one.diffNs));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString diffProgram = QStandardPaths::findExecutable(u"diff"_s);
    if (diffProgram.isEmpty())
        std::printf("GNU diff not found on PATH: no reference figures\n");

    PageMaker maker;
    const QString keywords = keywordText(maker);
    const PagePair pairs[] = {maker.pair(100'000), maker.pair(1'000'000), maker.pair(10'000'000)};
    const char *labels[] = {"100 KB", "1 MB", "10 MB"};

    // Twice: as the allocator comes, which hands big blocks back to the system when they
    // are freed, so that every pass pays again for touching fresh pages (costly on some
    // virtual machines); then with the allocator keeping freed memory, as a server that
    // highlights page after page can have it, which leaves the passes' own cost.
    for (const bool keepMemory : {false, true}) {
        if (keepMemory) {
            mallopt(M_MMAP_THRESHOLD, 256 << 20);
            mallopt(M_TRIM_THRESHOLD, 256 << 20);
        }
        std::printf("%sHighlighting, both passes from file to file, whole-word keywords ignoring case%s\n",
                    keepMemory ? "\n" : "", keepMemory ? ", the allocator keeping freed memory" : "");
        Figures figures[3];
        for (int i = 0; i < 3; ++i)
            figures[i] = measure(labels[i], pairs[i], keywords, diffProgram);
        report(figures[1], figures[2]);
    }
    return g_failed ? 1 : 0;
}
