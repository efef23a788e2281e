#include "helpwindow.h"

#include "store/paths.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::gui {

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(u"Pagewarden Help"_s);
    setObjectName(u"helpWindow"_s);
    m_browser->setObjectName(u"helpBrowser"_s);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({paths::installDir() + u"help"_s});
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(560, 440);
}

QString HelpWindow::topicFile(int topic)
{
    const QString page = paths::installDir() + u"help/%1.html"_s.arg(topic);
    return QFile::exists(page) ? page : paths::installDir() + u"help/1000.html"_s;
}

void HelpWindow::showTopic(int topic)
{
    m_browser->setSource(QUrl::fromLocalFile(topicFile(topic)));
    show();
    raise();
    activateWindow();
}

} // namespace pw::gui
