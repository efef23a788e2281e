#pragma once

#include "client/core/webboxrows.h"
#include "store/linkframing.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <array>

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace pw::client {

class MainWindow;
class Tviewer;

// `Tinboxform`: the pages of one URL List that the server found new or changed, as a
// list with a read box per row. Saved back to the WebBox file after every click and on
// close; the graphic-free browsers opened from it close with it.
class Tinboxform final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kBrowserSlots = 100;

    Tinboxform(MainWindow &main, int slot, const QString &name, QWidget *parent = nullptr);
    ~Tinboxform() override;

    int handler() const { return m_slot; }
    const QString &currentname() const { return m_name; }
    QTreeWidget *inbox() const { return m_inbox; }

    // Columns for a window width.
    void createColumns(int width);
    void loadwebbox();
    bool savewebbox();

    // `inboxdoubleopen`: the row graphic-free (-1: the selected row).
    Tviewer *inboxdoubleopen(int row);
    void deleteurls();
    void moreinformation();
    void docaptionsort();
    void dourlsort();
    void dodatesort();
    void doreadsort();
    // The row's URL to the system's browser; "You must first select a URL to open." without one.
    void openSelectedInBrowser();

    // A row from the server: unread, at the end; a duplicate of the last row is dropped.
    void addServerRow(const link::InboxUpdate &update);
    // The selected row, or -1.
    int selectedRow() const;
    int browserCount() const { return m_browserCount; }
    QList<Tviewer *> browsers() const;

    // The close sequence: keep-one purge, save, browsers closed.
    void closeWindow();

Q_SIGNALS:
    void closing(Tinboxform *window);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onItemClicked();
    void showPopup(const QPoint &pos);
    void sortRows(const std::function<bool(const QTreeWidgetItem *, const QTreeWidgetItem *)> &less);
    void appendRows(const QList<WebBoxEntry> &rows);
    QList<WebBoxEntry> rowsInOrder() const;
    void keepOnePurge();
    void browserClosed(Tviewer *viewer);

    MainWindow &m_main;
    int m_slot;
    QString m_name;
    QTreeWidget *m_inbox;
    QMenu *m_popup = nullptr;
    QList<QAction *> m_rowActions;
    WebBoxRows m_rows;
    QHash<QString, link::InboxUpdate> m_keepOne;                 // by URL
    std::array<QPointer<Tviewer>, kBrowserSlots + 1> m_browsers; // 1..100
    std::array<QString, kBrowserSlots + 1> m_browserPaths;
    int m_browserCount = 0;
    bool m_closed = false;
};

} // namespace pw::client
