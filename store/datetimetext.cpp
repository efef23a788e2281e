#include "datetimetext.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace pw::datetime {

QString fullText(const QDateTime &when)
{
    return QLocale::c().toString(when, u"M/d/yyyy h:mm:ss AP"_s);
}

QString minuteText(const QDateTime &when)
{
    return QLocale::c().toString(when, u"M/d/yyyy h:mm AP"_s);
}

QDateTime parse(QStringView text)
{
    const QLocale c = QLocale::c();
    const QString trimmed = text.trimmed().toString();
    for (const QString &format : {u"M/d/yyyy h:mm:ss AP"_s, u"M/d/yyyy h:mm AP"_s}) {
        const QDateTime parsed = c.toDateTime(trimmed, format);
        if (parsed.isValid())
            return parsed;
    }
    // Older files and hand-written examples use a two-digit year.
    for (const QString &format : {u"M/d/yy h:mm:ss AP"_s, u"M/d/yy h:mm AP"_s}) {
        QDateTime parsed = c.toDateTime(trimmed, format);
        if (parsed.isValid()) {
            if (parsed.date().year() < 1950)
                parsed = parsed.addYears(100);
            return parsed;
        }
    }
    return {};
}

} // namespace pw::datetime
