#pragma once

#include "fileio.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace pw {

// One record of the reports index.
struct ReportRecord
{
    QString dateTime;
    QString listName;
    QString fileLocation;

    friend bool operator==(const ReportRecord &, const ReportRecord &) = default;
};

struct ReportsIndexRead
{
    enum Status { Ok, Missing, TooLarge, Failed };
    Status status = Ok;
    QList<ReportRecord> records;
    bool truncated = false;
    QString error;
    FileSnapshot snapshot;
};

ReportsIndexRead parseReportsIndex(QByteArrayView content);
ReportsIndexRead readReportsIndex(const QString &path);

QByteArray formatReportRecord(const ReportRecord &record);
// Appends one record under the index's lock, creating the file when missing.
bool appendReportRecord(const QString &path, const ReportRecord &record, QString *error = nullptr);
// Rewrites the index from `records`, keeping the records appended since `since`.
bool saveReportsIndex(const QString &path, const QList<ReportRecord> &records, const FileSnapshot &since,
                      QString *error = nullptr);

// "3/7/1999 9:05:12 PM" and "News" give "3_7_1999_9_05_12_PM_News".
QString reportFileName(const QString &dateTime, const QString &listName);

// The report suffixes of a page's URL.
inline constexpr char kReportNew[] = " (New)";
inline constexpr char kReportChangedDate[] = " (Changed - Last Modified)";
inline constexpr char kReportChangedSize[] = " (Changed - Size Difference)";
inline constexpr char kReportUnchangedSize[] = " (No Change - Size)";
inline constexpr char kReportUnchangedDate[] = " (No Change - Last Modified)";

// The two closing lines of a report file and of a report mail.
inline constexpr char kReportClosingLine1[] = "Report written by Pagewarden, the web page change monitor.";
inline constexpr char kReportClosingLine2[] = "Pagewarden is a product of Norvane Software.";

// The whole text of a report file.
QByteArray formatReport(const QString &listName, const QString &dateTime, const QStringList &lines);

// Writes the report file in `reportsDirectory` (replacing one of the same name) and
// returns its path, or nothing on failure.
std::optional<QString> writeReportFile(const QString &reportsDirectory, const QString &listName,
                                       const QString &dateTime, const QStringList &lines, QString *error = nullptr);

} // namespace pw
