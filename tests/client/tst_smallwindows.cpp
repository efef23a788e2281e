// The Web Shortcuts strip, the tutorial window and the About box, with the URL-opening
// seam recording instead of starting a browser.
#include "support/fakelinkserver.h"

#include "clienthome.h"

#include "client/app/aboutbox.h"
#include "client/app/mainwindow.h"
#include "client/app/shortcuttabs.h"
#include "client/app/tutorialbrowser.h"
#include "client/app/tutorialform.h"
#include "gui/prompt.h"
#include "gui/urlopener.h"

#include <QPushButton>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::gui::Prompt;
using pw::gui::UrlOpener;

namespace {

struct Fixture
{
    Fixture()
        : client(server.port())
    {
        UrlOpener::setRecording(true);
        UrlOpener::clearOpened();
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
    }
    void setShortcuts(const QList<pw::UrlShortcut> &shortcuts, bool enabled = true)
    {
        pw::Settings &s = window->clientSettings().settings();
        s.urlshortcuts = shortcuts;
        s.shortcutenabled = enabled;
        window->clientSettings().save();
        window->clientSettings().load();
        window->rebuildShortcuts();
    }
    void writeTutorial(const QList<int> &pages) const
    {
        for (int n : pages)
            client.home.writeFile(u"install/tutorial/tutorial%1.htm"_s.arg(n),
                                  "<html><body><h1>Page " + QByteArray::number(n)
                                      + "</h1><a href=\"tutorial3.htm#step\">three</a>"
                                        "<a href=\"https://example.org/\">site</a></body></html>");
    }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
};

} // namespace

class TestSmallWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeTabsAndAClickOnTheSecond()
    {
        Fixture f;
        f.setShortcuts({{u"Kernel"_s, u"https://www.kernel.org/"_s},
                        {u"Weather"_s, u"https://www.weather.gov/"_s},
                        {u"News"_s, u"https://lwn.net/"_s}});
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        pw::client::ShortcutTabs *tabs = f.window->shortcutTabs();
        QVERIFY(f.window->shortcutsBar()->isVisible());
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), u"Kernel"_s);
        QCOMPARE(tabs->tabText(1), u"Weather"_s);
        QCOMPARE(tabs->tabText(2), u"News"_s);
        QCOMPARE(tabs->toolTip(), u"Click here to jump to the web."_s);

        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(UrlOpener::opened(), QList<QUrl>{QUrl(u"https://www.weather.gov/"_s)});
        QCOMPARE(tabs->currentIndex(), 1);
        // The right button offers "&Modify..." instead of opening anything.
        QTest::mouseClick(tabs, Qt::RightButton, {}, tabs->tabRect(2).center());
        QCOMPARE(UrlOpener::opened().size(), 1);
    }

    void hiddenWithoutShortcuts_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("visible");
        QTest::newRow("on, none stored") << true << 0 << false;
        QTest::newRow("off, two stored") << false << 2 << false;
        QTest::newRow("on, one stored") << true << 1 << true;
    }
    void hiddenWithoutShortcuts()
    {
        QFETCH(bool, enabled);
        QFETCH(int, count);
        QFETCH(bool, visible);
        Fixture f;
        QList<pw::UrlShortcut> shortcuts;
        for (int i = 0; i < count; ++i)
            shortcuts.append({u"S%1"_s.arg(i), u"https://s%1.example/"_s.arg(i)});
        f.setShortcuts(shortcuts, enabled);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->shortcutsBar()->isVisible(), visible);
        QCOMPARE(f.window->shortcutTabs()->count(), count);
    }

    void tutorialPagesAndLinks()
    {
        Fixture f;
        f.writeTutorial({1, 2, 3});
        pw::client::Ttutorialform *tutorial = f.window->tutorialForm();
        f.window->showTutorial();
        QCOMPARE(tutorial->currentPage(), 1);
        QCOMPARE(tutorial->windowTitle(), u"Pagewarden Tutorial - Page 1"_s);
        QVERIFY(tutorial->browser()->toPlainText().contains(u"Page 1"_s));

        tutorial->linkClicked(QUrl(u"tutorial3.htm#step"_s));
        QCOMPARE(tutorial->currentPage(), 3);
        QVERIFY(tutorial->browser()->toPlainText().contains(u"Page 3"_s));
        tutorial->linkClicked(QUrl(u"https://example.org/"_s));
        tutorial->linkClicked(QUrl(u"mailto:help@example.org"_s));
        QCOMPARE(UrlOpener::opened(),
                 (QList<QUrl>{QUrl(u"https://example.org/"_s), QUrl(u"mailto:help@example.org"_s)}));

        QVERIFY(!tutorial->loadPage(5));
        QCOMPARE(Prompt::shown(), QStringList{u"Files are missing from the Pagewarden tutorial. Please re-install."_s});
        QCOMPARE(tutorial->currentPage(), 3);
        QCOMPARE(tutorial->windowTitle(), u"Pagewarden Tutorial - Page 3"_s);

        tutorial->close();
        f.window->showTutorial();
        QCOMPARE(tutorial->currentPage(), 1);
    }

    void tutorialReadsOnlyItsOwnFolder()
    {
        Fixture f;
        f.writeTutorial({1});
        f.client.home.writeFile(u"install/tutorial/shot.png"_s, "png bytes");
        f.client.home.writeFile(u"install/secret.txt"_s, "secret");
        f.window->showTutorial();
        pw::client::TutorialBrowser *view = f.window->tutorialForm()->browser();
        QCOMPARE(view->loadResource(QTextDocument::ImageResource, QUrl(u"shot.png"_s)).toByteArray(),
                 QByteArray("png bytes"));
        QVERIFY(!view->loadResource(QTextDocument::ImageResource, QUrl(u"../secret.txt"_s)).isValid());
        QVERIFY(!view->loadResource(QTextDocument::ImageResource,
                                    QUrl::fromLocalFile(f.client.home.path(u"install/secret.txt"_s)))
                     .isValid());
        QVERIFY(!view->loadResource(QTextDocument::ImageResource, QUrl(u"https://example.org/x.png"_s)).isValid());
    }

    void aboutBox()
    {
        Fixture f;
        f.window->showAbout();
        auto *box = f.window->findChild<pw::client::Taboutbox *>();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->windowTitle(), u"About"_s);
        auto *link = box->findChild<QPushButton *>(u"homelink"_s);
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        link->click();
        QCOMPARE(UrlOpener::opened().size(), 1);
        QPointer<pw::client::Taboutbox> alive(box);
        box->findChild<QPushButton *>(u"closebtn"_s)->click();
        QTRY_VERIFY(!alive);
    }
};

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"
