#include "queuewindow.h"

#include "gui/prompt.h"

#include "store/clock.h"
#include "store/datetimetext.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::server {

QueueForm::QueueForm(RunEngine &engine, QWidget *parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_timequeue(new QLabel(u"Idle"_s, this))
    , m_queuelist(new QTreeWidget(this))
{
    setObjectName(u"queueform"_s);
    setWindowTitle(u"URLs in Retrieval Queue"_s);
    // The main window waits while this one is shown.
    setWindowModality(Qt::ApplicationModal);
    m_timequeue->setObjectName(u"timequeue"_s);
    m_queuelist->setObjectName(u"queuelist"_s);
    m_queuelist->setRootIsDecorated(false);
    m_queuelist->setUniformRowHeights(true);
    m_queuelist->setHeaderLabels({u"URL List"_s, u"URL"_s, u"Description"_s});
    m_queuelist->setColumnWidth(0, 101);
    m_queuelist->setColumnWidth(1, 150);
    m_queuelist->setColumnWidth(2, 150);
    m_queuelist->setStyleSheet(
        u"QTreeView::item { border-bottom: 1px solid palette(mid); border-right: 1px solid palette(mid); }"_s);

    auto *heading = new QHBoxLayout;
    heading->addWidget(new QLabel(u"URLs in queue as of:"_s, this));
    heading->addWidget(m_timequeue, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *refresh = new QPushButton(u"Refresh"_s, this);
    auto *close = new QPushButton(u"Close"_s, this);
    auto *help = new QPushButton(u"Help"_s, this);
    refresh->setObjectName(u"refreshbtn"_s);
    close->setObjectName(u"closebtn"_s);
    help->setObjectName(u"helpbtn"_s);
    for (QPushButton *b : {refresh, close, help}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(refresh, &QPushButton::clicked, this, &QueueForm::fill);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(1066); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(m_queuelist, 1);
    layout->addLayout(buttons);
    resize(440, 300);
}

bool QueueForm::fill()
{
    const QList<QueueRow> rows = m_engine.queueupdate();
    if (rows.isEmpty()) {
        gui::Prompt::information(this, u"There are no items in the Queue to display."_s);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_queuelist->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QueueRow &row : rows)
        items.append(new QTreeWidgetItem({row.listName, row.url, row.description}));
    m_queuelist->addTopLevelItems(items);
    m_timequeue->setText(datetime::fullText(Clock::currentDateTime()));
    QApplication::restoreOverrideCursor();
    return true;
}

int QueueForm::rowCount() const
{
    return m_queuelist->topLevelItemCount();
}

} // namespace pw::server
