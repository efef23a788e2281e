#include "reportform.h"

#include "client/core/clientmessages.h"

#include "printdlg.h"
#include "reportdocument.h"

#include "client/core/clientsettings.h"
#include "client/core/reportsmodel.h"
#include "client/core/setuptexts.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/clock.h"
#include "store/fileio.h"
#include "store/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr int kHelpTopic = 1029;

QString reportKey(const ReportRecord &record)
{
    return record.dateTime + record.listName;
}

} // namespace

Treportform::Treportform(ClientSettings &settings, const PrintSetup &printSetup, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_printSetup(printSetup)
{
    setObjectName(u"reportform"_s);
    setWindowTitle(u"Pagewarden Reports"_s);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    m_model = new ReportsModel(m_rows, this);
    m_reportview = new QTableView(this);
    m_reportview->setObjectName(u"reportview"_s);
    m_reportview->setModel(m_model);
    m_reportview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_reportview->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_reportview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_reportview->setShowGrid(true);
    m_reportview->setWordWrap(false);
    m_reportview->verticalHeader()->hide();
    m_reportview->verticalHeader()->setDefaultSectionSize(m_reportview->fontMetrics().height() + 6);
    m_reportview->horizontalHeader()->setHighlightSections(false);
    // A click on a column title neither sorts nor selects the column's rows.
    m_reportview->horizontalHeader()->setSectionsClickable(false);
    m_reportview->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_reportview->horizontalHeader()->setStretchLastSection(true);
    m_reportview->setColumnWidth(0, 170);
    m_reportview->installEventFilter(this);
    layout->addWidget(m_reportview, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    QPushButton *open = button(u"Open Report"_s, u"openbtn"_s);
    open->setDefault(true);
    QPushButton *remove = button(u"Delete Report"_s, u"deletebtn"_s);
    buttons->addStretch();
    QPushButton *close = button(u"Close"_s, u"closebtn"_s);
    QPushButton *help = button(u"Help"_s, u"helpbtn"_s);
    for (QPushButton *b : {remove, close, help})
        b->setAutoDefault(false);
    layout->addLayout(buttons);
    resize(480, 360);

    connect(open, &QPushButton::clicked, this, &Treportform::openReport);
    connect(remove, &QPushButton::clicked, this, &Treportform::deletereport);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(kHelpTopic);
    });
    connect(m_reportview, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            openRow(index.row());
    });
}

Treportform::~Treportform() = default;

void Treportform::showReports()
{
    {
        gui::WaitCursor wait;
        loadreports();
    }
    open();
    if (m_model->rowCount() > 0)
        m_reportview->scrollTo(m_model->index(m_model->rowCount() - 1, 0));
}

void Treportform::loadreports()
{
    QString error;
    ReportRows::Load loaded = ReportRows::Load::Ok;
    m_model->change([&] { loaded = m_rows.loadreports(paths::reportsIndexFile(), &error); });
    if (loaded == ReportRows::Load::Failed) {
        qWarning("pagewarden: the reports index cannot be read: %s", qPrintable(error));
        gui::Prompt::error(this, qs(text::kReportsIndexError));
        return;
    }
    if (m_model->rowCount() > 0)
        m_reportview->scrollTo(m_model->index(m_model->rowCount() - 1, 0));
}

bool Treportform::savereports()
{
    QString error;
    bool saved = false;
    m_model->change([&] { saved = m_rows.savereports(paths::reportsIndexFile(), &error); });
    if (!saved) {
        qWarning("pagewarden: the reports index cannot be written: %s", qPrintable(error));
        gui::Prompt::error(this, qs(text::kReportsIndexWriteError));
    }
    return saved;
}

QList<int> Treportform::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_reportview->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Treportform::openReport()
{
    const QList<int> selected = selectedRows();
    if (selected.isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoReportToOpen));
        return;
    }
    const ReportRecord &record = m_rows.rows().at(selected.first());
    if (!QFileInfo::exists(record.fileLocation)) {
        gui::Prompt::error(this, qs(text::kReportsIndexError));
        return;
    }
    printreport(record.fileLocation, record.listName);
}

void Treportform::openRow(int row)
{
    if (row < 0 || row >= m_rows.rows().size())
        return;
    const ReportRecord &record = m_rows.rows().at(row);
    if (!QFileInfo::exists(record.fileLocation)) {
        gui::Prompt::error(this, qs(text::kReportsIndexCorrupted));
        return;
    }
    printreport(record.fileLocation, record.listName);
}

Tprintdlg *Treportform::printreport(const QString &file, const QString &listName)
{
    if (!QFileInfo::exists(file)) {
        gui::Prompt::error(this, qs(text::kReportsIndexError));
        return nullptr;
    }
    std::unique_ptr<ReportDocument> document;
    {
        gui::WaitCursor wait;
        bool ok = false;
        const QList<QByteArray> lines = readlines(file, &ok);
        if (ok) {
            QStringList text;
            text.reserve(lines.size());
            for (const QByteArray &line : lines)
                text.append(QString::fromUtf8(line));
            const Settings &s = m_settings.settings();
            document = std::make_unique<ReportDocument>(text, ReportDocument::Fonts{parseFont(s.titledetails),
                                                                                    parseFont(s.subtitledetails),
                                                                                    parseFont(s.bodydetails)});
            document->setHeader(s.dispname ? listName : QString(),
                                s.dispdate ? QLocale::c().toString(Clock::currentDateTime().date(), u"M/d/yyyy"_s)
                                           : QString());
        }
    }
    if (!document) {
        gui::Prompt::error(this, qs(text::kReportBuildError));
        return nullptr;
    }
    auto *window = new Tprintdlg(std::move(document), m_printSetup, this);
    window->show();
    return window;
}

bool Treportform::deleteReportFile(const QString &path) const
{
    // The index is a text file anyone can edit: only a file in the reports folder is a
    // report this window may delete.
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    const QString folder = QDir(paths::reportsDir()).canonicalPath();
    if (folder.isEmpty() || file.canonicalPath() != folder) {
        qWarning("pagewarden: not deleting %s: it is not in the reports folder", qPrintable(path));
        return false;
    }
    return QFile::remove(file.absoluteFilePath());
}

void Treportform::deletereport()
{
    const QList<int> selected = selectedRows();
    if (selected.isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoReportToDelete));
        return;
    }
    const bool yes =
        gui::Prompt::confirm(this, qs(text::kDeleteReports), gui::Prompt::Buttons::YesNo) == gui::Prompt::Answer::Yes;
    gui::WaitCursor wait;
    if (yes) {
        QStringList keys;
        for (int row : selected)
            keys.append(reportKey(m_rows.rows().at(row)));
        m_model->change([&] {
            QList<ReportRecord> &rows = m_rows.rows();
            for (const QString &key : std::as_const(keys)) {
                const auto it = std::find_if(rows.begin(), rows.end(),
                                             [&](const ReportRecord &record) { return reportKey(record) == key; });
                if (it == rows.end())
                    continue;
                deleteReportFile(it->fileLocation);
                rows.erase(it);
            }
        });
    }
    m_reportview->setUpdatesEnabled(false);
    savereports();
    m_reportview->setUpdatesEnabled(true);
}

bool Treportform::isShowing() const
{
    return isVisible();
}

bool Treportform::processreport(const link::ReportUpdate &update)
{
    m_model->appendUpdate({update.dateTime.trimmed(), update.listName.trimmed(), update.fileLocation.trimmed()});
    m_reportview->scrollToBottom();
    return true;
}

bool Treportform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reportview && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        deletereport();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pw::client
