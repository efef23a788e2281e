#include "setupdialup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

DialUpPage::DialUpPage(std::function<QStringList()> phoneBook, QWidget *parent)
    : QWidget(parent)
    , m_phoneBook(std::move(phoneBook))
{
    setObjectName(u"dialuppage"_s);
    auto *layout = new QVBoxLayout(this);
    m_enabledun = new QCheckBox(u"Enable Dial-Up Networking"_s, this);
    m_enabledun->setObjectName(u"enabledun"_s);
    layout->addWidget(m_enabledun);

    auto *grid = new QGridLayout;
    const auto label = [&](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        m_labels.append(l);
        return l;
    };
    m_pbookentries = new QListWidget(this);
    m_pbookentries->setObjectName(u"pbookentries"_s);
    m_pbookentries->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(label(u"Select a Dial-Up Entry:"_s, m_pbookentries), 0, 0, 1, 2);
    grid->addWidget(m_pbookentries, 1, 0, 1, 2);

    m_dunuser = new QLineEdit(this);
    m_dunuser->setObjectName(u"dunuser"_s);
    m_dunpass = new QLineEdit(this);
    m_dunpass->setObjectName(u"dunpass"_s);
    m_dunpass->setEchoMode(QLineEdit::Password);
    grid->addWidget(label(u"Dial-Up Networking Username:"_s, m_dunuser), 2, 0);
    grid->addWidget(m_dunuser, 2, 1);
    grid->addWidget(label(u"Dial-Up Networking Password:"_s, m_dunpass), 3, 0);
    grid->addWidget(m_dunpass, 3, 1);

    m_busyretries = new QLineEdit(this);
    m_busyretries->setObjectName(u"busyretries"_s);
    m_busyretries->setMaximumWidth(m_busyretries->fontMetrics().horizontalAdvance(u"00000"_s) + 16);
    auto *retries = new QHBoxLayout;
    retries->addWidget(m_busyretries);
    retries->addWidget(label(u"Times"_s, m_busyretries));
    retries->addStretch();
    grid->addWidget(label(u"Retry Busy / No Answer:"_s, m_busyretries), 4, 0);
    grid->addLayout(retries, 4, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid, 1);

    m_discdun = new QCheckBox(u"Disconnect Established DUN"_s, this);
    m_discdun->setObjectName(u"discdun"_s);
    layout->addWidget(m_discdun);

    connect(m_enabledun, &QCheckBox::clicked, this, &DialUpPage::enableClicked);
}

void DialUpPage::load(const Settings &s)
{
    m_enabledun->setChecked(s.enabledun);
    fillPhoneBook(s.enabledun ? s.pbookentries : QStringList());
    m_dunuser->setText(s.dunuser);
    m_dunpass->setText(s.dunpass);
    m_busyretries->setText(s.busyretries.isEmpty() ? u"5"_s : s.busyretries);
    m_discdun->setChecked(s.discdun);
    // The stored entry counts only with both user name and password: without them the
    // controls stay off even with the box checked, until the box is clicked.
    const bool chosen = s.enabledun && s.pbookIndex >= 0 && s.pbookIndex < m_pbookentries->count();
    if (chosen)
        m_pbookentries->setCurrentRow(s.pbookIndex);
    setControlsEnabled(chosen);
}

void DialUpPage::store(Settings &s) const
{
    s.enabledun = m_enabledun->isChecked();
    const QList<QListWidgetItem *> selected = m_pbookentries->selectedItems();
    s.pbookIndex = selected.isEmpty() ? -1 : m_pbookentries->row(selected.first());
    s.pbookentries.clear();
    for (int i = 0; i < m_pbookentries->count(); ++i)
        s.pbookentries.append(m_pbookentries->item(i)->text());
    s.dunuser = m_dunuser->text();
    s.dunpass = m_dunpass->text();
    s.busyretries = m_busyretries->text();
    s.discdun = m_discdun->isChecked();
}

void DialUpPage::fillPhoneBook(const QStringList &entries)
{
    m_pbookentries->clear();
    m_pbookentries->addItems(entries);
}

void DialUpPage::setControlsEnabled(bool enabled)
{
    for (QWidget *w :
         {static_cast<QWidget *>(m_pbookentries), static_cast<QWidget *>(m_dunuser), static_cast<QWidget *>(m_dunpass),
          static_cast<QWidget *>(m_busyretries), static_cast<QWidget *>(m_discdun)})
        w->setEnabled(enabled);
    for (QLabel *l : std::as_const(m_labels))
        l->setEnabled(enabled);
}

void DialUpPage::enableClicked(bool checked)
{
    if (checked) {
        QStringList entries;
        for (const QString &entry : m_phoneBook())
            if (!entry.isEmpty())
                entries.append(entry);
        fillPhoneBook(entries);
    }
    setControlsEnabled(checked);
}

} // namespace pw::client
