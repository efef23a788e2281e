// wardserv: the retrieval server behind its tray icon. Without a display it runs with the
// offscreen platform and no tray, so it can run as a user service; SIGTERM ends it the
// way the close prompt's "Exit" does.
#include "server/app/mainwindow.h"
#include "server/app/prompt.h"
#include "server/app/singleinstance.h"
#include "server/engine/servercore.h"
#include "store/paths.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <exception>
#include <malloc.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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
    // A long-running server that highlights large pages over and over: keep freed memory for
    // the next page instead of giving it back and paying for fresh pages each time.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"wardserv"_s);
    QApplication::setApplicationDisplayName(u"Pagewarden Server"_s);
    QApplication::setQuitOnLastWindowClosed(false);

    pw::gui::SingleInstance instance(u"wardserv"_s);
    if (!instance.becomePrimary()) {
        // Another server runs for these settings: bring it forward and end.
        pw::gui::SingleInstance::sendRestore(u"wardserv"_s);
        return 0;
    }

    std::unique_ptr<pw::server::ServerCore> core;
    std::unique_ptr<pw::server::MainWindow> window;
    try {
        core = std::make_unique<pw::server::ServerCore>();
        pw::gui::Prompt::setLogger([&core](const QString &text) { core->engine().logLine(text); });
        window = std::make_unique<pw::server::MainWindow>(*core);
        core->start(pw::paths::linkPort());
        QObject::connect(&instance, &pw::gui::SingleInstance::restoreRequested, window.get(),
                         &pw::server::MainWindow::restore);
        window->present();
    } catch (const std::exception &) {
        pw::gui::Prompt::error(nullptr, u"Pagewarden Server may have difficulty starting due to a system error or low "
                                        "system resources. Please restart."_s);
        return 1;
    }

    // Signals arrive on a pipe, so the shutdown runs on the event loop, not in a handler.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[1], &byte, 1);
        notifier.setEnabled(false);
        window->shutdownAndQuit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    try {
        return QApplication::exec();
    } catch (const std::exception &) {
        pw::gui::Prompt::error(nullptr, u"There was an unrecoverable error during the operation of Pagewarden "
                                        "Server. Please restart."_s);
        return 1;
    }
}
