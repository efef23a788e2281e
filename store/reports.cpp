#include "reports.h"

#include "textlines.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace pw {

namespace {

const QByteArray kEntryMarker = "[ENTRY]";
const QByteArray kRule(38, '_');

} // namespace

ReportsIndexRead parseReportsIndex(QByteArrayView content)
{
    ReportsIndexRead result;
    LineReader lines(content);
    while (!lines.atEnd()) {
        if (lines.next() != kEntryMarker)
            continue;
        LineReader record = lines;
        QString values[3];
        int taken = 0;
        for (; taken < 3 && !record.atEnd(); ++taken)
            values[taken] = valueAfterKey(record.next()).trimmed();
        if (taken < 3 || values[0].isEmpty() || values[1].isEmpty() || values[2].isEmpty())
            continue;
        if (result.records.size() >= kMaxRecords) {
            result.truncated = true;
            break;
        }
        result.records.append({values[0], values[1], values[2]});
    }
    return result;
}

ReportsIndexRead readReportsIndex(const QString &path)
{
    const ReadResult file = readSharedFile(path);
    ReportsIndexRead result;
    if (file.ok()) {
        result = parseReportsIndex(file.content);
        result.snapshot = FileSnapshot::of(file.content);
        return result;
    }
    result.error = file.error;
    switch (file.status) {
    case ReadResult::Missing:
        result.status = ReportsIndexRead::Missing;
        result.snapshot = FileSnapshot::of({});
        break;
    case ReadResult::TooLarge:
        result.status = ReportsIndexRead::TooLarge;
        break;
    default:
        result.status = ReportsIndexRead::Failed;
        break;
    }
    return result;
}

QByteArray formatReportRecord(const ReportRecord &record)
{
    return kEntryMarker + "\r\nDateTime=" + recordValue(record.dateTime) + "\r\nURLList=" + recordValue(record.listName)
           + "\r\nFileLocation=" + recordValue(record.fileLocation) + "\r\n";
}

bool appendReportRecord(const QString &path, const ReportRecord &record, QString *error)
{
    return appendLocked(path, formatReportRecord(record), {}, error);
}

bool saveReportsIndex(const QString &path, const QList<ReportRecord> &records, const FileSnapshot &since,
                      QString *error)
{
    return rewriteLocked(
        path,
        [&](const QByteArray &current) {
            QByteArray out;
            for (const ReportRecord &record : records)
                out += formatReportRecord(record);
            for (const ReportRecord &record : parseReportsIndex(since.appendedSince(current)).records)
                out += formatReportRecord(record);
            return out;
        },
        error);
}

QString reportFileName(const QString &dateTime, const QString &listName)
{
    QString name = dateTime + u'_' + listName;
    for (QChar &c : name) {
        if (c == u' ' || c == u'/' || c == u':')
            c = u'_';
    }
    return name;
}

QByteArray formatReport(const QString &listName, const QString &dateTime, const QStringList &lines)
{
    QList<QByteArray> out;
    out << "URL List: " + recordValue(listName) << "Date/Time: " + recordValue(dateTime) << kRule << QByteArray();
    if (lines.isEmpty()) {
        out << "**No Changes To Report**";
    } else {
        for (const QString &line : lines)
            out << recordValue(line);
    }
    out << kRule << QByteArray();
    out << kReportClosingLine1 << kReportClosingLine2;
    return joinCrLf(out);
}

std::optional<QString> writeReportFile(const QString &reportsDirectory, const QString &listName,
                                       const QString &dateTime, const QStringList &lines, QString *error)
{
    QString dir = reportsDirectory;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    const QString path = dir + reportFileName(dateTime, listName);
    if (!writeFileAtomic(path, formatReport(listName, dateTime, lines), error))
        return std::nullopt;
    return path;
}

} // namespace pw
