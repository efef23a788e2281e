#pragma once

#include "store/settings.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The rules of the Setup dialog's three lists: the schedule, the report list and the Web
// Shortcuts. Each check gives the message to show, or nothing when the edit may go ahead.
namespace pw::client::setuplists {

// --- Schedule ---------------------------------------------------------------------------

struct ScheduleAdd
{
    std::optional<ScheduleRow> row;
    QString error; // set when `row` is empty
};

// "Add New Time": hour and minute as the two boxes hold them, "AM" or "PM", the chosen
// URL List (empty for none).
ScheduleAdd addTime(const QString &hourText, const QString &minuteText, const QString &amPm, const QString &target,
                    const QDateTime &now, const QList<ScheduleRow> &existing);

// The interval prompt's check: a whole number from 1 to 1000.
std::optional<QString> checkInterval(const QString &text);

// "Add New Time X Minutes" once the interval passed its check (`getincrementtime`).
ScheduleRow addInterval(int minutes, const QString &target, const QDateTime &now);

// The key of a row as "Delete Selected Time" collects it.
QString scheduleKey(const ScheduleRow &row);
// Removes, for each key, the first row that has it.
void removeScheduleKeys(QList<ScheduleRow> &rows, const QStringList &keys);

enum class ScheduleColumn { DateTime, WebBox, LastRun };
// A column title's sort: "Date/Time" and "Last Run" latest first ("*" and unreadable
// times compare equal to anything), "WebBox" alphabetically ignoring case. Stable.
void sortSchedule(QList<ScheduleRow> &rows, ScheduleColumn column);

// --- Report list ------------------------------------------------------------------------

// "Add ": the refusal for `name` (the picker's text), if any.
std::optional<QString> checkReportAdd(const QStringList &list, const QString &name);
// Whether adding `name` first needs the user's leave to clear the list.
bool addClearsReportList(const QStringList &list, const QString &name);

// --- Web Shortcuts ----------------------------------------------------------------------

inline constexpr int kMaxShortcuts = 10;

enum class ShortcutEdit { Add, Modify };

struct ShortcutCheck
{
    QString url; // the URL to store: "http://" in front when it names no scheme
    std::optional<QString> error;
};

// "Add" and "Modify": the fields' texts against the list; `selected` is the row being
// modified, whose own description does not count as taken.
ShortcutCheck checkShortcut(const QList<UrlShortcut> &list, const QString &url, const QString &description,
                            ShortcutEdit edit, int selected = -1);

// `switchem`: moves row `selected` one up or down. Gives the message, or the row where the
// shortcut is now (unchanged at either end).
struct ShortcutMove
{
    int row = -1;
    std::optional<QString> error;
};
ShortcutMove switchem(QList<UrlShortcut> &list, int selected, bool up);

} // namespace pw::client::setuplists
