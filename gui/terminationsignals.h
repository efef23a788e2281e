#pragma once

#include <QObject>

class QSocketNotifier;

namespace pw::gui {

// SIGTERM and SIGINT as a Qt signal on the event loop, so a program ends the way its
// own close does (a desktop logout or `systemctl stop` sends SIGTERM). One per program.
class TerminationSignals final : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    // False when the signals could not be routed; the default handlers then stay.
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // Emitted once, for the first signal.
    void terminationRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace pw::gui
