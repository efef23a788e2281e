#pragma once

#include "client/core/updatetargets.h"

#include <QObject>
#include <QPointer>

#include <array>

namespace pw::client {

class MainWindow;
class Tinboxform;

// The main window's table of WebBox windows: at most one window per URL List, in 1000
// numbered slots. Also restores the open windows of the last session.
class WebBoxWindows final : public QObject, public InboxUpdateTarget
{
    Q_OBJECT

public:
    static constexpr int kSlots = 1000;

    explicit WebBoxWindows(MainWindow &main);

    // Opens the WebBox window of a URL List or brings its window forward: its slot
    // number, or 0 (the reason shown).
    int showwebbox(const QString &name);
    bool webboxopen(const QString &name) const;
    Tinboxform *window(int slot) const;
    // The open window of a URL List, found ignoring case.
    Tinboxform *find(const QString &name) const;
    // Closes every window whose caption names this URL List's WebBox.
    void closeWebBoxesOf(const QString &name);

    // `processlist`: a server row for the open window of its URL List.
    void processlist(const link::InboxUpdate &update) override;

    // `loadforms`: reopens the WebBox windows and browsers listed in "window.lst".
    void loadforms();

private:
    void release(Tinboxform *window);

    MainWindow &m_main;
    std::array<QPointer<Tinboxform>, kSlots + 1> m_windows; // 1..1000
    std::array<QString, kSlots + 1> m_names;
};

} // namespace pw::client
