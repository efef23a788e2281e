#pragma once

#include "bookmark.h"

#include <QByteArray>

namespace pw::client {

// Reads an exported bookmark file (the HTML form every browser writes), line by line:
// "<H3" opens a folder, "</DL" closes one (the outermost ends the file), "<HR" is a
// separator, and a line with "<A " and "HREF" is a bookmark. Rows come in document
// order with their titles shortened. Any bytes are accepted.
QList<Bookmark> readBookmarkFile(const QByteArray &content);
// The same for a file; an unreadable one gives nothing. Reads at most kMaxBookmarkBytes.
QList<Bookmark> readBookmarkFilePath(const QString &path);

inline constexpr qint64 kMaxBookmarkBytes = 64 * 1024 * 1024;

} // namespace pw::client
