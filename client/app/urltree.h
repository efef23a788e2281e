#pragma once

#include "store/treeindex.h"

#include <QTreeWidget>

namespace pw::client {

// `maintree`: the URL Lists in their folders below the root "Pagewarden". A node is a
// URL List exactly when its text is one of the known URL-List names (ignoring case),
// a folder otherwise; nothing else is stored with a node.
class UrlTree final : public QTreeWidget
{
    Q_OBJECT

public:
    enum Image { FolderImage = 0, UrlListImage = 1, RootImage = 2 };

    explicit UrlTree(QWidget *parent = nullptr);

    // Replaces the nodes with those of the tree index, in pre-order.
    void setTreeItems(const QList<TreeItem> &items);
    QList<TreeItem> treeItems() const;

    // The first node, or nothing for an empty tree.
    QTreeWidgetItem *root() const { return topLevelItemCount() > 0 ? topLevelItem(0) : nullptr; }
    QTreeWidgetItem *addRoot();
    bool isRoot(const QTreeWidgetItem *item) const { return item && item == root(); }
    bool isUrlList(const QTreeWidgetItem *item) const;

    // The known URL-List names that decide node kinds.
    void setListNames(const QStringList *names) { m_names = names; }
    // Gives every node its image by its kind and expands the root.
    void refreshImages();

    static QIcon imageIcon(Image image);

    // Moves a node with its subtree to be the first child of a folder or the root; false
    // (nothing moved) for a URL List target, the node itself or one of its descendants.
    bool moveNode(QTreeWidgetItem *node, QTreeWidgetItem *target);

Q_SIGNALS:
    // Every mouse-button press, with the node under the pointer (or none).
    void nodePressed(QTreeWidgetItem *item, Qt::MouseButton button);
    // A drop ended on a folder or the root (whether or not anything moved).
    void nodeDropped();
    void deleteKeyPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions actions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool acceptsDrag(const QDropEvent *event) const;

    const QStringList *m_names = nullptr;
};

} // namespace pw::client
