#include "bookmarkwizard.h"

#include "urllisteditor.h"

#include "client/core/bookmarksources.h"
#include "client/core/newentry.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QPushButton *button(const QString &caption, const QString &name, QWidget *parent, bool isDefault = false)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(isDefault);
    b->setDefault(isDefault);
    return b;
}

QTreeWidget *bookmarkList(const QString &name, QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setHeaderLabels({u"Description"_s, u"URL"_s});
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A page: its group box with the content, and the buttons below.
QWidget *wizardPage(const QString &caption, QLayout *content, const QList<QPushButton *> &buttons, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *group = new QGroupBox(caption, page);
    group->setLayout(content);
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *b : buttons) {
        b->setParent(page);
        row->addWidget(b);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group, 1);
    layout->addLayout(row);
    return page;
}

} // namespace

Tbookmarks::Tbookmarks(Turladdform &editor, const Settings &settings)
    : QDialog(&editor)
    , m_editor(editor)
    , m_settings(settings)
{
    setObjectName(u"bookmarks"_s);
    setWindowTitle(u"Import Bookmark Wizard"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    resize(540, 400);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(browsersPage());
    m_pages->addWidget(bookmarksPage());
    m_pages->addWidget(selectedPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
}

Tbookmarks::~Tbookmarks() = default;

void Tbookmarks::setProfileRoots(const QString &homeDir, const QString &configDir)
{
    m_homeDir = homeDir;
    m_configDir = configDir;
}

QWidget *Tbookmarks::browsersPage()
{
    m_chromium = new QCheckBox(u"Chromium-based browsers"_s);
    m_chromium->setObjectName(u"chromium"_s);
    m_chromium->setToolTip(u"Chromium, Google Chrome, Microsoft Edge and Brave: every profile."_s);
    m_firefox = new QCheckBox(u"Mozilla Firefox"_s);
    m_firefox->setObjectName(u"firefox"_s);
    m_bookmarkFile = new QCheckBox(u"Bookmark file..."_s);
    m_bookmarkFile->setObjectName(u"bookmarkfile"_s);
    m_bookmarkFile->setToolTip(u"A bookmark file exported from any web browser (HTML)."_s);
    m_filePath = new QLineEdit;
    m_filePath->setObjectName(u"bookmarkpath"_s);
    m_filePath->setEnabled(false);
    QPushButton *browse = button(u"Browse..."_s, u"browsebtn"_s, nullptr);
    browse->setEnabled(false);
    connect(m_bookmarkFile, &QCheckBox::toggled, m_filePath, &QWidget::setEnabled);
    connect(m_bookmarkFile, &QCheckBox::toggled, browse, &QWidget::setEnabled);
    connect(browse, &QPushButton::clicked, this, &Tbookmarks::browseFile);

    auto *fileRow = new QHBoxLayout;
    fileRow->addSpacing(20);
    fileRow->addWidget(m_filePath, 1);
    fileRow->addWidget(browse);
    auto *content = new QVBoxLayout;
    content->addWidget(note(u"The Import Bookmark Wizard will automatically retrieve all bookmarks from web "
                            "browsers on this computer. You will be able to specify which of those bookmarks you "
                            "would like to monitor on the following page."_s,
                            nullptr));
    content->addWidget(
        note(u"Please select the web browsers from which you would like to retrieve bookmarks:"_s, nullptr));
    content->addWidget(m_chromium);
    content->addWidget(m_firefox);
    content->addWidget(m_bookmarkFile);
    content->addLayout(fileRow);
    content->addStretch();

    QPushButton *next = button(u"Next"_s, u"next1btn"_s, nullptr, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel1btn"_s, nullptr);
    QPushButton *help = button(u"Help"_s, u"help1btn"_s, nullptr);
    connect(next, &QPushButton::clicked, this, &Tbookmarks::nextFromBrowsers);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Tbookmarks::showHelp);
    return wizardPage(u"Choose Browsers"_s, content, {next, cancel, help}, this);
}

QWidget *Tbookmarks::bookmarksPage()
{
    m_bookview = bookmarkList(u"bookview"_s, nullptr);
    auto *content = new QVBoxLayout;
    content->addWidget(m_bookview, 1);
    content->addWidget(
        note(u"Please select the URL(s) you wish to import by clicking the appropriate checkboxes."_s, nullptr));
    QPushButton *all = button(u"Select All"_s, u"selectallbtn"_s, nullptr);
    QPushButton *back = button(u"Back"_s, u"back2btn"_s, nullptr);
    QPushButton *next = button(u"Next"_s, u"next2btn"_s, nullptr, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel2btn"_s, nullptr);
    QPushButton *help = button(u"Help"_s, u"help2btn"_s, nullptr);
    connect(all, &QPushButton::clicked, this, &Tbookmarks::selectAll);
    connect(back, &QPushButton::clicked, this, &Tbookmarks::back);
    connect(next, &QPushButton::clicked, this, &Tbookmarks::nextFromBookmarks);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Tbookmarks::showHelp);
    return wizardPage(u"Available URL(s) to Import"_s, content, {all, back, next, cancel, help}, this);
}

QWidget *Tbookmarks::selectedPage()
{
    m_urlselected = bookmarkList(u"urlselected"_s, nullptr);
    auto *content = new QVBoxLayout;
    content->addWidget(m_urlselected, 1);
    content->addWidget(
        note(u"If you wish to remove a URL from this list, return to the previous page and deselect it."_s, nullptr));
    QPushButton *back = button(u"Back"_s, u"back3btn"_s, nullptr);
    QPushButton *saveButton = button(u"Save"_s, u"savebtn"_s, nullptr, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel3btn"_s, nullptr);
    QPushButton *help = button(u"Help"_s, u"help3btn"_s, nullptr);
    connect(back, &QPushButton::clicked, this, &Tbookmarks::back);
    connect(saveButton, &QPushButton::clicked, this, &Tbookmarks::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Tbookmarks::showHelp);
    return wizardPage(u"Selected URL(s)"_s, content, {back, saveButton, cancel, help}, this);
}

int Tbookmarks::page() const
{
    return m_pages->currentIndex() + 1;
}

void Tbookmarks::back()
{
    m_pages->setCurrentIndex(qMax(0, m_pages->currentIndex() - 1));
}

void Tbookmarks::browseFile()
{
    const QString file = QFileDialog::getOpenFileName(this, u"Bookmark File"_s, m_filePath->text(),
                                                      u"Bookmark files (*.html *.htm);;All files (*)"_s);
    if (!file.isEmpty())
        m_filePath->setText(file);
}

void Tbookmarks::nextFromBrowsers()
{
    if (!m_chromium->isChecked() && !m_firefox->isChecked() && !m_bookmarkFile->isChecked()) {
        gui::Prompt::error(this, u"You must select at least one web browser to continue."_s);
        return;
    }
    QList<Bookmark> rows;
    {
        gui::WaitCursor wait;
        m_bookview->clear();
        BookmarkSources sources;
        sources.chromium = m_chromium->isChecked();
        sources.firefox = m_firefox->isChecked();
        if (m_bookmarkFile->isChecked())
            sources.bookmarkFile = m_filePath->text().trimmed();
        sources.homeDir = m_homeDir;
        sources.configDir = m_configDir;
        rows = collectBookmarks(sources);
        for (const Bookmark &row : std::as_const(rows)) {
            auto *item = new QTreeWidgetItem(m_bookview, {row.title, row.url});
            // A separator shows where the browser had one, but is nothing to watch.
            if (row.separator) {
                item->setFlags(Qt::ItemIsEnabled);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(0, Qt::Unchecked);
            }
        }
    }
    if (rows.isEmpty()) {
        gui::Prompt::error(this, u"No bookmarks could be retrieved from the selected browsers."_s);
        return;
    }
    m_pages->setCurrentIndex(1);
}

void Tbookmarks::selectAll()
{
    for (int i = 0; i < m_bookview->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_bookview->topLevelItem(i);
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(0, Qt::Checked);
    }
}

void Tbookmarks::nextFromBookmarks()
{
    QList<QTreeWidgetItem *> ticked;
    for (int i = 0; i < m_bookview->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_bookview->topLevelItem(i);
        if ((item->flags() & Qt::ItemIsUserCheckable) && item->checkState(0) == Qt::Checked)
            ticked.append(item);
    }
    if (ticked.isEmpty()) {
        gui::Prompt::error(this, u"You must select at least one URL to continue."_s);
        return;
    }
    m_urlselected->clear();
    for (const QTreeWidgetItem *item : std::as_const(ticked))
        new QTreeWidgetItem(m_urlselected, {item->text(0), item->text(1)});
    m_pages->setCurrentIndex(2);
}

void Tbookmarks::save()
{
    {
        gui::WaitCursor wait;
        for (int i = 0; i < m_urlselected->topLevelItemCount(); ++i) {
            const QString title = m_urlselected->topLevelItem(i)->text(0);
            const QString url = m_urlselected->topLevelItem(i)->text(1);
            if (m_editor.urlexists(url)) {
                const auto answer = gui::Prompt::confirm(
                    this, u"URL \""_s + url + u"\" already exists in the current URL List. Ignore and continue?"_s,
                    gui::Prompt::Buttons::YesNo);
                if (answer == gui::Prompt::Answer::Yes)
                    continue;
                return;
            }
            m_editor.appendEntry(newEntry(m_settings, url, title));
        }
    }
    accept();
}

void Tbookmarks::showHelp()
{
    auto *window = new gui::HelpWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showTopic(1040);
}

} // namespace pw::client
