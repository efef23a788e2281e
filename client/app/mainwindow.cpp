#include "mainwindow.h"

#include "aboutbox.h"
#include "actionlogform.h"
#include "gettingstarted.h"
#include "reportform.h"
#include "setupform.h"
#include "shortcuttabs.h"
#include "treecommands.h"
#include "tutorialform.h"
#include "urllisteditor.h"
#include "urltree.h"
#include "viewer.h"
#include "webboxwindow.h"
#include "webboxwindows.h"

#include "client/core/clientmessages.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "gui/waitcursor.h"
#include "store/fileio.h"
#include "store/nmdialup.h"
#include "store/paths.h"
#include "store/textlines.h"
#include "store/webboxeslist.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMetaMethod>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

// Swallows tool tips while "Show Hints" is off.
class HintFilter final : public QObject
{
public:
    using QObject::QObject;
    bool enabled = true;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!enabled && event->type() == QEvent::ToolTip)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_link(paths::linkPort())
{
    setObjectName(u"main"_s);
    setWindowTitle(u"Pagewarden"_s);
    resize(750, 468);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(u"mdiarea"_s);
    m_mdi->setBackground(QColor(0x80, 0x80, 0x80));
    setCentralWidget(m_mdi);

    auto *filter = new HintFilter(this);
    qApp->installEventFilter(filter);
    m_hintFilter = filter;

    m_treeCommands = new TreeCommands(*this);
    m_webBoxes = new WebBoxWindows(*this);
    m_inboxTarget = m_webBoxes;
    connect(this, &MainWindow::webBoxRequested, this, [this](const QString &name) { showwebbox(name); });
    createActions();
    createTreeWindow();
    createToolBars();
    createMenus();
    createTreePopup();
    createStatusBar();
    createSetupWindows();
    createWizardWindows();

    connect(&m_link, &ServerLink::lineReceived, &m_dispatcher, &LinkDispatcher::IPPort1DataIn);
    connect(&m_link, &ServerLink::linkError, this, &MainWindow::setIdle);
    connect(&m_dispatcher, &LinkDispatcher::transferActiveChanged, this, &MainWindow::setTransferActive);
    connect(&m_dispatcher, &LinkDispatcher::abortingChanged, this, &MainWindow::setAborting);
    connect(&m_dispatcher, &LinkDispatcher::transferInfo, this, [this](const QString &text) {
        m_panels[1]->setText(text);
        m_panels[1]->setToolTip(text); // whole, should the window be narrow
    });
    connect(&m_dispatcher, &LinkDispatcher::scheduleUpdated, &m_settings, &ClientSettings::reloadSchedule);
    connect(&m_dispatcher, &LinkDispatcher::inboxUpdate, this, [this](const link::InboxUpdate &update) {
        if (m_inboxTarget)
            m_inboxTarget->processlist(update);
    });
    connect(&m_dispatcher, &LinkDispatcher::reportUpdate, this, &MainWindow::applyReport);
    connect(&m_dispatcher, &LinkDispatcher::editUpdate, this, &MainWindow::applyEdit);
}

MainWindow::~MainWindow()
{
    delete m_editor; // before the members it reports to are gone
    qApp->removeEventFilter(m_hintFilter);
}

void MainWindow::createActions()
{
    m_retrieveAllAction = new QAction(u"Retrie&ve All"_s, this);
    m_retrieveAllAction->setObjectName(u"retrieveallitem"_s);
    m_retrieveAllAction->setShortcut(Qt::Key_F10);
    connect(m_retrieveAllAction, &QAction::triggered, this, &MainWindow::executeretrieveall);

    m_retrieveAllButton = new QAction(u"Retrieve All"_s, this);
    m_retrieveAllButton->setObjectName(u"retrievebtn"_s);
    connect(m_retrieveAllButton, &QAction::triggered, this, &MainWindow::executeretrieveall);
}

void MainWindow::createTreeWindow()
{
    m_tree = new UrlTree;
    m_tree->setListNames(&m_indexbox);
    connect(m_tree, &UrlTree::nodePressed, this, [this](QTreeWidgetItem *node) { onNodePressed(node); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] {
        // The root's text is refused here; Open refuses nothing but an empty name.
        if (!m_selectedListName.isEmpty() && !(m_tree->root() && m_selectedListName == m_tree->root()->text(0)))
            showwebbox(m_selectedListName);
        m_selectedListName.clear();
    });
    connect(m_tree, &UrlTree::nodeDropped, this, [this] {
        saveTreeIndex();
        treeviewload(false);
    });
    connect(m_tree, &UrlTree::deleteKeyPressed, m_treeCommands, &TreeCommands::deleteKey);

    m_treeDock = new QDockWidget(u"Pagewarden"_s, this);
    m_treeDock->setObjectName(u"treedock"_s);
    m_treeDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    m_treeDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable
                            | QDockWidget::DockWidgetClosable);
    m_treeDock->setToolTip(u"Displays a list of all URL Lists arranged in a hierarchical fashion."_s);
    m_treeDock->setWidget(m_tree);
    addDockWidget(Qt::LeftDockWidgetArea, m_treeDock);
}

void MainWindow::createToolBars()
{
    const auto icon = [](QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); };

    m_navigation = new QToolBar(u"Navigation"_s, this);
    m_navigation->setObjectName(u"Navigation"_s);
    m_navigation->setAllowedAreas(Qt::TopToolBarArea);
    m_navigation->setFloatable(false);
    m_navigation->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    addToolBar(Qt::TopToolBarArea, m_navigation);

    const auto button = [&](const QString &caption, const QString &name, QStyle::StandardPixmap pixmap,
                            const QString &hint) {
        QAction *action = m_navigation->addAction(icon(pixmap), caption);
        action->setObjectName(name);
        action->setToolTip(hint);
        return action;
    };
    connect(
        button(u"Add URL List"_s, u"addbtn"_s, QStyle::SP_FileDialogNewFolder, u"Click here to add a new URL List."_s),
        &QAction::triggered, this, [this] { openListEditor({}); });
    connect(button(u"Edit URL List"_s, u"editbtn"_s, QStyle::SP_FileDialogContentsView,
                   u"Click here to edit an existing URL List."_s),
            &QAction::triggered, this, &MainWindow::editSelectedList);
    m_retrieveAllButton->setIcon(icon(QStyle::SP_BrowserReload));
    m_retrieveAllButton->setToolTip(u"Click here to check web pages in all URL Lists for content changes."_s);
    m_navigation->addAction(m_retrieveAllButton);
    m_notBuilt << button(u"Setup"_s, u"setupbtn"_s, QStyle::SP_FileDialogDetailedView,
                         u"Click here to specify Pagewarden default settings."_s);
    m_notBuilt << button(u"Reports"_s, u"reportsbtn"_s, QStyle::SP_FileDialogInfoView,
                         u"Click here to view detailed records of URL List retrievals."_s);
    connect(button(u"Web"_s, u"webbtn"_s, QStyle::SP_DriveNetIcon,
                   u"Click here to open your default external web browser."_s),
            &QAction::triggered, this, &MainWindow::openWebDefault);
    connect(button(u"Toggle View"_s, u"togglebtn"_s, QStyle::SP_TitleBarShadeButton,
                   u"Click here to alternately hide and show the Pagewarden Tree."_s),
            &QAction::triggered, this, &MainWindow::toggleTreeView);
    connect(button(u"Exit"_s, u"exitbtn"_s, QStyle::SP_DialogCloseButton, u"Click here to close Pagewarden."_s),
            &QAction::triggered, this, &QWidget::close);

    // The shortcut tabs live here; the bar shows only when there are shortcuts to show.
    m_shortcutsBar = new QToolBar(u"Web Shortcuts"_s, this);
    m_shortcutsBar->setObjectName(u"WebShortcuts"_s);
    m_shortcutsBar->setAllowedAreas(Qt::BottomToolBarArea);
    m_shortcutsBar->setFloatable(false);
    addToolBar(Qt::BottomToolBarArea, m_shortcutsBar);
    m_shortcutsBar->hide();

    for (QAction *action : std::as_const(m_notBuilt))
        action->setEnabled(false);
}

void MainWindow::createMenus()
{
    QMenu *actions = menuBar()->addMenu(u"&Actions"_s);
    actions->setObjectName(u"actionsmenu"_s);
    actions->addAction(u"&Add URL List..."_s, this, [this] { openListEditor({}); });
    actions->addAction(u"&Edit URL List..."_s, this, &MainWindow::editSelectedList);
    actions->addAction(m_retrieveAllAction);
    actions->addSeparator();
    m_notBuilt << actions->addAction(u"&Setup..."_s) << actions->addAction(u"&Reports..."_s)
               << actions->addAction(u"Error &Log..."_s);
    actions->addSeparator();
    QAction *web = actions->addAction(u"&Web"_s, this, &MainWindow::openWebDefault);
    web->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    QAction *toggle = actions->addAction(u"&Toggle View"_s, this, &MainWindow::toggleTreeView);
    toggle->setShortcut(Qt::Key_F5);
    actions->addAction(u"E&xit"_s, this, &QWidget::close);

    m_webBoxesMenu = menuBar()->addMenu(u"WebBo&xes"_s);
    m_webBoxesMenu->setObjectName(u"webboxesmenu"_s);
    m_webBoxesMenu->setEnabled(false);

    createWebBoxMenus();

    m_windowMenu = menuBar()->addMenu(u"&Window"_s);
    m_windowMenu->setObjectName(u"windowmenu"_s);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::rebuildWindowMenu);
    rebuildWindowMenu();

    QMenu *help = menuBar()->addMenu(u"&Help"_s);
    help->setObjectName(u"helpmenu"_s);
    help->addAction(u"&Contents"_s, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(1000);
    });
    m_notBuilt << help->addAction(u"&Tutorial"_s);
    m_showHintsAction = help->addAction(u"&Show Hints"_s);
    m_showHintsAction->setObjectName(u"showhintsitem"_s);
    m_showHintsAction->setCheckable(true);
    m_showHintsAction->setChecked(true);
    connect(m_showHintsAction, &QAction::triggered, this, &MainWindow::setHints);
    m_notBuilt << help->addAction(u"&Getting Started..."_s);
    help->addSeparator();
    help->addAction(u"&Norvane Software Home Page"_s, this, &MainWindow::openHomePage);
    m_notBuilt << help->addAction(u"&About..."_s);

    for (QAction *action : std::as_const(m_notBuilt))
        action->setEnabled(false);
}

void MainWindow::createWebBoxMenus()
{
    // Enabled only while a WebBox window or a graphic-free browser is the active child.
    m_activeWebBoxMenu = menuBar()->addMenu(u"Active Web&Box"_s);
    m_activeWebBoxMenu->setObjectName(u"activewebboxmenu"_s);
    const auto onBox = [this](const QString &noRow, auto act) {
        return [this, noRow, act] {
            Tinboxform *box = activeWebBox();
            if (!box)
                return;
            if (!noRow.isEmpty() && box->selectedRow() < 0) {
                gui::Prompt::error(this, noRow);
                return;
            }
            act(box);
        };
    };
    const QString toOpen = u"You must first select a URL to open."_s;
    m_activeWebBoxMenu->addAction(u"&Open Graphic-Free"_s, this,
                                  onBox(toOpen, [](Tinboxform *box) { box->inboxdoubleopen(-1); }));
    QMenu *openUrl = m_activeWebBoxMenu->addMenu(u"Open &URL"_s);
    openUrl->addAction(u"&New Browser"_s, this, onBox(toOpen, [](Tinboxform *box) { box->openSelectedInBrowser(); }));
    openUrl->addAction(u"&Active Browser"_s, this,
                       onBox(toOpen, [](Tinboxform *box) { box->openSelectedInBrowser(); }));
    QMenu *sortBy = m_activeWebBoxMenu->addMenu(u"&Sort By"_s);
    sortBy->addAction(u"&Description"_s, this, onBox({}, [](Tinboxform *box) { box->docaptionsort(); }));
    sortBy->addAction(u"&URL"_s, this, onBox({}, [](Tinboxform *box) { box->dourlsort(); }));
    sortBy->addAction(u"Date/&Time"_s, this, onBox({}, [](Tinboxform *box) { box->dodatesort(); }));
    sortBy->addAction(u"&Read"_s, this, onBox({}, [](Tinboxform *box) { box->doreadsort(); }));
    m_activeWebBoxMenu->addAction(
        u"&Delete URL"_s, this,
        onBox(u"You must first select a URL to delete."_s, [](Tinboxform *box) { box->deleteurls(); }));
    m_activeWebBoxMenu->addAction(
        u"&More Information"_s, this,
        onBox(u"You must first select a URL."_s, [](Tinboxform *box) { box->moreinformation(); }));
    m_activeWebBoxMenu->setEnabled(false);

    m_webPageMenu = menuBar()->addMenu(u"Web &Page"_s);
    m_webPageMenu->setObjectName(u"webpagemenu"_s);
    QMenu *openIn = m_webPageMenu->addMenu(u"&Open In Browser"_s);
    openIn->addAction(u"&New"_s, this, [this] {
        if (Tviewer *viewer = activeViewer())
            viewer->opennew();
    });
    openIn->addAction(u"&Active"_s, this, [this] {
        if (Tviewer *viewer = activeViewer())
            viewer->openactive();
    });
    m_webPageMenu->addAction(u"&Print"_s, this, [this] {
        if (Tviewer *viewer = activeViewer())
            viewer->print(viewer->windowTitle());
    });
    m_webPageMenu->setEnabled(false);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::childActivated);
}

Tinboxform *MainWindow::activeWebBox() const
{
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    return active ? qobject_cast<Tinboxform *>(active->widget()) : nullptr;
}

Tviewer *MainWindow::activeViewer() const
{
    QMdiSubWindow *active = m_mdi->activeSubWindow();
    return active ? qobject_cast<Tviewer *>(active->widget()) : nullptr;
}

void MainWindow::childActivated()
{
    m_activeWebBoxMenu->setEnabled(activeWebBox() != nullptr);
    m_webPageMenu->setEnabled(activeViewer() != nullptr);
}

int MainWindow::showwebbox(const QString &name)
{
    return m_webBoxes->showwebbox(name);
}

bool MainWindow::webboxopen(const QString &name) const
{
    return m_webBoxes->webboxopen(name);
}

void MainWindow::closeWebBox(const QString &name)
{
    m_webBoxes->closeWebBoxesOf(name);
}

void MainWindow::createTreePopup()
{
    m_treePopup = new QMenu(this);
    m_treePopup->setObjectName(u"treepopup"_s);
    m_popupOpen = m_treePopup->addAction(u"&Open"_s, this, [this] {
        if (!m_selectedListName.isEmpty())
            showwebbox(m_selectedListName);
        m_selectedListName.clear();
    });
    m_treePopup->setDefaultAction(m_popupOpen);
    m_popupRetrieveSingle = m_treePopup->addAction(u"Retrieve &Single"_s, this, &MainWindow::retrieveSingle);
    m_treePopup->addSeparator();
    m_popupEdit = m_treePopup->addAction(u"&Edit"_s, this, &MainWindow::editSelectedList);
    m_popupDelete = m_treePopup->addAction(u"&Delete"_s, m_treeCommands, &TreeCommands::deleteurllist);
    m_popupRename = m_treePopup->addAction(u"&Rename"_s, m_treeCommands, &TreeCommands::rename);
    m_popupReset = m_treePopup->addAction(u"Rese&t"_s, m_treeCommands, &TreeCommands::reseturllist);
    m_treePopup->addSeparator();
    m_popupNewFolder = m_treePopup->addAction(u"&New Folder"_s, m_treeCommands, &TreeCommands::newFolder);
    m_treePopup->addAction(u"New &URL List"_s, this, [this] { openListEditor({}); });
    m_treePopup->addSeparator();
    m_dockedAction = m_treePopup->addAction(u"Doc&ked"_s, this, &MainWindow::toggleDocked);
    m_dockedAction->setCheckable(true);
    m_dockedAction->setChecked(true);
    m_treePopup->addAction(u"Toggle &View"_s, this, &MainWindow::toggleTreeView);

    connect(m_treeDock, &QDockWidget::topLevelChanged, this,
            [this](bool floating) { m_dockedAction->setChecked(!floating); });
    connect(m_tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_treePopup->popup(m_tree->viewport()->mapToGlobal(pos)); });
}

void MainWindow::createStatusBar()
{
    const int widths[2] = {240, 260};
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(u"panel"_s + QString::number(i));
        // The counters of a run are longer than the second panel's 260 pixels in most fonts:
        // it takes the rest of the bar when there is room.
        if (i == 0)
            m_panels[i]->setFixedWidth(widths[i]);
        else
            m_panels[i]->setMinimumWidth(widths[i]);
        statusBar()->addWidget(m_panels[i], i);
    }
    m_panels[0]->setText(qs(text::kIdle));
}

QString MainWindow::panelText(int panel) const
{
    return m_panels[panel]->text();
}

bool MainWindow::forminit()
{
    gui::WaitCursor wait;
    m_settings.load();
    m_settings.takeNewRetrievalsNotice();
    m_showHintsAction->setChecked(m_settings.settings().hints);
    static_cast<HintFilter *>(m_hintFilter)->enabled = m_settings.settings().hints;

    m_treeDock->show();
    rebuildShortcuts();
    m_navigation->show();
    m_editorOpen = false;
    m_dispatcher.reset();

    if (!treeviewload(true)) {
        gui::Prompt::error(this, qs(text::kMustTerminate));
        return false;
    }
    QCoreApplication::processEvents();

    setAborting(false);
    switch (m_starter.connectOrStart()) {
    case ServerStarter::Result::Connected:
        return true;
    case ServerStarter::Result::ServerMissing:
        gui::Prompt::error(this, qs(text::kServerMissing));
        return false;
    case ServerStarter::Result::NoAnswer:
        break;
    }
    gui::Prompt::error(this, qs(text::kNoServerAnswer));
    return false;
}

bool MainWindow::treeviewload(bool reload)
{
    if (reload) {
        m_indexbox.clear();
        m_tree->clear();
        auto store = paths::openSettings();
        const QString dataDir = paths::dataDir();
        const WebBoxesList lists = loadWebBoxesList(*store, dataDir);
        // A damaged count loads no tree either; nothing is written, so the file stays.
        if (!lists.countValid) {
            refreshmenu();
            return true;
        }
        m_indexbox = lists.names;
        QDir().mkdir(dataDir);
        const QString indexFile = paths::treeIndexFile();
        if (QFileInfo::exists(indexFile)) {
            const TreeRead read = readTreeIndex(indexFile);
            if (!read.ok) {
                qWarning("pagewarden: %s", qPrintable(read.error));
                return false;
            }
            m_tree->setTreeItems(read.items);
        }
    }
    m_tree->refreshImages();
    refreshmenu();
    if (!m_tree->root()) {
        m_tree->addRoot();
        saveTreeIndex();
    }
    m_webBoxesMenu->setEnabled(!m_webBoxesMenu->isEmpty());
    return true;
}

bool MainWindow::saveTreeIndex()
{
    QString error;
    if (writeTreeIndex(paths::treeIndexFile(), m_tree->treeItems(), &error))
        return true;
    qWarning("pagewarden: the tree index cannot be written: %s", qPrintable(error));
    return false;
}

void MainWindow::savetree()
{
    auto store = paths::openSettings();
    saveWebBoxesList(*store, m_indexbox);
    notifyServer(QString::fromLatin1(link::kRefreshList));
}

void MainWindow::refreshmenu()
{
    m_webBoxesMenu->clear();
    // The WebBox windows come with their own part of the client: until something opens
    // them, their entries are shown disabled.
    const bool canOpen = isSignalConnected(QMetaMethod::fromSignal(&MainWindow::webBoxRequested));
    const std::function<void(QTreeWidgetItem *, QMenu *)> addEntry = [&](QTreeWidgetItem *node, QMenu *menu) {
        const QString caption = node->text(0);
        if (m_tree->isUrlList(node)) {
            node->setIcon(0, UrlTree::imageIcon(UrlTree::UrlListImage));
            QAction *open = menu->addAction(node->icon(0), caption);
            open->setEnabled(canOpen);
            connect(open, &QAction::triggered, this, [this, caption] { Q_EMIT webBoxRequested(caption); });
            return;
        }
        node->setIcon(0, UrlTree::imageIcon(UrlTree::FolderImage));
        if (node->childCount() == 0) {
            menu->addAction(node->icon(0), caption);
            return;
        }
        QMenu *sub = menu->addMenu(node->icon(0), caption);
        for (int i = 0; i < node->childCount(); ++i)
            addEntry(node->child(i), sub);
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = m_tree->topLevelItem(i);
        if (!m_tree->isRoot(top)) {
            // A later line at depth 0 in a hand-edited index: listed like the root's children.
            addEntry(top, m_webBoxesMenu);
            continue;
        }
        for (int j = 0; j < top->childCount(); ++j)
            addEntry(top->child(j), m_webBoxesMenu);
    }
    m_webBoxesMenu->setEnabled(!m_webBoxesMenu->isEmpty());
}

void MainWindow::executeretrieveall()
{
    if (!m_link.isOpen() && !m_link.serverconnect()) {
        gui::Prompt::error(this, qs(text::kServerNotAvailable));
        return;
    }
    m_link.send(QString::fromLatin1(link::kGetAll));
}

void MainWindow::retrieveSingle()
{
    if (m_selectedListName.isEmpty())
        return;
    if (!m_link.isOpen() && !m_link.serverconnect()) {
        gui::Prompt::error(this, qs(text::kServerNotAvailable));
        return;
    }
    m_link.send(link::retrieveLine(m_selectedListName));
}

void MainWindow::notifyServer(const QString &line)
{
    m_link.sendConnectingOnce(line);
}

void MainWindow::setTransferActive(bool active)
{
    m_panels[0]->setText(qs(active ? text::kTransferActive : text::kIdle));
}

void MainWindow::setAborting(bool aborting)
{
    m_retrieveAllAction->setEnabled(!aborting);
    m_retrieveAllButton->setEnabled(!aborting);
}

void MainWindow::setIdle()
{
    m_dispatcher.setIdle();
    setAborting(false);
    m_panels[0]->setText(qs(text::kIdle));
}

void MainWindow::applyReport(const link::ReportUpdate &update)
{
    if (!m_reportTarget || !m_reportTarget->isShowing())
        return;
    if (!m_reportTarget->processreport(update))
        gui::Prompt::information(this, qs(text::kTransactionError));
}

void MainWindow::applyEdit(const link::EditUpdate &update)
{
    if (!m_editorOpen || !m_editTarget)
        return;
    if (!m_editTarget->processeditlist(update))
        gui::Prompt::information(this, qs(text::kTransactionError));
}

void MainWindow::onNodePressed(QTreeWidgetItem *node)
{
    m_selectedListName.clear();
    const bool isList = m_tree->isUrlList(node);
    const bool isRoot = m_tree->isRoot(node);
    const bool isFolder = node && !isList && !isRoot;
    const auto enable = [this](QAction *action, bool on) { action->setEnabled(on && !m_notBuilt.contains(action)); };
    enable(m_popupOpen, isList);
    enable(m_popupRetrieveSingle, isList && !m_dispatcher.aborting());
    enable(m_popupEdit, isList);
    enable(m_popupDelete, isList || isFolder);
    enable(m_popupRename, isList || isFolder);
    enable(m_popupReset, isList);
    if (node)
        enable(m_popupNewFolder, !isList);
    if (isList || isRoot)
        m_selectedListName = node->text(0);
}

void MainWindow::openWebDefault()
{
    gui::WaitCursor wait;
    gui::UrlOpener::open(QUrl::fromUserInput(m_settings.settings().defaulturl));
}

void MainWindow::openHomePage()
{
    if (!gui::UrlOpener::open(QUrl(qs(text::kHomePage))))
        gui::Prompt::error(this, qs(text::kBrowserError));
}

void MainWindow::toggleTreeView()
{
    m_treeDock->setVisible(!m_treeDock->isVisible());
}

void MainWindow::toggleDocked()
{
    if (!m_treeDock->isFloating()) {
        m_treeDock->setFloating(true);
    } else {
        m_treeDock->setFloating(false);
        addDockWidget(Qt::LeftDockWidgetArea, m_treeDock);
    }
    m_dockedAction->setChecked(!m_treeDock->isFloating());
}

void MainWindow::minimizeAll()
{
    // Two passes: minimising one child can restore or reorder another.
    for (int pass = 0; pass < 2; ++pass) {
        for (QMdiSubWindow *child : m_mdi->subWindowList())
            child->showMinimized();
    }
}

void MainWindow::setHints(bool on)
{
    m_showHintsAction->setChecked(on);
    static_cast<HintFilter *>(m_hintFilter)->enabled = on;
    m_settings.setHints(on);
}

void MainWindow::rebuildWindowMenu()
{
    m_windowMenu->clear();
    m_windowMenu->addAction(u"&Tile"_s, m_mdi, &QMdiArea::tileSubWindows);
    m_windowMenu->addAction(u"&Cascade"_s, m_mdi, &QMdiArea::cascadeSubWindows);
    m_windowMenu->addAction(u"&Minimize All"_s, this, &MainWindow::minimizeAll);
    const QList<QMdiSubWindow *> children = m_mdi->subWindowList();
    if (!children.isEmpty())
        m_windowMenu->addSeparator();
    int number = 1;
    for (QMdiSubWindow *child : children) {
        const QString caption = number < 10 ? u"&%1 %2"_s.arg(number).arg(child->windowTitle())
                                            : u"%1 %2"_s.arg(number).arg(child->windowTitle());
        QAction *action = m_windowMenu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(child == m_mdi->activeSubWindow());
        connect(action, &QAction::triggered, child, [this, child] { m_mdi->setActiveSubWindow(child); });
        ++number;
    }
}

Turladdform *MainWindow::openListEditor(const QString &name)
{
    if (m_editor) {
        m_editor->raise();
        m_editor->activateWindow();
        return m_editor;
    }
    m_editor = new Turladdform(*this);
    m_editorOpen = true;
    m_editTarget = m_editor;
    if (name.isEmpty())
        m_editor->showNewList();
    else
        m_editor->showList(storedListName(m_indexbox, name));
    return m_editor;
}

Turladdform *MainWindow::listEditor() const
{
    return m_editor;
}

void MainWindow::editSelectedList()
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    if (!node) {
        gui::Prompt::error(this, u"You must first select a URL List to edit."_s);
        return;
    }
    if (!m_tree->isUrlList(node)) {
        gui::Prompt::information(this, u"You must first select a URL List to edit."_s);
        return;
    }
    openListEditor(node->text(0));
}

void MainWindow::editorClosed(Turladdform *editor)
{
    if (m_editTarget == editor) {
        m_editTarget = nullptr;
        m_editorOpen = false;
    }
}

QStringList MainWindow::nodeTexts() const
{
    QList<TreeItem> items = m_tree->treeItems();
    if (!items.isEmpty())
        items.removeFirst(); // the root
    QStringList texts;
    for (const TreeItem &item : std::as_const(items))
        texts.append(item.text);
    return texts;
}

void MainWindow::addUrlListNode(const QString &name)
{
    QTreeWidgetItem *root = m_tree->root();
    if (!root)
        root = m_tree->addRoot();
    QTreeWidgetItem *parent = m_tree->currentItem();
    if (!parent || m_tree->isUrlList(parent))
        parent = root;
    auto *node = new QTreeWidgetItem(parent);
    node->setText(0, name);
    node->setIcon(0, UrlTree::imageIcon(UrlTree::UrlListImage));
    parent->setExpanded(true);
    saveTreeIndex();
    refreshmenu();
}

void MainWindow::recordforms()
{
    QList<QByteArray> captions;
    for (QMdiSubWindow *child : m_mdi->subWindowList())
        captions.append(child->windowTitle().toUtf8());
    QString error;
    if (!writeFileAtomic(paths::windowListFile(), joinCrLf(captions), &error))
        qWarning("pagewarden: the window list cannot be written: %s", qPrintable(error));
}

void MainWindow::restoreFromMinimized()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    auto store = paths::openSettings();
    restoreState(store->value(u"Toolbars/State"_s).toByteArray());
    m_treeDock->show();
    m_dockedAction->setChecked(!m_treeDock->isFloating());
    m_webBoxes->loadforms();
    QTimer::singleShot(100, this, &MainWindow::afterFirstShow);
}

void MainWindow::afterFirstShow()
{
    if (!m_settings.showFirst())
        showGettingStarted();
    if (m_settings.newRetrievalsNotice())
        gui::Prompt::information(this, qs(text::kNewRetrievals));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    recordforms();
    // Each WebBox window saves its read marks and purges as it closes.
    m_mdi->closeAllSubWindows();
    {
        auto store = paths::openSettings();
        store->setValue(u"Toolbars/State"_s, saveState());
    }
    if (m_link.isOpen()) {
        m_link.send(QString::fromLatin1(link::kClientClose));
        m_link.disconnectFromServer();
    }
    event->accept();
}

// --- Setup, reports and log windows ---------------------------------------------------

void MainWindow::createSetupWindows()
{
    // The dial-up page lists the system's phone book; tests put their own in its place.
    m_settings.setPhoneBook(std::make_shared<NmDialUp>());

    m_setupForm = new Tsetupform(m_settings, m_indexbox, this);
    m_reportForm = new Treportform(m_settings, m_setupForm->printSetup(), this);
    m_actionLogForm = new Tactionlogform(this);
    setReportTarget(m_reportForm);

    connect(m_setupForm, &Tsetupform::saved, this, [this] { notifyServer(QString::fromLatin1(link::kRefreshSetup)); });
    connect(m_setupForm, &Tsetupform::settingsLoaded, this, &MainWindow::rebuildShortcuts);

    // The commands were made before their windows existed.
    const auto enable = [this](QAction *action, auto slot) {
        if (!action)
            return;
        m_notBuilt.remove(action);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, slot);
    };
    const auto menuEntry = [this](const QString &text) -> QAction * {
        const QMenu *actions = findChild<QMenu *>(u"actionsmenu"_s);
        if (!actions)
            return nullptr;
        for (QAction *action : actions->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    };
    const auto showSetup = [this] { m_setupForm->showSetup(); };
    const auto showReports = [this] { m_reportForm->showReports(); };
    enable(menuEntry(u"&Setup..."_s), showSetup);
    enable(findChild<QAction *>(u"setupbtn"_s), showSetup);
    enable(menuEntry(u"&Reports..."_s), showReports);
    enable(findChild<QAction *>(u"reportsbtn"_s), showReports);
    enable(menuEntry(u"Error &Log..."_s), [this] { showErrorLog(); });
}

void MainWindow::showErrorLog()
{
    ActionLogRows::Load loaded = ActionLogRows::Load::Ok;
    QString error;
    {
        gui::WaitCursor wait;
        const QString remembered = m_panels[0]->text();
        m_panels[0]->setText(qs(text::kLoadingLogs));
        loaded = m_actionLogForm->loadactionlog(&error);
        m_panels[0]->setText(remembered);
    }
    if (loaded == ActionLogRows::Load::Failed) {
        qWarning("pagewarden: the log cannot be read: %s", qPrintable(error));
        gui::Prompt::error(this, qs(text::kLogAccessError));
        return;
    }
    if (m_actionLogForm->entryCount() > 0)
        m_actionLogForm->showLog();
    else
        gui::Prompt::information(this, qs(text::kNoLogEntries));
}

} // namespace pw::client

namespace pw::client {

// --- Tutorial, Getting Started, About and the Web Shortcuts strip ----------------------

void MainWindow::createWizardWindows()
{
    m_tutorialForm = new Ttutorialform(this);

    m_urltab = new ShortcutTabs(m_shortcutsBar);
    m_shortcutsBar->addWidget(m_urltab);
    connect(m_urltab, &ShortcutTabs::shortcutClicked, this, &MainWindow::openShortcut);
    connect(m_urltab, &ShortcutTabs::modifyRequested, this, [this] {
        m_setupForm->showSetup();
        if (auto *pages = m_setupForm->findChild<QTabWidget *>()) {
            for (int i = 0; i < pages->count(); ++i) {
                if (pages->tabText(i) == u"Web Shortcuts"_s)
                    pages->setCurrentIndex(i);
            }
        }
    });

    const QMenu *help = findChild<QMenu *>(u"helpmenu"_s);
    if (!help)
        return;
    for (QAction *action : help->actions()) {
        void (MainWindow::*slot)() = nullptr;
        if (action->text() == u"&Tutorial"_s)
            slot = &MainWindow::showTutorial;
        else if (action->text() == u"&Getting Started..."_s)
            slot = &MainWindow::showGettingStarted;
        else if (action->text() == u"&About..."_s)
            slot = &MainWindow::showAbout;
        if (!slot)
            continue;
        m_notBuilt.remove(action);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, slot);
    }
}

void MainWindow::showTutorial()
{
    m_tutorialForm->showTutorial();
}

void MainWindow::showGettingStarted()
{
    auto *window = new Twizardone(*this);
    window->showagain()->setChecked(m_settings.showFirst());
    window->open();
}

void MainWindow::showAbout()
{
    auto *box = new Taboutbox(this);
    box->open();
}

void MainWindow::rebuildShortcuts()
{
    const Settings &s = m_settings.settings();
    m_urltab->rebuild(s.urlshortcuts);
    const bool show = s.shortcutenabled && !s.urlshortcuts.isEmpty();
    m_urltab->setVisible(show);
    m_shortcutsBar->setVisible(show);
}

void MainWindow::openShortcut(const QString &url)
{
    bool opened = false;
    {
        gui::WaitCursor wait;
        opened = gui::UrlOpener::open(QUrl::fromUserInput(url));
    }
    if (!opened)
        gui::Prompt::error(this, qs(text::kBrowserError));
}

} // namespace pw::client
