#include "chromiumbookmarks.h"

#include "bookmarkfile.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw::client::chromiumbookmarks {

QStringList files(const QString &configDir)
{
    QStringList found;
    const QStringList browsers = {u"chromium"_s, u"google-chrome"_s, u"microsoft-edge"_s,
                                  u"BraveSoftware/Brave-Browser"_s};
    QCollator numeric;
    numeric.setNumericMode(true);
    for (const QString &browser : browsers) {
        const QDir dir(configDir + u'/' + browser);
        QStringList profiles = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        // "Default" first, then "Profile 1", "Profile 2", ... "Profile 10".
        std::sort(profiles.begin(), profiles.end(), [&](const QString &a, const QString &b) {
            if ((a == u"Default"_s) != (b == u"Default"_s))
                return a == u"Default"_s;
            return numeric.compare(a, b) < 0;
        });
        for (const QString &profile : std::as_const(profiles)) {
            const QString file = dir.filePath(profile + u"/Bookmarks"_s);
            if (QFileInfo(file).isFile())
                found.append(file);
        }
    }
    return found;
}

QList<Bookmark> read(const QByteArray &json)
{
    QList<Bookmark> rows;
    const QJsonObject roots = QJsonDocument::fromJson(json).object().value(u"roots"_s).toObject();
    QStringList order = {u"bookmark_bar"_s, u"other"_s, u"synced"_s};
    QStringList rest = roots.keys();
    rest.removeIf([&](const QString &key) { return order.contains(key); });
    order += rest;

    // Depth first, each folder's children in order; a stack instead of recursion.
    struct Level
    {
        QJsonArray children;
        qsizetype next = 0;
    };
    for (const QString &key : std::as_const(order)) {
        const QJsonObject root = roots.value(key).toObject();
        if (root.isEmpty())
            continue;
        QList<Level> stack{{root.value(u"children"_s).toArray(), 0}};
        while (!stack.isEmpty()) {
            Level &top = stack.last();
            if (top.next >= top.children.size()) {
                stack.removeLast();
                continue;
            }
            const QJsonObject node = top.children.at(top.next++).toObject();
            const QString type = node.value(u"type"_s).toString();
            if (type == u"url"_s) {
                rows.append({shortenTitle(node.value(u"name"_s).toString()), node.value(u"url"_s).toString(), false});
            } else if (type == u"folder"_s) {
                const QJsonArray children = node.value(u"children"_s).toArray();
                stack.append({children, 0});
            }
        }
    }
    return rows;
}

QList<Bookmark> readPath(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return read(file.read(kMaxBookmarkBytes));
}

} // namespace pw::client::chromiumbookmarks
