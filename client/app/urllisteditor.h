#pragma once

#include "client/core/updatetargets.h"
#include "store/urllist.h"

#include <QMainWindow>

class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace pw::client {

class MainWindow;

// `Turladdform`: the entries of one URL List as a table with the commands on them. The
// list is edited in memory and written back whole on Save. While it shows, the main
// window waits behind it and hands it the server's edit updates.
class Turladdform final : public QMainWindow, public EditUpdateTarget
{
    Q_OBJECT

public:
    explicit Turladdform(MainWindow &main);
    ~Turladdform() override;

    QString ListName;
    bool Quiet = false;
    bool KeepTreeNode = false;
    bool CloseAfterSave = false;
    bool Modified = false;

    // A new, untitled list, or an existing one loaded from its file; then shown.
    void showNewList();
    void showList(const QString &name);

    bool urlexists(const QString &url) const;
    void loadlist();
    bool savelistall();
    bool savelistproc();
    // The URL entry dialog on a new entry, or on the first selected one.
    void addurl();
    void editurl();
    void deleteurl();
    void reseturl();
    void sortByDescription();
    void dourlsort();
    void dosizesort();

    // What an import wizard adds: appended as it is; sets `Modified`.
    void appendEntry(const UrlEntry &entry);
    QList<UrlEntry> entries() const;
    // Replaces the rows (a quiet batch change); leaves `Modified` alone.
    void setEntries(const QList<UrlEntry> &entries);
    QTreeWidget *urlviewer() const { return m_table; }

    // The import wizards of the bottom toolbar, on this editor.
    void openBookmarks();
    void openLinkWizard();
    void openUrlLibrary();

    bool processeditlist(const link::EditUpdate &update) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createToolBars();
    void createPopup();
    void openEntryDialog(int row);
    void setToolBarsEnabled(bool on);
    void removeStoredCopy(const QString &url) const;
    void openSelected();
    void sortRows(const std::function<bool(const UrlEntry &, const UrlEntry &)> &less);
    QList<QTreeWidgetItem *> selectedRows() const;

    MainWindow &m_main;
    QTreeWidget *m_table = nullptr;
    QToolBar *m_topBar = nullptr;
    QToolBar *m_bottomBar = nullptr;
    QMenu *m_popup = nullptr;
    QList<QAction *> m_selectionActions;
};

} // namespace pw::client
