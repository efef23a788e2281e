#include "pagetext.h"

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// One pass is enough for a pattern whose replacement cannot form it again with the text
// around it: the replacement holds none of the pattern's characters.
QString replaceAll(QStringView text, QStringView pattern, QStringView with)
{
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(pattern); at >= 0; at = text.indexOf(pattern, from)) {
        out += text.sliced(from, at - from);
        out += with;
        from = at + pattern.size();
    }
    out += text.sliced(from);
    return out;
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

} // namespace

QString joinPageLines(const QStringList &lines)
{
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 1;
    QString text;
    text.reserve(size);
    for (const QString &line : lines) {
        text += u' ';
        text += QStringView(line).trimmed();
    }
    return text;
}

QString replacePageEntities(QStringView text)
{
    // An "&" left by "&amp;" can start another one with what follows, so the output is
    // reduced at its end as it grows; "&amp;amp;" ends as "&" as repeated replacing has it.
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        out += c;
        if (c == u';' && out.endsWith(u"&amp;"))
            out.chop(4);
    }
    out = replaceAll(out, u"&quot;", u"\"");
    out = replaceAll(out, u"&copy", u"\u00a9");
    for (QChar &c : out) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return replaceAll(out, u"&nbsp;", u" ");
}

QString removeLeadingComments(QStringView text)
{
    // What is kept goes to `out`; `rest` is the text not yet looked at. A cut can join the
    // end of `out` and the start of `rest` into a new "<!--" or "-->", so both are searched
    // as one text. `out` never holds a whole one, which keeps each search short.
    QString out;
    QStringView rest = text;
    for (;;) {
        const qsizetype open = indexAcross(out, rest, u"<!--");
        if (open < 0)
            break;
        const qsizetype close = indexAcross(out, rest, u"-->");
        if (close < open)
            break; // none at all (-1), or one before the opener
        const qsizetype restFrom = close + 3 - out.size();
        if (open < out.size())
            out.truncate(open);
        else
            out += rest.first(open - out.size());
        rest = rest.sliced(restFrom);
    }
    out += rest;
    return out;
}

QString pageText(const QStringList &lines)
{
    return removeLeadingComments(replacePageEntities(joinPageLines(lines)));
}

QString asciiLower(QStringView text)
{
    QString lower(text.size(), Qt::Uninitialized);
    QChar *to = lower.data();
    for (const QChar c : text)
        *to++ = (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 32) : c;
    return lower;
}

} // namespace pw::client
