#pragma once

#include "store/urllist.h"

#include <QStringList>

namespace pwtest {

// One URL entry with the editor's usual values: nothing known yet, no options on.
inline pw::UrlEntry urlEntry(const QString &url, const QString &description = QStringLiteral("Page"))
{
    pw::UrlEntry e;
    const QStringList values{description,
                             url,
                             QStringLiteral("*"),
                             QStringLiteral("*"),
                             QString(),
                             QString(),
                             QStringLiteral("FALSE"),
                             QStringLiteral("FALSE"),
                             QStringLiteral("FALSE"),
                             QStringLiteral("60"),
                             QStringLiteral("30"),
                             QStringLiteral("clYellow"),
                             QStringLiteral("clRed"),
                             QStringLiteral("FALSE"),
                             QString(),
                             QStringLiteral("FALSE"),
                             QStringLiteral("FALSE"),
                             QStringLiteral("500")};
    for (int i = 0; i < pw::UrlEntry::kValueCount; ++i)
        e.values[i] = values[i];
    return e;
}

} // namespace pwtest
