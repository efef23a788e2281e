#pragma once

#include "store/settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;

namespace pw::client {

class PageFetch;
class Turladdform;

// `Tpageimportform`, the "Link Wizard": fetches a page, lists its links, follows a link
// to list that page's links in turn, and appends the ticked links to the open URL List
// editor. Made for one use; the editor waits behind it.
class Tpageimportform final : public QDialog
{
    Q_OBJECT

public:
    Tpageimportform(Turladdform &editor, PageFetch &fetch, const Settings &settings);
    ~Tpageimportform() override;

    void getbtnClick();
    void firstbtnClick();
    void drilldownClick();
    void selectallClick();
    void abortbtnClick();
    void okbtnClick();

    // The first address fetched since the wizard opened (empty before).
    QString firstUrl() const { return m_firstUrl; }

private:
    void setBusy(bool busy);
    void showHelp();

    Turladdform &m_editor;
    PageFetch &m_fetch;
    const Settings &m_settings;
    QString m_firstUrl;

    QLineEdit *m_urltoget = nullptr;
    QLineEdit *m_username = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_mask = nullptr;
    QListWidget *m_displayurls = nullptr;
    QMenu *m_popup = nullptr;
    QPushButton *m_get = nullptr;
    QPushButton *m_first = nullptr;
    QPushButton *m_drill = nullptr;
    QPushButton *m_selectAll = nullptr;
    QPushButton *m_abort = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QStatusBar *m_status = nullptr;
};

// The address the Link Wizard fetches for what was typed: "http://" in front when the
// text names no scheme; an "https://" address is fetched as it is.
QString linkWizardAddress(const QString &typed);

} // namespace pw::client
