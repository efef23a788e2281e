#pragma once

#include <QObject>

class QTreeWidgetItem;

namespace pw::client {

class MainWindow;

// What the user does to the URL-List tree besides opening: new folders, rename, delete
// and reset, each with the files, settings and server messages it touches.
class TreeCommands final : public QObject
{
    Q_OBJECT

public:
    explicit TreeCommands(MainWindow &main);

    void newFolder();
    void rename();
    void deleteurllist();
    void reseturllist();
    // The Delete key in the tree.
    void deleteKey();

    // `deletenode` and `deletelist`: a node with everything below it; a URL List's files
    // and its settings entries.
    void deletenode(QTreeWidgetItem *node);
    void deletelist(const QString &name);

private:
    bool renameList(QTreeWidgetItem *node, const QString &oldName, const QString &newName);

    MainWindow &m_main;
};

} // namespace pw::client
