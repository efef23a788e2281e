#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace pw {

// One node of the URL-List tree in pre-order, with its depth (0 for the top level).
struct TreeItem
{
    int depth = 0;
    QString text;

    friend bool operator==(const TreeItem &, const TreeItem &) = default;
};

inline constexpr char kTreeRootText[] = "Pagewarden";

struct TreeRead
{
    bool ok = true;
    QList<TreeItem> items;
    QString error; // "Invalid level (3) for item "Daily"" and the like
};

// Tabs and blanks before the text give the depth; the first line is top level whatever
// its indent; a line two or more levels deeper than the one before fails the whole read.
TreeRead parseTreeIndex(QByteArrayView content);
TreeRead readTreeIndex(const QString &path);

// Depth tabs, the text, CR LF per node.
QByteArray formatTreeIndex(const QList<TreeItem> &items);
bool writeTreeIndex(const QString &path, const QList<TreeItem> &items, QString *error = nullptr);

} // namespace pw
