#pragma once

#include <QObject>

#include <memory>

namespace pw::client {

class MainWindow;
class WelcomeSplash;

// The client's start after the one-instance check: splash, main window, settings, tree
// and link, then the main window shown. A failure shows its message and leaves no window.
class ClientApp final : public QObject
{
    Q_OBJECT

public:
    explicit ClientApp(QObject *parent = nullptr);
    ~ClientApp() override;

    // False when the client must end (its reason has been shown).
    bool start();
    MainWindow *mainWindow() const { return m_main.get(); }
    WelcomeSplash *splash() const { return m_splash.get(); }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<WelcomeSplash> m_splash;
};

// The program's icon, drawn so it needs no image plugin.
QIcon applicationIcon();

} // namespace pw::client
