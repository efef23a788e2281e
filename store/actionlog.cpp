#include "actionlog.h"

#include "datetimetext.h"
#include "textlines.h"

#include <QFile>
#include <QThread>

using namespace Qt::StringLiterals;

namespace pw {

QString formatLogLine(const LogEntry &entry)
{
    QString message = entry.message;
    message.replace(u'\r', u' ').replace(u'\n', u' ');
    return entry.dateTime + u' ' + message;
}

std::optional<LogEntry> parseLogLine(QStringView line)
{
    qsizetype p = line.indexOf(u" PM ");
    if (p < 0)
        p = line.indexOf(u" AM ");
    if (p < 0)
        return std::nullopt;
    return LogEntry{line.first(p + 3).toString(), line.sliced(p + 4).toString()};
}

LogRead parseLog(QByteArrayView content)
{
    LogRead result;
    LineReader lines(content);
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (const auto entry = parseLogLine(QString::fromUtf8(line))) {
            if (result.entries.size() >= kMaxRecords * 10) {
                result.truncated = true;
                break;
            }
            result.entries.append(*entry);
        } else {
            ++result.skippedLines;
        }
    }
    return result;
}

LogRead loadLog(const QString &path)
{
    const ReadResult file = readSharedFile(path);
    if (file.ok()) {
        LogRead result = parseLog(file.content);
        result.snapshot = FileSnapshot::of(file.content);
        return result;
    }
    LogRead result;
    result.error = file.error;
    switch (file.status) {
    case ReadResult::Missing:
        result.status = LogRead::Ok;
        result.snapshot = FileSnapshot::of({});
        if (!writeLocked(path, {}, &result.error))
            result.status = LogRead::Failed;
        break;
    case ReadResult::TooLarge:
        result.status = LogRead::TooLarge;
        break;
    default:
        result.status = LogRead::Failed;
        break;
    }
    return result;
}

bool appendLogEntry(const QString &path, const LogEntry &entry, QString *error)
{
    return appendLocked(path, formatLogLine(entry).toUtf8() + "\r\n", {}, error);
}

bool saveLog(const QString &path, const QList<LogEntry> &entries, const FileSnapshot &since, QString *error)
{
    auto build = [&](const QByteArray &current) {
        QByteArray out;
        for (const LogEntry &entry : entries) {
            if (!entry.dateTime.isEmpty())
                out += formatLogLine(entry).toUtf8() + "\r\n";
        }
        // The server may have appended while the user was looking at the log.
        for (const LogEntry &entry : parseLog(since.appendedSince(current)).entries)
            out += formatLogLine(entry).toUtf8() + "\r\n";
        return out;
    };
    for (int attempt = 0; attempt < kFileRetries; ++attempt) {
        if (rewriteLocked(path, build, error))
            return true;
        QThread::msleep(50);
    }
    return false;
}

QDateTime logCutoff(LogRange range, const QDate &today)
{
    switch (range) {
    case LogRange::OlderThanWeek:
        return QDateTime(today.addDays(-6), QTime(0, 0));
    case LogRange::OlderThanMonth:
        // addMonths keeps the day, or takes the month's last day when it is shorter.
        return QDateTime(today.addMonths(-1), QTime(0, 0));
    case LogRange::Today:
        return QDateTime(today, QTime(0, 0));
    case LogRange::All:
        break;
    }
    return {};
}

int removeOldEntries(QList<LogEntry> &entries, LogRange range, const QDate &today)
{
    qsizetype from = 0;
    qsizetype to = -1; // last index removed
    switch (range) {
    case LogRange::All:
        to = entries.size() - 1;
        break;
    case LogRange::Today:
        from = -1;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (datetime::parse(entries[i].dateTime).date() == today) {
                from = i;
                break;
            }
        }
        if (from >= 0)
            to = entries.size() - 1;
        break;
    case LogRange::OlderThanWeek:
    case LogRange::OlderThanMonth: {
        const QDateTime cutoff = logCutoff(range, today);
        for (qsizetype i = entries.size() - 1; i >= 0; --i) {
            const QDateTime when = datetime::parse(entries[i].dateTime);
            if (when.isValid() && when < cutoff) {
                to = i;
                break;
            }
        }
        break;
    }
    }
    if (from < 0 || to < from)
        return 0;
    entries.remove(from, to - from + 1);
    return int(to - from + 1);
}

} // namespace pw
