#include "webboxeslist.h"

#include "fileio.h"
#include "settings.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace pw {

WebBoxesList loadWebBoxesList(QSettings &store, const QString &dataDirectory)
{
    WebBoxesList list;
    store.beginGroup(u"WebBoxes"_s);
    bool ok = false;
    settings::readText(store, u"Count"_s, u"0"_s).toInt(&ok, 10);
    store.endGroup();
    if (!ok) {
        list.countValid = false;
        return list;
    }
    QString dir = dataDirectory;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    // readList applies the count and skips empty values.
    for (const QString &name : settings::readList(store, u"WebBoxes"_s)) {
        if (!isSafeListName(name) || containsListName(list.names, name))
            continue;
        if (QFileInfo(dir + name).isDir())
            list.names.append(name);
    }
    return list;
}

void saveWebBoxesList(QSettings &store, const QStringList &names)
{
    settings::writeList(store, u"WebBoxes"_s, names);
}

bool containsListName(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

QString storedListName(const QStringList &names, const QString &name)
{
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return {};
}

bool isSafeListName(const QString &name)
{
    if (name.isEmpty())
        return false;
    bool onlyDots = true;
    for (const QChar c : name) {
        if (c != u'.')
            onlyDots = false;
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    if (onlyDots)
        return false;
    return name.compare(u"index.ctl"_s, Qt::CaseInsensitive) != 0
           && name.compare(u"window.lst"_s, Qt::CaseInsensitive) != 0;
}

} // namespace pw
