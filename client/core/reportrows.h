#pragma once

#include "store/reports.h"

namespace pw::client {

// The reports window's copy of the reports index: one row per record shown, in list order.
class ReportRows
{
public:
    enum class Load { Ok, Missing, Failed };

    // `loadreports`: replaces the rows with the index's records. A missing index leaves the
    // rows as they are; an index that cannot be read leaves them too and is not rewritten
    // until it has been read.
    Load loadreports(const QString &path, QString *error = nullptr);

    // A report the server announced while the window shows.
    void appendUpdate(const ReportRecord &record);

    // `savereports`: rewrites the index from the rows under its lock. Records the server
    // appended since the load stay, unless they came in as updates (those are the rows',
    // kept or deleted). Afterwards the rows are the file's records.
    bool savereports(const QString &path, QString *error = nullptr);

    QList<ReportRecord> &rows() { return m_rows; }
    const QList<ReportRecord> &rows() const { return m_rows; }

private:
    QList<ReportRecord> m_rows;
    QList<ReportRecord> m_updates; // announced since the load
    FileSnapshot m_snapshot;
    bool m_readable = true;
};

} // namespace pw::client
