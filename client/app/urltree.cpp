#include "urltree.h"

#include "store/webboxeslist.h"

#include <QApplication>
#include <QHeaderView>
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
