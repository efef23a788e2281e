#include "highlightjoin.h"

#include <cstring>

namespace pw::server {

namespace {

bool containsIgnoringCase(QByteArrayView line, QByteArrayView needle)
{
    // Every needle here starts with "<", so only the places of that byte are tried.
    const char *data = line.data();
    const qsizetype last = line.size() - needle.size();
    for (qsizetype i = 0; i <= last; ++i) {
        const void *hit = std::memchr(data + i, '<', size_t(last - i + 1));
        if (!hit)
            return false;
        i = static_cast<const char *>(hit) - data;
        if (line.sliced(i, needle.size()).compare(needle, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QByteArray joinLines(const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 4;
    QByteArray joined;
    joined.reserve(size);
    bool preformatted = false;
    for (const QByteArray &line : lines) {
        if (containsIgnoringCase(line, "<pre>"))
            preformatted = true;
        if (containsIgnoringCase(line, "</pre>"))
            preformatted = false;
        joined.append(preformatted ? QByteArrayView("<BR>") : QByteArrayView(" "));
        joined.append(line);
    }
    return joined;
}

QByteArray joinPageLines(const QList<QByteArray> &lines)
{
    QList<QByteArray> withMarker;
    withMarker.reserve(lines.size() + 1);
    withMarker.append(lines);
    withMarker.append(kEndMarker.toByteArray());
    return joinLines(withMarker);
}

} // namespace pw::server
