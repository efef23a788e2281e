#include "urltree.h"

#include "store/webboxeslist.h"

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>

namespace pw::client {

UrlTree::UrlTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("maintree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setToolTip(tr("Displays a list of all URL Lists arranged in a hierarchical fashion."));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
}

void UrlTree::setTreeItems(const QList<TreeItem> &items)
{
    clear();
    // The last node seen at each depth: a node's parent is the one a level up.
    QList<QTreeWidgetItem *> lastAt;
    for (const TreeItem &item : items) {
        const int depth = lastAt.isEmpty() ? 0 : std::min<int>(item.depth, lastAt.size());
        auto *node = depth == 0 ? new QTreeWidgetItem(this) : new QTreeWidgetItem(lastAt.at(depth - 1));
        node->setText(0, item.text);
        lastAt.resize(depth);
        lastAt.append(node);
    }
}

QList<TreeItem> UrlTree::treeItems() const
{
    QList<TreeItem> items;
    const std::function<void(const QTreeWidgetItem *, int)> visit = [&](const QTreeWidgetItem *node, int depth) {
        items.append({depth, node->text(0)});
        for (int i = 0; i < node->childCount(); ++i)
            visit(node->child(i), depth + 1);
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        visit(topLevelItem(i), 0);
    return items;
}

QTreeWidgetItem *UrlTree::addRoot()
{
    auto *node = new QTreeWidgetItem(this);
    node->setText(0, QString::fromLatin1(kTreeRootText));
    node->setIcon(0, imageIcon(RootImage));
    return node;
}

bool UrlTree::isUrlList(const QTreeWidgetItem *item) const
{
    return item && !isRoot(item) && m_names && containsListName(*m_names, item->text(0));
}

void UrlTree::refreshImages()
{
    QTreeWidgetItemIterator it(this);
    for (; *it; ++it) {
        QTreeWidgetItem *node = *it;
        if (isRoot(node))
            node->setIcon(0, imageIcon(RootImage));
        else
            node->setIcon(0, imageIcon(isUrlList(node) ? UrlListImage : FolderImage));
    }
    if (QTreeWidgetItem *top = root())
        top->setExpanded(true);
}

QIcon UrlTree::imageIcon(Image image)
{
    QStyle *style = QApplication::style();
    switch (image) {
    case FolderImage:
        return style->standardIcon(QStyle::SP_DirIcon);
    case UrlListImage:
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case RootImage:
        break;
    }
    return style->standardIcon(QStyle::SP_ComputerIcon);
}

bool UrlTree::moveNode(QTreeWidgetItem *node, QTreeWidgetItem *target)
{
    if (!node || !target || isRoot(node) || isUrlList(target))
        return false;
    for (const QTreeWidgetItem *up = target; up; up = up->parent()) {
        if (up == node)
            return false;
    }
    QTreeWidgetItem *parent = node->parent();
    QTreeWidgetItem *taken =
        parent ? parent->takeChild(parent->indexOfChild(node)) : takeTopLevelItem(indexOfTopLevelItem(node));
    target->insertChild(0, taken);
    target->setExpanded(true);
    setCurrentItem(taken);
    return true;
}

void UrlTree::startDrag(Qt::DropActions actions)
{
    // The root stays where it is.
    if (isRoot(currentItem()))
        return;
    QTreeWidget::startDrag(actions);
}

bool UrlTree::acceptsDrag(const QDropEvent *event) const
{
    // Only our own nodes move here: the tree's item data, and never the root.
    const QStringList formats = model()->mimeTypes();
    return currentItem() && !isRoot(currentItem()) && !formats.isEmpty()
           && event->mimeData()->hasFormat(formats.first());
}

void UrlTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void UrlTree::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void UrlTree::dropEvent(QDropEvent *event)
{
    // Our own move, not the view's: a node lands first among the target's children.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (!acceptsDrag(event))
        return;
    QTreeWidgetItem *target = itemAt(event->position().toPoint());
    if (!target || isUrlList(target))
        return;
    moveNode(currentItem(), target);
    Q_EMIT nodeDropped();
}

void UrlTree::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        Q_EMIT deleteKeyPressed();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void UrlTree::mousePressEvent(QMouseEvent *event)
{
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    // A right click selects too, so the popup acts on the node under the pointer.
    if (node)
        setCurrentItem(node);
    Q_EMIT nodePressed(node, event->button());
    QTreeWidget::mousePressEvent(event);
}

} // namespace pw::client
