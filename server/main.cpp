// The retrieval server. Its main window and tray icon are not built yet: for now it runs
// without them, serves the link and retrieves on request, and ends on SIGTERM or SIGINT
// the way closing it will (a run is aborted, pending list values are written).
#include "server/engine/servercore.h"
#include "store/paths.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    // Without a display the server still runs, as a user service does.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("wardserv"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Pagewarden Server"));

    pw::server::ServerCore core;
    core.start(pw::paths::linkPort());

    // Signals arrive on a pipe, so the shutdown runs on the event loop, not in a handler.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[1], &byte, 1);
        notifier.setEnabled(false);
        core.engine().shutdown();
        QGuiApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    QTextStream(stdout) << "wardserv: serving on 127.0.0.1:" << core.link().port() << ", data in "
                        << pw::paths::dataHome() << Qt::endl;
    return QGuiApplication::exec();
}
