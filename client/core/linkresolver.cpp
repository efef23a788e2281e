#include "linkresolver.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

bool isUnsupported(const QString &link)
{
    // Mail, gopher and ftp links have no place in a web browser hand-over; secure links
    // go to the browser like plain ones.
    for (const QString &scheme : {u"mailto:"_s, u"gopher://"_s, u"ftp://"_s}) {
        if (link.contains(scheme, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The directory `levels` up from a base ("http://host/a/b/"), never above the host.
QString climb(const StoredPageAddress &page, int levels)
{
    QString path = page.base.mid(page.scheme.size()); // "host/a/b/"
    if (path.endsWith(u'/'))
        path.chop(1);
    for (int i = 0; i < levels; ++i) {
        const qsizetype slash = path.lastIndexOf(u'/');
        if (slash < 0)
            break; // at the host
        path.truncate(slash);
    }
    return page.scheme + path + u'/';
}

// The resolutions both a click and the pointer share; "../" links differ.
std::optional<QString> resolveCommon(const QString &link, const StoredPageAddress &page)
{
    if (link.contains(u"://"_s))
        return link;
    // Protocol-relative: the page's own scheme.
    if (link.startsWith(u"//"_s))
        return page.scheme.left(page.scheme.size() - 2) + link;
    if (link.startsWith(u"/."_s))
        return page.siteRoot + link.mid(2);
    if (link.startsWith(u'/'))
        return page.siteRoot + link;
    if (link.startsWith(u"./"_s))
        return page.base + link.mid(2);
    if (link.startsWith(u"../"_s))
        return std::nullopt;
    return page.base + link;
}

} // namespace

StoredPageAddress splitPageUrl(const QString &url)
{
    StoredPageAddress page;
    page.pageUrl = url;
    const qsizetype mark = url.indexOf(u"://"_s);
    if (mark < 0)
        return page;
    page.ok = true;
    page.scheme = url.left(mark + 3).trimmed();
    const QString rest = url.mid(mark + 3);
    const qsizetype firstSlash = rest.indexOf(u'/');
    const QString host = (firstSlash < 0 ? rest : rest.left(firstSlash)).trimmed();
    QString directory;
    if (rest.endsWith(u'/'))
        directory = rest;
    else if (const qsizetype lastSlash = rest.lastIndexOf(u'/'); lastSlash >= 0)
        directory = rest.left(lastSlash + 1);
    else
        directory = host + u'/';
    page.siteRoot = page.scheme + host;
    page.base = page.scheme + directory.trimmed();
    return page;
}

LinkAction resolveClick(const QString &link, const StoredPageAddress &page)
{
    if (link.isEmpty())
        return {};
    if (isUnsupported(link))
        return {LinkAction::Unsupported, {}};
    if (const auto common = resolveCommon(link, page))
        return {LinkAction::Open, *common};
    // "../": one level up from the base, the rest of the link left to the browser.
    if (!page.ok)
        return {LinkAction::Unparsable, {}};
    return {LinkAction::Open, climb(page, 1) + link.mid(3)};
}

QString resolvePointer(const QString &link, const StoredPageAddress &page)
{
    if (link.isEmpty() || isUnsupported(link))
        return link;
    if (const auto common = resolveCommon(link, page))
        return *common;
    if (!page.ok)
        return {};
    int levels = 0;
    QString rest = link;
    while (rest.startsWith(u"../"_s)) {
        rest.remove(0, 3);
        ++levels;
    }
    return climb(page, levels) + rest;
}

} // namespace pw::client
