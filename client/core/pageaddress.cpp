#include "pageaddress.h"

#include "pagetext.h"

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr QStringView kPageExtensions[] = {u".htm", u".html", u".asp", u".shtml"};

// The address schemes that are never listed, found anywhere in a candidate.
constexpr QStringView kOtherProtocols[] = {u"gopher://", u"javascript:", u"ftp://",
                                           u"news://",   u"file://",     u"telnet://"};

bool isSchemeChar(QChar c, bool first)
{
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (first)
        return letter;
    return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

} // namespace

PageAddress::PageAddress(QStringView pageUrl)
{
    m_scheme = startsWithNoCase(pageUrl, u"https://") ? u"https"_s : u"http"_s;
    const qsizetype mark = pageUrl.indexOf(u"://");
    QStringView rest = mark >= 0 ? pageUrl.sliced(mark + 3) : pageUrl;
    // A query or fragment of the page itself says nothing about its directory, and may
    // hold a "/" of its own.
    for (const QChar end : {u'?', u'#'}) {
        if (const qsizetype at = rest.indexOf(end); at >= 0)
            rest.truncate(at);
    }
    const qsizetype slash = rest.indexOf(u'/');
    QStringView authority = slash >= 0 ? rest.first(slash) : rest;
    const QStringView path = slash >= 0 ? rest.sliced(slash) : QStringView();
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0)
        authority = authority.sliced(at + 1);

    QStringView directory = u"/";
    if (!path.isEmpty())
        directory = path.first(path.lastIndexOf(u'/') + 1);
    m_site = m_scheme + u"://"_s + authority;
    m_base = m_site + directory;
}

QString PageAddress::absolute(QStringView value, bool *relative) const
{
    if (relative)
        *relative = true;
    if (startsWithNoCase(value, u"http://") || startsWithNoCase(value, u"https://")) {
        if (relative)
            *relative = false;
        return value.toString();
    }
    if (value.startsWith(u"//"))
        return m_scheme + u':' + value;
    // "/./x" is "/x"; other values that begin "/." ("/.well-known/", "/../") are paths
    // below the site like any other.
    if (value == u"/." || value.startsWith(u"/./"))
        return m_site + value.sliced(2);
    if (value.startsWith(u"../")) {
        qsizetype climbs = 0;
        while (value.startsWith(u"../")) {
            value = value.sliced(3);
            ++climbs;
        }
        QStringView part = QStringView(m_base).sliced(m_scheme.size() + 3);
        part.chop(1); // the base's own "/"
        for (; climbs > 0; --climbs) {
            const qsizetype slash = part.lastIndexOf(u'/');
            if (slash < 0)
                break; // never above the host
            part.truncate(slash);
        }
        const QStringView slash = part.endsWith(u'/') ? QStringView() : QStringView(u"/");
        return m_scheme + u"://"_s + part + slash + value;
    }
    if (value.startsWith(u"./"))
        return m_base + value.sliced(2);
    if (value.startsWith(u".."))
        return m_base.first(QStringView(m_base).chopped(1).lastIndexOf(u'/') + 1);
    if (value == u"/")
        return m_site;
    if (value.startsWith(u'/'))
        return m_site + value;
    return m_base + value;
}

bool hasOtherScheme(QStringView value)
{
    const qsizetype colon = value.indexOf(u':');
    if (colon <= 0)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        if (!isSchemeChar(value[i], i == 0))
            return false;
    }
    const QStringView scheme = value.first(colon);
    return !(scheme.size() == 4 && startsWithNoCase(scheme, u"http"))
           && !(scheme.size() == 5 && startsWithNoCase(scheme, u"https"));
}

bool hasHost(QStringView address)
{
    const qsizetype mark = address.indexOf(u"://");
    if (mark < 0)
        return false;
    const qsizetype start = mark + 3;
    return start < address.size() && address[start] != u'/';
}

bool hasPageExtension(QStringView text, bool anywhere)
{
    for (const QStringView extension : kPageExtensions) {
        if (anywhere ? containsNoCase(text, extension) : endsWithNoCase(text, extension))
            return true;
    }
    return false;
}

QStringView filterCandidate(QStringView candidate)
{
    QStringView kept = candidate;
    if (const qsizetype at = indexOfNoCase(kept, u"?target="); at >= 0)
        kept.truncate(at);
    for (const QStringView cut : {QStringView(u";$"), QStringView(u"#")}) {
        if (const qsizetype at = kept.indexOf(cut); at >= 0)
            kept.truncate(at);
    }
    if (kept.contains(u'?'))
        return {};
    kept = kept.trimmed();
    if (kept.isEmpty())
        return {};
    for (const QStringView protocol : kOtherProtocols) {
        if (containsNoCase(kept, protocol))
            return {};
    }
    if (!kept.endsWith(u'/')) {
        const qsizetype mark = kept.indexOf(u"://");
        const qsizetype hostStart = mark >= 0 ? mark + 3 : 0;
        const qsizetype slash = kept.indexOf(u'/', hostStart);
        if (slash >= 0) {
            const QStringView segment = kept.sliced(kept.lastIndexOf(u'/') + 1);
            if (segment.contains(u'.') && !hasPageExtension(segment, false))
                return {};
        }
    }
    if (const qsizetype blank = kept.indexOf(u' '); blank >= 0)
        kept.truncate(blank);
    return kept;
}

} // namespace pw::client
