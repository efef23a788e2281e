#pragma once

#include "store/actionlog.h"

namespace pw::client {

// The client's copy of the action log, as the log window lists it: one row per entry,
// the date and time as caption and the message as its column.
class ActionLogRows
{
public:
    enum class Load { Ok, Failed };

    // `loadactionlog`: replaces the rows with the file's entries; a missing file is
    // created empty. On failure the rows read so far stay.
    Load loadactionlog(const QString &path, QString *error = nullptr);
    // `saveactionlog`: rewrites the file from the rows that have a caption, keeping
    // what the server appended since the load; the rows then show those entries too.
    bool saveactionlog(const QString &path, QString *error = nullptr);

    QList<LogEntry> &rows() { return m_rows; }
    const QList<LogEntry> &rows() const { return m_rows; }

private:
    QList<LogEntry> m_rows;
    FileSnapshot m_snapshot;
};

} // namespace pw::client
