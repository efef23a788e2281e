#include "reportrows.h"

namespace pw::client {

ReportRows::Load ReportRows::loadreports(const QString &path, QString *error)
{
    ReportsIndexRead read = readReportsIndex(path);
    switch (read.status) {
    case ReportsIndexRead::Ok:
        m_rows = std::move(read.records);
        m_updates.clear();
        m_snapshot = read.snapshot;
        m_readable = true;
        return Load::Ok;
    case ReportsIndexRead::Missing:
        // Whatever the server writes from now on is new to this copy.
        m_updates.clear();
        m_snapshot = read.snapshot;
        m_readable = true;
        return Load::Missing;
    case ReportsIndexRead::TooLarge:
    case ReportsIndexRead::Failed:
        break;
    }
    m_readable = false;
    if (error)
        *error = read.error;
    return Load::Failed;
}

void ReportRows::appendUpdate(const ReportRecord &record)
{
    m_rows.append(record);
    m_updates.append(record);
}

bool ReportRows::savereports(const QString &path, QString *error)
{
    if (!m_readable) {
        // Rewriting a file this copy never saw would throw its records away.
        if (error)
            *error = QStringLiteral("the reports index has not been read");
        return false;
    }
    const bool written = rewriteLocked(
        path,
        [this](const QByteArray &current) {
            QByteArray out;
            for (const ReportRecord &record : std::as_const(m_rows))
                out += formatReportRecord(record);
            QList<ReportRecord> announced = m_updates;
            for (const ReportRecord &record : parseReportsIndex(m_snapshot.appendedSince(current)).records) {
                const qsizetype known = announced.indexOf(record);
                if (known >= 0) {
                    announced.removeAt(known);
                    continue;
                }
                out += formatReportRecord(record);
            }
            return out;
        },
        error);
    if (!written)
        return false;
    ReportsIndexRead reread = readReportsIndex(path);
    if (reread.status == ReportsIndexRead::Ok) {
        m_rows = std::move(reread.records);
        m_updates.clear();
        m_snapshot = reread.snapshot;
    }
    return true;
}

} // namespace pw::client
