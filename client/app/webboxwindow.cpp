#include "webboxwindow.h"

#include "informationwindow.h"
#include "mainwindow.h"
#include "viewer.h"

#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "gui/waitcursor.h"
#include "store/datetimetext.h"
#include "store/paths.h"

#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

enum Role { LastModifiedRole = Qt::UserRole, SizeRole, FileRole };

void setRow(QTreeWidgetItem *row, const WebBoxEntry &e)
{
    row->setText(0, e.description);
    row->setText(1, e.url);
    row->setText(2, e.dateTime);
    row->setData(0, LastModifiedRole, e.lastModified);
    row->setData(0, SizeRole, e.size);
    row->setData(0, FileRole, e.fileLocation);
    row->setCheckState(0, e.read ? Qt::Checked : Qt::Unchecked);
}

WebBoxEntry entryOf(const QTreeWidgetItem *row)
{
    return {row->text(0),
            row->text(1),
            row->data(0, LastModifiedRole).toString(),
            row->data(0, SizeRole).toString(),
            row->data(0, FileRole).toString(),
            row->text(2),
            row->checkState(0) == Qt::Checked};
}

QString fileOf(const QTreeWidgetItem *row)
{
    return row->data(0, FileRole).toString();
}

// The stored page of a row that goes; one already gone is no error.
void removePage(const QTreeWidgetItem *row)
{
    const QString file = fileOf(row);
    if (!file.isEmpty() && file != u"*"_s)
        QFile::remove(file);
}

// Keeps the list's own keys for the view: Delete deletes rows, not text.
class InboxList final : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;
    std::function<void()> onDelete;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Delete && onDelete) {
            onDelete();
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

} // namespace

Tinboxform::Tinboxform(MainWindow &main, int slot, const QString &name, QWidget *parent)
    : QWidget(parent)
    , m_main(main)
    , m_slot(slot)
    , m_name(name)
{
    setObjectName(u"inboxform"_s);
    setWindowTitle(u"WebBox ["_s + name + u"]"_s);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *list = new InboxList(this);
    list->onDelete = [this] { deleteurls(); };
    m_inbox = list;
    m_inbox->setObjectName(u"inbox"_s);
    m_inbox->setHeaderLabels({u"Description"_s, u"URL"_s, u"Date/Time"_s});
    m_inbox->setRootIsDecorated(false);
    m_inbox->setUniformRowHeights(true);
    m_inbox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_inbox->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_inbox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_inbox->setAlternatingRowColors(true);
    m_inbox->setContextMenuPolicy(Qt::CustomContextMenu);
    m_inbox->setToolTip(u"Displays a list of pages in your URL List with content changes."_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_inbox);

    connect(m_inbox, &QTreeWidget::itemClicked, this, [this] {
        // After the view has taken the click (a ticked or cleared box).
        QTimer::singleShot(0, this, &Tinboxform::onItemClicked);
    });
    connect(m_inbox, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->isMaximized())
            frame->showNormal();
        inboxdoubleopen(-1);
        savewebbox();
    });
    connect(m_inbox->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column == 0)
            docaptionsort();
        else if (column == 1)
            dourlsort();
        else if (column == 2)
            dodatesort();
    });
    connect(m_inbox, &QWidget::customContextMenuRequested, this, &Tinboxform::showPopup);

    m_popup = new QMenu(this);
    m_popup->setObjectName(u"inboxpopup"_s);
    QAction *open = m_popup->addAction(u"&Open Graphic-Free"_s, this, [this] { inboxdoubleopen(-1); });
    m_popup->setDefaultAction(open);
    QMenu *openUrl = m_popup->addMenu(u"Open &URL"_s);
    QAction *fresh = openUrl->addAction(u"&New Browser"_s, this, &Tinboxform::openSelectedInBrowser);
    QAction *active = openUrl->addAction(u"&Active Browser"_s, this, &Tinboxform::openSelectedInBrowser);
    QMenu *sort = m_popup->addMenu(u"&Sort By"_s);
    sort->addAction(u"&Description"_s, this, &Tinboxform::docaptionsort);
    sort->addAction(u"&URL"_s, this, &Tinboxform::dourlsort);
    sort->addAction(u"Date/&Time"_s, this, &Tinboxform::dodatesort);
    sort->addAction(u"&Read"_s, this, &Tinboxform::doreadsort);
    QAction *remove = m_popup->addAction(u"&Delete URL"_s, this, &Tinboxform::deleteurls);
    QAction *details = m_popup->addAction(u"&More Information"_s, this, &Tinboxform::moreinformation);
    m_rowActions = {open, fresh, active, remove, details};
}

Tinboxform::~Tinboxform() = default;

void Tinboxform::createColumns(int width)
{
    const int extra = std::max(width / 3 - 132, 0) / 2;
    m_inbox->setColumnWidth(0, width / 3 + extra);
    m_inbox->setColumnWidth(1, width / 3 + extra);
    // At least the width of the longest date and time in this font, so it is never cut.
    const int dateWidth = m_inbox->fontMetrics().horizontalAdvance(u"12/31/2026 12:59:59 PM"_s) + 16;
    m_inbox->setColumnWidth(2, std::max(120, dateWidth));
}

void Tinboxform::loadwebbox()
{
    const QString dataDir = paths::dataDir();
    QDir().mkdir(paths::urlListFolder(dataDir, m_name));
    m_inbox->clear();
    const WebBoxRows::Loaded loaded = m_rows.load(paths::webBoxFile(dataDir, m_name));
    appendRows(loaded.rows);
    // One box for a damaged file, not one per damaged record.
    if (loaded.deadRecords > 0)
        gui::Prompt::error(this, u"There was an error while trying to read one of your WebBoxes."_s);
    if (m_inbox->topLevelItemCount() > 0)
        m_inbox->scrollToItem(m_inbox->topLevelItem(m_inbox->topLevelItemCount() - 1));
}

void Tinboxform::appendRows(const QList<WebBoxEntry> &rows)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const WebBoxEntry &e : rows) {
        auto *row = new QTreeWidgetItem;
        setRow(row, e);
        items.append(row);
    }
    m_inbox->addTopLevelItems(items);
}

QList<WebBoxEntry> Tinboxform::rowsInOrder() const
{
    QList<WebBoxEntry> rows;
    rows.reserve(m_inbox->topLevelItemCount());
    for (int i = 0; i < m_inbox->topLevelItemCount(); ++i)
        rows.append(entryOf(m_inbox->topLevelItem(i)));
    return rows;
}

bool Tinboxform::savewebbox()
{
    const QString dataDir = paths::dataDir();
    QDir().mkpath(paths::urlListFolder(dataDir, m_name));
    WebBoxRows::Merged merged;
    if (!m_rows.save(paths::webBoxFile(dataDir, m_name), m_name, rowsInOrder(), &merged)) {
        gui::Prompt::error(this, u"An error occurred while trying to save your WebBox."_s);
        return false;
    }
    // The view follows the file: what the server removed meanwhile goes, what it added shows.
    for (const WebBoxEntry &gone : std::as_const(merged.removed)) {
        const QString key = WebBoxRows::keyOf(gone);
        for (int i = 0; i < m_inbox->topLevelItemCount(); ++i) {
            if (WebBoxRows::keyOf(entryOf(m_inbox->topLevelItem(i))) == key) {
                delete m_inbox->takeTopLevelItem(i);
                break;
            }
        }
    }
    appendRows(merged.added);
    return true;
}

void Tinboxform::onItemClicked()
{
    savewebbox();
}

int Tinboxform::selectedRow() const
{
    for (int i = 0; i < m_inbox->topLevelItemCount(); ++i) {
        if (m_inbox->topLevelItem(i)->isSelected())
            return i;
    }
    return -1;
}

void Tinboxform::showPopup(const QPoint &pos)
{
    const bool any = selectedRow() >= 0;
    for (QAction *action : std::as_const(m_rowActions))
        action->setEnabled(any);
    m_popup->popup(m_inbox->viewport()->mapToGlobal(pos));
}

void Tinboxform::openSelectedInBrowser()
{
    const int row = selectedRow();
    if (row < 0) {
        gui::Prompt::error(this, u"You must first select a URL to open."_s);
        return;
    }
    if (!gui::UrlOpener::open(QUrl(m_inbox->topLevelItem(row)->text(1))))
        gui::Prompt::error(this, u"An error occured while trying to open your web browser."_s);
}

void Tinboxform::sortRows(const std::function<bool(const QTreeWidgetItem *, const QTreeWidgetItem *)> &less)
{
    QList<QTreeWidgetItem *> rows = m_inbox->invisibleRootItem()->takeChildren();
    std::stable_sort(rows.begin(), rows.end(), less);
    m_inbox->addTopLevelItems(rows);
}

void Tinboxform::docaptionsort()
{
    sortRows([](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return QString::compare(a->text(0), b->text(0), Qt::CaseInsensitive) < 0;
    });
}

void Tinboxform::dourlsort()
{
    sortRows([](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return QString::compare(a->text(1), b->text(1), Qt::CaseInsensitive) < 0;
    });
}

void Tinboxform::dodatesort()
{
    // Each text is read once; a text that is no date sorts before every date.
    QHash<const QTreeWidgetItem *, QDateTime> when;
    for (int i = 0; i < m_inbox->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = m_inbox->topLevelItem(i);
        when.insert(row, datetime::parse(row->text(2)));
    }
    sortRows([&when](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        const QDateTime &x = when[a];
        const QDateTime &y = when[b];
        if (x.isValid() != y.isValid())
            return !x.isValid();
        return x < y;
    });
}

void Tinboxform::doreadsort()
{
    sortRows([](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
        return a->checkState(0) == Qt::Checked && b->checkState(0) != Qt::Checked;
    });
}

void Tinboxform::deleteurls()
{
    QList<QTreeWidgetItem *> selected;
    for (int i = 0; i < m_inbox->topLevelItemCount(); ++i) {
        if (m_inbox->topLevelItem(i)->isSelected())
            selected.append(m_inbox->topLevelItem(i));
    }
    if (selected.isEmpty()) {
        gui::Prompt::error(this, u"You must first select an entry to delete."_s);
        return;
    }
    if (gui::Prompt::confirm(this, u"Are you sure you want to delete selected URL(s) ?"_s, gui::Prompt::Buttons::YesNo)
        == gui::Prompt::Answer::Yes) {
        QStringList keys;
        for (const QTreeWidgetItem *row : std::as_const(selected))
            keys.append(row->text(0) + row->text(1) + row->text(2));
        for (const QString &key : std::as_const(keys)) {
            for (int i = 0; i < m_inbox->topLevelItemCount(); ++i) {
                QTreeWidgetItem *row = m_inbox->topLevelItem(i);
                if (row->text(0) + row->text(1) + row->text(2) != key)
                    continue;
                removePage(row);
                delete m_inbox->takeTopLevelItem(i);
                break;
            }
        }
    }
    savewebbox();
}

void Tinboxform::moreinformation()
{
    const int row = selectedRow();
    if (row < 0) {
        gui::Prompt::error(this, u"You must first select a WebBox entry."_s);
        return;
    }
    auto *window = new InformationWindow(entryOf(m_inbox->topLevelItem(row)), m_inbox->font(), &m_main);
    window->open();
}

void Tinboxform::addServerRow(const link::InboxUpdate &update)
{
    const int count = m_inbox->topLevelItemCount();
    if (count > 0) {
        const QTreeWidgetItem *last = m_inbox->topLevelItem(count - 1);
        if (last->text(1) == update.url && last->text(2) == update.dateTime)
            return;
    }
    const WebBoxEntry e{update.description, update.url, update.lastModified, update.size, update.fileLocation,
                        update.dateTime,    false};
    appendRows({e});
    m_rows.noteShown(e);
    if (update.keepOne)
        m_keepOne.insert(update.url, update);
}

void Tinboxform::keepOnePurge()
{
    for (const link::InboxUpdate &keep : std::as_const(m_keepOne)) {
        for (int i = m_inbox->topLevelItemCount() - 1; i >= 0; --i) {
            QTreeWidgetItem *row = m_inbox->topLevelItem(i);
            if (row->text(1) != keep.url || row->text(2) == keep.dateTime)
                continue;
            removePage(row);
            delete m_inbox->takeTopLevelItem(i);
        }
    }
    m_keepOne.clear();
}

QList<Tviewer *> Tinboxform::browsers() const
{
    QList<Tviewer *> open;
    for (const QPointer<Tviewer> &viewer : m_browsers) {
        if (viewer)
            open.append(viewer);
    }
    return open;
}

Tviewer *Tinboxform::inboxdoubleopen(int row)
{
    if (row < 0)
        row = selectedRow();
    if (row < 0 || row >= m_inbox->topLevelItemCount())
        return nullptr;
    QTreeWidgetItem *item = m_inbox->topLevelItem(row);
    const QString url = item->text(1);
    const QString dateTime = item->text(2);
    const QString path = fileOf(item);
    const QString description = item->text(0);
    if (!QFileInfo(path).isFile()) {
        gui::Prompt::error(this, u"Corresponding local HTML file could not be found. Please retrieve this WebBox "
                                 "again."_s);
        return nullptr;
    }
    item->setCheckState(0, Qt::Checked);

    QMdiArea *area = m_main.mdiArea();
    for (int slot = 1; slot <= kBrowserSlots; ++slot) {
        if (m_browserPaths[slot] == path && m_browsers[slot]) {
            if (auto *frame = qobject_cast<QMdiSubWindow *>(m_browsers[slot]->parentWidget()))
                area->setActiveSubWindow(frame);
            return m_browsers[slot];
        }
    }
    int slot = 1;
    while (slot <= kBrowserSlots && !m_browserPaths[slot].isEmpty())
        ++slot;
    if (slot > kBrowserSlots) {
        gui::Prompt::error(this, u"All window handles have been used."_s);
        return nullptr;
    }
    ++m_browserCount;
    m_browserPaths[slot] = path;
    auto *viewer = new Tviewer;
    m_browsers[slot] = viewer;
    viewer->webBoxSlot = m_slot;
    viewer->browserSlot = slot;
    viewer->setWindowTitle(u"Graphic-Free ("_s + m_name + u") ["_s + description + u" ... "_s + dateTime + u"]"_s);
    connect(viewer, &Tviewer::closed, this, &Tinboxform::browserClosed);
    QMdiSubWindow *frame = area->addSubWindow(viewer);
    viewer->setEnabled(false);
    viewer->loadPage(path);
    const QSize client = area->viewport()->size();
    frame->setGeometry(0, 0, std::max(client.width() - 20, 200), std::max(client.height() - 35, 150));
    frame->show();
    viewer->setPageUrl(url);
    viewer->setEnabled(true);
    area->setActiveSubWindow(frame);
    return viewer;
}

void Tinboxform::browserClosed(Tviewer *viewer)
{
    const int slot = viewer->browserSlot;
    if (slot >= 1 && slot <= kBrowserSlots && m_browsers[slot] == viewer) {
        m_browsers[slot] = nullptr;
        m_browserPaths[slot].clear();
        --m_browserCount;
    }
}

void Tinboxform::closeEvent(QCloseEvent *event)
{
    closeWindow();
    event->accept();
}

void Tinboxform::closeWindow()
{
    if (m_closed)
        return;
    m_closed = true;
    gui::WaitCursor wait;
    Q_EMIT closing(this);
    keepOnePurge();
    savewebbox();
    for (Tviewer *viewer : browsers()) {
        if (auto *frame = qobject_cast<QMdiSubWindow *>(viewer->parentWidget()))
            frame->close();
        else
            viewer->close();
    }
}

} // namespace pw::client
