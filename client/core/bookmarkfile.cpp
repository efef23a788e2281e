#include "bookmarkfile.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// Exported files escape "&", "<", ">" and quotes; an address with "&amp;" in it would
// not be the address the user bookmarked.
QString unescape(QString text)
{
    if (!text.contains(u'&'))
        return text;
    text.replace(u"&lt;"_s, u"<"_s, Qt::CaseInsensitive);
    text.replace(u"&gt;"_s, u">"_s, Qt::CaseInsensitive);
    text.replace(u"&quot;"_s, u"\""_s, Qt::CaseInsensitive);
    text.replace(u"&#39;"_s, u"'"_s);
    text.replace(u"&#x27;"_s, u"'"_s, Qt::CaseInsensitive);
    text.replace(u"&amp;"_s, u"&"_s, Qt::CaseInsensitive);
    return text;
}

bool has(const QString &line, QStringView what)
{
    return line.contains(what, Qt::CaseInsensitive);
}

// A bookmark line: the address after HREF, the title between the next ">" and "<".
bool readAnchor(const QString &line, Bookmark &row)
{
    const qsizetype href = line.indexOf(u"HREF"_s, 0, Qt::CaseInsensitive);
    qsizetype at = href + 4;
    QChar quote = u' ';
    while (at < line.size()) {
        const QChar c = line.at(at);
        if (c == u'"' || c == u'\'')
            quote = c;
        else if (c != u' ' && c != u'=')
            break;
        ++at;
    }
    qsizetype end = at;
    while (end < line.size()) {
        const QChar c = line.at(end);
        if (c == u' ' || c == u'>' || c == quote)
            break;
        ++end;
    }
    const qsizetype open = line.indexOf(u'>', at);
    if (open < 0)
        return false;
    qsizetype close = line.indexOf(u'<', open + 1);
    if (close < 0)
        close = line.size();
    row.url = unescape(line.mid(at, end - at));
    row.title = shortenTitle(unescape(line.mid(open + 1, close - open - 1)));
    return true;
}

} // namespace

QList<Bookmark> readBookmarkFile(const QByteArray &content)
{
    QList<Bookmark> rows;
    int depth = 0; // open folders; kept as a count so no input can nest us deeply
    const QString text = QString::fromUtf8(content);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        const QString line = text.mid(start, end - start);
        start = end + 1;
        if (line.isEmpty())
            continue;
        if (const qsizetype h3 = line.indexOf(u"<H3"_s, 0, Qt::CaseInsensitive); h3 >= 0) {
            if (line.indexOf(u'>', h3 + 2) >= 0)
                ++depth;
            continue;
        }
        if (has(line, u"</DL")) {
            if (depth == 0)
                break;
            --depth;
            continue;
        }
        if (has(line, u"<HR")) {
            rows.append({u"-"_s, {}, true});
            continue;
        }
        if (has(line, u"<A ") && has(line, u"HREF")) {
            Bookmark row;
            if (readAnchor(line, row))
                rows.append(row);
        }
    }
    return rows;
}

QList<Bookmark> readBookmarkFilePath(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readBookmarkFile(file.read(kMaxBookmarkBytes));
}

} // namespace pw::client
