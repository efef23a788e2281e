#include "actionlogform.h"

#include "deletespecform.h"

#include "client/core/actionlogmodel.h"
#include "client/core/clientmessages.h"
#include "client/core/setuptexts.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/clock.h"
#include "store/paths.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr int kHelpTopic = 1034;

} // namespace

Tactionlogform::Tactionlogform(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"actionlogform"_s);
    setWindowTitle(u"Pagewarden Error Log"_s);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    m_model = new ActionLogModel(m_rows, this);
    m_logview = new QTableView(this);
    m_logview->setObjectName(u"logview"_s);
    m_logview->setModel(m_model);
    m_logview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_logview->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_logview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_logview->setShowGrid(true);
    m_logview->setWordWrap(false);
    m_logview->verticalHeader()->hide();
    m_logview->verticalHeader()->setDefaultSectionSize(m_logview->fontMetrics().height() + 6);
    m_logview->horizontalHeader()->setHighlightSections(false);
    // A click on a column title neither sorts nor selects the column's rows.
    m_logview->horizontalHeader()->setSectionsClickable(false);
    m_logview->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_logview->horizontalHeader()->setStretchLastSection(true);
    m_logview->setColumnWidth(0, 170);
    layout->addWidget(m_logview, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton *deleteSelectedButton = button(u"Delete Selected"_s, u"deleteselectedbtn"_s);
    QPushButton *deleteEntriesButton = button(u"Delete Entries..."_s, u"deleteentriesbtn"_s);
    buttons->addStretch();
    QPushButton *close = button(u"Close"_s, u"closebtn"_s);
    QPushButton *help = button(u"Help"_s, u"helpbtn"_s);
    layout->addLayout(buttons);
    resize(640, 400);

    m_spec = new Tdeletespecform(this);
    connect(m_spec, &QDialog::finished, this, [this] { applyRange(m_spec->range()); });
    connect(deleteSelectedButton, &QPushButton::clicked, this, &Tactionlogform::deleteSelected);
    connect(deleteEntriesButton, &QPushButton::clicked, this, &Tactionlogform::deleteEntries);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(kHelpTopic);
    });
}

Tactionlogform::~Tactionlogform() = default;

ActionLogRows::Load Tactionlogform::loadactionlog(QString *error)
{
    ActionLogRows::Load loaded = ActionLogRows::Load::Ok;
    m_model->change([&] { loaded = m_rows.loadactionlog(paths::logFile(), error); });
    return loaded;
}

bool Tactionlogform::saveactionlog()
{
    QString error;
    bool saved = false;
    m_model->change([&] { saved = m_rows.saveactionlog(paths::logFile(), &error); });
    if (!saved) {
        qWarning("pagewarden: the log cannot be written: %s", qPrintable(error));
        gui::Prompt::error(this, qs(text::kLogAccessError));
    }
    return saved;
}

int Tactionlogform::entryCount() const
{
    return int(m_rows.rows().size());
}

void Tactionlogform::showLog()
{
    open();
    if (entryCount() > 0)
        m_logview->scrollTo(m_model->index(entryCount() - 1, 0));
}

void Tactionlogform::deleteSelected()
{
    QList<int> selected;
    for (const QModelIndex &index : m_logview->selectionModel()->selectedRows())
        selected.append(index.row());
    if (selected.isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoLogEntrySelected));
        return;
    }
    std::sort(selected.begin(), selected.end(), std::greater<>());
    m_model->change([&] {
        for (int row : std::as_const(selected))
            m_rows.rows().removeAt(row);
    });
    saveactionlog();
}

void Tactionlogform::deleteEntries()
{
    m_spec->ask();
}

void Tactionlogform::applyRange(const QString &range)
{
    LogRange which = LogRange::All;
    if (range == u"All"_s)
        which = LogRange::All;
    else if (range == u"Today"_s)
        which = LogRange::Today;
    else if (range == u"7"_s)
        which = LogRange::OlderThanWeek;
    else if (range == u"30"_s)
        which = LogRange::OlderThanMonth;
    else
        return;

    bool saved = false;
    {
        gui::WaitCursor wait;
        const QDate today = Clock::currentDateTime().date();
        m_model->change([&] { removeOldEntries(m_rows.rows(), which, today); });
        saved = saveactionlog();
        if (saved)
            loadactionlog();
    }
    if (!saved)
        return;
    if (entryCount() == 0 && isVisible())
        close();
    gui::Prompt::information(this, qs(text::kDeletionComplete));
}

} // namespace pw::client
