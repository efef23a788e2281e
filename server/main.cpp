// wardserv: the retrieval server behind its tray icon. Without a display it runs with the
// offscreen platform and no tray, so it can run as a user service; SIGTERM ends it the
// way the close prompt's "Exit" does.
#include "gui/prompt.h"
#include "gui/singleinstance.h"
#include "gui/terminationsignals.h"
#include "server/app/mainwindow.h"
#include "server/engine/servercore.h"
#include "store/paths.h"

#include <QApplication>

#include <exception>
#include <malloc.h>

using namespace Qt::StringLiterals;

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
        window->present(app.arguments().contains(u"--minimized"_s));
    } catch (const std::exception &) {
        pw::gui::Prompt::error(nullptr, u"Pagewarden Server may have difficulty starting due to a system error or low "
                                        "system resources. Please restart."_s);
        return 1;
    }

    pw::gui::TerminationSignals termination;
    QObject::connect(&termination, &pw::gui::TerminationSignals::terminationRequested, window.get(),
                     &pw::server::MainWindow::shutdownAndQuit);

    try {
        return QApplication::exec();
    } catch (const std::exception &) {
        pw::gui::Prompt::error(nullptr, u"There was an unrecoverable error during the operation of Pagewarden "
                                        "Server. Please restart."_s);
        return 1;
    }
}
