#include "bookmarksources.h"

#include "bookmarkfile.h"
#include "chromiumbookmarks.h"
#include "firefoxbookmarks.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace pw::client {

QList<Bookmark> collectBookmarks(const BookmarkSources &sources)
{
    const QString home = sources.homeDir.isEmpty() ? QDir::homePath() : sources.homeDir;
    QString config = sources.configDir;
    if (config.isEmpty())
        config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = home + u"/.config"_s;

    QList<Bookmark> rows;
    if (sources.chromium) {
        for (const QString &file : chromiumbookmarks::files(config))
            rows += chromiumbookmarks::readPath(file);
    }
    if (sources.firefox) {
        for (const QString &file : firefoxbookmarks::files(home, config))
            rows += firefoxbookmarks::read(file);
    }
    if (!sources.bookmarkFile.isEmpty())
        rows += readBookmarkFilePath(sources.bookmarkFile);
    dropFileUrls(rows);
    return rows;
}

} // namespace pw::client
