#include "schedule.h"

#include "datetimetext.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace pw::schedule {

Target parseTarget(const QString &target)
{
    Target t;
    t.interval = target.contains(u" Minute Interval"_s);
    if (!t.interval) {
        t.listName = target;
        return t;
    }
    const QString all = QString::fromLatin1(kAllWebBoxes);
    const qsizetype blank = target.indexOf(u' ');
    if (target.contains(all)) {
        t.listName = all;
        t.intervalText = target.mid(target.indexOf(all) + all.size()).trimmed();
    } else {
        t.listName = target.left(blank);
        t.intervalText = target.mid(blank + 1);
    }
    bool ok = false;
    t.minutes = t.intervalText.section(u' ', 0, 0).toInt(&ok);
    if (!ok)
        t.minutes = 0;
    return t;
}

QString nextDay(const QDate &today)
{
    return QLocale::c().toString(today.addDays(1), u"M/d/yyyy"_s);
}

QString nextIntervalTime(int minutes, const QTime &from, const QDate &today)
{
    const QDateTime start(today, QTime(from.hour(), from.minute()));
    return datetime::minuteText(start.addSecs(qint64(minutes) * 60));
}

std::optional<ScheduleRow> addDailyEntry(int hour, const QString &minuteText, const QString &amPm,
                                         const QString &target, const QDateTime &now,
                                         const QList<ScheduleRow> &existing)
{
    bool ok = false;
    const int minute = minuteText.trimmed().toInt(&ok);
    if (!ok || minute < 0 || minute > 59 || hour < 1 || hour > 12 || (amPm != u"AM"_s && amPm != u"PM"_s))
        return std::nullopt;
    // Two digits, so the entry's Time can equal a rendered clock time.
    const QString clock = u"%1:%2 %3"_s.arg(hour).arg(minute, 2, 10, QLatin1Char('0')).arg(amPm);
    const int hour24 = (hour % 12) + (amPm == u"PM"_s ? 12 : 0);
    // Compared to the minute: the minute that is running still counts as today.
    const QTime clockNow(now.time().hour(), now.time().minute());
    const QDate day = QTime(hour24, minute) >= clockNow ? now.date() : now.date().addDays(1);
    ScheduleRow row{QLocale::c().toString(day, u"M/d/yyyy"_s) + u' ' + clock, target, u"*"_s};
    for (const ScheduleRow &other : existing) {
        if (other.time == row.time && other.webBox == row.webBox)
            return std::nullopt;
    }
    return row;
}

std::optional<ScheduleRow> addIntervalEntry(int minutes, const QString &target, const QDateTime &now)
{
    if (minutes <= 0)
        return std::nullopt;
    return ScheduleRow{nextIntervalTime(minutes, now.time(), now.date()),
                       target + u' ' + QString::number(minutes) + u" Minute Interval"_s, u"*"_s};
}

} // namespace pw::schedule
