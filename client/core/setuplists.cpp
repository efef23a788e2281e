#include "setuplists.h"

#include "client/core/clientmessages.h"

#include "setuptexts.h"

#include "store/datetimetext.h"
#include "store/schedule.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw::client::setuplists {

namespace {

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

const QString kSeparator = u"&&&"_s;

} // namespace

ScheduleAdd addTime(const QString &hourText, const QString &minuteText, const QString &amPm, const QString &target,
                    const QDateTime &now, const QList<ScheduleRow> &existing)
{
    if (hourText.trimmed().isEmpty() || minuteText.trimmed().isEmpty())
        return {std::nullopt, qs(text::kNoHourOrMinute)};
    const auto hour = wholeNumber(hourText);
    const auto minute = wholeNumber(minuteText);
    // A minute or hour no clock shows could never come due: refused like a non-number.
    if (!hour || !minute || *hour < 1 || *hour > 12 || *minute < 0 || *minute > 59)
        return {std::nullopt, qs(text::kBadMinute)};
    if (target.trimmed().isEmpty())
        return {std::nullopt, qs(text::kNoWebBoxToSchedule)};
    auto row = schedule::addDailyEntry(*hour, minuteText, amPm, target, now, existing);
    if (!row)
        return {std::nullopt, qs(text::kScheduleTwice)};
    return {row, {}};
}

std::optional<QString> checkInterval(const QString &text)
{
    const auto minutes = wholeNumber(text);
    // An interval of zero or less would never move on: the scheduler refuses it too.
    if (!minutes || *minutes < 1)
        return qs(text::kBadInterval);
    if (*minutes > 1000)
        return qs(text::kIntervalTooLarge);
    return std::nullopt;
}

ScheduleRow addInterval(int minutes, const QString &target, const QDateTime &now)
{
    return schedule::addIntervalEntry(std::max(minutes, 1), target, now).value();
}

QString scheduleKey(const ScheduleRow &row)
{
    return row.time + u' ' + row.webBox;
}

void removeScheduleKeys(QList<ScheduleRow> &rows, const QStringList &keys)
{
    for (const QString &key : keys) {
        const auto it =
            std::find_if(rows.begin(), rows.end(), [&](const ScheduleRow &r) { return scheduleKey(r) == key; });
        if (it != rows.end())
            rows.erase(it);
    }
}

void sortSchedule(QList<ScheduleRow> &rows, ScheduleColumn column)
{
    // Latest first; a time that cannot be read ("*" before the first run) is equal to
    // anything, which a stable sort can take without going astray.
    const auto latestFirst = [](const QString &a, const QString &b) {
        const QDateTime ta = datetime::parse(a);
        const QDateTime tb = datetime::parse(b);
        return ta.isValid() && tb.isValid() && ta > tb;
    };
    switch (column) {
    case ScheduleColumn::DateTime:
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const ScheduleRow &a, const ScheduleRow &b) { return latestFirst(a.time, b.time); });
        break;
    case ScheduleColumn::WebBox:
        std::stable_sort(rows.begin(), rows.end(), [](const ScheduleRow &a, const ScheduleRow &b) {
            return a.webBox.compare(b.webBox, Qt::CaseInsensitive) < 0;
        });
        break;
    case ScheduleColumn::LastRun:
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const ScheduleRow &a, const ScheduleRow &b) { return latestFirst(a.lastRun, b.lastRun); });
        break;
    }
}

std::optional<QString> checkReportAdd(const QStringList &list, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return qs(text::kNoReportListChosen);
    if (list.contains(QString::fromLatin1(kAllWebBoxes)))
        return qs(text::kAllAlreadyReported);
    if (list.contains(trimmed, Qt::CaseInsensitive))
        return qs(text::kAlreadyReportedBefore) + trimmed + qs(text::kAlreadyReportedAfter);
    return std::nullopt;
}

bool addClearsReportList(const QStringList &list, const QString &name)
{
    return name.trimmed() == QString::fromLatin1(kAllWebBoxes) && !list.isEmpty();
}

ShortcutCheck checkShortcut(const QList<UrlShortcut> &list, const QString &url, const QString &description,
                            ShortcutEdit edit, int selected)
{
    ShortcutCheck check{url, std::nullopt};
    if (edit == ShortcutEdit::Add && list.size() >= kMaxShortcuts) {
        check.error = qs(text::kShortcutLimit);
        return check;
    }
    if (url.isEmpty()) {
        check.error = qs(text::kShortcutNoUrl);
        return check;
    }
    // Only an address without any scheme gets one: "https://..." stays as typed.
    if (!url.contains(u"://"_s))
        check.url = u"http://"_s + url;
    if (check.url.contains(kSeparator)) {
        check.error = qs(edit == ShortcutEdit::Add ? text::kShortcutBadUrlAdd : text::kShortcutBadUrlModify);
        return check;
    }
    if (description.isEmpty()) {
        check.error = qs(text::kShortcutNoDescription);
        return check;
    }
    if (description.contains(kSeparator)) {
        check.error = qs(text::kShortcutBadDescription);
        return check;
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i != selected && list[i].description == description) {
            check.error = qs(text::kShortcutDescriptionUsed);
            return check;
        }
    }
    return check;
}

ShortcutMove switchem(QList<UrlShortcut> &list, int selected, bool up)
{
    if (list.size() < 2)
        return {-1, qs(text::kShortcutNothingToReorder)};
    if (selected < 0 || selected >= list.size())
        return {-1, qs(text::kShortcutNoneToMove)};
    const int other = up ? selected - 1 : selected + 1;
    if (other < 0 || other >= list.size())
        return {selected, std::nullopt};
    list.swapItemsAt(selected, other);
    return {other, std::nullopt};
}

} // namespace pw::client::setuplists
