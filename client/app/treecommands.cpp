#include "treecommands.h"

#include "mainwindow.h"
#include "nameinputdialog.h"
#include "urllisteditor.h"
#include "urltree.h"

#include "client/core/listnamecheck.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/textlines.h"
#include "store/webboxeslist.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

QString invalidMessage(const QString &name)
{
    return name + u" contains invalid characters. Please re-enter."_s;
}

// Every line's first mention of the old folder, ignoring case, names the new one: the
// stored pages moved with the folder.
QByteArray movedPaths(const QByteArray &content, const QString &oldFolder, const QString &newFolder)
{
    const QList<QByteArray> lines = splitLines(content);
    QList<QByteArray> out;
    out.reserve(lines.size());
    for (const QByteArray &raw : lines) {
        QString line = QString::fromUtf8(raw);
        const qsizetype at = line.indexOf(oldFolder, 0, Qt::CaseInsensitive);
        if (at >= 0)
            line.replace(at, oldFolder.size(), newFolder);
        out.append(line.toUtf8());
    }
    return joinCrLf(out);
}

} // namespace

TreeCommands::TreeCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main)
{
}

void TreeCommands::newFolder()
{
    auto *dialog = new NameInputDialog(u"Add New Folder"_s, u"Please enter a name for this new folder:"_s, &m_main);
    dialog->setCheck([this](NameInputDialog &d) {
        UrlTree *tree = m_main.tree();
        // Trimmed, so the name reads back at its own level from "index.ctl".
        const QString name = d.field()->text().trimmed();
        if (name.isEmpty()) {
            gui::Prompt::error(&d, u"You must first enter a name to add."_s);
            return false;
        }
        if (hasControlCharacter(name)) {
            gui::Prompt::error(&d, invalidMessage(name));
            return false;
        }
        QStringList taken = m_main.nodeTexts();
        if (tree->root())
            taken.append(tree->root()->text(0));
        // A known URL-List name would turn the folder into that list.
        if (taken.contains(name, Qt::CaseInsensitive) || containsListName(m_main.indexbox(), name)) {
            gui::Prompt::error(&d, u"A folder or WebBox by that name already exists. Please re-enter."_s);
            return false;
        }
        QTreeWidgetItem *parent = tree->currentItem();
        if (!parent || tree->isRoot(parent) || tree->isUrlList(parent))
            parent = tree->root() ? tree->root() : tree->addRoot();
        auto *node = new QTreeWidgetItem(parent);
        node->setText(0, name);
        node->setIcon(0, UrlTree::imageIcon(UrlTree::FolderImage));
        parent->setExpanded(true);
        m_main.saveTreeIndex();
        m_main.refreshmenu();
        return true;
    });
    dialog->open();
}

void TreeCommands::rename()
{
    UrlTree *tree = m_main.tree();
    QTreeWidgetItem *node = tree->currentItem();
    if (!node || tree->isRoot(node))
        return;
    const QString oldText = node->text(0);
    const bool isList = tree->isUrlList(node);
    if (isList && m_main.dispatcher().transferActive()) {
        gui::Prompt::error(&m_main, u"You cannot rename URL Lists while Pagewarden Server is active."_s);
        return;
    }
    if (m_main.webboxopen(oldText)) {
        gui::Prompt::error(&m_main, u"You cannot rename an open WebBox. Please close and try again."_s);
        return;
    }
    auto *dialog = new NameInputDialog(u"Rename"_s, u"Please enter a new name for this Folder/URL List:"_s, &m_main);
    dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog->field()->setText(oldText);
    dialog->setCheck([this, node, oldText, isList](NameInputDialog &d) {
        const QString name = d.field()->text().trimmed();
        d.field()->setText(name);
        if (name == oldText)
            return true;
        QStringList others = m_main.nodeTexts();
        others.removeOne(oldText);
        if (m_main.tree()->root())
            others.append(m_main.tree()->root()->text(0));
        // Lists are told apart ignoring case; only a node's own text may change its case.
        if (others.contains(name, Qt::CaseInsensitive)
            || (isList && QString::compare(name, oldText, Qt::CaseInsensitive) != 0
                && containsListName(m_main.indexbox(), name))) {
            gui::Prompt::error(&d, u"A URL List or folder by this name already exists. Please re-enter."_s);
            return false;
        }
        if (name.isEmpty()) {
            gui::Prompt::error(&d, u"You must enter a name in this field."_s);
            return false;
        }
        const QString error = listNameError(name, {});
        if (!error.isEmpty() || hasControlCharacter(name)) {
            gui::Prompt::error(&d, invalidMessage(name));
            return false;
        }
        if (!isList) {
            node->setText(0, name);
            m_main.saveTreeIndex();
            m_main.refreshmenu();
            return true;
        }
        d.hide();
        if (renameList(node, storedListName(m_main.indexbox(), oldText), name))
            gui::Prompt::information(&m_main, u"The URL List was renamed successfully."_s);
        return true;
    });
    dialog->open();
}

bool TreeCommands::renameList(QTreeWidgetItem *node, const QString &oldName, const QString &newName)
{
    const QString dataDir = paths::dataDir();
    if (!QFileInfo(dataDir + oldName).isDir()) {
        gui::Prompt::error(&m_main, u"Due to missing data files this URL List could not be renamed properly."_s);
        return false;
    }
    const QString renameError = u"There was an error while attempting to rename this URL List."_s;
    {
        gui::WaitCursor wait;
        QDir folder(dataDir + oldName);
        for (const QString &suffix : {u".wbx"_s, u".lst"_s}) {
            if (folder.exists(oldName + suffix) && !folder.rename(oldName + suffix, newName + suffix)) {
                gui::Prompt::error(&m_main, renameError);
                return false;
            }
        }
        if (!QDir(dataDir).rename(oldName, newName)) {
            gui::Prompt::error(&m_main, renameError);
            return false;
        }
        const QString webBox = paths::webBoxFile(dataDir, newName);
        if (QFileInfo::exists(webBox)) {
            QString error;
            const bool ok = rewriteLocked(
                webBox,
                [&](const QByteArray &content) {
                    return movedPaths(content, dataDir + oldName + u'/', dataDir + newName + u'/');
                },
                &error);
            if (!ok) {
                gui::Prompt::error(&m_main, renameError);
                return false;
            }
        }
        node->setText(0, newName);
        QStringList &names = m_main.indexbox();
        for (QString &name : names) {
            if (QString::compare(name, oldName, Qt::CaseInsensitive) == 0)
                name = newName;
        }
        m_main.savetree();
        m_main.saveTreeIndex();
        m_main.clientSettings().renameListEntries(oldName, newName);
        m_main.notifyServer(QString::fromLatin1(link::kRefreshSetup));
        m_main.refreshmenu();
    }
    return true;
}

void TreeCommands::deleteurllist()
{
    if (m_main.dispatcher().transferActive()) {
        gui::Prompt::error(&m_main, u"You cannot delete URL Lists while Pagewarden Server is active."_s);
        return;
    }
    UrlTree *tree = m_main.tree();
    QTreeWidgetItem *node = tree->currentItem();
    if (!node) {
        gui::Prompt::error(&m_main, u"You must first select a URL List or folder to delete."_s);
        return;
    }
    if (tree->isRoot(node)) {
        gui::Prompt::error(&m_main, u"You must first select a URL List to delete."_s);
        return;
    }
    const QString question = u"Are you sure you wish to delete \""_s + node->text(0) + u"\" and all of its contents?"_s;
    if (gui::Prompt::confirm(&m_main, question, gui::Prompt::Buttons::YesNo) == gui::Prompt::Answer::No)
        return;
    gui::WaitCursor wait;
    deletenode(node);
    m_main.savetree();
    m_main.saveTreeIndex();
    m_main.refreshmenu();
}

void TreeCommands::deleteKey()
{
    if (m_main.dispatcher().transferActive()) {
        gui::Prompt::error(&m_main, u"You cannot delete URL Lists while Pagewarden Server is active."_s);
        return;
    }
    QTreeWidgetItem *node = m_main.tree()->currentItem();
    if (node && !m_main.tree()->isRoot(node))
        deleteurllist();
}

void TreeCommands::deletenode(QTreeWidgetItem *node)
{
    while (node->childCount() > 0) {
        deletenode(node->child(0));
        QCoreApplication::processEvents();
    }
    if (m_main.tree()->isUrlList(node)) {
        const QString name = storedListName(m_main.indexbox(), node->text(0));
        m_main.closeWebBox(node->text(0));
        deletelist(name);
    }
    delete node;
}

void TreeCommands::deletelist(const QString &name)
{
    if (!isSafeListName(name))
        return;
    QDir folder(paths::dataDir() + name);
    if (folder.exists()) {
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &file : files)
            folder.remove(file);
        QDir(paths::dataDir()).rmdir(name);
    }
    m_main.clientSettings().removeListEntries(name);
    m_main.notifyServer(QString::fromLatin1(link::kRefreshSetup));
    m_main.indexbox().removeIf(
        [&](const QString &known) { return QString::compare(known, name, Qt::CaseInsensitive) == 0; });
}

void TreeCommands::reseturllist()
{
    UrlTree *tree = m_main.tree();
    QTreeWidgetItem *node = tree->currentItem();
    if (!node || tree->isRoot(node) || !tree->isUrlList(node)) {
        gui::Prompt::error(&m_main, u"You must first select a URL List to reset."_s);
        return;
    }
    if (m_main.dispatcher().transferActive()) {
        gui::Prompt::error(&m_main, u"You cannot reset URL Lists while Pagewarden Server is active."_s);
        return;
    }
    const QString name = storedListName(m_main.indexbox(), node->text(0));
    const QString question = u"Are you sure you wish to reset \""_s + name + u"\" and all of its contents?"_s;
    if (gui::Prompt::confirm(&m_main, question, gui::Prompt::Buttons::YesNo) == gui::Prompt::Answer::No)
        return;
    gui::WaitCursor wait;
    QDir folder(paths::dataDir() + name);
    if (folder.exists()) {
        const QStringList files = folder.entryList(QDir::Files);
        for (const QString &file : files) {
            if (file.endsWith(u".tmp"_s, Qt::CaseInsensitive))
                folder.remove(file);
        }
    }
    if (node->parent())
        tree->setCurrentItem(node->parent());

    auto *editor = new Turladdform(m_main);
    editor->ListName = name;
    editor->Quiet = true;
    editor->KeepTreeNode = true;
    editor->loadlist();
    const QList<UrlEntry> entries = editor->entries();
    QList<UrlEntry> reset;
    for (UrlEntry e : entries) {
        e[UrlEntry::LastModified] = u"*"_s;
        e[UrlEntry::Size] = u"*"_s;
        reset.append(e);
    }
    editor->setEntries(reset);
    editor->savelistall();
    editor->close();
}

} // namespace pw::client
