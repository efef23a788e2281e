#pragma once

#include <QSplashScreen>

namespace pw::client {

// The welcome splash of the start: the program's picture and "Version 1.1", no border,
// on top and centred. It hides itself after two seconds; the start discards it sooner
// when the main window is ready first.
class WelcomeSplash final : public QSplashScreen
{
    Q_OBJECT

public:
    static constexpr int kShowMs = 2000;

    WelcomeSplash();
    // Shows and paints it at once.
    void showNow();
};

} // namespace pw::client
