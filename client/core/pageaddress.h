#pragma once

#include <QString>
#include <QStringView>

namespace pw::client {

// Where a page's relative links lead: its scheme, host and port ("site") and its
// directory ("base"). User information, query and fragment of the page address are not
// part of either.
class PageAddress
{
public:
    explicit PageAddress(QStringView pageUrl);

    QString scheme() const { return m_scheme; } // "http" or "https"
    QString site() const { return m_site; }     // "http://host:8080"
    QString base() const { return m_base; }     // "http://host:8080/dir/"

    // A link value made absolute. Values that begin "http://" or "https://" stay as they
    // are; `relative` tells whether the value was made absolute here.
    QString absolute(QStringView value, bool *relative = nullptr) const;

private:
    QString m_scheme;
    QString m_site;
    QString m_base;
};

// Whether a value names a scheme of its own other than http and https ("mailto:",
// "javascript:", "about:"): such a value is no page below the site.
bool hasOtherScheme(QStringView value);

// Whether an absolute address has a host: text between "://" and the next "/".
bool hasHost(QStringView address);

// A candidate address as it goes into the list: cut before "?target=", ";$" and "#";
// empty when it is to be dropped (a query left, another protocol, an extension that is
// no page). The answer is a part of `candidate`.
QStringView filterCandidate(QStringView candidate);

// Whether the text ends in one of the page extensions ".htm", ".html", ".asp", ".shtml",
// or, with `anywhere`, holds one; letters compared without regard to case.
bool hasPageExtension(QStringView text, bool anywhere);

} // namespace pw::client
