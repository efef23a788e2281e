#pragma once

#include "bookmark.h"

#include <QByteArray>
#include <QStringList>

namespace pw::client {

// The bookmarks of Chromium-based browsers: each profile's JSON "Bookmarks" file.
namespace chromiumbookmarks {

// The "Bookmarks" files below a configuration folder ($XDG_CONFIG_HOME): Chromium,
// Google Chrome, Microsoft Edge and Brave, each profile in turn ("Default" first).
QStringList files(const QString &configDir);
// The bookmarks of one file: the bookmark bar, "Other bookmarks", the mobile ones, then
// any other root, each folder's entries in their own order; titles shortened. Anything
// that is not such a file gives nothing.
QList<Bookmark> read(const QByteArray &json);
QList<Bookmark> readPath(const QString &path);

} // namespace chromiumbookmarks

} // namespace pw::client
