#include "listnamecheck.h"

#include "store/webboxeslist.h"

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// The blank and the printable punctuation except the apostrophe, comma, hyphen, full
// stop and underscore.
bool isForbidden(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x20 && u <= 0x26) || (u >= 0x28 && u <= 0x2B) || u == 0x2F || (u >= 0x3A && u <= 0x40)
           || (u >= 0x5B && u <= 0x5E) || u == 0x60 || (u >= 0x7B && u <= 0x7E);
}

} // namespace

QString listNameError(const QString &name, const QStringList &nodeTexts)
{
    // A name also names a folder and files: only dots, the data directory's own files
    // and control characters are refused like any other bad character.
    if (!name.isEmpty() && (std::any_of(name.begin(), name.end(), isForbidden) || !isSafeListName(name)))
        return name + u" contains invalid characters. Please re-enter."_s;
    if (name.isEmpty())
        return u"You must enter a name in this field."_s;
    if (nodeTexts.contains(name, Qt::CaseInsensitive))
        return u"A WebBox or folder by that name already exists."_s;
    return {};
}

} // namespace pw::client
