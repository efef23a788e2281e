#include "shortcuttabs.h"

#include <QMenu>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace pw::client {

ShortcutTabs::ShortcutTabs(QWidget *parent)
    : QTabBar(parent)
{
    setObjectName(u"urltab"_s);
    setExpanding(false);
    setDrawBase(false);
    setToolTip(u"Click here to jump to the web."_s);
    setAttribute(Qt::WA_Hover); // the tab under the pointer is highlighted
    m_popup = new QMenu(this);
    m_popup->setObjectName(u"urltabpopup"_s);
    m_popup->addAction(u"&Modify..."_s, this, &ShortcutTabs::modifyRequested);
}

void ShortcutTabs::rebuild(const QList<UrlShortcut> &shortcuts)
{
    m_shortcuts = shortcuts;
    while (count() > 0)
        removeTab(0);
    for (const UrlShortcut &shortcut : shortcuts)
        addTab(shortcut.description);
}

void ShortcutTabs::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        m_popup->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index < 0 || index >= m_shortcuts.size()) {
        event->ignore();
        return;
    }
    setCurrentIndex(index);
    event->accept();
    Q_EMIT shortcutClicked(m_shortcuts.at(index).url);
}

} // namespace pw::client
