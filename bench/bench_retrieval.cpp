// A retrieval run over 1000 pages of about 20 KB served by nginx on loopback, with ten
// slots: first every page is new, then every page is unchanged. The same URLs fetched by
// curl with ten parallel transfers, in the same invocation, are the reference.
#include "support/nginxserver.h"
#include "support/urlentries.h"

#include "server/engine/clientlink.h"
#include "server/engine/runengine.h"
#include "store/dialup.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/urllist.h"
#include "store/webbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPages = 1000;
constexpr int kPageBytes = 20 * 1024;

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long peakRssKb()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QByteArray pageBody(int n)
{
    QByteArray body = "<html><head><title>Page " + QByteArray::number(n) + "</title></head><body>\n";
    int paragraph = 0;
    while (body.size() < kPageBytes - 100) {
        body += "<p>Paragraph " + QByteArray::number(paragraph++) + " of page " + QByteArray::number(n)
                + ": the quick brown fox jumps over the lazy dog, again and again.</p>\n";
    }
    return body + "</body></html>\n";
}

struct Figures
{
    double wall = 0;
    double cpu = 0;
};

void print(QTextStream &out, const char *what, const Figures &f)
{
    out << QString::fromLatin1(what).leftJustified(34)
        << u"%1 pages/s  wall %2 s  cpu %3 s"_s.arg(kPages / f.wall, 0, 'f', 0)
               .arg(f.wall, 0, 'f', 3)
               .arg(f.cpu, 0, 'f', 3)
        << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);

    const QString curl = QStandardPaths::findExecutable(u"curl"_s);
    if (curl.isEmpty()) {
        out << "bench_retrieval: curl is needed (scripts/install-deps.sh installs it)" << Qt::endl;
        return 1;
    }

    QTemporaryDir temp;
    pwtest::NginxServer server;
    if (!server.isRunning()) {
        out << "bench_retrieval: nginx did not start" << Qt::endl;
        return 1;
    }
    for (int i = 0; i < kPages; ++i)
        server.put(u"p%1.html"_s.arg(i), pageBody(i));
    const QString base = server.url(u"p"_s);

    // curl, ten transfers at a time, bodies thrown away.
    const QString curlConfig = temp.path() + u"/curl.cfg"_s;
    {
        QFile file(curlConfig);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < kPages; ++i)
            file.write("url = \"" + (base + QString::number(i)).toUtf8() + ".html\"\noutput = \"/dev/null\"\n");
    }
    Figures curlFigures;
    {
        const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer timer;
        timer.start();
        QProcess run;
        run.start(curl, {u"--parallel"_s, u"--parallel-max"_s, u"10"_s, u"-s"_s, u"-K"_s, curlConfig});
        run.waitForFinished(-1);
        curlFigures.wall = timer.elapsed() / 1000.0;
        curlFigures.cpu = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
        if (run.exitCode() != 0)
            out << "curl exited with " << run.exitCode() << Qt::endl;
    }

    // The engine, in a data home of its own.
    qputenv("PAGEWARDEN_HOME", QFile::encodeName(temp.path() + u"/home"_s));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(temp.path() + u"/config"_s));
    auto store = pw::paths::openSettings();
    pw::Settings settings = pw::settings::load(*store, pw::EmptyPhoneBook());
    settings.numthreads = 10;
    QList<pw::UrlEntry> entries;
    for (int i = 0; i < kPages; ++i) {
        entries.append(pwtest::urlEntry(base + QString::number(i) + u".html"_s, u"Page %1"_s.arg(i)));
    }
    pw::writeUrlList(settings.datadir, u"Bench"_s, entries);

    pw::server::NoClientLink link;
    pw::server::RunEngine engine(link);
    engine.setSettings(settings);
    engine.setKnownLists({u"Bench"_s});
    auto runOnce = [&] {
        QSignalSpy finished(&engine, &pw::server::RunEngine::runFinished);
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer timer;
        timer.start();
        engine.queuelist(u"Bench"_s);
        finished.wait(600000);
        return Figures{timer.elapsed() / 1000.0, cpuSeconds(RUSAGE_SELF) - cpuBefore};
    };
    const Figures allNew = runOnce();
    const pw::server::Counters newCounts = engine.counters();
    const Figures unchanged = runOnce();
    const pw::server::Counters sameCounts = engine.counters();

    out << "Retrieval of " << kPages << " pages of about " << kPageBytes / 1024 << " KB from nginx on loopback"
        << Qt::endl;
    print(out, "curl --parallel --parallel-max 10", curlFigures);
    print(out, "engine, 10 slots, all new", allNew);
    print(out, "engine, 10 slots, all unchanged", unchanged);
    out << "  all new:       completed " << newCounts.completed << ", new/modified " << newCounts.modified
        << ", errors " << newCounts.errors << Qt::endl;
    out << "  all unchanged: completed " << sameCounts.completed << ", unchanged " << sameCounts.unchanged
        << ", errors " << sameCounts.errors << Qt::endl;
    out << u"  wall time / curl's: all new %1 (goal at most 3), all unchanged %2 (goal at most 1.5)"_s
               .arg(allNew.wall / curlFigures.wall, 0, 'f', 2)
               .arg(unchanged.wall / curlFigures.wall, 0, 'f', 2)
        << Qt::endl;
    out << "  peak memory of the engine process: " << peakRssKb() / 1024 << " MB (goal under 100 MB)" << Qt::endl;
    const bool counted = newCounts.modified == kPages && sameCounts.unchanged == kPages;
    return counted ? 0 : 1;
}
