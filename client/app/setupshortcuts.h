#pragma once

#include "store/settings.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace pw::client {

// The Setup dialog's "Web Shortcuts" page: the shortcuts bar on or off and its list
// `urlshortcuts`, at most ten shortcuts with unique descriptions.
class ShortcutsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit ShortcutsPage(QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

    QList<UrlShortcut> shortcuts() const;
    void addShortcut();
    void modifyShortcut();
    void deleteShortcut();
    // `switchem`
    void switchem(bool up);

private:
    void setShortcuts(const QList<UrlShortcut> &list, int selected = -1);
    int selectedRow() const;
    void applyCouplings();

    QCheckBox *m_shortcutenabled = nullptr;
    QLineEdit *m_addurl = nullptr;
    QLineEdit *m_desctoadd = nullptr;
    QTreeWidget *m_urlshortcuts = nullptr;
    QWidget *m_controls = nullptr;
};

} // namespace pw::client
