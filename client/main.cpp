// pagewarden: the client. One copy runs per settings file, data home and port; a second
// start brings the first forward and ends.
#include "client/app/clientapp.h"
#include "client/app/mainwindow.h"
#include "gui/singleinstance.h"
#include "gui/terminationsignals.h"

#include <QApplication>
#include <QTextStream>

#include <malloc.h>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // Link extraction over a large page needs tens of MB for a moment: keep freed memory
    // for the next page instead of giving it back and faulting it in again each time.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QTextStream(stderr) << "pagewarden: no display: start it from a desktop session (DISPLAY or "
                               "WAYLAND_DISPLAY is unset).\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"pagewarden"_s);
    QApplication::setApplicationDisplayName(u"Pagewarden"_s);
    QApplication::setWindowIcon(pw::client::applicationIcon());

    pw::gui::SingleInstance instance(u"pagewarden"_s);
    if (!instance.becomePrimary()) {
        pw::gui::SingleInstance::sendRestore(u"pagewarden"_s);
        return 0;
    }

    // A logout or kill ends the client the way its own close does; one that comes while
    // the client starts is taken once the window exists.
    pw::gui::TerminationSignals termination;
    pw::client::ClientApp client;
    if (!client.start())
        return 1;
    pw::client::MainWindow *window = client.mainWindow();
    QObject::connect(&instance, &pw::gui::SingleInstance::restoreRequested, window,
                     &pw::client::MainWindow::restoreFromMinimized);
    QObject::connect(&termination, &pw::gui::TerminationSignals::terminationRequested, window, &QWidget::close);
    return QApplication::exec();
}
