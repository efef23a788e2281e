#include "quickstartname.h"

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

bool replaced(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x20 && u <= 0x26) || (u >= 0x28 && u <= 0x2B) || u == 0x2E || u == 0x2F || (u >= 0x3A && u <= 0x40)
           || (u >= 0x5B && u <= 0x5E) || u == 0x60 || (u >= 0x7B && u <= 0x7E) || u < 0x20
           || u == 0x7F; // a control character cannot be part of a file name here
}

} // namespace

QString quickStartName(const QString &category, const QStringList &taken)
{
    QString name;
    name.reserve(category.size());
    for (qsizetype i = 0; i < category.size(); ++i) {
        // "&&" keeps one "&" (which the filter then replaces); a last "&" stays.
        if (category.at(i) == u'&' && i + 1 < category.size())
            ++i;
        name.append(replaced(category.at(i)) ? u'_' : category.at(i));
    }
    if (name.isEmpty())
        name = u"_"_s;
    if (!taken.contains(name, Qt::CaseInsensitive))
        return name;
    for (int n = 1;; ++n) {
        const QString candidate = name + QString::number(n);
        if (!taken.contains(candidate, Qt::CaseInsensitive))
            return candidate;
    }
}

} // namespace pw::client
