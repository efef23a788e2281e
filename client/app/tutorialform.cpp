#include "tutorialform.h"

#include "tutorialbrowser.h"

#include "gui/prompt.h"
#include "gui/urlopener.h"
#include "gui/waitcursor.h"
#include "store/paths.h"

#include <QFileInfo>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace pw::client {

Ttutorialform::Ttutorialform(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
{
    setObjectName(u"tutorialform"_s);
    setWindowTitle(u"Pagewarden Tutorial"_s);
    resize(553, 444);
    auto *bar = addToolBar(u"Pages"_s);
    bar->setObjectName(u"tutorialbar"_s);
    bar->setMovable(false);
    for (int n = 1; n <= 7; ++n) {
        QAction *page = bar->addAction(u"Page %1"_s.arg(n), this, [this, n] { loadPage(n); });
        page->setObjectName(u"page%1btn"_s.arg(n));
    }
    bar->addSeparator();
    bar->addAction(u"Close"_s, this, &QWidget::close)->setObjectName(u"closebtn"_s);
    m_view = new TutorialBrowser(this);
    setCentralWidget(m_view);
    statusBar()->setObjectName(u"statusbar"_s);
    connect(m_view, &QTextBrowser::anchorClicked, this, &Ttutorialform::linkClicked);
    connect(m_view, &QTextBrowser::highlighted, this,
            [this](const QUrl &link) { statusBar()->showMessage(link.toString()); });
}

QString Ttutorialform::folder()
{
    return paths::installDir() + u"tutorial/"_s;
}

void Ttutorialform::showTutorial()
{
    m_view->setFolder(folder());
    if (parentWidget()) {
        const QRect area = parentWidget()->window()->frameGeometry();
        move(area.center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    loadPage(1);
}

bool Ttutorialform::loadPage(int number)
{
    const QString file = folder() + u"tutorial%1.htm"_s.arg(number);
    if (!QFileInfo(file).isFile()) {
        gui::Prompt::error(this, u"Files are missing from the Pagewarden tutorial. Please re-install."_s);
        return false;
    }
    m_view->setSource(QUrl::fromLocalFile(file), QTextDocument::HtmlResource);
    m_view->clearHistory();
    m_page = number;
    setWindowTitle(u"Pagewarden Tutorial - Page %1"_s.arg(number));
    return true;
}

void Ttutorialform::linkClicked(const QUrl &link)
{
    const QString text = link.toString();
    // "https://" as well: the pages link to secure sites too.
    if (text.contains(u"http://"_s, Qt::CaseInsensitive) || text.contains(u"https://"_s, Qt::CaseInsensitive)
        || text.contains(u"mailto:"_s, Qt::CaseInsensitive)) {
        gui::WaitCursor wait;
        if (!gui::UrlOpener::open(link))
            gui::Prompt::error(this, u"An error occured while trying to open your web browser."_s);
        return;
    }
    for (int n = 1; n <= 7; ++n) {
        if (text.contains(u"tutorial%1"_s.arg(n))) {
            if (loadPage(n) && link.hasFragment())
                m_view->scrollToAnchor(link.fragment());
            return;
        }
    }
    // The display's own handling: an anchor of the page shown.
    if (link.hasFragment() && link.path().isEmpty())
        m_view->scrollToAnchor(link.fragment());
}

} // namespace pw::client
