#include "viewer.h"

#include "htmlview.h"

#include "gui/helpwindow.h"
#include "gui/printing.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace pw::client {

Tviewer::Tviewer(QWidget *parent)
    : QMainWindow(parent)
    , m_view(new HtmlView(this))
    , m_status(new QLabel(this))
{
    setObjectName(u"viewer"_s);
    setWindowTitle(u"Loading..."_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(494, 399);
    setCentralWidget(m_view);

    QStyle *style = QApplication::style();
    QToolBar *bar = addToolBar(u"Graphic-Free Browser"_s);
    bar->setObjectName(u"viewerbar"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->toggleViewAction()->setVisible(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->addAction(style->standardIcon(QStyle::SP_DriveNetIcon), u"New Browser"_s, this, &Tviewer::opennew)
        ->setObjectName(u"newbrowserbtn"_s);
    bar->addAction(style->standardIcon(QStyle::SP_BrowserReload), u"Active Browser"_s, this, &Tviewer::openactive)
        ->setObjectName(u"activebrowserbtn"_s);
    bar->addAction(style->standardIcon(QStyle::SP_FileDialogDetailedView), u"Print"_s, this, &Tviewer::printFromToolbar)
        ->setObjectName(u"printbtn"_s);
    bar->addAction(style->standardIcon(QStyle::SP_DialogCloseButton), u"Close"_s, this, &QWidget::close)
        ->setObjectName(u"closebtn"_s);
    bar->addAction(style->standardIcon(QStyle::SP_DialogHelpButton), u"Help"_s, this,
                   [this] {
                       auto *window = new gui::HelpWindow(this);
                       window->setAttribute(Qt::WA_DeleteOnClose);
                       window->showTopic(1058);
                   })
        ->setObjectName(u"helpbtn"_s);

    m_status->setObjectName(u"statuspanel"_s);
    statusBar()->addWidget(m_status, 1);
    statusBar()->setSizeGripEnabled(false);

    connect(m_view, &HtmlView::linkClicked, this, &Tviewer::HTMLViewer1HotSpotClick);
    connect(m_view, &HtmlView::linkCovered, this, &Tviewer::HTMLViewer1HotSpotCovered);
}

bool Tviewer::loadPage(const QString &path)
{
    pagePath = path;
    return m_view->loadPage(path);
}

bool Tviewer::setPageUrl(const QString &url)
{
    m_address = splitPageUrl(url);
    if (m_address.ok)
        return true;
    gui::Prompt::error(this, u"There was an error while trying to access the URL of this download. You will not be "
                             "able to redirect to your browser."_s);
    return false;
}

QString Tviewer::statusText() const
{
    return m_status->text();
}

void Tviewer::opennew()
{
    if (!m_address.pageUrl.isEmpty())
        gui::UrlOpener::open(QUrl(m_address.pageUrl));
}

void Tviewer::openactive()
{
    if (!m_address.pageUrl.isEmpty() && !gui::UrlOpener::open(QUrl(m_address.pageUrl)))
        gui::Prompt::error(this, u"An error occured while trying to open your web browser."_s);
}

void Tviewer::print(const QString &what)
{
    if (gui::Prompt::confirm(this, u"Now printing \""_s + what + u"\""_s, gui::Prompt::Buttons::OkCancel)
        == gui::Prompt::Answer::Cancel)
        return;
    std::unique_ptr<QPrinter> printer = gui::Printing::printer();
    printer->setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    printer->setFromTo(1, 9999);
    m_view->document()->print(printer.get());
}

void Tviewer::HTMLViewer1HotSpotClick(const QString &link)
{
    const LinkAction action = resolveClick(link, m_address);
    switch (action.kind) {
    case LinkAction::Nothing:
        break;
    case LinkAction::Unsupported:
        gui::Prompt::information(this, u"Link not supported in Graphic-Free Browser."_s);
        break;
    case LinkAction::Unparsable:
        gui::Prompt::error(this, u"Unable to parse URL \""_s + link + u"\""_s);
        break;
    case LinkAction::Open:
        gui::UrlOpener::open(QUrl(action.url));
        break;
    }
}

void Tviewer::HTMLViewer1HotSpotCovered(const QString &link)
{
    m_status->clear();
    m_status->setText(resolvePointer(link, m_address));
}

void Tviewer::closeEvent(QCloseEvent *event)
{
    Q_EMIT closed(this);
    event->accept();
}

} // namespace pw::client
