#pragma once

#include "bookmark.h"

namespace pw::client {

// Which sources the bookmark import reads.
struct BookmarkSources
{
    bool chromium = false;
    bool firefox = false;
    QString bookmarkFile; // an exported bookmark HTML file; empty for none
    // Where the browsers keep their profiles; the user's own folders when empty.
    QString homeDir;
    QString configDir;
};

// Every bookmark of the chosen sources in order (Chromium-based browsers, Firefox, the
// bookmark file), with "file://" addresses dropped. A missing source gives nothing.
QList<Bookmark> collectBookmarks(const BookmarkSources &sources);

} // namespace pw::client
