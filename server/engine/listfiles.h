#pragma once

#include "store/urllist.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The server's writes to a list's files after accepted pages.
namespace pw::server {

struct ListValueUpdate
{
    QString url;
    QString lastModified;
    QString size;
};

// Stores each update's Last Modified and Size in the first record of `content` whose URL
// equals the update's, ignoring case; every other byte stays as it is. `changed` tells
// whether any record matched.
QByteArray applyListUpdates(const QByteArray &content, const QList<ListValueUpdate> &updates, bool *changed);

// Brings the list's file up to date under its lock: the new values go into the file as
// it is now, so what the client saved meanwhile stays. Only when the file is gone is the
// run's loaded copy written.
bool saveListUpdates(const QString &dataDirectory, const QString &listName, const QList<UrlEntry> &loaded,
                     const QList<ListValueUpdate> &updates, QString *error = nullptr);

struct KeepLatestResult
{
    bool removed = false;     // records were removed and the file rewritten
    QStringList removedFiles; // page files deleted
};

// The keep-only-latest cleanup of a WebBox file, under its lock: for each (URL, Date/Time)
// pair, every record of that URL (case counting) with another Date/Time goes, with its
// page file. The file is rewritten only when something was removed.
KeepLatestResult keepOnlyLatest(const QString &webBoxPath, const QString &listName,
                                const QList<std::pair<QString, QString>> &keep);

} // namespace pw::server
