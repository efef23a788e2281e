#include "framechooser.h"

#include "gui/prompt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Tselurlform::Tselurlform(const QStringList &frameUrls, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setObjectName(u"selurlform"_s);
    setWindowTitle(u"Select a URL"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *text = new QLabel(
        u"The URL you entered contains frames. Please select one to monitor from the list and click 'OK.'"_s, this);
    text->setWordWrap(true);
    m_list->setObjectName(u"urllist"_s);
    m_list->addItems(frameUrls);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"okbtn"_s);
    QPushButton *cancel = buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    connect(ok, &QPushButton::clicked, this, &Tselurlform::okbtnClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &Tselurlform::okbtnClick);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

void Tselurlform::okbtnClick()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        gui::Prompt::error(this, u"You must select a URL before continuing."_s);
        return;
    }
    Q_EMIT chosen(item->text());
    accept();
}

} // namespace pw::client
