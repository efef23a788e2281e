#include "setupshortcuts.h"

#include "client/core/clientmessages.h"

#include "client/core/setuplists.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

ShortcutsPage::ShortcutsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"shortcutspage"_s);
    auto *layout = new QVBoxLayout(this);
    m_shortcutenabled = new QCheckBox(u"Enable Shortcuts"_s, this);
    m_shortcutenabled->setObjectName(u"shortcutenabled"_s);
    layout->addWidget(m_shortcutenabled);

    m_controls = new QWidget(this);
    auto *grid = new QGridLayout(m_controls);
    grid->setContentsMargins(0, 0, 0, 0);
    m_addurl = new QLineEdit(m_controls);
    m_addurl->setObjectName(u"addurl"_s);
    m_desctoadd = new QLineEdit(m_controls);
    m_desctoadd->setObjectName(u"desctoadd"_s);
    auto *urlLabel = new QLabel(u"URL:"_s, m_controls);
    urlLabel->setBuddy(m_addurl);
    auto *descLabel = new QLabel(u"Description:"_s, m_controls);
    descLabel->setBuddy(m_desctoadd);
    grid->addWidget(urlLabel, 0, 0);
    grid->addWidget(m_addurl, 0, 1);
    grid->addWidget(descLabel, 1, 0);
    grid->addWidget(m_desctoadd, 1, 1);

    m_urlshortcuts = new QTreeWidget(m_controls);
    m_urlshortcuts->setObjectName(u"urlshortcuts"_s);
    m_urlshortcuts->setHeaderLabels({u"Description"_s, u"URL"_s});
    m_urlshortcuts->setRootIsDecorated(false);
    m_urlshortcuts->setUniformRowHeights(true);
    m_urlshortcuts->setAllColumnsShowFocus(true);
    m_urlshortcuts->setSelectionMode(QAbstractItemView::SingleSelection);
    m_urlshortcuts->setColumnWidth(0, 150);
    grid->addWidget(m_urlshortcuts, 2, 0, 1, 2);

    auto *buttons = new QVBoxLayout;
    const auto button = [&](const QString &caption, const QString &name, auto slot) {
        auto *b = new QPushButton(caption, m_controls);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(u"Add"_s, u"addshortcutbtn"_s, &ShortcutsPage::addShortcut);
    button(u"Modify"_s, u"modifyshortcutbtn"_s, &ShortcutsPage::modifyShortcut);
    button(u"Delete"_s, u"deleteshortcutbtn"_s, &ShortcutsPage::deleteShortcut);
    buttons->addSpacing(12);
    button(u"Up"_s, u"upbtn"_s, [this] { switchem(true); });
    button(u"Down"_s, u"downbtn"_s, [this] { switchem(false); });
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);
    layout->addWidget(m_controls, 1);

    connect(m_urlshortcuts, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        m_desctoadd->setText(item->text(0));
        m_addurl->setText(item->text(1));
    });
    connect(m_shortcutenabled, &QCheckBox::clicked, this, &ShortcutsPage::applyCouplings);
}

void ShortcutsPage::load(const Settings &s)
{
    m_shortcutenabled->setChecked(s.shortcutenabled);
    m_addurl->clear();
    m_desctoadd->clear();
    setShortcuts(s.urlshortcuts);
    applyCouplings();
}

void ShortcutsPage::store(Settings &s) const
{
    s.shortcutenabled = m_shortcutenabled->isChecked();
    s.urlshortcuts = shortcuts();
}

QList<UrlShortcut> ShortcutsPage::shortcuts() const
{
    QList<UrlShortcut> list;
    for (int i = 0; i < m_urlshortcuts->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_urlshortcuts->topLevelItem(i);
        list.append({item->text(0), item->text(1)});
    }
    return list;
}

void ShortcutsPage::setShortcuts(const QList<UrlShortcut> &list, int selected)
{
    m_urlshortcuts->clear();
    for (const UrlShortcut &shortcut : list)
        new QTreeWidgetItem(m_urlshortcuts, {shortcut.description, shortcut.url});
    if (selected >= 0 && selected < m_urlshortcuts->topLevelItemCount())
        m_urlshortcuts->setCurrentItem(m_urlshortcuts->topLevelItem(selected));
}

int ShortcutsPage::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_urlshortcuts->selectedItems();
    return selected.isEmpty() ? -1 : m_urlshortcuts->indexOfTopLevelItem(selected.first());
}

void ShortcutsPage::applyCouplings()
{
    m_controls->setEnabled(m_shortcutenabled->isChecked());
}

void ShortcutsPage::addShortcut()
{
    QList<UrlShortcut> list = shortcuts();
    const auto check =
        setuplists::checkShortcut(list, m_addurl->text(), m_desctoadd->text(), setuplists::ShortcutEdit::Add);
    if (check.error) {
        gui::Prompt::error(this, *check.error);
        return;
    }
    list.append({m_desctoadd->text(), check.url});
    setShortcuts(list, int(list.size()) - 1);
}

void ShortcutsPage::modifyShortcut()
{
    const int row = selectedRow();
    if (row < 0) {
        gui::Prompt::error(this, qs(text::kShortcutNoneToModify));
        return;
    }
    QList<UrlShortcut> list = shortcuts();
    const auto check =
        setuplists::checkShortcut(list, m_addurl->text(), m_desctoadd->text(), setuplists::ShortcutEdit::Modify, row);
    if (check.error) {
        gui::Prompt::error(this, *check.error);
        return;
    }
    list[row] = {m_desctoadd->text(), check.url};
    setShortcuts(list, row);
}

void ShortcutsPage::deleteShortcut()
{
    const int row = selectedRow();
    if (row < 0) {
        gui::Prompt::error(this, qs(text::kShortcutNoneToDelete));
        return;
    }
    delete m_urlshortcuts->takeTopLevelItem(row);
}

void ShortcutsPage::switchem(bool up)
{
    QList<UrlShortcut> list = shortcuts();
    const auto moved = setuplists::switchem(list, selectedRow(), up);
    if (moved.error) {
        gui::Prompt::error(this, *moved.error);
        return;
    }
    setShortcuts(list, moved.row);
}

} // namespace pw::client
