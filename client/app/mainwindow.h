#pragma once

#include "client/core/clientsettings.h"
#include "client/core/linkdispatcher.h"
#include "client/core/pagefetch.h"
#include "client/core/serverlink.h"
#include "client/core/serverstarter.h"
#include "client/core/updatetargets.h"

#include <QMainWindow>
#include <QPointer>
#include <QSet>

class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QTreeWidgetItem;

namespace pw::client {

class Tinboxform;
class TreeCommands;
class Tviewer;
class WebBoxWindows;
class Turladdform;
class Tactionlogform;
class Treportform;
class Tsetupform;
class ShortcutTabs;
class Ttutorialform;
class UrlTree;

// `Tmain`: the client's MDI main window. It holds the URL-List tree on a dockable tool
// window, the navigation toolbar, the web-shortcut bar and the two-panel status bar;
// owns the link to the server and applies what the server sends.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: settings, tree, then the server found or started and the
    // link opened. False when the client must end (the reason has been shown).
    bool forminit();

    // Loads the URL-List names and "index.ctl" (reload) or only refreshes the menu and
    // the images; false when the tree index cannot be read.
    bool treeviewload(bool reload);
    // `savetree`: the names to the settings store, then "REFRESHLIST" to the server.
    void savetree();
    // Writes the tree to "index.ctl".
    bool saveTreeIndex();
    // `refreshmenu`: rebuilds "WebBo&xes" from the tree.
    void refreshmenu();

    void executeretrieveall();
    void retrieveSingle();
    // Sends a notification line ("REFRESHLIST", "REFRESHSETUP"): connects once when
    // the link is down, and otherwise sends nothing and says nothing.
    void notifyServer(const QString &line);

    // The URL List editor on a new list (empty name) or on a known one; one at a time.
    Turladdform *openListEditor(const QString &name);
    // Edit: the editor on the URL List selected in the tree.
    void editSelectedList();
    void editorClosed(Turladdform *editor);
    Turladdform *listEditor() const;
    // The texts of every node but the root: the names a new list may not take.
    QStringList nodeTexts() const;
    // A new URL List's node: under the selected folder (or the root), then "index.ctl"
    // and the menu are brought up to date.
    void addUrlListNode(const QString &name);
    PageFetch &pageFetch() { return m_fetch; }
    TreeCommands &treeCommands() { return *m_treeCommands; }

    // The WebBox windows: `showwebbox` opens or brings forward the window of a URL List
    // (0 on failure, else its slot); `webboxopen` tells whether one is open (exact name).
    int showwebbox(const QString &name);
    bool webboxopen(const QString &name) const;
    void closeWebBox(const QString &name);
    WebBoxWindows &webBoxes() { return *m_webBoxes; }
    // The active child window when it is a WebBox window or a browser.
    Tinboxform *activeWebBox() const;
    Tviewer *activeViewer() const;

    // `recordforms`: the captions of the open child windows into "window.lst".
    void recordforms();
    // Window message 3024: bring this window back from minimised and to the front.
    void restoreFromMinimized();

    ServerLink &link() { return m_link; }
    LinkDispatcher &dispatcher() { return m_dispatcher; }
    ClientSettings &clientSettings() { return m_settings; }
    ServerStarter &serverStarter() { return m_starter; }
    QStringList &indexbox() { return m_indexbox; }
    UrlTree *tree() const { return m_tree; }
    QMdiArea *mdiArea() const { return m_mdi; }
    QString panelText(int panel) const;
    QString selectedListName() const { return m_selectedListName; }
    bool editorOpen() const { return m_editorOpen; }
    void setEditorOpen(bool open) { m_editorOpen = open; }

    // The Setup dialog, the reports window and the log window: created with the main
    // window, shown by their commands.
    Tsetupform *setupForm() const { return m_setupForm; }
    Treportform *reportForm() const { return m_reportForm; }
    Tactionlogform *actionLogForm() const { return m_actionLogForm; }
    // "Error &Log...": loads the log into the log window and shows it.
    void showErrorLog();

    // The windows around the main window: the tutorial (created with it), Getting Started,
    // the About box and the Web Shortcuts strip.
    Ttutorialform *tutorialForm() const { return m_tutorialForm; }
    void showTutorial();
    void showGettingStarted();
    void showAbout();
    // The shortcut tabs from the settings; the bar shows when shortcuts are on and exist.
    void rebuildShortcuts();
    ShortcutTabs *shortcutTabs() const { return m_urltab; }
    QToolBar *shortcutsBar() const { return m_shortcutsBar; }

    void setInboxTarget(InboxUpdateTarget *target) { m_inboxTarget = target; }
    void setReportTarget(ReportUpdateTarget *target) { m_reportTarget = target; }
    void setEditTarget(EditUpdateTarget *target) { m_editTarget = target; }

Q_SIGNALS:
    // A URL List chosen from "WebBo&xes", Open or a double-click.
    void webBoxRequested(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createTreeWindow();
    void createStatusBar();
    void createTreePopup();
    void createSetupWindows();
    void createWizardWindows();
    void openShortcut(const QString &url);

    void setTransferActive(bool active);
    void setAborting(bool aborting);
    void setIdle();
    void applyReport(const link::ReportUpdate &update);
    void applyEdit(const link::EditUpdate &update);

    void onNodePressed(QTreeWidgetItem *node);
    void openWebDefault();
    void openHomePage();
    void toggleTreeView();
    void toggleDocked();
    void minimizeAll();
    void setHints(bool on);
    void rebuildWindowMenu();
    void afterFirstShow();
    void childActivated();
    void createWebBoxMenus();

    ClientSettings m_settings;
    ServerLink m_link;
    LinkDispatcher m_dispatcher;
    ServerStarter m_starter{m_link};
    PageFetch m_fetch;
    TreeCommands *m_treeCommands = nullptr;
    WebBoxWindows *m_webBoxes = nullptr;
    QPointer<Turladdform> m_editor;

    QMdiArea *m_mdi = nullptr;
    QDockWidget *m_treeDock = nullptr;
    UrlTree *m_tree = nullptr;
    QToolBar *m_navigation = nullptr;
    QToolBar *m_shortcutsBar = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};

    QMenu *m_webBoxesMenu = nullptr;
    QMenu *m_activeWebBoxMenu = nullptr;
    QMenu *m_webPageMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_treePopup = nullptr;

    QAction *m_retrieveAllAction = nullptr;
    QAction *m_retrieveAllButton = nullptr;
    QAction *m_showHintsAction = nullptr;
    QAction *m_dockedAction = nullptr;
    QAction *m_popupOpen = nullptr;
    QAction *m_popupRetrieveSingle = nullptr;
    QAction *m_popupEdit = nullptr;
    QAction *m_popupDelete = nullptr;
    QAction *m_popupRename = nullptr;
    QAction *m_popupReset = nullptr;
    QAction *m_popupNewFolder = nullptr;
    // Commands whose windows are not built yet: shown, never enabled.
    QSet<QAction *> m_notBuilt;

    QStringList m_indexbox; // the known URL-List names
    QString m_selectedListName;
    bool m_editorOpen = false;
    bool m_shownOnce = false;
    QObject *m_hintFilter = nullptr;

    Tsetupform *m_setupForm = nullptr;
    Treportform *m_reportForm = nullptr;
    Tactionlogform *m_actionLogForm = nullptr;
    Ttutorialform *m_tutorialForm = nullptr;
    ShortcutTabs *m_urltab = nullptr;

    InboxUpdateTarget *m_inboxTarget = nullptr;
    ReportUpdateTarget *m_reportTarget = nullptr;
    EditUpdateTarget *m_editTarget = nullptr;
};

} // namespace pw::client
