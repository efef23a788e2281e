#pragma once

#include "fileio.h"

#include <QDate>
#include <QList>
#include <QString>

namespace pw {

// One line of the action log: date-and-time text and message.
struct LogEntry
{
    QString dateTime;
    QString message;

    friend bool operator==(const LogEntry &, const LogEntry &) = default;
};

// "date-and-time message"; a line break in the message becomes a blank.
QString formatLogLine(const LogEntry &entry);
// Splits at the first " PM ", or failing that the first " AM "; nothing for other lines.
std::optional<LogEntry> parseLogLine(QStringView line);

struct LogRead
{
    enum Status { Ok, Missing, TooLarge, Failed };
    Status status = Ok;
    QList<LogEntry> entries;
    int skippedLines = 0; // lines without " AM " or " PM "
    bool truncated = false;
    QString error;
    FileSnapshot snapshot;
};

LogRead parseLog(QByteArrayView content);
// Reads the log; a missing file is created empty.
LogRead loadLog(const QString &path);

// Appends one entry with the current time under the file's lock. Failures are the
// caller's to swallow.
bool appendLogEntry(const QString &path, const LogEntry &entry, QString *error = nullptr);

// Rewrites the log from `entries` (leaving out those without date), keeping the lines
// appended since `since`. Retries while the file is busy.
bool saveLog(const QString &path, const QList<LogEntry> &entries, const FileSnapshot &since, QString *error = nullptr);

enum class LogRange {
    All,
    Today,
    OlderThanWeek,  // "7"
    OlderThanMonth, // "30"
};

// The start of the kept time for the two "older than" ranges, from today's date.
QDateTime logCutoff(LogRange range, const QDate &today);

// Removes the entries of `range` from a log in time order; returns how many.
int removeOldEntries(QList<LogEntry> &entries, LogRange range, const QDate &today);

} // namespace pw
