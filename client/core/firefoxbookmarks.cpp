#include "firefoxbookmarks.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw::client::firefoxbookmarks {

namespace {

struct Node
{
    qint64 id = 0;
    int type = 0; // 1 bookmark, 2 folder, 3 separator
    qint64 position = 0;
    QString title;
    QString url;
    QString guid;
};

// One query over an open database; false when it is not a places database.
bool readNodes(QSqlDatabase &db, QHash<qint64, QList<Node>> &children, QList<qint64> &roots)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(u"SELECT b.id, b.type, b.parent, b.position, b.title, p.url, p.title, b.guid "
                    "FROM moz_bookmarks b LEFT JOIN moz_places p ON b.fk = p.id"_s))
        return false;
    while (query.next()) {
        Node node;
        node.id = query.value(0).toLongLong();
        node.type = query.value(1).toInt();
        const qint64 parent = query.value(2).toLongLong();
        node.position = query.value(3).toLongLong();
        node.title = query.value(4).toString();
        if (node.title.isEmpty())
            node.title = query.value(6).toString();
        node.url = query.value(5).toString();
        node.guid = query.value(7).toString();
        if (parent == 0 || node.guid == u"root________"_s)
            roots.append(node.id);
        else
            children[parent].append(node);
    }
    return true;
}

QList<Bookmark> walk(QHash<qint64, QList<Node>> &children, const QList<qint64> &roots)
{
    for (QList<Node> &list : children)
        std::stable_sort(list.begin(), list.end(),
                         [](const Node &a, const Node &b) { return a.position < b.position; });
    QList<Bookmark> rows;
    QSet<qint64> seen; // a damaged file may hold a loop
    struct Level
    {
        const QList<Node> *nodes;
        qsizetype next;
    };
    static const QList<Node> none;
    for (qint64 root : roots) {
        if (seen.contains(root))
            continue;
        seen.insert(root);
        QList<Level> stack{{children.contains(root) ? &children[root] : &none, 0}};
        while (!stack.isEmpty()) {
            Level &top = stack.last();
            if (top.next >= top.nodes->size()) {
                stack.removeLast();
                continue;
            }
            const Node &node = top.nodes->at(top.next++);
            if (seen.contains(node.id))
                continue;
            seen.insert(node.id);
            if (node.type == 1 && !node.url.isEmpty()) {
                rows.append({shortenTitle(node.title), node.url, false});
            } else if (node.type == 3) {
                rows.append({u"-"_s, {}, true});
            } else if (node.type == 2 && node.guid != u"tags________"_s && children.contains(node.id)) {
                stack.append({&children[node.id], 0});
            }
        }
    }
    return rows;
}

QList<Bookmark> readDatabase(const QString &file, bool readOnly)
{
    const QString connection = u"firefox-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QList<Bookmark> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(file);
        if (readOnly)
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        QHash<qint64, QList<Node>> children;
        QList<qint64> roots;
        if (db.open() && readNodes(db, children, roots))
            rows = walk(children, roots);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

} // namespace

QStringList files(const QString &homeDir, const QString &configDir)
{
    const QStringList bases = {homeDir + u"/.mozilla/firefox"_s, configDir + u"/mozilla/firefox"_s,
                               homeDir + u"/snap/firefox/common/.mozilla/firefox"_s,
                               homeDir + u"/.var/app/org.mozilla.firefox/.mozilla/firefox"_s};
    QStringList found;
    QSet<QString> seen;
    for (const QString &base : bases) {
        const QDir dir(base);
        for (const QString &profile : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QFileInfo places(dir.filePath(profile + u"/places.sqlite"_s));
            if (!places.isFile() || seen.contains(places.canonicalFilePath()))
                continue;
            seen.insert(places.canonicalFilePath());
            found.append(places.filePath());
        }
    }
    return found;
}

QList<Bookmark> read(const QString &placesFile)
{
    if (!QFileInfo(placesFile).isFile() || !QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        return {};
    QTemporaryDir copyDir;
    if (!copyDir.isValid())
        return {};
    const QString copy = copyDir.filePath(u"places.sqlite"_s);
    if (!QFile::copy(placesFile, copy))
        return {};
    // Recent changes may still sit in the write-ahead log.
    if (QFile::exists(placesFile + u"-wal"_s))
        QFile::copy(placesFile + u"-wal"_s, copy + u"-wal"_s);
    QList<Bookmark> rows = readDatabase(copy, true);
    if (rows.isEmpty())
        rows = readDatabase(copy, false); // a log that a read-only open cannot replay
    return rows;
}

} // namespace pw::client::firefoxbookmarks
