#pragma once

#include "client/core/bookmark.h"
#include "store/settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QStackedWidget;
class QTreeWidget;

namespace pw::client {

class Turladdform;

// `Tbookmarks`, the "Import Bookmark Wizard": collects the bookmarks of the browsers on
// this computer (or of an exported bookmark file), lets the user tick the ones to watch,
// shows them once more, and appends them to the open URL List editor.
class Tbookmarks final : public QDialog
{
    Q_OBJECT

public:
    Tbookmarks(Turladdform &editor, const Settings &settings);
    ~Tbookmarks() override;

    // Where the browsers keep their profiles; the user's own folders by default.
    void setProfileRoots(const QString &homeDir, const QString &configDir);

    int page() const;
    void nextFromBrowsers();
    void selectAll();
    void nextFromBookmarks();
    void back();
    void save();

private:
    QWidget *browsersPage();
    QWidget *bookmarksPage();
    QWidget *selectedPage();
    void browseFile();
    void showHelp();

    Turladdform &m_editor;
    const Settings &m_settings;
    QString m_homeDir;
    QString m_configDir;

    QStackedWidget *m_pages = nullptr;
    QCheckBox *m_chromium = nullptr;
    QCheckBox *m_firefox = nullptr;
    QCheckBox *m_bookmarkFile = nullptr;
    QLineEdit *m_filePath = nullptr;
    QTreeWidget *m_bookview = nullptr;
    QTreeWidget *m_urlselected = nullptr;
};

} // namespace pw::client
