#pragma once

#include "settings.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// The schedule's texts and date arithmetic, shared by the server's scheduler and the
// client's setup dialog.
namespace pw::schedule {

// What an entry retrieves: a URL List name or "All WebBoxes", and for an interval entry
// its N ("News 30 Minute Interval").
struct Target
{
    QString listName;
    bool interval = false;
    int minutes = 0;      // N of an interval entry; 0 or less when not a number
    QString intervalText; // the text after the name, "30 Minute Interval"
};
Target parseTarget(const QString &target);

// The calendar day after `today`: "1/1/2000" after 31 December 1999.
QString nextDay(const QDate &today);

// The due time text N minutes after the clock time `from` on `today`, on the next day when
// it passes midnight.
QString nextIntervalTime(int minutes, const QTime &from, const QDate &today);

// A new daily entry: "h:mm AP" today when that is not earlier than `now`'s minute, else
// tomorrow. The minute is always written with two digits. Nothing when the minute or hour
// is no number in range, or when an entry with the same Time and Target exists.
std::optional<ScheduleRow> addDailyEntry(int hour, const QString &minuteText, const QString &amPm,
                                         const QString &target, const QDateTime &now,
                                         const QList<ScheduleRow> &existing);

// A new interval entry, N minutes from now; nothing for N of 0 or less.
std::optional<ScheduleRow> addIntervalEntry(int minutes, const QString &target, const QDateTime &now);

} // namespace pw::schedule
