#include "deletespecform.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Tdeletespecform::Tdeletespecform(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"deletespecform"_s);
    setWindowTitle(u"Delete Log Entries"_s);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Please specify the range of log entries you would like to delete:"_s, this));
    const auto radio = [&](const QString &caption, const QString &name) {
        auto *button = new QRadioButton(caption, this);
        button->setObjectName(name);
        layout->addWidget(button);
        return button;
    };
    m_all = radio(u"Delete All Entries"_s, u"deleteall"_s);
    m_today = radio(u"Today's Entries"_s, u"deletetoday"_s);
    m_week = radio(u"Older Than One Week "_s, u"deleteweek"_s);
    m_month = radio(u"Older Than One Month"_s, u"deletemonth"_s);
    m_month->setChecked(true);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *remove = buttons->addButton(u"Delete"_s, QDialogButtonBox::AcceptRole);
    remove->setObjectName(u"deletebtn"_s);
    remove->setDefault(true);
    QPushButton *close = buttons->addButton(u"Close"_s, QDialogButtonBox::RejectRole);
    close->setObjectName(u"closebtn"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tdeletespecform::ask()
{
    open();
}

QString Tdeletespecform::range() const
{
    if (result() != QDialog::Accepted)
        return u"0"_s;
    if (m_all->isChecked())
        return u"All"_s;
    if (m_today->isChecked())
        return u"Today"_s;
    if (m_week->isChecked())
        return u"7"_s;
    return u"30"_s;
}

} // namespace pw::client
