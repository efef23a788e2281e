#include "urllisteditor.h"

#include "bookmarkwizard.h"
#include "listnameprompt.h"
#include "mainwindow.h"
#include "pageimportform.h"
#include "urlentrydialog.h"
#include "urlwizard.h"

#include "client/core/listnamecheck.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "store/paths.h"
#include "store/webboxeslist.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr int kEntryRole = Qt::UserRole;

UrlEntry entryOf(const QTreeWidgetItem *row)
{
    UrlEntry e;
    const QStringList values = row->data(0, kEntryRole).toStringList();
    for (int i = 0; i < UrlEntry::kValueCount && i < values.size(); ++i)
        e.values[i] = values.at(i);
    return e;
}

void setRow(QTreeWidgetItem *row, const UrlEntry &e)
{
    row->setText(0, e[UrlEntry::Description]);
    row->setText(1, e[UrlEntry::Url]);
    row->setText(2, e[UrlEntry::LastModified]);
    row->setText(3, e[UrlEntry::Size]);
    row->setData(0, kEntryRole, QStringList(e.values.begin(), e.values.end()));
}

// Restores the normal cursor when a command of the editor starts (a leftover hourglass
// must not stay).
void normalCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace

Turladdform::Turladdform(MainWindow &main)
    : QMainWindow(&main, Qt::Window)
    , m_main(main)
{
    setObjectName(u"urladdform"_s);
    setWindowTitle(u"Add/Edit URL List"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window waits behind the editor while it shows.
    setWindowModality(Qt::WindowModal);
    resize(560, 360);

    m_table = new QTreeWidget(this);
    m_table->setObjectName(u"urlviewer"_s);
    m_table->setColumnCount(4);
    m_table->setHeaderLabels({u"Description"_s, u"URL"_s, u"Last Modified"_s, u"Size"_s});
    const int widths[] = {150, 175, 100, 55};
    for (int i = 0; i < 4; ++i)
        m_table->setColumnWidth(i, widths[i]);
    m_table->setRootIsDecorated(false);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAlternatingRowColors(true);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->header()->setSectionsClickable(true);
    setCentralWidget(m_table);

    connect(m_table, &QTreeWidget::itemDoubleClicked, this, &Turladdform::editurl);
    connect(m_table->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column == 0)
            sortByDescription();
        else if (column == 1)
            dourlsort();
        else if (column == 3)
            dosizesort();
    });
    createToolBars();
    createPopup();
    auto *deleteKey = new QAction(this);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(deleteKey);
    connect(deleteKey, &QAction::triggered, this, &Turladdform::deleteurl);
}

Turladdform::~Turladdform() = default;

void Turladdform::createToolBars()
{
    QStyle *style = QApplication::style();
    m_topBar = addToolBar(u"Edit"_s);
    m_topBar->setObjectName(u"topbar"_s);
    m_topBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_topBar->addAction(style->standardIcon(QStyle::SP_FileDialogNewFolder), u"Add URL"_s, this, &Turladdform::addurl);
    m_topBar->addAction(style->standardIcon(QStyle::SP_FileDialogContentsView), u"Edit URL"_s, this,
                        &Turladdform::editurl);
    m_topBar->addAction(style->standardIcon(QStyle::SP_TrashIcon), u"Delete URL"_s, this, &Turladdform::deleteurl);
    m_topBar->addAction(style->standardIcon(QStyle::SP_BrowserReload), u"Reset URL"_s, this, &Turladdform::reseturl);
    m_topBar->addAction(style->standardIcon(QStyle::SP_DialogSaveButton), u"Save"_s, this, &Turladdform::savelistall);
    m_topBar->addAction(style->standardIcon(QStyle::SP_DialogCloseButton), u"Close"_s, this, &QWidget::close);

    addToolBar(Qt::BottomToolBarArea, m_bottomBar = new QToolBar(u"Import"_s, this));
    m_bottomBar->setObjectName(u"bottombar"_s);
    m_bottomBar->addAction(u"Bookmarks"_s, this, &Turladdform::openBookmarks);
    m_bottomBar->addAction(u"Link Wizard"_s, this, &Turladdform::openLinkWizard);
    m_bottomBar->addAction(u"URL Library"_s, this, &Turladdform::openUrlLibrary);
    m_bottomBar->addAction(u"Sort"_s, this, &Turladdform::sortByDescription);
    m_bottomBar->addAction(u"Help"_s, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(1025);
    });
    for (QToolBar *bar : {m_topBar, m_bottomBar}) {
        for (QAction *action : bar->actions())
            action->setObjectName(action->text().remove(u' ').toLower() + u"btn"_s);
    }
}

void Turladdform::createPopup()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(u"urlpopup"_s);
    QAction *edit = m_popup->addAction(u"&Edit URL"_s, this, &Turladdform::editurl);
    m_popup->setDefaultAction(edit);
    QMenu *open = m_popup->addMenu(u"&Open URL"_s);
    QAction *active = open->addAction(u"&Active Browser"_s, this, &Turladdform::openSelected);
    QAction *fresh = open->addAction(u"&New Browser"_s, this, &Turladdform::openSelected);
    QMenu *sort = m_popup->addMenu(u"&Sort By"_s);
    QAction *byDescription = sort->addAction(u"&Description"_s, this, &Turladdform::sortByDescription);
    QAction *byUrl = sort->addAction(u"&URL"_s, this, &Turladdform::dourlsort);
    QAction *bySize = sort->addAction(u"&Size"_s, this, &Turladdform::dosizesort);
    QAction *remove = m_popup->addAction(u"&Delete URL"_s, this, &Turladdform::deleteurl);
    QAction *reset = m_popup->addAction(u"&Reset URL"_s, this, &Turladdform::reseturl);
    m_selectionActions = {edit, active, fresh, byDescription, byUrl, bySize, remove, reset};
    connect(m_table, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const bool any = !selectedRows().isEmpty();
        for (QAction *action : std::as_const(m_selectionActions))
            action->setEnabled(any);
        m_popup->popup(m_table->viewport()->mapToGlobal(pos));
    });
}

void Turladdform::showNewList()
{
    ListName.clear();
    setWindowTitle(u"Add URL List: [Untitled]"_s);
    m_table->clear();
    Modified = false;
    show();
}

void Turladdform::showList(const QString &name)
{
    ListName = name;
    setWindowTitle(u"Edit URL List: ["_s + name + u"]"_s);
    loadlist();
    Modified = false;
    show();
}

bool Turladdform::urlexists(const QString &url) const
{
    const QString wanted = url.trimmed().toLower();
    for (int i = 0; i < m_table->topLevelItemCount(); ++i) {
        if (entryOf(m_table->topLevelItem(i))[UrlEntry::Url].toLower() == wanted)
            return true;
    }
    return false;
}

void Turladdform::loadlist()
{
    if (!Quiet)
        normalCursor();
    m_table->clear();
    const QString dataDir = paths::dataDir();
    QDir().mkdir(paths::urlListFolder(dataDir, ListName));
    const QString file = paths::urlListFile(dataDir, ListName);
    if (!QFileInfo::exists(file)) {
        if (!Quiet)
            gui::Prompt::error(this, u"There was an error while loading "_s + ListName + u"."_s);
        return;
    }
    // Damaged records are passed over and a read failure keeps what was read, silently.
    const UrlListRead read = readUrlList(file, ReaderSide::Client);
    for (const UrlEntry &e : read.entries)
        setRow(new QTreeWidgetItem(m_table), e);
}

bool Turladdform::savelistall()
{
    if (!Quiet)
        normalCursor();
    return savelistproc();
}

bool Turladdform::savelistproc()
{
    setToolBarsEnabled(false);
    const QString dataDir = paths::dataDir();
    QDir().mkpath(dataDir);

    bool newlyNamed = false;
    if (ListName.isEmpty()) {
        Tdialogfrm prompt(this);
        if (prompt.exec() != QDialog::Accepted) {
            setToolBarsEnabled(true);
            return false;
        }
        // Only the first answer is trimmed; a repeated prompt takes the name as typed.
        QString name = prompt.name().trimmed();
        for (QString error = listNameError(name, m_main.nodeTexts()); !error.isEmpty();
             error = listNameError(name, m_main.nodeTexts())) {
            gui::Prompt::error(this, error);
            if (prompt.exec() != QDialog::Accepted) {
                setToolBarsEnabled(true);
                return false;
            }
            name = prompt.name();
        }
        ListName = name;
        newlyNamed = true;
    }

    if (!Quiet)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool written = writeUrlList(dataDir, ListName, entries(), &error);
    if (!Quiet)
        QApplication::restoreOverrideCursor();
    if (!written) {
        if (newlyNamed)
            ListName.clear();
        if (!Quiet)
            gui::Prompt::error(this, u"The URL List could not be saved: "_s + error);
        setToolBarsEnabled(true);
        return false;
    }

    if (!containsListName(m_main.indexbox(), ListName))
        m_main.indexbox().append(ListName);
    m_main.savetree();
    if (newlyNamed || (Quiet && !KeepTreeNode))
        m_main.addUrlListNode(ListName);

    Modified = false;
    setWindowTitle(u"Edit URL List: ["_s + ListName + u"]"_s);
    if (CloseAfterSave && !Quiet) {
        // Closed from the event loop: the save may run inside a close already.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return true;
    }
    setToolBarsEnabled(true);
    return true;
}

void Turladdform::setToolBarsEnabled(bool on)
{
    m_topBar->setEnabled(on);
    m_bottomBar->setEnabled(on);
}

void Turladdform::addurl()
{
    openEntryDialog(-1);
}

void Turladdform::editurl()
{
    normalCursor();
    const QList<QTreeWidgetItem *> rows = selectedRows();
    if (rows.isEmpty()) {
        gui::Prompt::error(this, u"You must first select an entry to edit."_s);
        return;
    }
    openEntryDialog(m_table->indexOfTopLevelItem(rows.first()));
}

void Turladdform::openEntryDialog(int row)
{
    auto *dialog = new Tdialogurladd(m_main.clientSettings().settings(), &m_main.pageFetch(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->EntryIndex = row;
    QTreeWidgetItem *item = row >= 0 ? m_table->topLevelItem(row) : nullptr;
    if (item) {
        const UrlEntry current = entryOf(item);
        dialog->fill(&current);
    } else {
        dialog->fill(nullptr);
    }
    dialog->setUrlExists([this](const QString &url) { return urlexists(url); });
    connect(dialog, &QDialog::accepted, this, [this, dialog, row] {
        UrlEntry e = dialog->result();
        QTreeWidgetItem *target = row >= 0 ? m_table->topLevelItem(row) : nullptr;
        if (target) {
            // An edit keeps what the server last saw, even for a changed URL.
            const UrlEntry old = entryOf(target);
            e[UrlEntry::LastModified] = old[UrlEntry::LastModified];
            e[UrlEntry::Size] = old[UrlEntry::Size];
            setRow(target, e);
        } else {
            setRow(new QTreeWidgetItem(m_table), e);
        }
        Modified = true;
    });
    dialog->open();
}

QList<QTreeWidgetItem *> Turladdform::selectedRows() const
{
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < m_table->topLevelItemCount(); ++i) {
        if (m_table->topLevelItem(i)->isSelected())
            rows.append(m_table->topLevelItem(i));
    }
    return rows;
}

void Turladdform::removeStoredCopy(const QString &url) const
{
    // Named by the server's URL key, so the two programs always mean the same file.
    if (ListName.isEmpty())
        return;
    QFile::remove(paths::urlListFolder(paths::dataDir(), ListName) + urlKey(url) + u".tmp"_s);
}

void Turladdform::reseturl()
{
    normalCursor();
    const QList<QTreeWidgetItem *> rows = selectedRows();
    if (rows.isEmpty()) {
        gui::Prompt::error(this, u"You must first select an entry to reset."_s);
        return;
    }
    for (QTreeWidgetItem *row : rows) {
        UrlEntry e = entryOf(row);
        e[UrlEntry::LastModified] = u"*"_s;
        e[UrlEntry::Size] = u"*"_s;
        setRow(row, e);
        removeStoredCopy(e[UrlEntry::Url]);
    }
    Modified = true;
}

void Turladdform::deleteurl()
{
    normalCursor();
    const QList<QTreeWidgetItem *> rows = selectedRows();
    if (rows.isEmpty()) {
        gui::Prompt::error(this, u"You must first select an entry to delete."_s);
        return;
    }
    if (gui::Prompt::confirm(this, u"Are you sure you want to delete the selected URL(s) ?"_s,
                             gui::Prompt::Buttons::YesNo)
        != gui::Prompt::Answer::Yes)
        return;
    QStringList keys;
    for (const QTreeWidgetItem *row : rows)
        keys.append(row->text(0) + row->text(1));
    for (const QString &key : std::as_const(keys)) {
        for (int i = 0; i < m_table->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = m_table->topLevelItem(i);
            if (row->text(0) + row->text(1) != key)
                continue;
            removeStoredCopy(row->text(1));
            delete m_table->takeTopLevelItem(i);
            break;
        }
    }
    Modified = true;
}

void Turladdform::sortRows(const std::function<bool(const UrlEntry &, const UrlEntry &)> &less)
{
    QList<QTreeWidgetItem *> rows;
    while (m_table->topLevelItemCount() > 0)
        rows.append(m_table->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const QTreeWidgetItem *a, const QTreeWidgetItem *b) { return less(entryOf(a), entryOf(b)); });
    m_table->addTopLevelItems(rows);
}

void Turladdform::sortByDescription()
{
    sortRows([](const UrlEntry &a, const UrlEntry &b) {
        return QString::compare(a[UrlEntry::Description], b[UrlEntry::Description], Qt::CaseInsensitive) < 0;
    });
}

void Turladdform::dourlsort()
{
    sortRows([](const UrlEntry &a, const UrlEntry &b) {
        return QString::compare(a[UrlEntry::Url], b[UrlEntry::Url], Qt::CaseInsensitive) < 0;
    });
}

void Turladdform::dosizesort()
{
    // As text, not as numbers: "100" comes before "20".
    sortRows([](const UrlEntry &a, const UrlEntry &b) {
        return QString::compare(a[UrlEntry::Size], b[UrlEntry::Size], Qt::CaseInsensitive) < 0;
    });
}

void Turladdform::openSelected()
{
    const QList<QTreeWidgetItem *> rows = selectedRows();
    if (rows.isEmpty()) {
        gui::Prompt::error(this, u"You must first select a URL to open."_s);
        return;
    }
    gui::UrlOpener::open(QUrl::fromUserInput(rows.first()->text(1)));
}

void Turladdform::appendEntry(const UrlEntry &entry)
{
    setRow(new QTreeWidgetItem(m_table), entry);
    Modified = true;
}

QList<UrlEntry> Turladdform::entries() const
{
    QList<UrlEntry> all;
    for (int i = 0; i < m_table->topLevelItemCount(); ++i)
        all.append(entryOf(m_table->topLevelItem(i)));
    return all;
}

void Turladdform::setEntries(const QList<UrlEntry> &entries)
{
    m_table->clear();
    for (const UrlEntry &e : entries)
        setRow(new QTreeWidgetItem(m_table), e);
}

bool Turladdform::processeditlist(const link::EditUpdate &update)
{
    if (QString::compare(update.listName, ListName, Qt::CaseInsensitive) != 0)
        return true;
    for (int i = 0; i < m_table->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_table->topLevelItem(i);
        UrlEntry e = entryOf(row);
        if (QString::compare(e[UrlEntry::Url], update.url, Qt::CaseInsensitive) != 0)
            continue;
        e[UrlEntry::LastModified] = update.lastModified;
        e[UrlEntry::Size] = update.size;
        setRow(row, e);
        break;
    }
    return true;
}

void Turladdform::closeEvent(QCloseEvent *event)
{
    if (Modified && !Quiet) {
        switch (gui::Prompt::confirm(this, u"Do you wish to save changes to this URL List?"_s,
                                     gui::Prompt::Buttons::YesNoCancel)) {
        case gui::Prompt::Answer::Yes:
            // The save closes the editor once it has succeeded.
            event->ignore();
            CloseAfterSave = true;
            // A save that does not happen (a cancelled name) must not close a later one.
            if (!savelistall())
                CloseAfterSave = false;
            return;
        case gui::Prompt::Answer::No:
            break;
        default:
            event->ignore();
            return;
        }
    }
    event->accept();
    m_main.editorClosed(this);
}

// --- Import wizards --------------------------------------------------------------------

void Turladdform::openBookmarks()
{
    auto *wizard = new Tbookmarks(*this, m_main.clientSettings().settings());
    wizard->open();
}

void Turladdform::openLinkWizard()
{
    auto *wizard = new Tpageimportform(*this, m_main.pageFetch(), m_main.clientSettings().settings());
    wizard->open();
}

void Turladdform::openUrlLibrary()
{
    auto *wizard = new Turlwizard(*this, m_main.clientSettings().settings());
    if (!wizard->readlibrary()) {
        delete wizard;
        return;
    }
    wizard->open();
}

} // namespace pw::client
