// The URL library files, the URL Library wizard, the Quick Start and the Getting Started
// window, on a library folder written by each test.
#include "support/fakelinkserver.h"

#include "clienthome.h"

#include "client/app/gettingstarted.h"
#include "client/app/mainwindow.h"
#include "client/app/quickstartform.h"
#include "client/app/urllisteditor.h"
#include "client/app/urltree.h"
#include "client/app/urlwizard.h"
#include "client/core/newentry.h"
#include "client/core/quickstartname.h"
#include "client/core/urllibrary.h"
#include "gui/prompt.h"
#include "store/paths.h"
#include "store/urllist.h"

#include <QCheckBox>
#include <QListWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::gui::Prompt;

namespace {

QByteArray libraryFile(const QByteArray &name, int count, const QList<QByteArray> &urls)
{
    QByteArray out;
    if (!name.isNull())
        out += "[Category]\r\nName=" + name + "\r\n";
    out += "[Count]\r\nValue=" + (count < 0 ? QByteArray("many") : QByteArray::number(count)) + "\r\n[URL]\r\n";
    for (int i = 0; i < urls.size(); ++i)
        out += QByteArray::number(i) + "=" + urls.at(i) + "\r\n";
    out += "[Description]\r\n";
    for (int i = 0; i < urls.size(); ++i)
        out += QByteArray::number(i) + "=Title " + QByteArray::number(i) + ", with a comma\r\n";
    return out;
}

struct Fixture
{
    explicit Fixture(const QStringList &lists = {}, const QByteArray &index = {})
        : client(server.port())
    {
        if (!lists.isEmpty())
            client.addLists(lists);
        if (!index.isEmpty())
            client.writeIndex(index);
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
    }
    void writeLibrary(const QString &file, const QByteArray &content) const
    {
        client.home.writeFile(u"install/wizdata/"_s + file, content);
    }
    QTreeWidgetItem *node(const QString &text) const
    {
        const auto found = window->tree()->findItems(text, Qt::MatchFixedString | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
};

} // namespace

class TestUrlLibrary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void libraryFiles()
    {
        using namespace pw::client::urllibrary;
        QCOMPARE(parseCategoryName(libraryFile({}, 1, {"https://a.example/"})), u"Unknown"_s);
        QCOMPARE(parseCategoryName(libraryFile("Weather, Europe", 1, {"https://a.example/"})), u"Weather, Europe"_s);
        QVERIFY(parseEntries(libraryFile("X", -1, {"https://a.example/"})).isEmpty());
        QVERIFY(parseEntries("[URL]\n0=https://a.example/\n").isEmpty());
        const QList<pw::client::LibraryEntry> two =
            parseEntries(libraryFile("X", 2, {"https://a/", "https://b/", "https://c/"}));
        QCOMPARE(two, (QList<pw::client::LibraryEntry>{{u"Title 0, with a comma"_s, u"https://a/"_s},
                                                       {u"Title 1, with a comma"_s, u"https://b/"_s}}));
        // A Count far beyond what the file holds costs nothing.
        QCOMPARE(parseEntries(libraryFile("X", 2000000000, {"https://a/"})).size(), 1);
    }

    void quickStartNames_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u"News"_s << QStringList{} << u"News"_s;
        QTest::newRow("accelerator and blanks") << u"&Software Releases"_s << QStringList{} << u"Software_Releases"_s;
        QTest::newRow("filtered characters") << u"Prices: Fuel/Energy"_s << QStringList{} << u"Prices__Fuel_Energy"_s;
        QTest::newRow("kept characters") << u"Rock'n-roll, live_"_s << QStringList{} << u"Rock'n-roll,_live_"_s;
        QTest::newRow("taken in other letters") << u"News"_s << QStringList{u"NEWS"_s, u"news1"_s} << u"News2"_s;
    }
    void quickStartNames()
    {
        QFETCH(QString, category);
        QFETCH(QStringList, taken);
        QFETCH(QString, name);
        QCOMPARE(pw::client::quickStartName(category, taken), name);
    }

    void libraryWizardOnTheEditor()
    {
        Fixture f;
        f.writeLibrary(u"b.dta"_s, libraryFile({}, 2, {"https://b0.example/", "https://b1.example/"}));
        f.writeLibrary(u"a.dta"_s, libraryFile("Alpha", 1, {"https://a0.example/"}));
        f.writeLibrary(u"c.dta"_s, libraryFile("No count", -1, {"https://c0.example/"}));
        f.writeLibrary(u"readme.txt"_s, "not a library file");
        pw::client::Turladdform *editor = f.window->openListEditor({});
        editor->appendEntry(pw::client::newEntry({}, u"https://B1.example/"_s, u"Known"_s));
        editor->openUrlLibrary();
        auto *wizard = editor->findChild<pw::client::Turlwizard *>();
        QVERIFY(wizard && wizard->isVisible());
        auto *categories = wizard->findChild<QListWidget *>(u"displaycategories"_s);
        QCOMPARE(categories->count(), 3);
        QCOMPARE(categories->item(0)->text(), u"Alpha"_s);
        QCOMPARE(categories->item(1)->text(), u"Unknown"_s);

        wizard->nextFromCategories();
        QCOMPARE(Prompt::shown(), QStringList{u"You must select at least one category before continuing."_s});
        categories->item(2)->setSelected(true);
        wizard->nextFromCategories();
        auto *titles = wizard->findChild<QListWidget *>(u"urllist"_s);
        QCOMPARE(wizard->page(), 2);
        QCOMPARE(titles->count(), 0);
        wizard->back();
        categories->item(2)->setSelected(false);
        categories->item(1)->setSelected(true);
        wizard->nextFromCategories();
        QCOMPARE(titles->count(), 2);
        titles->selectAll();
        wizard->nextFromTitles();
        QCOMPARE(wizard->page(), 3);
        Prompt::clearShown();
        Prompt::setNextAnswer(Prompt::Answer::No);
        QPointer<pw::client::Turlwizard> alive(wizard);
        wizard->save();
        QCOMPARE(Prompt::shown(), QStringList{u"URL \"https://b1.example/\" already exists in the current URL "
                                              "List. Ignore and continue?"_s});
        QVERIFY(alive);
        QCOMPARE(editor->entries().size(), 2);
        QCOMPARE(editor->entries().at(1)[pw::UrlEntry::Description], u"Title 0, with a comma"_s);
        wizard->reject();
        editor->Modified = false;
        editor->close();
    }

    void missingLibrary()
    {
        Fixture f;
        pw::client::Turladdform *editor = f.window->openListEditor({});
        editor->openUrlLibrary();
        QCOMPARE(Prompt::shown(), QStringList{u"URL Data Directory could not be found. Please re-install."_s});
        QVERIFY(!editor->findChild<pw::client::Turlwizard *>());
        Prompt::clearShown();
        auto *start = new pw::client::Twizardone(*f.window);
        start->openQuickStart();
        QCOMPARE(Prompt::shown(),
                 QStringList{u"Pagewarden could not find the URL Library directory. Please re-install."_s});
        start->reject();
        editor->close();
    }

    void quickStartMakesLists_data()
    {
        QTest::addColumn<QByteArray>("existingIndex");
        QTest::addColumn<int>("ticked");
        QTest::addColumn<QString>("message");
        QTest::newRow("new folder, one list")
            << QByteArray("Pagewarden\r\n\tNews\r\n") << 1 << u"1 URL List has been successfully created."_s;
        QTest::newRow("existing folder in other letters, three lists")
            << QByteArray("Pagewarden\r\n\tNews\r\n\tquickSTART\r\n") << 3
            << u"3 URL Lists have been successfully created."_s;
    }
    void quickStartMakesLists()
    {
        QFETCH(QByteArray, existingIndex);
        QFETCH(int, ticked);
        QFETCH(QString, message);
        Fixture f({u"News"_s}, existingIndex);
        f.writeLibrary(u"1.dta"_s, libraryFile("Space Weather", 2, {"https://s0.example/", "https://s1.example/"}));
        f.writeLibrary(u"2.dta"_s, libraryFile("Space/Weather", 1, {"https://t0.example/"}));
        f.writeLibrary(u"3.dta"_s, libraryFile("&News", 1, {"https://n0.example/"}));

        auto *start = new pw::client::Twizardone(*f.window);
        start->open();
        start->openQuickStart();
        auto *quick = start->findChild<pw::client::Twizform *>();
        QVERIFY(quick);
        auto *rows = quick->findChild<QTreeWidget *>(u"weblist"_s);
        QCOMPARE(rows->topLevelItemCount(), 3);
        quick->okbtnClick();
        QCOMPARE(Prompt::shown(), QStringList{u"You must first select a category to add."_s});
        Prompt::clearShown();
        for (int i = 0; i < ticked; ++i)
            rows->topLevelItem(i)->setCheckState(0, Qt::Checked);
        QPointer<pw::client::Twizform> alive(quick);
        quick->okbtnClick();
        QCOMPARE(Prompt::shown(), QStringList{message});
        QTRY_VERIFY(!alive);

        const QStringList expected = QStringList{u"Space_Weather"_s, u"Space_Weather1"_s, u"News1"_s}.mid(0, ticked);
        QTreeWidgetItem *folder = nullptr;
        for (QTreeWidgetItemIterator it(f.window->tree()); *it; ++it) {
            if ((*it)->text(0).compare(u"QuickStart"_s, Qt::CaseInsensitive) == 0) {
                QVERIFY2(!folder, "a second QuickStart folder");
                folder = *it;
            }
        }
        QVERIFY(folder);
        QVERIFY(folder->isExpanded());
        QStringList children;
        for (int i = 0; i < folder->childCount(); ++i)
            children.append(folder->child(i)->text(0));
        QCOMPARE(children, expected);
        for (const QString &name : expected)
            QVERIFY2(f.window->indexbox().contains(name), qPrintable(name));
        const pw::UrlListRead read =
            pw::readUrlList(pw::paths::urlListFile(pw::paths::dataDir(), expected.first()), pw::ReaderSide::Client);
        QCOMPARE(read.entries.size(), 2);
        QCOMPARE(read.entries.at(1)[pw::UrlEntry::Url], u"https://s1.example/"_s);
        QCOMPARE(read.entries.at(1)[pw::UrlEntry::Description], u"Title 1, with a comma"_s);
        start->reject();
    }

    void aListThatCannotBeWrittenIsNotCounted()
    {
        Fixture f;
        f.writeLibrary(u"1.dta"_s, libraryFile("Blocked", 1, {"https://b.example/"}));
        f.writeLibrary(u"2.dta"_s, libraryFile("Fine", 1, {"https://f.example/"}));
        // A file where the list's folder would go.
        f.client.home.writeFile(u"home/webdata/Blocked"_s, "in the way");
        auto *start = new pw::client::Twizardone(*f.window);
        start->openQuickStart();
        auto *quick = start->findChild<pw::client::Twizform *>();
        quick->selectAll();
        quick->okbtnClick();
        QCOMPARE(Prompt::shown(), QStringList{u"1 URL List has been successfully created."_s});
        QVERIFY(f.window->indexbox().contains(u"Fine"_s));
        QVERIFY(!f.window->indexbox().contains(u"Blocked"_s));
        start->reject();
    }

    void gettingStartedStoresShowFirst()
    {
        Fixture f;
        QVERIFY(!f.window->clientSettings().showFirst());
        f.window->showGettingStarted();
        auto *start = f.window->findChild<pw::client::Twizardone *>();
        QVERIFY(start && start->isVisible());
        QCOMPARE(start->windowTitle(), u"Getting Started with Pagewarden"_s);
        QVERIFY(!start->showagain()->isChecked());
        start->showagain()->setChecked(true);
        start->reject();
        QVERIFY(f.window->clientSettings().showFirst());
        QTRY_VERIFY(!f.window->findChild<pw::client::Twizardone *>());
        f.window->showGettingStarted();
        start = f.window->findChild<pw::client::Twizardone *>();
        QVERIFY(start->showagain()->isChecked());
        start->showagain()->setChecked(false);
        start->reject();
        QVERIFY(!f.window->clientSettings().showFirst());
    }

    void firstShowOpensGettingStarted()
    {
        Fixture f;
        f.window->show();
        QTRY_VERIFY(f.window->findChild<pw::client::Twizardone *>());
        f.window->findChild<pw::client::Twizardone *>()->reject();
    }

    void showFirstOnKeepsItClosed()
    {
        Fixture f;
        f.window->clientSettings().setShowFirst(true);
        {
            auto store = pw::paths::openSettings();
            store->setValue(u"Defaults/NewRetrieve"_s, u"TRUE"_s);
        }
        f.window->clientSettings().load();
        QVERIFY(f.window->clientSettings().takeNewRetrievalsNotice());
        f.window->show();
        // The notice follows the Getting Started decision in the same step.
        QTRY_COMPARE(Prompt::shown(),
                     QStringList{u"New URLs have been retrieved since your last Pagewarden session."_s});
        QVERIFY(!f.window->findChild<pw::client::Twizardone *>());
    }
};

QTEST_MAIN(TestUrlLibrary)
#include "tst_urllibrary.moc"
