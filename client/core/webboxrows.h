#pragma once

#include "store/webbox.h"

#include <QHash>

namespace pw::client {

// The client's side of one WebBox file: what it last read from disk, so that a save from
// the window keeps what the server did meanwhile. Records the server appended since are
// kept (and handed back to be shown); records its keep-only-latest cleanup removed stay
// removed; the window's own deletions, order and read marks win for everything else.
class WebBoxRows
{
public:
    struct Loaded
    {
        QList<WebBoxEntry> rows;
        int deadRecords = 0; // records with URL or File Location "*", left out
        bool ok = true;
    };

    // `loadwebbox`: the records of the file, in file order.
    Loaded load(const QString &path);

    // A row the window took from the server's update: already on disk.
    void noteShown(const WebBoxEntry &row);

    // What a save changed beyond the window's own rows.
    struct Merged
    {
        QList<WebBoxEntry> added;   // the server appended them: show them
        QList<WebBoxEntry> removed; // the server removed them: drop them from the view
    };

    // `savewebbox`: writes `rows` merged with the file as it is now, under its lock;
    // false on a write failure.
    bool save(const QString &path, const QString &listName, const QList<WebBoxEntry> &rows, Merged *merged,
              QString *error = nullptr);

    // What identifies a record across reads: its stored page, time and address.
    static QString keyOf(const WebBoxEntry &entry);

private:
    void remember(const QList<WebBoxEntry> &onDisk);

    QHash<QString, int> m_known; // records on disk at the last load or save, counted
};

} // namespace pw::client
