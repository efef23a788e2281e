#pragma once

#include "store/settings.h"

#include <QTabBar>

class QMenu;

namespace pw::client {

// `urltab`: the Web Shortcuts strip, one tab per shortcut in list order. A press of any
// button but the right one opens that tab's address; the right one offers "&Modify...".
class ShortcutTabs final : public QTabBar
{
    Q_OBJECT

public:
    explicit ShortcutTabs(QWidget *parent = nullptr);

    // Removes every tab and adds one per shortcut.
    void rebuild(const QList<UrlShortcut> &shortcuts);
    const QList<UrlShortcut> &shortcuts() const { return m_shortcuts; }

Q_SIGNALS:
    void shortcutClicked(const QString &url);
    void modifyRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QList<UrlShortcut> m_shortcuts;
    QMenu *m_popup = nullptr;
};

} // namespace pw::client
