#pragma once

#include <QList>
#include <QString>

namespace pw::client {

// One row of the bookmark import: a bookmark, or a separator (no address).
struct Bookmark
{
    QString title;
    QString url;
    bool separator = false;

    friend bool operator==(const Bookmark &, const Bookmark &) = default;
};

// A title of 46 characters or more becomes its first 21, "..." and its last 21.
QString shortenTitle(const QString &title);
// Drops every row whose address holds "file://" in any letter case.
void dropFileUrls(QList<Bookmark> &rows);

} // namespace pw::client
