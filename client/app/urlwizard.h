#pragma once

#include "client/core/urllibrary.h"
#include "store/settings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace pw::client {

class Turladdform;

// `Turlwizard`, the "URL Library": three pages over the ready-made addresses of the
// library folder (categories, titles, the chosen ones) that append the chosen addresses
// to a URL List editor. The Quick Start drives a hidden, quiet one in batch mode.
class Turlwizard final : public QDialog
{
    Q_OBJECT

public:
    Turlwizard(Turladdform &editor, const Settings &settings, bool quiet = false);
    ~Turlwizard() override;

    // Reads the library: false (after the message) when its folder is missing.
    bool readlibrary();
    const QList<LibraryCategory> &library() const { return m_categories; }
    bool quiet() const { return m_quiet; }
    int page() const;

    void nextFromCategories();
    void nextFromTitles();
    void save();
    void back();

    // Batch mode: only category `index` selected, all its titles chosen and saved.
    void addCategory(int index);

private:
    QWidget *categoriesPage();
    QWidget *titlesPage();
    QWidget *chosenPage();
    void showHelp();

    Turladdform &m_editor;
    const Settings &m_settings;
    bool m_quiet = false;
    QList<LibraryCategory> m_categories;
    QStringList m_urls;       // parallel to the titles of page 2
    QStringList m_chosenUrls; // parallel to the titles of page 3

    QStackedWidget *m_pages = nullptr;
    QListWidget *m_displaycategories = nullptr;
    QListWidget *m_urllist = nullptr;
    QLineEdit *m_info = nullptr;
    QListWidget *m_urlstoadd = nullptr;
};

} // namespace pw::client
