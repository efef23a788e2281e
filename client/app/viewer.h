#pragma once

#include "client/core/linkresolver.h"

#include <QMainWindow>

class QLabel;

namespace pw::client {

class HtmlView;

// `Tviewer`: the graphic-free browser, a child window that shows one stored page of a
// WebBox entry. Links are resolved against the address the page came from and handed
// to the system's browser; nothing is fetched here.
class Tviewer final : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tviewer(QWidget *parent = nullptr);

    // Shows the stored page; false when it cannot be read.
    bool loadPage(const QString &path);
    // The entry's URL; false (with the error shown) when it holds no "://".
    bool setPageUrl(const QString &url);
    const StoredPageAddress &address() const { return m_address; }
    HtmlView *view() const { return m_view; }
    QString statusText() const;

    int webBoxSlot = 0;
    int browserSlot = 0;
    QString pagePath;

    void opennew();
    void openactive();
    // Asks, naming `what` between double quotes, then prints.
    void print(const QString &what);
    void printFromToolbar() { print(m_address.base); }

    void HTMLViewer1HotSpotClick(const QString &link);
    void HTMLViewer1HotSpotCovered(const QString &link);

Q_SIGNALS:
    void closed(Tviewer *viewer);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    HtmlView *m_view;
    QLabel *m_status;
    StoredPageAddress m_address;
};

} // namespace pw::client
