#include "webboxwindows.h"

#include "mainwindow.h"
#include "webboxwindow.h"

#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/fileio.h"
#include "store/paths.h"
#include "store/textlines.h"
#include "store/webboxeslist.h"

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace pw::client {

WebBoxWindows::WebBoxWindows(MainWindow &main)
    : QObject(&main)
    , m_main(main)
{
}

int WebBoxWindows::showwebbox(const QString &name)
{
    if (!isSafeListName(name) || !QFileInfo(paths::dataDir() + name).isDir()) {
        gui::Prompt::error(&m_main, u"The selected WebBox cannot be found. You will need to delete this WebBox from "
                                    "your system."_s);
        return 0;
    }
    gui::WaitCursor wait;
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (m_names[slot] == name && m_windows[slot]) {
            if (auto *frame = qobject_cast<QMdiSubWindow *>(m_windows[slot]->parentWidget())) {
                frame->showNormal();
                m_main.mdiArea()->setActiveSubWindow(frame);
            }
            return slot;
        }
    }
    int slot = 1;
    while (slot <= kSlots && !m_names[slot].isEmpty())
        ++slot;
    if (slot > kSlots) {
        gui::Prompt::error(&m_main, u"All window handles have been used."_s);
        return 0;
    }
    auto *window = new Tinboxform(m_main, slot, name);
    m_windows[slot] = window;
    m_names[slot] = name;
    connect(window, &Tinboxform::closing, this, &WebBoxWindows::release);
    QMdiSubWindow *frame = m_main.mdiArea()->addSubWindow(window);
    const int width = std::max(m_main.mdiArea()->viewport()->width() - 5, 300);
    frame->resize(width, std::max(frame->sizeHint().height(), 260));
    window->createColumns(width);
    window->loadwebbox();
    frame->show();
    return slot;
}

bool WebBoxWindows::webboxopen(const QString &name) const
{
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (m_names[slot] == name && m_windows[slot])
            return true;
    }
    return false;
}

Tinboxform *WebBoxWindows::window(int slot) const
{
    return slot >= 1 && slot <= kSlots ? m_windows[slot].data() : nullptr;
}

Tinboxform *WebBoxWindows::find(const QString &name) const
{
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (m_windows[slot] && QString::compare(m_names[slot], name, Qt::CaseInsensitive) == 0)
            return m_windows[slot];
    }
    return nullptr;
}

void WebBoxWindows::closeWebBoxesOf(const QString &name)
{
    const QString caption = u"WebBox ["_s + name + u"]"_s;
    for (QMdiSubWindow *frame : m_main.mdiArea()->subWindowList()) {
        if (frame->windowTitle().contains(caption))
            frame->close();
    }
}

void WebBoxWindows::release(Tinboxform *window)
{
    const int slot = window->handler();
    if (slot >= 1 && slot <= kSlots && m_windows[slot] == window) {
        m_windows[slot] = nullptr;
        m_names[slot].clear();
    }
}

void WebBoxWindows::processlist(const link::InboxUpdate &update)
{
    if (Tinboxform *window = find(update.listName))
        window->addServerRow(update);
}

void WebBoxWindows::loadforms()
{
    const ReadResult read = readFileBounded(paths::windowListFile());
    if (read.status != ReadResult::Ok)
        return;
    gui::WaitCursor wait;
    QStringList lines;
    for (const QByteArray &line : splitLines(read.content))
        lines.append(QString::fromUtf8(line));
    const QStringList &known = m_main.indexbox();
    for (const QString &line : std::as_const(lines)) {
        if (!line.startsWith(u"WebBox ["_s) || !line.endsWith(u']'))
            continue;
        const QString name = line.mid(8, line.size() - 9);
        // A list that is gone reopens nothing, silently.
        if (containsListName(known, name))
            showwebbox(storedListName(known, name));
    }
    for (const QString &line : std::as_const(lines)) {
        if (!line.startsWith(u"Graphic-Free ("_s))
            continue;
        const QString body = line.mid(14, line.size() - 15);
        const qsizetype close = body.indexOf(u')');
        if (close < 0)
            continue;
        const QString name = body.left(close);
        if (!containsListName(known, name))
            continue;
        const QString rest = body.mid(close + 3);
        const qsizetype dots = rest.indexOf(u" ... "_s);
        if (dots < 0)
            continue;
        const QString wanted = rest.left(dots).trimmed() + u' ' + rest.mid(dots + 5).trimmed();
        Tinboxform *window = find(name);
        if (!window)
            continue;
        QTreeWidget *inbox = window->inbox();
        for (int row = 0; row < inbox->topLevelItemCount(); ++row) {
            const QTreeWidgetItem *item = inbox->topLevelItem(row);
            if (item->text(0) + u' ' + item->text(2) == wanted) {
                window->inboxdoubleopen(row);
                QCoreApplication::processEvents();
                break;
            }
        }
    }
}

} // namespace pw::client
