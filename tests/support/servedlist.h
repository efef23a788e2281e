#pragma once

#include "nginxserver.h"
#include "urlentries.h"

#include "store/paths.h"
#include "store/urllist.h"
#include "store/webboxeslist.h"

#include <QDir>

namespace pwtest {

// A URL List of `pages` small pages that `web` serves ("Page 0" ... ), written to the
// data directory and made the only known list. False when a file could not be written.
inline bool serveList(const NginxServer &web, const QString &name, int pages)
{
    QList<pw::UrlEntry> entries;
    for (int i = 0; i < pages; ++i) {
        const QString file = QStringLiteral("page%1.html").arg(i);
        if (!web.put(file, "<html><body><p>Page " + QByteArray::number(i) + "</p></body></html>\n"))
            return false;
        entries.append(urlEntry(web.url(file), QStringLiteral("Page %1").arg(i)));
    }
    QDir().mkpath(pw::paths::dataDir());
    if (!pw::writeUrlList(pw::paths::dataDir(), name, entries))
        return false;
    auto store = pw::paths::openSettings();
    pw::saveWebBoxesList(*store, {name});
    return true;
}

} // namespace pwtest
