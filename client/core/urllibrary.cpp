#include "urllibrary.h"

#include "inifile.h"

#include "store/paths.h"

#include <QDir>
#include <QFileInfo>

#include <map>

using namespace Qt::StringLiterals;

namespace pw::client::urllibrary {

namespace {

QString nameOf(const IniFile &ini)
{
    const QString name = ini.value(u"Category"_s, u"Name"_s);
    // An empty name would make an unnamed list in the Quick Start.
    return name.isEmpty() ? u"Unknown"_s : name;
}

QList<LibraryEntry> entriesOf(const IniFile &ini)
{
    bool ok = false;
    const qint64 count = ini.value(u"Count"_s, u"Value"_s).toLongLong(&ok);
    if (!ok || count <= 0)
        return {};
    // Walk the keys that are there rather than 0..Count-1: a Count of two billion must
    // not keep the window busy.
    std::map<qint64, LibraryEntry> byIndex;
    for (const QString &key : ini.keys(u"URL"_s)) {
        bool isNumber = false;
        const qint64 i = key.toLongLong(&isNumber);
        if (!isNumber || i < 0 || i >= count || key != QString::number(i))
            continue;
        const QString url = ini.value(u"URL"_s, key);
        if (url.isEmpty())
            continue;
        const QString title = ini.value(u"Description"_s, key);
        byIndex[i] = {title.isEmpty() ? url : title, url};
    }
    QList<LibraryEntry> out;
    out.reserve(qsizetype(byIndex.size()));
    for (const auto &[i, entry] : byIndex)
        out.append(entry);
    return out;
}

} // namespace

QString libraryDir()
{
    return paths::installDir() + u"wizdata"_s;
}

QList<LibraryCategory> categories(const QString &dir, bool *exists)
{
    const QDir folder(dir);
    if (exists)
        *exists = folder.exists();
    QList<LibraryCategory> out;
    if (!folder.exists())
        return out;
    const QStringList files = folder.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &file : files) {
        if (!file.contains(u".dta"_s, Qt::CaseInsensitive))
            continue;
        const QString path = folder.filePath(file);
        out.append({path, categoryName(path)});
    }
    return out;
}

QString categoryName(const QString &file)
{
    return nameOf(IniFile::load(file));
}

QList<LibraryEntry> entries(const QString &file)
{
    return entriesOf(IniFile::load(file));
}

QList<LibraryEntry> parseEntries(const QByteArray &content)
{
    return entriesOf(IniFile(content));
}

QString parseCategoryName(const QByteArray &content)
{
    return nameOf(IniFile(content));
}

} // namespace pw::client::urllibrary
