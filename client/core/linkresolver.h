#pragma once

#include <QString>

namespace pw::client {

// Where a stored page came from, split so that its relative links can be resolved.
struct StoredPageAddress
{
    bool ok = false;  // false when the URL holds no "://"
    QString scheme;   // "http://"
    QString siteRoot; // "http://host"
    QString base;     // "http://host/dir/", always ending in "/"
    QString pageUrl;
};

StoredPageAddress splitPageUrl(const QString &url);

// What a click on a link of a stored page does.
struct LinkAction
{
    enum Kind {
        Nothing,     // an empty link
        Open,        // hand `url` to the system's browser
        Unsupported, // "Link not supported in Graphic-Free Browser."
        Unparsable,  // "Unable to parse URL" and the link
    };
    Kind kind = Nothing;
    QString url;
};

// `HTMLViewer1HotSpotClick`: the address a click opens.
LinkAction resolveClick(const QString &link, const StoredPageAddress &page);
// `HTMLViewer1HotSpotCovered`: the address shown while the pointer is over the link.
QString resolvePointer(const QString &link, const StoredPageAddress &page);

} // namespace pw::client
