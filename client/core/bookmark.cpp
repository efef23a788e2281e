#include "bookmark.h"

using namespace Qt::StringLiterals;

namespace pw::client {

QString shortenTitle(const QString &title)
{
    if (title.size() < 46)
        return title;
    return title.left(21) + u"..."_s + title.right(21);
}

void dropFileUrls(QList<Bookmark> &rows)
{
    rows.removeIf([](const Bookmark &row) { return row.url.contains(u"file://"_s, Qt::CaseInsensitive); });
}

} // namespace pw::client
