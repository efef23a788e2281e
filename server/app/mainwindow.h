#pragma once

#include "server/engine/servercore.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

#include <array>

namespace pw::gui {
class HelpWindow;
}

namespace pw::server {

class QueueForm;

// Tmain: the server's window, its tray icon and its commands, over the server core.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(ServerCore &core, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the window or only the tray icon, as "System Tray" says; a shown window starts
    // minimised when asked, and always without a tray.
    void present(bool minimized = false);

    // The commands.
    void activateClient();
    void showQueue();
    void abort();
    // Runs the close rules; true when the server is to end.
    bool requestClose();
    void minimizeToTray();
    void restore();
    void showHelp(int topic);
    // Ends the server as "Exit" does: aborts a run, writes pending files, quits.
    void shutdownAndQuit();

    QueueForm *queueForm() const { return m_queue; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    bool exiting() const { return m_exiting; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void onRunFinished();

    ServerCore &m_core;
    std::array<QLabel *, kSlotCount> m_slotLabels{};
    QLabel *m_counters[5] = {};
    QLabel *m_panels[2] = {};
    QAction *m_abortAction = nullptr;
    QAction *m_queueAction = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QueueForm *m_queue = nullptr;
    QPointer<gui::HelpWindow> m_help;
    bool m_exiting = false;
};

} // namespace pw::server
