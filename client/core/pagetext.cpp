#include "pagetext.h"

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

bool endsWith(const QChar *end, qsizetype written, QStringView pattern)
{
    return written >= pattern.size() && QStringView(end - pattern.size(), pattern.size()) == pattern;
}

// Appends `text` at `to` with the entities and line-break characters replaced, and
// returns the new end. The output is reduced at its end as it grows: a pattern is
// replaced as soon as its last character arrives. That gives the text that replacing
// each pattern in turn until none is left gives: no pattern can overlap another, a
// replacement ends in no pattern's last character, and the one replacement that can
// start a new pattern ("&amp;" leaving "&") is reduced again when that pattern's last
// character comes.
QChar *appendReplacingEntities(QChar *to, const QChar *start, QStringView text)
{
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
        *to++ = c;
        const qsizetype written = to - start;
        if (c == u';') {
            if (endsWith(to, written, u"&amp;")) {
                to -= 4; // the "&" stays
            } else if (endsWith(to, written, u"&quot;")) {
                to -= 6;
                *to++ = u'"';
            } else if (endsWith(to, written, u"&nbsp;")) {
                to -= 6;
                *to++ = u' ';
            }
        } else if (c == u'y' && endsWith(to, written, u"&copy")) {
            to -= 5;
            *to++ = QChar(0xa9);
        }
    }
    return to;
}

// Whether `pattern` starts at position `at` of the text made of `head` followed by
// `tail`.
bool matchesAcross(QStringView head, QStringView tail, qsizetype at, QStringView pattern)
{
    if (at + pattern.size() > head.size() + tail.size())
        return false;
    for (qsizetype k = 0; k < pattern.size(); ++k) {
        const qsizetype i = at + k;
        if ((i < head.size() ? head[i] : tail[i - head.size()]) != pattern[k])
            return false;
    }
    return true;
}

// The first `pattern` in `head` + `tail`, where `head` holds no whole one: it either
// straddles the join or lies in `tail`.
qsizetype indexAcross(QStringView head, QStringView tail, QStringView pattern)
{
    for (qsizetype at = qMax<qsizetype>(0, head.size() - pattern.size() + 1); at < head.size(); ++at) {
        if (matchesAcross(head, tail, at, pattern))
            return at;
    }
    const qsizetype i = tail.indexOf(pattern);
    return i < 0 ? -1 : head.size() + i;
}

// Comment removal on the text itself: what is kept so far is its front (up to `kept`),
// the text not yet looked at its back (from `next`); the gap between them is what was cut.
// A cut can join the kept end and the rest into a new "<!--" or "-->", so both are
// searched as one text. The kept part never holds a whole one, which keeps each search
// short, and every character is moved at most once.
void removeCommentsInPlace(QString &text)
{
    QChar *data = text.data();
    qsizetype kept = 0;
    qsizetype next = 0;
    for (;;) {
        const QStringView head(data, kept);
        const QStringView rest(data + next, text.size() - next);
        const qsizetype open = indexAcross(head, rest, u"<!--");
        if (open < 0)
            break;
        const qsizetype close = indexAcross(head, rest, u"-->");
        if (close < open)
            break; // none at all (-1), or one before the opener
        const qsizetype restFrom = next + close + 3 - kept;
        if (open > kept)
            std::copy(data + next, data + next + (open - kept), data + kept);
        kept = open;
        next = restFrom;
    }
    if (next > kept) {
        std::copy(data + next, data + text.size(), data + kept);
        text.truncate(kept + (text.size() - next));
    }
}

} // namespace

QString replacePageEntities(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    QChar *start = out.data();
    out.truncate(appendReplacingEntities(start, start, text) - start);
    return out;
}

QString removeLeadingComments(QStringView text)
{
    QString out = text.toString();
    removeCommentsInPlace(out);
    return out;
}

QString pageText(const QStringList &lines)
{
    // One buffer for all of it: no pattern of the entity step holds a blank, so none can
    // reach across the blank that joins two lines, and each line can be replaced as it is
    // appended.
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 1;
    QString text(size, Qt::Uninitialized);
    QChar *start = text.data();
    QChar *to = start;
    for (const QString &line : lines) {
        *to++ = u' ';
        to = appendReplacingEntities(to, start, QStringView(line).trimmed());
    }
    text.truncate(to - start);
    removeCommentsInPlace(text);
    return text;
}

namespace {

char16_t foldAscii(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
}

bool equalsNoCase(const QChar *text, QStringView lowerPattern)
{
    for (qsizetype k = 0; k < lowerPattern.size(); ++k) {
        if (foldAscii(text[k]) != lowerPattern[k].unicode())
            return false;
    }
    return true;
}

} // namespace

qsizetype indexOfNoCase(QStringView text, QStringView lowerPattern, qsizetype from)
{
    for (qsizetype at = from; at + lowerPattern.size() <= text.size(); ++at) {
        if (equalsNoCase(text.data() + at, lowerPattern))
            return at;
    }
    return -1;
}

bool startsWithNoCase(QStringView text, QStringView lowerPattern)
{
    return text.size() >= lowerPattern.size() && equalsNoCase(text.data(), lowerPattern);
}

bool endsWithNoCase(QStringView text, QStringView lowerPattern)
{
    return text.size() >= lowerPattern.size()
           && equalsNoCase(text.data() + text.size() - lowerPattern.size(), lowerPattern);
}

QByteArray asciiLowerBytes(QStringView text)
{
    QByteArray lower(text.size(), Qt::Uninitialized);
    char *to = lower.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *to++ = char(u >= 0x80 ? 0x80 : (u >= u'A' && u <= u'Z') ? u + 32 : u);
    }
    return lower;
}

} // namespace pw::client
