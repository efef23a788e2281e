#include "nameinputdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

NameInputDialog::NameInputDialog(const QString &caption, const QString &label, QWidget *parent)
    : QDialog(parent)
    , m_field(new QLineEdit(this))
{
    setObjectName(u"nameinputdialog"_s);
    setWindowTitle(caption);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    m_field->setObjectName(u"name"_s);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"okbtn"_s);
    ok->setDefault(true);
    buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    connect(ok, &QPushButton::clicked, this, &NameInputDialog::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(label, this));
    layout->addWidget(m_field);
    layout->addWidget(buttons);
}

void NameInputDialog::okClick()
{
    if (!m_check || m_check(*this))
        accept();
}

} // namespace pw::client
