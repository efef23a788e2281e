#include "intervalform.h"

#include "client/core/setuplists.h"
#include "gui/prompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Tintervalform::Tintervalform(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"intervalform"_s);
    setWindowTitle(u"Specify an Interval"_s);
    setWindowModality(Qt::WindowModal);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(u"Please specify an interval up to 1000 minutes:"_s, this);
    layout->addWidget(label);
    m_interval = new QLineEdit(this);
    m_interval->setObjectName(u"interval"_s);
    label->setBuddy(m_interval);
    layout->addWidget(m_interval);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"intervalokbtn"_s);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"intervalcancelbtn"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tintervalform::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Tintervalform::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tintervalform::ask()
{
    m_interval->clear();
    m_interval->setFocus();
    open();
}

int Tintervalform::minutes() const
{
    return m_interval->text().trimmed().toInt();
}

void Tintervalform::accept()
{
    if (const auto error = setuplists::checkInterval(m_interval->text())) {
        gui::Prompt::error(this, *error);
        return;
    }
    QDialog::accept();
}

} // namespace pw::client
