#include "scheduler.h"

#include "store/clock.h"
#include "store/datetimetext.h"
#include "store/linkframing.h"
#include "store/paths.h"
#include "store/schedule.h"
#include "store/webboxeslist.h"

using namespace Qt::StringLiterals;

namespace pw::server {

namespace {

QDateTime minuteOf(const QDateTime &when)
{
    return QDateTime(when.date(), QTime(when.time().hour(), when.time().minute()));
}

} // namespace

Scheduler::Scheduler(RunEngine &engine, ClientLink &link, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_link(link)
{
    m_timer.setInterval(15000);
    connect(&m_timer, &QTimer::timeout, this, &Scheduler::tick);
}

void Scheduler::setEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

void Scheduler::load(const QList<ScheduleRow> &rows)
{
    m_table.clear();
    for (const ScheduleRow &row : rows) {
        const schedule::Target target = schedule::parseTarget(row.webBox);
        if (target.interval && target.minutes <= 0) {
            // Started every tick otherwise: kept in the settings, never run.
            m_engine.logLine(u"ERROR Scheduler entry skipped, no valid interval ("_s + row.webBox + u')');
        }
        m_table.append(row);
    }
    // Queued entries are known by Time and Target, so a reload cannot redirect them.
    m_missed.removeIf([this](const Key &key) { return findEntry(key) < 0; });
}

int Scheduler::findEntry(const Key &key) const
{
    for (qsizetype i = 0; i < m_table.size(); ++i) {
        if (m_table[i].time == key.time && m_table[i].webBox == key.target)
            return int(i);
    }
    return -1;
}

bool Scheduler::isMissed(const Key &key) const
{
    return m_missed.contains(key);
}

bool Scheduler::alreadyServed(const ScheduleRow &row) const
{
    // A Last Run at or after the due time: this due time was served already (an older
    // copy of the table written back must not make it run twice).
    const QDateTime due = datetime::parse(row.time);
    const QDateTime lastRun = datetime::parse(row.lastRun);
    return due.isValid() && lastRun.isValid() && lastRun >= due;
}

void Scheduler::queueMissed()
{
    const QDateTime now = minuteOf(Clock::currentDateTime());
    for (const ScheduleRow &row : m_table) {
        const QDateTime due = datetime::parse(row.time);
        const schedule::Target target = schedule::parseTarget(row.webBox);
        if (!due.isValid() || due > now || (target.interval && target.minutes <= 0))
            continue;
        const Key key{row.time, row.webBox};
        if (!isMissed(key))
            m_missed.append(key);
    }
}

void Scheduler::advance(ScheduleRow &row, bool cadenceFromDue, bool stamp)
{
    const QDateTime now = Clock::currentDateTime();
    const schedule::Target target = schedule::parseTarget(row.webBox);
    if (target.interval) {
        const QDateTime due = datetime::parse(row.time);
        const QTime from = cadenceFromDue && due.isValid() ? due.time() : now.time();
        const QDate day = cadenceFromDue && due.isValid() ? due.date() : now.date();
        row.time = schedule::nextIntervalTime(target.minutes, from, day);
        // A cadence that fell behind (the server was busy) starts again from now.
        if (datetime::parse(row.time) <= minuteOf(now))
            row.time = schedule::nextIntervalTime(target.minutes, now.time(), now.date());
    } else {
        row.time = schedule::nextDay(now.date()) + u' ' + row.time.section(u' ', 1);
    }
    if (stamp)
        row.lastRun = datetime::minuteText(now);
}

void Scheduler::start(const ScheduleRow &row, bool logUnknown)
{
    const schedule::Target target = schedule::parseTarget(row.webBox);
    if (target.listName == QString::fromLatin1(kAllWebBoxes)) {
        m_engine.getall();
    } else if (containsListName(m_engine.knownLists(), target.listName)) {
        m_engine.queuelist(target.listName);
    } else if (logUnknown) {
        if (target.interval)
            m_engine.logLine(u"ERROR (Not Found) Scheduler Activated ("_s + target.intervalText + u')');
        else
            m_engine.logLine(u"ERROR (Not Found) Scheduler Activated Daily ("_s + target.listName + u')');
    }
}

void Scheduler::save()
{
    {
        auto store = paths::openSettings();
        settings::writeSchedule(*store, m_table);
        store->sync();
    }
    Settings s = m_engine.settings();
    s.schedview = m_table;
    m_engine.setSettings(s);
    if (m_link.isConnected())
        m_link.sendLine(QString::fromLatin1(link::kScheduleUpdate));
}

void Scheduler::tick()
{
    try {
        // An entry whose minute passed without a tick (the machine slept, the server was
        // busy) is missed: it is caught up like one missed while the server was down.
        const QDateTime thisMinute = minuteOf(Clock::currentDateTime());
        for (const ScheduleRow &row : std::as_const(m_table)) {
            const QDateTime due = datetime::parse(row.time);
            const schedule::Target target = schedule::parseTarget(row.webBox);
            const Key key{row.time, row.webBox};
            if (due.isValid() && due < thisMinute && !(target.interval && target.minutes <= 0) && !isMissed(key))
                m_missed.append(key);
        }

        // 1. Catch up one missed entry.
        if (!m_missed.isEmpty()) {
            const Key key = m_missed.takeFirst();
            const int index = findEntry(key);
            if (index >= 0) {
                ScheduleRow &row = m_table[index];
                const bool served = alreadyServed(row);
                advance(row, false, !served);
                const ScheduleRow started = row;
                save();
                if (!served)
                    start(started, false);
            }
        }

        // 2. The entries due now.
        const QDateTime now = Clock::currentDateTime();
        const QString dueNow = datetime::minuteText(now);
        const QString lastRunNow = datetime::minuteText(now);
        for (qsizetype i = 0; i < m_table.size(); ++i) {
            ScheduleRow &row = m_table[i];
            const Key key{row.time, row.webBox};
            const schedule::Target target = schedule::parseTarget(row.webBox);
            if (target.interval && target.minutes <= 0)
                continue;
            if (row.time != dueNow || row.lastRun == lastRunNow || isMissed(key))
                continue;
            const bool served = alreadyServed(row);
            advance(row, true, !served);
            const ScheduleRow started = row;
            save();
            if (!served)
                start(started, true);
        }
    } catch (...) {
        // The next tick starts afresh.
    }
}

} // namespace pw::server
