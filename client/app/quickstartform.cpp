#include "quickstartform.h"

#include "mainwindow.h"
#include "urllisteditor.h"
#include "urltree.h"
#include "urlwizard.h"

#include "client/core/quickstartname.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/paths.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

QTreeWidgetItem *findQuickStart(UrlTree *tree)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0).compare(u"QuickStart"_s, Qt::CaseInsensitive) == 0 && !tree->isRoot(*it))
            return *it;
    }
    return nullptr;
}

} // namespace

Twizform::Twizform(MainWindow &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(u"wizform"_s);
    setWindowTitle(u"URL List Quick Start"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // The Getting Started window and the main window wait behind it.
    setWindowModality(Qt::ApplicationModal);
    resize(330, 340);

    m_weblist = new QTreeWidget(this);
    m_weblist->setObjectName(u"weblist"_s);
    m_weblist->setHeaderLabels({u"Categories"_s});
    m_weblist->setRootIsDecorated(false);
    m_selectAll = new QPushButton(u"Select All"_s, this);
    m_selectAll->setObjectName(u"selectallbtn"_s);
    m_selectAll->setAutoDefault(false);
    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"okbtn"_s);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(u"Cancel"_s, this);
    m_cancel->setObjectName(u"cancelbtn"_s);
    m_cancel->setAutoDefault(false);
    connect(m_selectAll, &QPushButton::clicked, this, &Twizform::selectAll);
    connect(m_ok, &QPushButton::clicked, this, &Twizform::okbtnClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_selectAll);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Please select the URL List(s) you would like to create:"_s, this));
    layout->addWidget(m_weblist, 1);
    layout->addLayout(buttons);
    m_weblist->setColumnWidth(0, m_weblist->viewport()->width() - 5);

    gui::WaitCursor wait;
    m_editor = new Turladdform(main);
    m_editor->Quiet = true;
    m_library = new Turlwizard(*m_editor, main.clientSettings().settings(), true);
    m_library->readlibrary();
    for (const LibraryCategory &category : m_library->library()) {
        auto *row = new QTreeWidgetItem(m_weblist, {category.name});
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Unchecked);
    }
}

Twizform::~Twizform() = default;

void Twizform::selectAll()
{
    for (int i = 0; i < m_weblist->topLevelItemCount(); ++i)
        m_weblist->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void Twizform::okbtnClick()
{
    QDir().mkpath(paths::dataDir());
    const auto enableButtons = [this](bool on) {
        for (QPushButton *b : {m_selectAll, m_ok, m_cancel})
            b->setEnabled(on);
    };
    enableButtons(false);
    QList<int> ticked;
    for (int i = 0; i < m_weblist->topLevelItemCount(); ++i) {
        if (m_weblist->topLevelItem(i)->checkState(0) == Qt::Checked)
            ticked.append(i);
    }
    if (ticked.isEmpty() || !m_editor || !m_library) {
        gui::Prompt::error(this, u"You must first select a category to add."_s);
        enableButtons(true);
        return;
    }

    m_created.clear();
    {
        gui::WaitCursor wait;
        UrlTree *tree = m_main.tree();
        QTreeWidgetItem *folder = findQuickStart(tree);
        if (!folder) {
            QTreeWidgetItem *root = tree->root() ? tree->root() : tree->addRoot();
            folder = new QTreeWidgetItem(root, {u"QuickStart"_s});
            folder->setIcon(0, UrlTree::imageIcon(UrlTree::FolderImage));
            m_main.saveTreeIndex();
        }
        tree->setCurrentItem(folder);
        for (int index : std::as_const(ticked)) {
            const QString name =
                quickStartName(m_weblist->topLevelItem(index)->text(0), m_main.indexbox() + m_main.nodeTexts());
            m_editor->ListName = name;
            m_editor->setEntries({});
            m_library->addCategory(index);
            // One category that cannot be written does not stop the others.
            if (m_editor->savelistall())
                m_created.append(name);
        }
        m_main.treeviewload(true);
        enableButtons(true);
        if (QTreeWidgetItem *reloaded = findQuickStart(tree))
            reloaded->setExpanded(true);
    }
    // Counted as made, so a list that could not be written is not reported as created.
    gui::Prompt::information(this, m_created.size() == 1 ? u"1 URL List has been successfully created."_s
                                                         : QString::number(m_created.size())
                                                               + u" URL Lists have been successfully created."_s);
    accept();
}

void Twizform::done(int result)
{
    if (m_library)
        m_library->close();
    if (m_editor) {
        m_editor->Modified = false;
        m_editor->close();
    }
    QDialog::done(result);
}

} // namespace pw::client
