#pragma once

#include <QDateTime>
#include <QString>

// The one date-and-time rendering of the whole system. Always the C locale, so any
// reader parses what any writer wrote.
namespace pw::datetime {

// "3/7/1999 9:05:12 PM": log, reports, WebBox entries, page names, update blocks.
QString fullText(const QDateTime &when);
// "3/7/1999 9:05 PM": the schedule's due time and last run.
QString minuteText(const QDateTime &when);

// Parses either form (seconds optional); a two-digit year is read as 19xx/20xx.
// Gives an invalid QDateTime for anything else.
QDateTime parse(QStringView text);

} // namespace pw::datetime
