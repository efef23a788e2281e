#include "urlwizard.h"

#include "urllisteditor.h"

#include "client/core/newentry.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    label->setFont(font);
    return label;
}

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QPushButton *button(const QString &caption, const QString &name, QWidget *parent, bool isDefault = false)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(isDefault);
    b->setDefault(isDefault);
    return b;
}

} // namespace

Turlwizard::Turlwizard(Turladdform &editor, const Settings &settings, bool quiet)
    : QDialog(&editor)
    , m_editor(editor)
    , m_settings(settings)
    , m_quiet(quiet)
{
    setObjectName(u"urlwizard"_s);
    setWindowTitle(u"URL Library"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    resize(460, 380);
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(categoriesPage());
    m_pages->addWidget(titlesPage());
    m_pages->addWidget(chosenPage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
}

Turlwizard::~Turlwizard() = default;

QWidget *Turlwizard::categoriesPage()
{
    auto *page = new QWidget(this);
    m_displaycategories = new QListWidget(page);
    m_displaycategories->setObjectName(u"displaycategories"_s);
    m_displaycategories->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QPushButton *next = button(u"Next"_s, u"next1btn"_s, page, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel1btn"_s, page);
    QPushButton *help = button(u"Help"_s, u"help1btn"_s, page);
    connect(next, &QPushButton::clicked, this, &Turlwizard::nextFromCategories);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Turlwizard::showHelp);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {next, cancel, help})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(u"URL Library: Categories"_s, page));
    layout->addWidget(m_displaycategories, 1);
    layout->addWidget(note(u"Please select the categories you would like to access. You may select multiple "
                           "categories; however, it is suggested that you view one category at a time. You may "
                           "access the URL Library as many times as you like, for each URL List."_s,
                           page));
    layout->addLayout(buttons);
    return page;
}

QWidget *Turlwizard::titlesPage()
{
    auto *page = new QWidget(this);
    m_urllist = new QListWidget(page);
    m_urllist->setObjectName(u"urllist"_s);
    m_urllist->setSelectionMode(QAbstractItemView::MultiSelection);
    m_info = new QLineEdit(page);
    m_info->setObjectName(u"info"_s);
    m_info->setReadOnly(true);
    connect(m_urllist, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int row = m_urllist->row(item);
        m_info->setText(row >= 0 && row < m_urls.size() ? m_urls.at(row) : QString());
    });
    QPushButton *all = button(u"Select All"_s, u"selectallbtn"_s, page);
    QPushButton *none = button(u"Deselect"_s, u"deselectbtn"_s, page);
    QPushButton *back = button(u"Back"_s, u"back2btn"_s, page);
    QPushButton *next = button(u"Next"_s, u"next2btn"_s, page, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel2btn"_s, page);
    QPushButton *help = button(u"Help"_s, u"help2btn"_s, page);
    connect(all, &QPushButton::clicked, m_urllist, &QListWidget::selectAll);
    connect(none, &QPushButton::clicked, m_urllist, &QListWidget::clearSelection);
    connect(back, &QPushButton::clicked, this, &Turlwizard::back);
    connect(next, &QPushButton::clicked, this, &Turlwizard::nextFromTitles);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Turlwizard::showHelp);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {all, none})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton *b : {back, next, cancel, help})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(u"URL Library: Available Titles"_s, page));
    layout->addWidget(note(u"Please select the titles you would like to add to the current URL List. Click a "
                           "title to see its address."_s,
                           page));
    layout->addWidget(m_urllist, 1);
    auto *info = new QHBoxLayout;
    info->addWidget(new QLabel(u"Corresponding URL:"_s, page));
    info->addWidget(m_info, 1);
    layout->addLayout(info);
    layout->addLayout(buttons);
    return page;
}

QWidget *Turlwizard::chosenPage()
{
    auto *page = new QWidget(this);
    m_urlstoadd = new QListWidget(page);
    m_urlstoadd->setObjectName(u"urlstoadd"_s);
    QPushButton *back = button(u"Back"_s, u"back3btn"_s, page);
    QPushButton *saveButton = button(u"Save"_s, u"savebtn"_s, page, true);
    QPushButton *cancel = button(u"Cancel"_s, u"cancel3btn"_s, page);
    QPushButton *help = button(u"Help"_s, u"help3btn"_s, page);
    connect(back, &QPushButton::clicked, this, &Turlwizard::back);
    connect(saveButton, &QPushButton::clicked, this, &Turlwizard::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Turlwizard::showHelp);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {back, saveButton, cancel, help})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(u"URL Library: URL(s) to Add"_s, page));
    layout->addWidget(m_urlstoadd, 1);
    layout->addWidget(note(u"Click 'Save' to add these URL(s) to the current URL List."_s, page));
    layout->addLayout(buttons);
    return page;
}

bool Turlwizard::readlibrary()
{
    m_displaycategories->clear();
    bool exists = false;
    m_categories = urllibrary::categories(urllibrary::libraryDir(), &exists);
    if (!exists) {
        gui::Prompt::error(this, u"URL Data Directory could not be found. Please re-install."_s);
        return false;
    }
    for (const LibraryCategory &category : std::as_const(m_categories))
        m_displaycategories->addItem(category.name);
    return true;
}

int Turlwizard::page() const
{
    return m_pages->currentIndex() + 1;
}

void Turlwizard::back()
{
    m_pages->setCurrentIndex(qMax(0, m_pages->currentIndex() - 1));
}

void Turlwizard::nextFromCategories()
{
    if (m_displaycategories->selectedItems().isEmpty()) {
        gui::Prompt::error(this, u"You must select at least one category before continuing."_s);
        return;
    }
    m_urllist->clear();
    m_urls.clear();
    m_info->clear();
    for (int i = 0; i < m_displaycategories->count() && i < m_categories.size(); ++i) {
        if (!m_displaycategories->item(i)->isSelected())
            continue;
        for (const LibraryEntry &entry : urllibrary::entries(m_categories.at(i).file)) {
            m_urllist->addItem(entry.title);
            m_urls.append(entry.url);
        }
    }
    m_pages->setCurrentIndex(1);
}

void Turlwizard::nextFromTitles()
{
    if (m_urllist->selectedItems().isEmpty()) {
        gui::Prompt::error(this, u"You must first select at least one URL before continuing."_s);
        return;
    }
    m_urlstoadd->clear();
    m_chosenUrls.clear();
    for (int i = 0; i < m_urllist->count(); ++i) {
        if (!m_urllist->item(i)->isSelected())
            continue;
        m_urlstoadd->addItem(m_urllist->item(i)->text());
        m_chosenUrls.append(m_urls.value(i));
    }
    m_pages->setCurrentIndex(2);
}

void Turlwizard::save()
{
    for (int i = 0; i < m_chosenUrls.size(); ++i) {
        const QString &url = m_chosenUrls.at(i);
        if (!m_editor.urlexists(url)) {
            m_editor.appendEntry(newEntry(m_settings, url, m_urlstoadd->item(i)->text()));
            continue;
        }
        if (m_quiet)
            continue;
        const auto answer = gui::Prompt::confirm(
            this, u"URL \""_s + url + u"\" already exists in the current URL List. Ignore and continue?"_s,
            gui::Prompt::Buttons::YesNo);
        if (answer != gui::Prompt::Answer::Yes)
            return;
    }
    if (!m_quiet)
        accept();
}

void Turlwizard::addCategory(int index)
{
    m_pages->setCurrentIndex(0);
    m_displaycategories->clearSelection();
    if (index < 0 || index >= m_displaycategories->count())
        return;
    m_displaycategories->item(index)->setSelected(true);
    nextFromCategories();
    m_urllist->selectAll();
    // A category without titles makes an empty list; there is nobody to tell in a batch.
    if (m_urllist->count() > 0) {
        nextFromTitles();
        save();
    }
    m_displaycategories->item(index)->setSelected(false);
    m_pages->setCurrentIndex(0);
}

void Turlwizard::showHelp()
{
    auto *window = new gui::HelpWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showTopic(1042);
}

} // namespace pw::client
