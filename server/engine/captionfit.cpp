#include "captionfit.h"

using namespace Qt::StringLiterals;

namespace pw::server {

QString fitCaption(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    // The longest prefix that fits, found by halving: a prefix is never wider than the
    // text it starts, so this is the prefix that cutting one character at a time reaches.
    // Every character is at least a pixel wide, so the search starts at `width` characters.
    qsizetype fits = 0;
    qsizetype tooWide = std::min<qsizetype>(text.size(), width + 1);
    while (tooWide - fits > 1) {
        const qsizetype middle = (fits + tooWide) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width)
            fits = middle;
        else
            tooWide = middle;
    }
    return text.left(fits) + u"..."_s;
}

} // namespace pw::server
