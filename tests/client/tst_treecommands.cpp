// The tree's commands offscreen on real files and settings, with a (test-played)
// server on the link: new folder, rename, delete, reset, drag and drop.
#include "support/fakelinkserver.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "clienthome.h"

#include "client/app/mainwindow.h"
#include "client/app/nameinputdialog.h"
#include "client/app/treecommands.h"
#include "client/app/urltree.h"
#include "gui/prompt.h"
#include "store/paths.h"
#include "store/settings.h"
#include "store/urllist.h"
#include "store/webbox.h"
#include "store/webboxeslist.h"

#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::gui::Prompt;

namespace {

// Lists "Prices", "PricesOld" and "All" in folders, each with a list file, a WebBox with
// one stored page and a stored copy; a schedule and report list naming them.
struct Fixture
{
    Fixture()
        : client(server.port())
    {
        const QStringList lists = {u"Prices"_s, u"PricesOld"_s, u"All"_s, u"Weather"_s};
        client.addLists(lists);
        const QString data = pw::paths::dataDir();
        for (const QString &name : lists) {
            QVERIFY(pw::writeUrlList(data, name, {pwtest::urlEntry(u"http://a.example/"_s, name)}));
            const QString page = data + name + u"/a.example_@1.htm"_s;
            client.home.writeFile(u"home/webdata/"_s + name + u"/a.example_@1.htm"_s, "<p>page</p>");
            QVERIFY(pw::appendWebBox(
                pw::paths::webBoxFile(data, name), name,
                {name, u"http://a.example/"_s, u"*"_s, u"11"_s, page, u"3/7/1999 9:05:12 PM"_s, false}));
            client.home.writeFile(u"home/webdata/"_s + name + u"/a.example_.tmp"_s, "copy");
        }
        client.writeIndex("Pagewarden\r\n\tShop\r\n\t\tPrices\r\n\t\tPricesOld\r\n\tAll\r\n\tSky\r\n\t\tWeather\r\n");
        {
            auto store = pw::paths::openSettings();
            pw::settings::writeSchedule(*store, {{u"3/8/1999 9:05 PM"_s, u"Prices"_s, u"*"_s},
                                                 {u"3/8/1999 9:10 PM"_s, u"Prices 30 Minute Interval"_s, u"*"_s},
                                                 {u"3/8/1999 9:15 PM"_s, u"PricesOld"_s, u"*"_s},
                                                 {u"3/8/1999 9:20 PM"_s, u"All WebBoxes"_s, u"*"_s},
                                                 {u"3/8/1999 9:25 PM"_s, u"All WebBoxes 5 Minute Interval"_s, u"*"_s},
                                                 {u"3/8/1999 9:30 PM"_s, u"All"_s, u"*"_s}});
            pw::settings::writeList(*store, u"Reports"_s, {u"Prices"_s, u"All WebBoxes"_s, u"PricesOld"_s});
        }
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
        QTRY_VERIFY(server.hasClient());
        Prompt::clearShown();
    }

    void select(const QString &text)
    {
        const QList<QTreeWidgetItem *> found = window->tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        window->tree()->setCurrentItem(found.first());
    }
    pw::client::NameInputDialog *dialog() const { return window->findChild<pw::client::NameInputDialog *>(); }
    // Types into the open name dialog and presses OK.
    void answer(const QString &text)
    {
        pw::client::NameInputDialog *d = dialog();
        QVERIFY(d);
        d->field()->setText(text);
        d->okClick();
    }
    QStringList scheduleTargets() const
    {
        QStringList targets;
        auto store = pw::paths::openSettings();
        for (const pw::ScheduleRow &row : pw::settings::readSchedule(*store))
            targets.append(row.webBox);
        return targets;
    }
    QStringList reports() const
    {
        auto store = pw::paths::openSettings();
        return pw::settings::readList(*store, u"Reports"_s);
    }
    QByteArray index() const { return pwtest::readAll(pw::paths::treeIndexFile()); }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
};

} // namespace

class TestTreeCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newFolder()
    {
        Fixture f;
        f.select(u"Shop"_s);
        f.window->treeCommands().newFolder();
        for (const QString &taken : {u"prices"_s, u"PAGEWARDEN"_s, u"sky"_s})
            f.answer(taken);
        f.answer(u"   "_s);
        QCOMPARE(Prompt::shown(), (QStringList{3, u"A folder or WebBox by that name already exists. Please re-enter."_s}
                                   << u"You must first enter a name to add."_s));
        f.answer(u"  Big & Small  "_s);
        QTRY_VERIFY(!f.dialog());
        QCOMPARE(f.index(),
                 QByteArray("Pagewarden\r\n\tShop\r\n\t\tPrices\r\n\t\tPricesOld\r\n\t\tBig & Small\r\n\tAll\r\n"
                            "\tSky\r\n\t\tWeather\r\n"));
        // Under a URL List the folder goes to the root.
        f.select(u"Weather"_s);
        f.window->treeCommands().newFolder();
        f.answer(u"Misc"_s);
        QVERIFY(f.index().endsWith("\tMisc\r\n"));
        QTest::qWait(20);
        QVERIFY(f.server.received.isEmpty()); // folders are the client's own
    }

    void renameChecks_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("another node in other letters")
            << u"Sky"_s << u"PRICES"_s << u"A URL List or folder by this name already exists. Please re-enter."_s;
        QTest::newRow("the root") << u"Weather"_s << u"pagewarden"_s
                                  << u"A URL List or folder by this name already exists. Please re-enter."_s;
        QTest::newRow("a blank") << u"Prices"_s << u"Price List"_s
                                 << u"Price List contains invalid characters. Please re-enter."_s;
        QTest::newRow("a folder with a blank")
            << u"Sky"_s << u"Blue Sky"_s << u"Blue Sky contains invalid characters. Please re-enter."_s;
        QTest::newRow("empty") << u"Prices"_s << u"  "_s << u"You must enter a name in this field."_s;
    }

    void renameChecks()
    {
        QFETCH(QString, node);
        QFETCH(QString, name);
        QFETCH(QString, message);
        Fixture f;
        f.select(node);
        f.window->treeCommands().rename();
        f.answer(name);
        QCOMPARE(Prompt::shown(), QStringList{message});
        QVERIFY(f.dialog()->isVisible());
    }

    void renameAUrlList()
    {
        Fixture f;
        f.select(u"Prices"_s);
        f.window->treeCommands().rename();
        QCOMPARE(f.dialog()->field()->text(), u"Prices"_s);
        f.answer(u" Costs "_s);
        QTRY_VERIFY(!f.dialog());
        QCOMPARE(Prompt::shown(), QStringList{u"The URL List was renamed successfully."_s});

        const QString data = pw::paths::dataDir();
        QVERIFY(!QFileInfo::exists(data + u"Prices"_s));
        QVERIFY(QFileInfo::exists(pw::paths::urlListFile(data, u"Costs"_s)));
        const QList<pw::WebBoxEntry> box =
            pw::readWebBox(pw::paths::webBoxFile(data, u"Costs"_s), pw::ReaderSide::Client).entries;
        QCOMPARE(box.size(), 1);
        QCOMPARE(box.first().fileLocation, data + u"Costs/a.example_@1.htm"_s);
        QVERIFY(QFileInfo::exists(box.first().fileLocation));
        QCOMPARE(f.window->indexbox(), (QStringList{u"Costs"_s, u"PricesOld"_s, u"All"_s, u"Weather"_s}));
        QCOMPARE(pw::loadWebBoxesList(*pw::paths::openSettings(), data).names, f.window->indexbox());
        QVERIFY(f.index().contains("\t\tCosts\r\n\t\tPricesOld\r\n"));
        QCOMPARE(f.scheduleTargets(), (QStringList{u"Costs"_s, u"Costs 30 Minute Interval"_s, u"PricesOld"_s,
                                                   u"All WebBoxes"_s, u"All WebBoxes 5 Minute Interval"_s, u"All"_s}));
        QCOMPARE(f.reports(), (QStringList{u"Costs"_s, u"All WebBoxes"_s, u"PricesOld"_s}));
        QTRY_COMPARE(f.server.received, (QList<QByteArray>{"REFRESHLIST", "REFRESHSETUP"}));

        // Only its own letters: allowed.
        f.select(u"Costs"_s);
        f.window->treeCommands().rename();
        f.answer(u"COSTS"_s);
        QTRY_VERIFY(QFileInfo::exists(pw::paths::urlListFile(data, u"COSTS"_s)));
    }

    void renameAListNamedAllSparesAllWebBoxes()
    {
        Fixture f;
        f.select(u"All"_s);
        f.window->treeCommands().rename();
        f.answer(u"Everything"_s);
        QTRY_VERIFY(!f.dialog());
        QCOMPARE(f.scheduleTargets().mid(3),
                 (QStringList{u"All WebBoxes"_s, u"All WebBoxes 5 Minute Interval"_s, u"Everything"_s}));
    }

    void renameRefusals()
    {
        Fixture f;
        f.select(u"Prices"_s);
        f.server.send({"TRANSFERACTIVE TRUE"});
        QTRY_VERIFY(f.window->dispatcher().transferActive());
        f.window->treeCommands().rename();
        f.window->treeCommands().reseturllist();
        f.window->treeCommands().deleteurllist();
        QCOMPARE(Prompt::shown(), (QStringList{u"You cannot rename URL Lists while Pagewarden Server is active."_s,
                                               u"You cannot reset URL Lists while Pagewarden Server is active."_s,
                                               u"You cannot delete URL Lists while Pagewarden Server is active."_s}));
        QVERIFY(!f.dialog());
        f.server.send({"TRANSFERACTIVE FALSE"});
        QTRY_VERIFY(!f.window->dispatcher().transferActive());

        Prompt::clearShown();
        QVERIFY(f.window->showwebbox(u"Prices"_s) > 0);
        f.window->treeCommands().rename();
        QCOMPARE(Prompt::shown(), QStringList{u"You cannot rename an open WebBox. Please close and try again."_s});
        QVERIFY(!f.dialog());
    }

    void deleteAFolderWithTwoLists()
    {
        Fixture f;
        f.select(u"Shop"_s);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        f.window->treeCommands().deleteurllist();
        QCOMPARE(Prompt::shown(), QStringList{u"Are you sure you wish to delete \"Shop\" and all of its contents?"_s});
        const QString data = pw::paths::dataDir();
        QVERIFY(!QFileInfo::exists(data + u"Prices"_s));
        QVERIFY(!QFileInfo::exists(data + u"PricesOld"_s));
        QCOMPARE(f.window->indexbox(), (QStringList{u"All"_s, u"Weather"_s}));
        QCOMPARE(pw::loadWebBoxesList(*pw::paths::openSettings(), data).names, f.window->indexbox());
        QCOMPARE(f.index(), QByteArray("Pagewarden\r\n\tAll\r\n\tSky\r\n\t\tWeather\r\n"));
        QTRY_COMPARE(f.server.received, (QList<QByteArray>{"REFRESHSETUP", "REFRESHSETUP", "REFRESHLIST"}));
        QCOMPARE(f.scheduleTargets(), (QStringList{u"All WebBoxes"_s, u"All WebBoxes 5 Minute Interval"_s, u"All"_s}));
        QCOMPARE(f.reports(), QStringList{u"All WebBoxes"_s});
    }

    void deleteAListKeepsLookalikes()
    {
        Fixture f;
        QVERIFY(f.window->showwebbox(u"Prices"_s) > 0);
        f.select(u"Prices"_s);
        Prompt::setNextAnswer(Prompt::Answer::No);
        f.window->treeCommands().deleteurllist();
        QVERIFY(QFileInfo::exists(pw::paths::dataDir() + u"Prices"_s));
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        f.window->treeCommands().deleteurllist();
        QVERIFY(!QFileInfo::exists(pw::paths::dataDir() + u"Prices"_s));
        QVERIFY(!f.window->webboxopen(u"Prices"_s)); // its window closed with it
        QCOMPARE(f.scheduleTargets(),
                 (QStringList{u"PricesOld"_s, u"All WebBoxes"_s, u"All WebBoxes 5 Minute Interval"_s, u"All"_s}));
        QCOMPARE(f.reports(), (QStringList{u"All WebBoxes"_s, u"PricesOld"_s}));

        // The root is refused, and so is nothing at all.
        Prompt::clearShown();
        f.select(u"Pagewarden"_s);
        f.window->treeCommands().deleteurllist();
        f.window->tree()->setCurrentItem(nullptr);
        f.window->treeCommands().deleteurllist();
        QCOMPARE(Prompt::shown(), (QStringList{u"You must first select a URL List to delete."_s,
                                               u"You must first select a URL List or folder to delete."_s}));
    }

    void resetAList()
    {
        Fixture f;
        const QString data = pw::paths::dataDir();
        pw::UrlEntry seen = pwtest::urlEntry(u"http://a.example/"_s, u"Prices"_s);
        seen[pw::UrlEntry::LastModified] = u"Sun, 07 Mar 1999 21:05:12 GMT"_s;
        seen[pw::UrlEntry::Size] = u"11"_s;
        QVERIFY(pw::writeUrlList(data, u"Prices"_s, {seen}));
        const QByteArray box = pwtest::readAll(pw::paths::webBoxFile(data, u"Prices"_s));
        f.select(u"Prices"_s);
        f.window->treeCommands().reseturllist();
        QCOMPARE(Prompt::shown(), QStringList{u"Are you sure you wish to reset \"Prices\" and all of its contents?"_s});
        const QList<pw::UrlEntry> entries =
            pw::readUrlList(pw::paths::urlListFile(data, u"Prices"_s), pw::ReaderSide::Server).entries;
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first()[pw::UrlEntry::LastModified], u"*"_s);
        QCOMPARE(entries.first()[pw::UrlEntry::Size], u"*"_s);
        QVERIFY(!QFileInfo::exists(data + u"Prices/a.example_.tmp"_s));
        QVERIFY(QFileInfo::exists(data + u"Prices/a.example_@1.htm"_s));
        QCOMPARE(pwtest::readAll(pw::paths::webBoxFile(data, u"Prices"_s)), box);
        QCOMPARE(f.window->tree()->currentItem()->text(0), u"Shop"_s);
        QTRY_COMPARE(f.server.received, QList<QByteArray>{"REFRESHLIST"});
        QCOMPARE(f.window->tree()->findItems(u"Prices"_s, Qt::MatchRecursive).size(), 1);
    }

    void dragAndDrop()
    {
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        pw::client::UrlTree *tree = f.window->tree();
        tree->expandAll();
        const auto drop = [&](const QString &dragged, const QString &onto) {
            f.select(dragged);
            QTreeWidgetItem *target = tree->findItems(onto, Qt::MatchExactly | Qt::MatchRecursive).first();
            QMimeData *mime = tree->model()->mimeData({tree->currentIndex()});
            const QPoint at = tree->visualItemRect(target).center();
            // A drop goes to the widget the drag entered, so the drag enters first.
            QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, {});
            QApplication::sendEvent(tree->viewport(), &enter);
            QDropEvent event(at, Qt::MoveAction, mime, Qt::LeftButton, {});
            QApplication::sendEvent(tree->viewport(), &event);
            delete mime;
        };
        // A folder and a URL List onto a folder come first among its children.
        drop(u"Sky"_s, u"Shop"_s);
        drop(u"All"_s, u"Shop"_s);
        const QByteArray moved = "Pagewarden\r\n\tShop\r\n\t\tAll\r\n\t\tSky\r\n\t\t\tWeather\r\n\t\tPrices\r\n"
                                 "\t\tPricesOld\r\n";
        QCOMPARE(f.index(), moved);
        // Onto its own child or itself: nothing moves, the index is written all the same.
        QFile::remove(pw::paths::treeIndexFile());
        drop(u"Shop"_s, u"Sky"_s);
        QCOMPARE(f.index(), moved);
        QFile::remove(pw::paths::treeIndexFile());
        drop(u"Sky"_s, u"Sky"_s);
        QCOMPARE(f.index(), moved);
        // Onto a URL List: nothing at all.
        QFile::remove(pw::paths::treeIndexFile());
        drop(u"Sky"_s, u"Prices"_s);
        QVERIFY(!QFileInfo::exists(pw::paths::treeIndexFile()));
        QTest::qWait(20);
        QVERIFY(f.server.received.isEmpty());
    }
};

QTEST_MAIN(TestTreeCommands)
#include "tst_treecommands.moc"
