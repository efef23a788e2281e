#include "webboxrows.h"

#include "store/fileio.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace pw::client {

QString WebBoxRows::keyOf(const WebBoxEntry &entry)
{
    return entry.fileLocation + u'\n' + entry.dateTime + u'\n' + entry.url;
}

void WebBoxRows::remember(const QList<WebBoxEntry> &onDisk)
{
    m_known.clear();
    for (const WebBoxEntry &e : onDisk)
        ++m_known[keyOf(e)];
}

WebBoxRows::Loaded WebBoxRows::load(const QString &path)
{
    Loaded loaded;
    WebBoxRead read = readWebBox(path, ReaderSide::Client);
    loaded.ok = read.status == WebBoxRead::Ok || read.status == WebBoxRead::Missing;
    loaded.deadRecords = read.deadRecords;
    loaded.rows = std::move(read.entries);
    remember(loaded.rows);
    return loaded;
}

void WebBoxRows::noteShown(const WebBoxEntry &row)
{
    ++m_known[keyOf(row)];
}

bool WebBoxRows::save(const QString &path, const QString &listName, const QList<WebBoxEntry> &rows, Merged *merged,
                      QString *error)
{
    QList<WebBoxEntry> gained;
    QList<WebBoxEntry> dropped;
    QList<WebBoxEntry> written;
    const bool ok = rewriteLocked(
        path,
        [&](const QByteArray &current) {
            const WebBoxRead now = parseWebBox(current, ReaderSide::Client);
            QHash<QString, int> onDisk;
            for (const WebBoxEntry &e : now.entries)
                ++onDisk[keyOf(e)];
            // Known before but gone from the file: the server removed it.
            QHash<QString, int> removed;
            for (auto it = m_known.cbegin(); it != m_known.cend(); ++it) {
                const int gone = it.value() - onDisk.value(it.key());
                if (gone > 0)
                    removed.insert(it.key(), gone);
            }
            // In the file but not known: the server added it.
            QHash<QString, int> unseen = onDisk;
            for (auto it = m_known.cbegin(); it != m_known.cend(); ++it) {
                auto found = unseen.find(it.key());
                if (found != unseen.end())
                    found.value() -= it.value();
            }
            written.clear();
            dropped.clear();
            for (const WebBoxEntry &row : rows) {
                auto gone = removed.find(keyOf(row));
                if (gone != removed.end() && gone.value() > 0) {
                    --gone.value();
                    dropped.append(row);
                    continue;
                }
                written.append(row);
            }
            gained.clear();
            for (const WebBoxEntry &e : now.entries) {
                auto fresh = unseen.find(keyOf(e));
                if (fresh != unseen.end() && fresh.value() > 0) {
                    --fresh.value();
                    gained.append(e);
                }
            }
            written += gained;
            QByteArray out = webBoxHeader(listName);
            for (const WebBoxEntry &e : std::as_const(written))
                out += formatWebBoxRecord(e);
            return out;
        },
        error);
    if (!ok)
        return false;
    remember(written);
    if (merged)
        *merged = {gained, dropped};
    return true;
}

} // namespace pw::client
