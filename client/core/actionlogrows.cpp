#include "actionlogrows.h"

namespace pw::client {

ActionLogRows::Load ActionLogRows::loadactionlog(const QString &path, QString *error)
{
    LogRead read = loadLog(path);
    m_rows = std::move(read.entries);
    m_snapshot = read.snapshot;
    if (read.status == LogRead::Ok || read.status == LogRead::Missing)
        return Load::Ok;
    if (error)
        *error = read.error;
    return Load::Failed;
}

bool ActionLogRows::saveactionlog(const QString &path, QString *error)
{
    if (!saveLog(path, m_rows, m_snapshot, error))
        return false;
    // The file now holds these rows plus what the server appended meanwhile: take them
    // all, so the rows show the server's entries and the next save keeps them.
    LogRead reread = loadLog(path);
    if (reread.status == LogRead::Ok) {
        m_rows = std::move(reread.entries);
        m_snapshot = reread.snapshot;
    }
    return true;
}

} // namespace pw::client
