#include "newentry.h"

using namespace Qt::StringLiterals;

namespace pw::client {

UrlEntry newEntry(const Settings &settings, const QString &url, const QString &description)
{
    UrlEntry e;
    e[UrlEntry::Description] = description;
    e[UrlEntry::Url] = url;
    e[UrlEntry::LastModified] = u"*"_s;
    e[UrlEntry::Size] = u"*"_s;
    e[UrlEntry::KeepOne] = u"FALSE"_s;
    e[UrlEntry::SizePriority] = u"FALSE"_s;
    e[UrlEntry::Highlighting] = u"TRUE"_s;
    e[UrlEntry::Delay] = settings.httptimeout;
    e[UrlEntry::TimeOut] = settings.slowtimeout;
    e[UrlEntry::HighlightColor] = u"clYellow"_s;
    e[UrlEntry::KeywordColor] = u"clRed"_s;
    e[UrlEntry::Keywording] = u"FALSE"_s;
    e[UrlEntry::WordChecked] = u"FALSE"_s;
    e[UrlEntry::CaseSensitive] = u"FALSE"_s;
    e[UrlEntry::SizeThreshold] = settings.bytethresh;
    return e;
}

} // namespace pw::client
