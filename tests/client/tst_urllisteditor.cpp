// The URL List editor, the URL entry dialog and the name prompt offscreen, on real
// files, with a (test-played) server on the link.
#include "support/fakelinkserver.h"
#include "support/httpserver.h"
#include "support/testhome.h"
#include "support/urlentries.h"

#include "clienthome.h"

#include "client/app/framechooser.h"
#include "client/app/listnameprompt.h"
#include "client/app/mainwindow.h"
#include "client/app/urlentrydialog.h"
#include "client/app/urllisteditor.h"
#include "client/app/urltree.h"
#include "gui/colourpicker.h"
#include "gui/prompt.h"
#include "store/passwordcipher.h"
#include "store/paths.h"
#include "store/urllist.h"
#include "store/webboxeslist.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <deque>
#include <optional>

using namespace Qt::StringLiterals;
using pw::UrlEntry;
using pw::client::Tdialogurladd;
using pw::client::Turladdform;
using pw::gui::Prompt;

namespace {

// The client started against a test-played server, with some URL Lists.
struct Fixture
{
    Fixture()
        : client(server.port())
    {
        client.addLists({u"Prices"_s});
        client.writeIndex("Pagewarden\r\n\tFolder\r\n\tPrices\r\n");
        window = std::make_unique<pw::client::MainWindow>();
        if (!window->forminit())
            qFatal("the client did not start");
    }
    ~Fixture()
    {
        if (Turladdform *editor = window->listEditor()) {
            editor->Modified = false;
            editor->close();
        }
    }

    pwtest::FakeLinkServer server;
    pwtest::ClientHome client;
    std::unique_ptr<pw::client::MainWindow> window;
};

// Answers the name prompt whenever it shows: a name, or nothing for Cancel.
class NamePromptDriver : public QObject
{
public:
    explicit NamePromptDriver(std::deque<std::optional<QString>> answers)
        : m_answers(std::move(answers))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *prompt = qobject_cast<pw::client::Tdialogfrm *>(QApplication::activeModalWidget());
            if (!prompt || !prompt->isVisible() || m_answers.empty())
                return;
            const std::optional<QString> answer = m_answers.front();
            m_answers.pop_front();
            ++shown;
            if (!answer) {
                prompt->reject();
                return;
            }
            prompt->nameField()->setText(*answer);
            prompt->accept();
        });
        m_timer.start();
    }
    int shown = 0;

private:
    std::deque<std::optional<QString>> m_answers;
    QTimer m_timer;
};

Tdialogurladd *entryDialog(Turladdform *editor)
{
    return editor->findChild<Tdialogurladd *>();
}

template <typename T> T *control(QWidget *dialog, const QString &name)
{
    T *found = dialog->findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// Types an entry into the dialog and presses OK.
void typeEntry(Tdialogurladd *dialog, const QString &description, const QString &url)
{
    control<QLineEdit>(dialog, u"description"_s)->setText(description);
    control<QLineEdit>(dialog, u"urltoadd"_s)->setText(url);
    dialog->okbtnClick();
}

void selectRows(Turladdform *editor, const QList<int> &rows)
{
    editor->urlviewer()->clearSelection();
    for (int row : rows)
        editor->urlviewer()->topLevelItem(row)->setSelected(true);
}

QStringList column(Turladdform *editor, int column)
{
    QStringList texts;
    for (int i = 0; i < editor->urlviewer()->topLevelItemCount(); ++i)
        texts.append(editor->urlviewer()->topLevelItem(i)->text(column));
    return texts;
}

} // namespace

class TestUrlListEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addEditAndRefuseDuplicates()
    {
        Fixture f;
        {
            auto store = pw::paths::openSettings();
            store->setValue(u"Defaults/HTTPTimeout"_s, u"90"_s);
        }
        f.window->clientSettings().load();
        Turladdform *editor = f.window->openListEditor({});
        QCOMPARE(editor->windowTitle(), u"Add URL List: [Untitled]"_s);
        QVERIFY(f.window->editorOpen());

        editor->addurl();
        Tdialogurladd *dialog = entryDialog(editor);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(control<QLineEdit>(dialog, u"urltoadd"_s)->text(), u"http://"_s);
        QCOMPARE(control<QLineEdit>(dialog, u"delayvalue"_s)->text(), u"90"_s);
        control<QLineEdit>(dialog, u"password"_s)->setText(u" secret "_s);
        typeEntry(dialog, u" Daily "_s, u" http://a.example/news.html "_s);
        QTRY_VERIFY(!entryDialog(editor));
        QVERIFY(editor->Modified);
        const UrlEntry added = editor->entries().first();
        UrlEntry expected = pwtest::urlEntry(u"http://a.example/news.html"_s, u"Daily"_s);
        expected[UrlEntry::Highlighting] = u"TRUE"_s;
        expected[UrlEntry::Delay] = u"90"_s;
        expected[UrlEntry::TimeOut] = u"120"_s;
        expected[UrlEntry::Password] = added[UrlEntry::Password];
        QCOMPARE(added, expected);
        QCOMPARE(pw::PasswordCipher::decipher(added[UrlEntry::Password]), std::optional<QString>(u"secret"_s));

        // The same URL in other letters is a duplicate when adding.
        editor->addurl();
        dialog = entryDialog(editor);
        typeEntry(dialog, u"Again"_s, u"HTTP://A.EXAMPLE/NEWS.HTML"_s);
        QCOMPARE(Prompt::shown(), QStringList{u"This URL already exists in the current URL List."_s});
        QVERIFY(dialog->isVisible());
        typeEntry(dialog, u"Other"_s, u"http://b.example/"_s);
        QTRY_COMPARE(editor->entries().size(), 2);
    }

    void editUpdatesAndEditKeepServerValues()
    {
        Fixture f;
        QList<UrlEntry> stored = {pwtest::urlEntry(u"http://a.example/"_s, u"A"_s),
                                  pwtest::urlEntry(u"http://b.example/"_s, u"B"_s)};
        QVERIFY(pw::writeUrlList(pw::paths::dataDir(), u"Prices"_s, stored));
        Turladdform *editor = f.window->openListEditor(u"prices"_s);
        QCOMPARE(editor->ListName, u"Prices"_s);
        QCOMPARE(editor->windowTitle(), u"Edit URL List: [Prices]"_s);
        QCOMPARE(editor->entries(), stored);

        QTRY_VERIFY(f.server.hasClient());
        f.server.send({"BEGINEDITUPDATE", "PRICES", "HTTP://B.EXAMPLE/", "Sun, 07 Mar 1999 21:05:12 GMT", "1234",
                       "ENDEDITUPDATE"});
        QTRY_COMPARE(editor->entries().at(1)[UrlEntry::Size], u"1234"_s);
        QCOMPARE(editor->entries().at(1)[UrlEntry::LastModified], u"Sun, 07 Mar 1999 21:05:12 GMT"_s);
        QVERIFY(!editor->Modified);
        // Another list's update changes nothing.
        f.server.send({"BEGINEDITUPDATE", "Other", "http://a.example/", "x", "9", "ENDEDITUPDATE"});

        selectRows(editor, {1});
        editor->editurl();
        Tdialogurladd *dialog = entryDialog(editor);
        QCOMPARE(control<QLineEdit>(dialog, u"description"_s)->text(), u"B"_s);
        typeEntry(dialog, u"B renamed"_s, u"http://a.example/"_s); // another entry's URL: allowed
        QTRY_VERIFY(!entryDialog(editor));
        const UrlEntry edited = editor->entries().at(1);
        QCOMPARE(edited[UrlEntry::Url], u"http://a.example/"_s);
        QCOMPARE(edited[UrlEntry::Size], u"1234"_s);
        QCOMPARE(edited[UrlEntry::LastModified], u"Sun, 07 Mar 1999 21:05:12 GMT"_s);
        QCOMPARE(editor->entries().at(0)[UrlEntry::Size], u"*"_s);
    }

    void dialogChecks_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<QString>("message");
        const QString ok = u"5"_s;
        QTest::newRow("no description") << u"  "_s << u"http://a/"_s << ok << ok << ok
                                        << u"You must enter a URL and a description before continuing."_s;
        QTest::newRow("no URL") << u"A"_s << u" "_s << ok << ok << ok
                                << u"You must enter a URL and a description before continuing."_s;
        QTest::newRow("negative delay")
            << u"A"_s << u"http://a/"_s << u"-1"_s << u"x"_s << ok
            << u"You have specified an invalid value in the delay field. Please re-enter."_s;
        QTest::newRow("timeout not a number")
            << u"A"_s << u"http://a/"_s << ok << u"ten"_s << u"1.5"_s
            << u"You have specified an invalid value in the timeout field. Please re-enter."_s;
        QTest::newRow("threshold not whole")
            << u"A"_s << u"http://a/"_s << ok << u"0"_s << u"1.5"_s
            << u"You have specified an invalid value in the size threshold field. Please re-enter."_s;
    }

    void dialogChecks()
    {
        QFETCH(QString, description);
        QFETCH(QString, url);
        QFETCH(QString, delay);
        QFETCH(QString, timeout);
        QFETCH(QString, threshold);
        QFETCH(QString, message);
        Fixture f;
        Turladdform *editor = f.window->openListEditor({});
        editor->addurl();
        Tdialogurladd *dialog = entryDialog(editor);
        control<QLineEdit>(dialog, u"delayvalue"_s)->setText(delay);
        control<QLineEdit>(dialog, u"timeoutvalue"_s)->setText(timeout);
        control<QLineEdit>(dialog, u"sizethreshold"_s)->setText(threshold);
        typeEntry(dialog, description, url);
        QCOMPARE(Prompt::shown(), QStringList{message});
        QVERIFY(dialog->isVisible());
        QVERIFY(editor->entries().isEmpty());
        QVERIFY(!editor->Modified);
    }

    void dialogFillsFromAnEntry()
    {
        Fixture f;
        UrlEntry stored = pwtest::urlEntry(u"http://a.example/"_s, u"A"_s);
        stored[UrlEntry::Delay] = u"soon"_s; // no number: the setting stands in
        stored[UrlEntry::HighlightColor] = u"no colour"_s;
        stored[UrlEntry::KeywordColor] = u"clBlue"_s;
        stored[UrlEntry::Keywording] = u"TRUE"_s;
        stored[UrlEntry::KeywordsToHighlight] = u"price \"new model\""_s;
        stored[UrlEntry::Password] = pw::PasswordCipher::encipher(u"pw"_s);
        QVERIFY(pw::writeUrlList(pw::paths::dataDir(), u"Prices"_s, {stored}));
        Turladdform *editor = f.window->openListEditor(u"Prices"_s);
        selectRows(editor, {0});
        editor->editurl();
        Tdialogurladd *dialog = entryDialog(editor);
        QCOMPARE(control<QLineEdit>(dialog, u"delayvalue"_s)->text(), u"180"_s);
        QCOMPARE(control<QLineEdit>(dialog, u"password"_s)->text(), u"pw"_s);
        QCOMPARE(control<QLineEdit>(dialog, u"password"_s)->echoMode(), QLineEdit::Password);
        control<QCheckBox>(dialog, u"maskpassword"_s)->setChecked(false);
        QCOMPARE(control<QLineEdit>(dialog, u"password"_s)->echoMode(), QLineEdit::Normal);
        QCOMPARE(dialog->changeColour(), (pw::Rgb{0xFF, 0xFF, 0x00}));
        QCOMPARE(dialog->keywordColour(), (pw::Rgb{0x00, 0x00, 0xFF}));
        QVERIFY(control<QLineEdit>(dialog, u"keylist"_s)->isEnabled());

        // Keyword options follow their switch; the change colour follows highlighting.
        control<QCheckBox>(dialog, u"enablekey"_s)->setChecked(false);
        QVERIFY(!control<QLineEdit>(dialog, u"keylist"_s)->isEnabled());
        QVERIFY(!control<QCheckBox>(dialog, u"word"_s)->isEnabled());
        QVERIFY(!control<QPushButton>(dialog, u"keycolorbtn"_s)->isEnabled());
        control<QCheckBox>(dialog, u"highlighter"_s)->setChecked(true);
        QVERIFY(control<QPushButton>(dialog, u"changecolorbtn"_s)->isEnabled());
        pw::gui::ColourPicker::setNextAnswer(QColor(0x12, 0x34, 0x56));
        control<QPushButton>(dialog, u"changecolorbtn"_s)->click();
        pw::gui::ColourPicker::setNextAnswer(std::nullopt); // cancelled: stays
        control<QPushButton>(dialog, u"changecolorbtn"_s)->click();

        dialog->okbtnClick();
        QTRY_VERIFY(!entryDialog(editor));
        const UrlEntry e = editor->entries().first();
        QCOMPARE(e[UrlEntry::Delay], u"180"_s);
        QCOMPARE(e[UrlEntry::HighlightColor], u"$00563412"_s);
        QCOMPARE(e[UrlEntry::KeywordColor], u"clBlue"_s);
        QCOMPARE(e[UrlEntry::Keywording], u"FALSE"_s);
        QCOMPARE(e[UrlEntry::KeywordsToHighlight], u"price \"new model\""_s);
        QCOMPARE(pw::PasswordCipher::decipher(e[UrlEntry::Password]), std::optional<QString>(u"pw"_s));
    }

    void namePrompt_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("saved");
        const QString invalid = u" contains invalid characters. Please re-enter."_s;
        QTest::newRow("trimmed at the first prompt")
            << QStringList{u"  Daily.News  "_s} << QStringList{} << u"Daily.News"_s;
        QTest::newRow("apostrophe, comma, hyphen, underscore")
            << QStringList{u"it's,a-b_c"_s} << QStringList{} << u"it's,a-b_c"_s;
        QTest::newRow("space refused, blanks at a repeated prompt refused")
            << QStringList{u"My News"_s, u" News"_s, u"News"_s}
            << QStringList{u"My News"_s + invalid, u" News"_s + invalid} << u"News"_s;
        QTest::newRow("empty, existing node in other letters, only dots, data file")
            << QStringList{u"  "_s, u"FOLDER"_s, u".."_s, u"index.ctl"_s, u"Fresh"_s}
            << QStringList{u"You must enter a name in this field."_s,
                           u"A WebBox or folder by that name already exists."_s, u".."_s + invalid,
                           u"index.ctl"_s + invalid}
            << u"Fresh"_s;
    }

    void namePrompt()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, messages);
        QFETCH(QString, saved);
        Fixture f;
        f.window->tree()->setCurrentItem(f.window->tree()->findItems(u"Folder"_s, Qt::MatchRecursive).first());
        Turladdform *editor = f.window->openListEditor({});
        editor->appendEntry(pwtest::urlEntry(u"http://a.example/"_s));
        std::deque<std::optional<QString>> queue(answers.begin(), answers.end());
        NamePromptDriver driver(queue);
        QTRY_VERIFY(f.server.hasClient());
        QVERIFY(editor->savelistall());
        QCOMPARE(driver.shown, answers.size());
        QCOMPARE(Prompt::shown(), messages);
        QCOMPARE(editor->ListName, saved);
        QCOMPARE(editor->windowTitle(), u"Edit URL List: ["_s + saved + u"]"_s);
        QVERIFY(!editor->Modified);

        // The file reads back the same; the name is known, the server told, the node added.
        const pw::UrlListRead read =
            pw::readUrlList(pw::paths::urlListFile(pw::paths::dataDir(), saved), pw::ReaderSide::Server);
        QCOMPARE(read.entries, editor->entries());
        QVERIFY(f.window->indexbox().contains(saved));
        QCOMPARE(pw::loadWebBoxesList(*pw::paths::openSettings(), pw::paths::dataDir()).names,
                 (QStringList{u"Prices"_s, saved}));
        QTRY_COMPARE(f.server.received, QList<QByteArray>{"REFRESHLIST"});
        QCOMPARE(pwtest::readAll(pw::paths::treeIndexFile()),
                 "Pagewarden\r\n\tFolder\r\n\t\t" + saved.toUtf8() + "\r\n\tPrices\r\n");
    }

    void cancelledNameKeepsChanges()
    {
        Fixture f;
        Turladdform *editor = f.window->openListEditor({});
        editor->appendEntry(pwtest::urlEntry(u"http://a.example/"_s));
        NamePromptDriver driver({std::nullopt, std::nullopt});
        QVERIFY(!editor->savelistall());
        QVERIFY(editor->Modified);
        QVERIFY(editor->ListName.isEmpty());

        // Closing asks again; Yes leads to the prompt, whose Cancel keeps the editor open.
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        QVERIFY(!editor->close());
        QCOMPARE(driver.shown, 2);
        QCOMPARE(Prompt::shown(), QStringList{u"Do you wish to save changes to this URL List?"_s});
        QVERIFY(editor->isVisible());
        QVERIFY(!editor->CloseAfterSave);
        // No closes without writing.
        Prompt::setNextAnswer(Prompt::Answer::No);
        QVERIFY(editor->close());
        QTRY_VERIFY(!f.window->listEditor());
        QVERIFY(!f.window->editorOpen());
        QCOMPARE(QDir(pw::paths::dataDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{u"Prices"_s});
    }

    void closePromptYesSavesAndCloses()
    {
        Fixture f;
        QVERIFY(pw::writeUrlList(pw::paths::dataDir(), u"Prices"_s, {pwtest::urlEntry(u"http://a.example/"_s)}));
        Turladdform *editor = f.window->openListEditor(u"Prices"_s);
        editor->appendEntry(pwtest::urlEntry(u"http://b.example/"_s));
        Prompt::setNextAnswer(Prompt::Answer::Cancel);
        QVERIFY(!editor->close());
        QVERIFY(editor->isVisible());
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        editor->close();
        QTRY_VERIFY(!f.window->listEditor());
        QCOMPARE(pw::readUrlList(pw::paths::urlListFile(pw::paths::dataDir(), u"Prices"_s), pw::ReaderSide::Server)
                     .entries.size(),
                 2);
        // A saved list of the tree gets no second node.
        QCOMPARE(f.window->tree()->findItems(u"Prices"_s, Qt::MatchRecursive).size(), 1);
    }

    void loadSkipsDeadAndShortRecords()
    {
        Fixture f;
        QByteArray text = pw::formatUrlList(
            u"Prices"_s, {pwtest::urlEntry(u"*"_s, u"Dead"_s), pwtest::urlEntry(u"http://a.example/"_s, u"Live"_s)});
        text += "[ENTRY]\r\nDescription=Short\r\nURL=http://short.example/\r\n";
        f.client.home.writeFile(u"home/webdata/Prices/Prices.lst"_s, text);
        Turladdform *editor = f.window->openListEditor(u"Prices"_s);
        QCOMPARE(column(editor, 0), QStringList{u"Live"_s});
        QVERIFY(editor->savelistall());
        const QByteArray saved = pwtest::readAll(pw::paths::urlListFile(pw::paths::dataDir(), u"Prices"_s));
        QVERIFY(!saved.contains("Dead"));
        QVERIFY(!saved.contains("Short"));
        QVERIFY(saved.contains("Live"));
    }

    void missingListFile()
    {
        Fixture f;
        Turladdform *editor = f.window->openListEditor(u"Prices"_s);
        QCOMPARE(Prompt::shown(), QStringList{u"There was an error while loading Prices."_s});
        QVERIFY(editor->entries().isEmpty());
    }

    void resetAndDeleteSelectedRows()
    {
        Fixture f;
        const QStringList urls = {u"http://a.example/x?y=1"_s, u"https://b.example/"_s, u"http://c.example/"_s};
        QList<UrlEntry> stored;
        const QString folder = pw::paths::urlListFolder(pw::paths::dataDir(), u"Prices"_s);
        for (const QString &url : urls) {
            UrlEntry e = pwtest::urlEntry(url, url.mid(7, 1));
            e[UrlEntry::LastModified] = u"Sun, 07 Mar 1999 21:05:12 GMT"_s;
            e[UrlEntry::Size] = u"10"_s;
            stored.append(e);
            QVERIFY(
                !f.client.home.writeFile(u"home/webdata/Prices/"_s + pw::urlKey(url) + u".tmp"_s, "copy").isEmpty());
        }
        QVERIFY(pw::writeUrlList(pw::paths::dataDir(), u"Prices"_s, stored));
        Turladdform *editor = f.window->openListEditor(u"Prices"_s);

        editor->reseturl();
        QCOMPARE(Prompt::shown(), QStringList{u"You must first select an entry to reset."_s});
        selectRows(editor, {1});
        editor->reseturl();
        QCOMPARE(column(editor, 2),
                 (QStringList{stored[0][UrlEntry::LastModified], u"*"_s, stored[2][UrlEntry::LastModified]}));
        QCOMPARE(column(editor, 3), (QStringList{u"10"_s, u"*"_s, u"10"_s}));
        QVERIFY(!QFileInfo::exists(folder + pw::urlKey(urls[1]) + u".tmp"_s));
        QVERIFY(QFileInfo::exists(folder + pw::urlKey(urls[0]) + u".tmp"_s));
        QVERIFY(editor->Modified);

        selectRows(editor, {0, 2});
        Prompt::clearShown();
        Prompt::setNextAnswer(Prompt::Answer::No);
        editor->deleteurl();
        QCOMPARE(Prompt::shown(), QStringList{u"Are you sure you want to delete the selected URL(s) ?"_s});
        QCOMPARE(editor->entries().size(), 3);
        Prompt::setNextAnswer(Prompt::Answer::Yes);
        editor->deleteurl();
        QCOMPARE(column(editor, 1), QStringList{urls[1]});
        QVERIFY(!QFileInfo::exists(folder + pw::urlKey(urls[0]) + u".tmp"_s));
        QVERIFY(!QFileInfo::exists(folder + pw::urlKey(urls[2]) + u".tmp"_s));
    }

    void sorting()
    {
        Fixture f;
        Turladdform *editor = f.window->openListEditor({});
        const QList<std::pair<QString, QString>> rows = {
            {u"20"_s, u"http://B/"_s}, {u"3"_s, u"http://a/"_s}, {u"100"_s, u"http://c/"_s}, {u"*"_s, u"http://D/"_s}};
        for (const auto &[size, url] : rows) {
            UrlEntry e = pwtest::urlEntry(url, u"n"_s + size);
            e[UrlEntry::Size] = size;
            editor->appendEntry(e);
        }
        editor->dosizesort();
        QCOMPARE(column(editor, 3), (QStringList{u"*"_s, u"100"_s, u"20"_s, u"3"_s}));
        editor->dourlsort();
        QCOMPARE(column(editor, 1), (QStringList{u"http://a/"_s, u"http://B/"_s, u"http://c/"_s, u"http://D/"_s}));
        editor->sortByDescription();
        QCOMPARE(column(editor, 0), (QStringList{u"n*"_s, u"n100"_s, u"n20"_s, u"n3"_s}));
    }

    void validateAndFrames()
    {
        Fixture f;
        pwtest::ScriptedHttpServer web;
        web.setResponse("/page.html", {200, "OK", {}, "<html><body><p>Hello</p></body></html>"});
        web.setResponse("/framed.html", {200,
                                         "OK",
                                         {},
                                         "<html><frameset><frame src=\"left.html\"><frame SRC='right.html'>"
                                         "</frameset><iframe src=\"/ad/box.html\"></iframe>"
                                         "<a href=\"other.html\">x</a></html>"});
        web.setResponse("/gone.html", {404, "Not Found", {}, "no"});
        Turladdform *editor = f.window->openListEditor({});
        editor->addurl();
        Tdialogurladd *dialog = entryDialog(editor);
        QLineEdit *url = control<QLineEdit>(dialog, u"urltoadd"_s);

        dialog->validatebtnClick();
        QCOMPARE(Prompt::shown().last(), u"You must first enter a URL to validate."_s);
        // Typed without a scheme: "http://" goes in front before the fetch.
        url->setText(web.url(u"/page.html"_s).mid(7));
        dialog->validatebtnClick();
        QCOMPARE(url->text(), web.url(u"/page.html"_s));
        QCOMPARE(Prompt::shown().last(), u"URL has been validated. You may now save."_s);
        url->setText(web.url(u"/gone.html"_s));
        dialog->validatebtnClick();
        QCOMPARE(Prompt::shown().last(),
                 u"URL could not be validated. Please re-enter and try again: \"404: Not Found.\""_s);
        QVERIFY(control<QPushButton>(dialog, u"validatebtn"_s)->isEnabled());
        QVERIFY(!control<QPushButton>(dialog, u"abortbtn"_s)->isEnabled());

        // Frames of a frame set and an inline frame, in order; ordinary links are not frames.
        url->setText(web.url(u"/framed.html"_s));
        dialog->framebtnClick();
        QCOMPARE(Prompt::shown().last(),
                 u"Now retrieving referenced URL(s) for \""_s + web.url(u"/framed.html"_s) + u"\""_s);
        auto *chooser = dialog->findChild<pw::client::Tselurlform *>();
        QVERIFY(chooser && chooser->isVisible());
        QStringList frames;
        for (int i = 0; i < chooser->list()->count(); ++i)
            frames.append(chooser->list()->item(i)->text());
        QCOMPARE(frames,
                 (QStringList{web.url(u"/left.html"_s), web.url(u"/right.html"_s), web.url(u"/ad/box.html"_s)}));
        chooser->okbtnClick();
        QCOMPARE(Prompt::shown().last(), u"You must select a URL before continuing."_s);
        chooser->list()->setCurrentRow(1);
        chooser->okbtnClick();
        QCOMPARE(url->text(), web.url(u"/right.html"_s));

        url->setText(web.url(u"/page.html"_s));
        dialog->framebtnClick();
        QCOMPARE(Prompt::shown().last(), u"No frames were found within the specified URL."_s);
        QCOMPARE(dialog->findChild<QStatusBar *>()->currentMessage(), QString());
        // Validation is advice only: the entry is stored as typed.
        typeEntry(dialog, u"Page"_s, url->text());
        QTRY_COMPARE(editor->entries().size(), 1);
    }

    void abortAStalledValidation()
    {
        Fixture f;
        pwtest::ScriptedHttpServer web;
        pwtest::ScriptedHttpServer::Response stalled{200, "OK", {}, QByteArray(4000, 'x')};
        stalled.stall = true;
        web.setResponse("/slow.html", stalled);
        Turladdform *editor = f.window->openListEditor({});
        editor->addurl();
        Tdialogurladd *dialog = entryDialog(editor);
        control<QLineEdit>(dialog, u"urltoadd"_s)->setText(web.url(u"/slow.html"_s));
        QPushButton *abort = control<QPushButton>(dialog, u"abortbtn"_s);
        QTimer::singleShot(300, abort, [abort] {
            QVERIFY(abort->isEnabled());
            abort->click();
        });
        dialog->validatebtnClick();
        QCOMPARE(Prompt::shown().last(),
                 u"URL could not be validated. Please re-enter and try again: \"404: Connection aborted.\""_s);
        QVERIFY(!abort->isEnabled());
        QVERIFY(control<QPushButton>(dialog, u"okbtn"_s)->isEnabled());
    }

    void editCommandNeedsAUrlList()
    {
        Fixture f;
        f.window->tree()->setCurrentItem(nullptr);
        f.window->editSelectedList();
        f.window->tree()->setCurrentItem(f.window->tree()->findItems(u"Folder"_s, Qt::MatchRecursive).first());
        f.window->editSelectedList();
        QCOMPARE(Prompt::shown(), (QStringList{u"You must first select a URL List to edit."_s,
                                               u"You must first select a URL List to edit."_s}));
        QVERIFY(!f.window->listEditor());
    }
};

QTEST_MAIN(TestUrlListEditor)
#include "tst_urllisteditor.moc"
