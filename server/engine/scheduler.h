#pragma once

#include "clientlink.h"
#include "runengine.h"

#include "store/settings.h"

#include <QObject>
#include <QTimer>

namespace pw::server {

// Starts URL Lists at their daily times and every N minutes, catches up the entries that
// fell due while the server was not running, and keeps the schedule's bookkeeping in the
// settings. Time comes from pw::Clock.
class Scheduler final : public QObject
{
    Q_OBJECT

public:
    Scheduler(RunEngine &engine, ClientLink &link, QObject *parent = nullptr);

    // Takes the schedule table (from freshly loaded settings). Missed entries queued
    // earlier stay queued when the entry still exists.
    void load(const QList<ScheduleRow> &rows);
    const QList<ScheduleRow> &table() const { return m_table; }

    // Queues every entry whose Time is not later than now (start-up).
    void queueMissed();
    // One tick of the 15-second timer: one catch-up, then the entries due now.
    void tick();

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_timer.isActive(); }
    void setInterval(int ms) { m_timer.setInterval(ms); }
    int missedCount() const { return int(m_missed.size()); }

private:
    struct Key
    {
        QString time;
        QString target;
        friend bool operator==(const Key &, const Key &) = default;
    };

    int findEntry(const Key &key) const;
    bool isMissed(const Key &key) const;
    bool alreadyServed(const ScheduleRow &row) const;
    // Moves the entry to its next due time; `cadenceFromDue` keeps an interval entry's
    // rhythm from its own due time rather than from now.
    void advance(ScheduleRow &row, bool cadenceFromDue, bool stamp);
    void start(const ScheduleRow &row, bool logUnknown);
    void save();

    RunEngine &m_engine;
    ClientLink &m_link;
    QList<ScheduleRow> m_table;
    QList<Key> m_missed;
    QTimer m_timer;
};

} // namespace pw::server
