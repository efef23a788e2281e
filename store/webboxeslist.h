#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace pw {

struct WebBoxesList
{
    QStringList names;
    bool countValid = true; // false when "Count" is no whole number
};

// The known URL Lists: the "WebBoxes" names in order, each kept only when it is a safe
// name, not a case-insensitive repeat of an earlier one, and its folder exists in the
// data directory.
WebBoxesList loadWebBoxesList(QSettings &store, const QString &dataDirectory);
void saveWebBoxesList(QSettings &store, const QStringList &names);

// Whether `names` holds `name`, ignoring letter case; the stored spelling when it does.
bool containsListName(const QStringList &names, const QString &name);
QString storedListName(const QStringList &names, const QString &name);

// A name that is safe as a folder and file name: not empty, not only dots, no path
// separator or control character, and not one of the data directory's own files.
bool isSafeListName(const QString &name);

} // namespace pw
