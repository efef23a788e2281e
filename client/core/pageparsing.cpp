#include "pageparsing.h"

#include "pageaddress.h"
#include "pagetext.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// The next place of a pattern at or after a position that only grows. The answer is
// kept until the position passes it, so a pattern that lies far ahead (or nowhere) is
// looked for once, not on every pass: the whole scan reads the text a bounded number of
// times however many passes it makes.
class NextMatch
{
public:
    NextMatch(QByteArrayView text, QByteArrayView pattern)
        : m_text(text)
        , m_pattern(pattern)
    {
    }

    // -1 when there is none.
    qsizetype from(qsizetype pos)
    {
        if (m_at == kUnknown || (m_at >= 0 && m_at < pos))
            m_at = m_text.indexOf(m_pattern, pos);
        return m_at;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    QByteArrayView m_text;
    QByteArrayView m_pattern;
    qsizetype m_at = kUnknown;
};

enum class Keyword { Href, Frame, Option, Param };

// Takes the quotes off an attribute value and keeps what can be an address. A value
// opened by a single quote ends at the next one, as one opened by a double quote does at
// the next double quote; otherwise the attributes after it would stick to the address.
QStringView cleanValue(QStringView value)
{
    const bool singleQuoted = value.startsWith(u'\'');
    if (!value.isEmpty() && (value.front() == u'"' || value.front() == u'\''))
        value = value.sliced(1);
    if (!value.isEmpty() && (value.back() == u'"' || value.back() == u'\''))
        value.chop(1);
    if (const qsizetype quote = value.indexOf(u'"'); quote >= 0)
        value.truncate(quote);
    if (const qsizetype quote = value.indexOf(u'\''); singleQuoted && quote >= 0)
        value.truncate(quote);
    value = value.trimmed();
    if (const qsizetype blank = value.indexOf(u' '); blank >= 0)
        value.truncate(blank);
    if (const qsizetype gt = value.indexOf(u'>'); gt >= 0)
        value.truncate(gt);
    return value.trimmed();
}

bool hasBadChar(QStringView text)
{
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u' ':
        case u'"':
        case u'`':
        case u'(':
        case u')':
        case u'<':
        case u'>':
        case u'[':
        case u']':
        case u'^':
        case u'{':
        case u'|':
        case u'}':
        case 0x7f:
            return true;
        default:
            if (c.unicode() < 0x20)
                return true;
        }
    }
    return false;
}

// The list being filled: each address once, without regard to case. The key is the case
// folding that QString's case-insensitive comparison uses.
class AddressList
{
public:
    explicit AddressList(QStringList &result)
        : m_result(result)
    {
        m_listed.reserve(result.size());
        for (const QString &address : std::as_const(result))
            m_listed.insert(address.toCaseFolded());
    }

    // Filters a candidate and adds what is left of it, unless it is listed already.
    void offer(QString &&candidate)
    {
        const QStringView kept = filterCandidate(candidate);
        // Checked on what the filter left: its cuts can take the whole host ("//#top").
        if (kept.isEmpty() || !hasHost(kept))
            return;
        // What the filter keeps is the front of the candidate.
        candidate.truncate(kept.size());
        const QString key = candidate.toCaseFolded();
        if (m_listed.contains(key))
            return;
        m_listed.insert(key);
        m_result += std::move(candidate);
    }

private:
    QStringList &m_result;
    QSet<QString> m_listed;
};

class Scanner
{
public:
    Scanner(const QString &text, bool frameMode, const PageAddress &page)
        : m_text(text)
        , m_lower(asciiLowerBytes(text))
        , m_frameMode(frameMode)
        , m_page(page)
        , m_href(m_lower, "href")
        , m_frame(m_lower, "frame ")
        , m_option(m_lower, "option ")
        , m_param(m_lower, "param ")
        , m_src(m_lower, "src")
        , m_value(m_lower, "value")
        , m_gt(m_lower, ">")
        , m_eq(m_lower, "=")
    {
    }

    // Hands the candidates to the list in the order found.
    void scan(AddressList &list)
    {
        const qsizetype size = m_text.size();
        qsizetype pos = 0;
        for (;;) {
            Keyword keyword = Keyword::Frame;
            qsizetype at = m_frame.from(pos);
            qsizetype length = 6;
            if (!m_frameMode) {
                const auto earlier = [&](NextMatch &match, Keyword k, qsizetype len) {
                    const qsizetype i = match.from(pos);
                    if (i >= 0 && (at < 0 || i < at)) {
                        at = i;
                        keyword = k;
                        length = len;
                    }
                };
                earlier(m_href, Keyword::Href, 4);
                earlier(m_option, Keyword::Option, 7);
                earlier(m_param, Keyword::Param, 6);
            }
            if (at < 0)
                break;
            pos = at + length;

            if (keyword != Keyword::Href) {
                // Positions here count from 1 within the rest, 0 when missing.
                NextMatch &attribute = keyword == Keyword::Frame ? m_src : m_value;
                const qsizetype attributeLength = keyword == Keyword::Frame ? 3 : 5;
                const qsizetype gt = m_gt.from(pos);
                const qsizetype found = attribute.from(pos);
                const qsizetype h = gt < 0 ? 0 : gt - pos + 1;
                const qsizetype s = found < 0 ? 0 : found - pos + 1;
                if (h < s) {
                    pos += h;
                    continue;
                }
                pos = qMin(size, pos + s + attributeLength - 1);
            }

            const qsizetype gt = m_gt.from(pos);
            const qsizetype eq = m_eq.from(pos);
            if (gt < 0 || eq < 0)
                break;
            if (gt < eq) {
                pos = gt + 1;
                continue;
            }
            QStringView value = QStringView(m_text).sliced(eq + 1, gt - eq - 1).trimmed();
            pos = gt + 1;

            if (const qsizetype alt = indexOfNoCase(value, u" alt"); alt >= 0)
                value.truncate(alt);
            if ((keyword == Keyword::Option || keyword == Keyword::Param) && !hasPageExtension(value, true))
                continue;
            const QStringView cleaned = cleanValue(value);
            // A fragment is a place in this page, and a value with a scheme of its own is
            // no page below the site.
            if (cleaned.isEmpty() || cleaned.startsWith(u'#') || hasOtherScheme(cleaned))
                continue;
            QString address = m_page.absolute(cleaned);
            if (const qsizetype quote = address.indexOf(u'"'); quote >= 0)
                address.truncate(quote);
            if (hasBadChar(address))
                continue;
            list.offer(std::move(address));
        }
    }

private:
    const QString &m_text;
    const QByteArray m_lower; // where the keywords are searched for
    const bool m_frameMode;
    const PageAddress &m_page;
    NextMatch m_href, m_frame, m_option, m_param, m_src, m_value, m_gt, m_eq;
};

} // namespace

bool checkbadchars(const QString &text)
{
    return hasBadChar(text);
}

bool PageParsing(const QStringList &lines, QStringList &result, bool frameMode, const QString &pageUrl)
{
    if (lines.isEmpty())
        return false;
    const PageAddress page(pageUrl);
    const QString text = pageText(lines);
    AddressList list(result);
    Scanner(text, frameMode, page).scan(list);
    return true;
}

} // namespace pw::client
