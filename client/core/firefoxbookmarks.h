#pragma once

#include "bookmark.h"

#include <QStringList>

namespace pw::client {

// The bookmarks of Mozilla Firefox: each profile's "places.sqlite".
namespace firefoxbookmarks {

// The "places.sqlite" files of the profiles below the usual Firefox folders of a home
// (~/.mozilla/firefox, $XDG_CONFIG_HOME/mozilla/firefox, the snap and flatpak ones),
// profiles in name order.
QStringList files(const QString &homeDir, const QString &configDir);
// Reads a copy of the database (Firefox keeps the file locked while it runs, and the
// copy keeps the user's file untouched): menu, toolbar, other and mobile bookmarks,
// each folder's entries in their own order, separators as separator rows; tags are
// not bookmarks. A file that is not such a database gives nothing.
QList<Bookmark> read(const QString &placesFile);

} // namespace firefoxbookmarks

} // namespace pw::client
