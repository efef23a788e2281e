// A WebBox window over files of 1,000 and 10,000 records: opening it (reading the file
// and filling the list) and each of the four sorts, best of several runs, in the same
// invocation. Ten times the records should cost about ten times as much, and no more
// than twelve. The longest single step is what a user waits for with the window frozen,
// so it is printed too.
//
// Nothing here compares against a fixed time. The program fails only when a window does
// not show all its records.

#include "client/app/mainwindow.h"
#include "client/app/webboxwindow.h"
#include "client/app/webboxwindows.h"
#include "store/datetimetext.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/webbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

bool g_failed = false;

QString listFor(int records)
{
    return u"Box%1"_s.arg(records);
}

// Records spread over a year, in no particular order, as a long-kept WebBox has them.
void writeBox(int records)
{
    const QString name = listFor(records);
    QDir().mkpath(pw::paths::dataDir() + name);
    QByteArray text = pw::webBoxHeader(name);
    const QDateTime start(QDate(2026, 1, 1), QTime(0, 0));
    for (int i = 0; i < records; ++i) {
        const int spread = (i * 7919) % records;
        const QDateTime when = start.addSecs(qint64(spread) * 3100);
        text += pw::formatWebBoxRecord({u"Page %1 of the watched site"_s.arg(spread),
                                        u"https://site%1.example/path/page%2.html"_s.arg(i % 97).arg(i),
                                        u"Mon, 05 Jan 2026 10:00:00 GMT"_s, QString::number(1000 + i),
                                        pw::paths::dataDir() + name + u"/page%1.htm"_s.arg(i),
                                        pw::datetime::fullText(when), i % 3 == 0});
    }
    pw::writeLocked(pw::paths::webBoxFile(pw::paths::dataDir(), name), text);
}

struct Figures
{
    qint64 open = std::numeric_limits<qint64>::max();
    qint64 sorts[4] = {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max(),
                       std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max()};
};

Figures measure(pw::client::MainWindow &window, int records)
{
    constexpr int kRuns = 5;
    Figures best;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const int slot = window.showwebbox(listFor(records));
        best.open = std::min(best.open, timer.nsecsElapsed());
        pw::client::Tinboxform *box = window.webBoxes().window(slot);
        if (!box || box->inbox()->topLevelItemCount() != records) {
            std::printf("  %d records: the window shows %d\n", records, box ? box->inbox()->topLevelItemCount() : -1);
            g_failed = true;
            return best;
        }
        const std::function<void()> sorts[4] = {[box] { box->docaptionsort(); }, [box] { box->dourlsort(); },
                                                [box] { box->dodatesort(); }, [box] { box->doreadsort(); }};
        for (int i = 0; i < 4; ++i) {
            timer.restart();
            sorts[i]();
            best.sorts[i] = std::min(best.sorts[i], timer.nsecsElapsed());
        }
        qobject_cast<QMdiSubWindow *>(box->parentWidget())->close();
        QCoreApplication::processEvents();
    }
    return best;
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("PAGEWARDEN_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + u"/config"_s));
    QApplication app(argc, argv);
    pw::paths::createDataDirectories();
    writeBox(1000);
    writeBox(10000);

    pw::client::MainWindow window;
    window.resize(900, 600);
    window.show();
    const Figures small = measure(window, 1000);
    const Figures large = measure(window, 10000);

    const char *names[5] = {"open", "sort by description", "sort by URL", "sort by date/time", "sort by read"};
    const qint64 smallFigures[5] = {small.open, small.sorts[0], small.sorts[1], small.sorts[2], small.sorts[3]};
    const qint64 largeFigures[5] = {large.open, large.sorts[0], large.sorts[1], large.sorts[2], large.sorts[3]};
    std::printf("  %-22s %12s %12s %8s\n", "step (best of 5)", "1,000", "10,000", "ratio");
    for (int i = 0; i < 5; ++i)
        std::printf("  %-22s %9.2f ms %9.2f ms %8.1f\n", names[i], ms(smallFigures[i]), ms(largeFigures[i]),
                    double(largeFigures[i]) / double(std::max<qint64>(smallFigures[i], 1)));
    const qint64 smallTotal = small.open + small.sorts[0] + small.sorts[1] + small.sorts[2] + small.sorts[3];
    const qint64 largeTotal = large.open + large.sorts[0] + large.sorts[1] + large.sorts[2] + large.sorts[3];
    std::printf("  %-22s %9.2f ms %9.2f ms %8.1f (goal: at most 12)\n", "open and all sorts", ms(smallTotal),
                ms(largeTotal), double(largeTotal) / double(std::max<qint64>(smallTotal, 1)));
    return g_failed ? 1 : 0;
}
