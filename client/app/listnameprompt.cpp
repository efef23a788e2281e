#include "listnameprompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Tdialogfrm::Tdialogfrm(QWidget *parent)
    : QDialog(parent)
    , m_name(new QLineEdit(this))
{
    setObjectName(u"dialogfrm"_s);
    setWindowTitle(u"Save URL List"_s);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_name->setObjectName(u"name"_s);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Please enter a name for this URL List:"_s, this));
    layout->addWidget(m_name);
    layout->addWidget(buttons);
}

QString Tdialogfrm::name() const
{
    return m_name->text();
}

void Tdialogfrm::showEvent(QShowEvent *event)
{
    m_name->clear();
    m_name->setFocus();
    QDialog::showEvent(event);
}

} // namespace pw::client
