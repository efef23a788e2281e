// Bookmark import on fixtures made here: an exported bookmark file, a Chromium
// "Bookmarks" file and a Firefox "places.sqlite" with Firefox's own tables, then the
// wizard on the URL List editor.
#include "support/fakelinkserver.h"
#include "support/testhome.h"

#include "clienthome.h"

#include "client/app/bookmarkwizard.h"
#include "client/app/mainwindow.h"
#include "client/app/urllisteditor.h"
#include "client/core/bookmarkfile.h"
#include "client/core/bookmarksources.h"
#include "client/core/chromiumbookmarks.h"
#include "client/core/firefoxbookmarks.h"
#include "gui/prompt.h"
#include "store/paths.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::Bookmark;
using pw::gui::Prompt;

namespace {

const QString k45 = u"A title of exactly forty-five characters (45)"_s;
const QString k46 = u"A title of exactly forty-six characters (46)!!"_s;

QByteArray exportedFile()
{
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
           "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
           "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
           "    <DT><A HREF=\"https://first.example/\" ADD_DATE=\"1\">First</A>\n"
           "    <DT><H3 ADD_DATE=\"2\">Folder</H3>\n"
           "    <DL><p>\n"
           "        <DT><A HREF=https://unquoted.example/a?b=1 ADD_DATE=\"3\">Unquoted</A>\n"
           "        <HR>\n"
           "        <DT><H3>Inner</H3>\n"
           "        <DL><p>\n"
           "            <DT><a href='https://single.example/x\"y'>Single quoted</a>\n"
           "        </DL><p>\n"
           "        <DT><A HREF=\"FILE:///home/me/notes.html\">Local</A>\n"
           "    </DL><p>\n"
           "    <DT><A HREF=\"https://amp.example/?a=1&amp;b=2\">Tom &amp; Jerry</A>\n"
           "    <DT><A HREF=\"https://long.example/\">"
           + k46.toUtf8()
           + "</A>\n"
             "    <DT><A HREF=\"https://exact.example/\">"
           + k45.toUtf8()
           + "</A>\n"
             "</DL><p>\n"
             "<DT><A HREF=\"https://after-the-end.example/\">Not read</A>\n";
}

QByteArray chromiumFile(const QString &prefix)
{
    QByteArray json = "{\"checksum\":\"x\",\"roots\":{"
                      "\"other\":{\"type\":\"folder\",\"name\":\"Other bookmarks\",\"children\":["
                      "{\"type\":\"url\",\"name\":\"%1 other\",\"url\":\"https://other.example/\"}]},"
                      "\"bookmark_bar\":{\"type\":\"folder\",\"name\":\"Bookmarks bar\",\"children\":["
                      "{\"type\":\"url\",\"name\":\"%1 bar one\",\"url\":\"https://bar1.example/\"},"
                      "{\"type\":\"folder\",\"name\":\"Sub\",\"children\":["
                      "{\"type\":\"url\",\"name\":\"%1 sub\",\"url\":\"https://sub.example/\"},"
                      "{\"type\":\"url\",\"name\":\"Local\",\"url\":\"file:///tmp/x.html\"}]},"
                      "{\"type\":\"url\",\"name\":\"%1 bar two\",\"url\":\"https://bar2.example/\"}]},"
                      "\"synced\":{\"type\":\"folder\",\"name\":\"Mobile\",\"children\":["
                      "{\"type\":\"url\",\"name\":\"%1 mobile\",\"url\":\"https://mobile.example/\"}]}},"
                      "\"version\":1}";
    json.replace("%1", prefix.toUtf8());
    return json;
}

// A places database with the tables and columns the reader uses, as Firefox lays them.
void writePlaces(const QString &path)
{
    const QString connection = u"fixture"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(u"CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
                       "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, guid TEXT)"_s));
        QVERIFY(q.exec(u"CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
                       "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, "
                       "folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT UNIQUE, "
                       "syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1)"_s));
        const char *places[] = {
            "INSERT INTO moz_places VALUES (1,'https://menu-b.example/','Menu B page','x',0,'p1')",
            "INSERT INTO moz_places VALUES (2,'https://menu-a.example/','Menu A page','x',0,'p2')",
            "INSERT INTO moz_places VALUES (3,'https://toolbar.example/','Toolbar page','x',0,'p3')",
            "INSERT INTO moz_places VALUES (4,'place:tag=x','Tag query','x',0,'p4')",
            "INSERT INTO moz_places VALUES (5,'https://unfiled.example/','Unfiled page','x',0,'p5')",
            "INSERT INTO moz_places VALUES (6,'File:///home/me/a.html','Local','x',0,'p6')",
        };
        // Roots as Firefox makes them, children out of id order to check the positions.
        const char *bookmarks[] = {
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (1,2,NULL,0,0,'','root________')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES "
            "(2,2,NULL,1,0,'menu','menu________')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES "
            "(3,2,NULL,1,1,'toolbar','toolbar_____')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES "
            "(4,2,NULL,1,2,'tags','tags________')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES "
            "(5,2,NULL,1,3,'unfiled','unfiled_____')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (10,1,1,2,2,'Menu B','b10')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (11,1,2,2,0,'Menu A','b11')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (12,3,NULL,2,1,NULL,'b12')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (13,1,3,3,0,'Toolbar','b13')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (14,2,NULL,4,0,'x','b14')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (15,1,3,14,0,NULL,'b15')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (16,1,5,5,0,NULL,'b16')",
            "INSERT INTO moz_bookmarks (id,type,fk,parent,position,title,guid) VALUES (17,1,6,5,1,'Local','b17')",
        };
        for (const char *sql : places)
            QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));
        for (const char *sql : bookmarks)
            QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

QStringList urls(const QList<Bookmark> &rows)
{
    QStringList out;
    for (const Bookmark &row : rows)
        out.append(row.separator ? u"-"_s : row.url);
    return out;
}

struct Fixture
{
    Fixture()
        : client(server.port())
    {
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
        editor = window->openListEditor({});
    }
    ~Fixture()
    {
        if (pw::client::Turladdform *e = window->listEditor()) {
            e->Modified = false;
            e->close();
        }
    }
    pw::client::Tbookmarks *openWizard()
    {
        editor->openBookmarks();
        auto *wizard = editor->findChild<pw::client::Tbookmarks *>();
        if (wizard)
            wizard->setProfileRoots(client.home.path(u"userhome"_s), client.home.path(u"userconfig"_s));
        return wizard;
    }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
    pw::client::Turladdform *editor = nullptr;
};

} // namespace

class TestBookmarkImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportedFileInDocumentOrder()
    {
        const QList<Bookmark> rows = pw::client::readBookmarkFile(exportedFile());
        QCOMPARE(urls(rows), (QStringList{u"https://first.example/"_s, u"https://unquoted.example/a?b=1"_s, u"-"_s,
                                          u"https://single.example/x\"y"_s, u"FILE:///home/me/notes.html"_s,
                                          u"https://amp.example/?a=1&b=2"_s, u"https://long.example/"_s,
                                          u"https://exact.example/"_s}));
        QCOMPARE(rows.at(1).title, u"Unquoted"_s);
        QCOMPARE(rows.at(2), (Bookmark{u"-"_s, {}, true}));
        QCOMPARE(rows.at(3).title, u"Single quoted"_s);
        QCOMPARE(rows.at(5).title, u"Tom & Jerry"_s);
        QCOMPARE(rows.at(6).title, k46.left(21) + u"..."_s + k46.right(21));
        QCOMPARE(rows.at(6).title.size(), 45);
        QCOMPARE(rows.at(7).title, k45);
    }

    void anchorLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("title");
        QTest::newRow("double quotes") << QByteArray("<DT><A HREF=\"http://a.example/\">A</A>")
                                       << u"http://a.example/"_s << u"A"_s;
        QTest::newRow("unquoted ends at a blank")
            << QByteArray("<DT><A HREF=http://b.example/p q>B</A>") << u"http://b.example/p"_s << u"B"_s;
        QTest::newRow("unquoted ends at >")
            << QByteArray("<DT><A HREF=http://c.example/>C</A>") << u"http://c.example/"_s << u"C"_s;
        QTest::newRow("single quotes keep a double quote")
            << QByteArray("<DT><A HREF = 'http://d.example/a\"b'>D</A>") << u"http://d.example/a\"b"_s << u"D"_s;
        QTest::newRow("a blank ends even a quoted one")
            << QByteArray("<DT><A HREF=\"http://f.example/a b\">F</A>") << u"http://f.example/a"_s << u"F"_s;
        QTest::newRow("no closing tag") << QByteArray("<DT><A HREF=\"http://e.example/\">Title to the end")
                                        << u"http://e.example/"_s << u"Title to the end"_s;
    }
    void anchorLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, url);
        QFETCH(QString, title);
        const QList<Bookmark> rows = pw::client::readBookmarkFile(line + "\n");
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().url, url);
        QCOMPARE(rows.first().title, title);
    }

    void brokenLinesAreSkipped()
    {
        // An anchor without ">" and a folder line without ">" are passed over; a lone
        // "</DL" at the outermost level ends the file.
        const QList<Bookmark> rows = pw::client::readBookmarkFile("<A HREF=\"http://x.example/\"\n<H3\n"
                                                                  "<A HREF=\"http://y.example/\">Y</A>\n</DL>\n"
                                                                  "<A HREF=\"http://z.example/\">Z</A>\n");
        QCOMPARE(urls(rows), QStringList{u"http://y.example/"_s});
        QVERIFY(pw::client::readBookmarkFile(QByteArray(4096, '\0')).isEmpty());
    }

    void chromiumInFolderOrder()
    {
        const QList<Bookmark> rows = pw::client::chromiumbookmarks::read(chromiumFile(u"C"_s));
        QCOMPARE(urls(rows),
                 (QStringList{u"https://bar1.example/"_s, u"https://sub.example/"_s, u"file:///tmp/x.html"_s,
                              u"https://bar2.example/"_s, u"https://other.example/"_s, u"https://mobile.example/"_s}));
        QCOMPARE(rows.first().title, u"C bar one"_s);
        QVERIFY(pw::client::chromiumbookmarks::read("{not json").isEmpty());
        QVERIFY(pw::client::chromiumbookmarks::read("{\"roots\":[1,2]}").isEmpty());
    }

    void firefoxInFolderOrder()
    {
        pwtest::TestHome home;
        const QString places = home.path(u"places.sqlite"_s);
        writePlaces(places);
        const QByteArray before = [&] {
            QFile f(places);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const QList<Bookmark> rows = pw::client::firefoxbookmarks::read(places);
        QCOMPARE(urls(rows), (QStringList{u"https://menu-a.example/"_s, u"-"_s, u"https://menu-b.example/"_s,
                                          u"https://toolbar.example/"_s, u"https://unfiled.example/"_s,
                                          u"File:///home/me/a.html"_s}));
        QCOMPARE(rows.at(0).title, u"Menu A"_s);
        // A bookmark without a title of its own takes the page's.
        QCOMPARE(rows.at(4).title, u"Unfiled page"_s);
        // The user's file is read through a copy and left as it was.
        QFile after(places);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        // Not a database at all: nothing, no failure.
        const QString junk = home.writeFile(u"junk.sqlite"_s, QByteArray(3000, 'x'));
        QVERIFY(pw::client::firefoxbookmarks::read(junk).isEmpty());
    }

    void sourcesInOrderWithoutLocalFiles()
    {
        pwtest::TestHome home;
        const QString config = home.path(u"userconfig"_s);
        const QString user = home.path(u"userhome"_s);
        home.writeFile(u"userconfig/chromium/Profile 2/Bookmarks"_s, chromiumFile(u"P2"_s));
        home.writeFile(u"userconfig/chromium/Default/Bookmarks"_s, chromiumFile(u"Default"_s));
        home.writeFile(u"userconfig/google-chrome/Default/Bookmarks"_s, chromiumFile(u"Chrome"_s));
        QDir().mkpath(user + u"/.mozilla/firefox/abc.default"_s);
        writePlaces(user + u"/.mozilla/firefox/abc.default/places.sqlite"_s);
        const QString file = home.writeFile(u"export.html"_s, exportedFile());

        pw::client::BookmarkSources sources{true, true, file, user, config};
        const QList<Bookmark> rows = pw::client::collectBookmarks(sources);
        for (const Bookmark &row : rows)
            QVERIFY2(!row.url.contains(u"file://"_s, Qt::CaseInsensitive), qPrintable(row.url));
        QStringList titles;
        for (const Bookmark &row : rows)
            titles.append(row.title);
        // Chromium's profiles (Default first), then Chrome, then Firefox, then the file.
        QCOMPARE(titles.indexOf(u"Default bar one"_s), 0);
        QCOMPARE(titles.indexOf(u"P2 bar one"_s), 5);
        QCOMPARE(titles.indexOf(u"Chrome bar one"_s), 10);
        QCOMPARE(titles.indexOf(u"Menu A"_s), 15);
        QCOMPARE(titles.indexOf(u"First"_s), 20);
        QCOMPARE(rows.size(), 27);

        sources.chromium = false;
        sources.firefox = false;
        sources.bookmarkFile = home.path(u"missing.html"_s);
        QVERIFY(pw::client::collectBookmarks(sources).isEmpty());
    }

    void wizardAsksForTheSecondOfTwoEqualUrls()
    {
        Fixture f;
        const QString file =
            f.client.home.writeFile(u"dups.html"_s, "<DL><p>\n<DT><A HREF=\"https://same.example/\">One</A>\n"
                                                    "<HR>\n<DT><A HREF=\"https://SAME.example/\">Two</A>\n"
                                                    "<DT><A HREF=\"https://other.example/\">Three</A>\n</DL>\n");
        pw::client::Tbookmarks *wizard = f.openWizard();
        QVERIFY(wizard && wizard->isVisible());
        QCOMPARE(wizard->windowTitle(), u"Import Bookmark Wizard"_s);

        wizard->nextFromBrowsers();
        QCOMPARE(Prompt::shown(), QStringList{u"You must select at least one web browser to continue."_s});
        Prompt::clearShown();
        wizard->findChild<QCheckBox *>(u"bookmarkfile"_s)->setChecked(true);
        wizard->findChild<QLineEdit *>(u"bookmarkpath"_s)->setText(file);
        wizard->nextFromBrowsers();
        QCOMPARE(wizard->page(), 2);
        auto *view = wizard->findChild<QTreeWidget *>(u"bookview"_s);
        QCOMPARE(view->topLevelItemCount(), 4);
        // The separator shows, but cannot be ticked.
        QCOMPARE(view->topLevelItem(1)->text(0), u"-"_s);
        QVERIFY(!(view->topLevelItem(1)->flags() & Qt::ItemIsUserCheckable));

        wizard->nextFromBookmarks();
        QCOMPARE(Prompt::shown(), QStringList{u"You must select at least one URL to continue."_s});
        Prompt::clearShown();
        wizard->selectAll();
        QCOMPARE(view->topLevelItem(1)->checkState(0), Qt::Unchecked);
        wizard->nextFromBookmarks();
        QCOMPARE(wizard->page(), 3);
        QCOMPARE(wizard->findChild<QTreeWidget *>(u"urlselected"_s)->topLevelItemCount(), 3);

        // "No" stops at the second; the first stays appended and the wizard stays open.
        Prompt::setNextAnswer(Prompt::Answer::No);
        wizard->save();
        QCOMPARE(Prompt::shown(), QStringList{u"URL \"https://SAME.example/\" already exists in the current URL "
                                              "List. Ignore and continue?"_s});
        QCOMPARE(f.editor->entries().size(), 1);
        QVERIFY(f.editor->Modified);
        QVERIFY(wizard->isVisible());
        QCOMPARE(wizard->page(), 3);

        // Back, the ticks are still there; "Yes" skips the duplicate and goes on.
        wizard->back();
        QCOMPARE(view->topLevelItem(0)->checkState(0), Qt::Checked);
        view->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        wizard->nextFromBookmarks();
        Prompt::clearShown();
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        QPointer<pw::client::Tbookmarks> alive(wizard);
        wizard->save();
        QCOMPARE(Prompt::shown().size(), 1);
        QTRY_VERIFY(!alive);
        const QList<pw::UrlEntry> entries = f.editor->entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(1)[pw::UrlEntry::Url], u"https://other.example/"_s);
        QCOMPARE(entries.at(1)[pw::UrlEntry::Description], u"Three"_s);
        QCOMPARE(entries.at(1)[pw::UrlEntry::Highlighting], u"TRUE"_s);
        QCOMPARE(entries.at(1)[pw::UrlEntry::LastModified], u"*"_s);
    }

    void nothingFound()
    {
        Fixture f;
        pw::client::Tbookmarks *wizard = f.openWizard();
        wizard->findChild<QCheckBox *>(u"chromium"_s)->setChecked(true);
        wizard->findChild<QCheckBox *>(u"firefox"_s)->setChecked(true);
        wizard->nextFromBrowsers();
        QCOMPARE(Prompt::shown(), QStringList{u"No bookmarks could be retrieved from the selected browsers."_s});
        QCOMPARE(wizard->page(), 1);
        wizard->reject();
        QVERIFY(!f.editor->Modified);
    }
};

QTEST_MAIN(TestBookmarkImport)
#include "tst_bookmarkimport.moc"
