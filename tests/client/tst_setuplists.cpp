// The Setup dialog's three lists offscreen: the schedule with its interval prompt, the
// report list with its "All WebBoxes" rules and the Web Shortcuts, saved to a real INI file.
#include "setupfixture.h"

#include "client/core/clientmessages.h"

#include "client/app/intervalform.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::qs;
using pw::gui::Prompt;
using namespace setuptest;

class TestSetupLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Prompt::clearShown(); }

    void addTime_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<bool>("pm");
        QTest::addColumn<QString>("row");
        QTest::newRow("9:00 AM at 3:00 PM: tomorrow") << u"9"_s << u"00"_s << false << u"3/8/2026 9:00 AM | News | *"_s;
        QTest::newRow("the current minute: today") << u"3"_s << u"00"_s << true << u"3/7/2026 3:00 PM | News | *"_s;
        QTest::newRow("a typed minute") << u"11"_s << u"7"_s << true << u"3/7/2026 11:07 PM | News | *"_s;
    }

    void addTime()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(bool, pm);
        QFETCH(QString, row);
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(15, 0, 45)));
        SetupFixture f;
        QVERIFY(f.open());
        f.choose(u"hour"_s, hour);
        f.find<QComboBox>(u"minute"_s)->setEditText(minute);
        f.find<QRadioButton>(pm ? u"pm"_s : u"am"_s)->click();
        f.choose(u"availboxes"_s, u"News"_s);
        f.click(u"addtimebtn"_s);
        QVERIFY(Prompt::shown().isEmpty());
        QCOMPARE(f.scheduleTexts(), QStringList{row});
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Schedule/Count"_s), u"1"_s);
        QCOMPARE(stored(u"Schedule/0 Time"_s), row.section(u" | "_s, 0, 0));
        QCOMPARE(stored(u"Schedule/0 WebBox"_s), u"News"_s);
        QCOMPARE(stored(u"Schedule/0 Last Run"_s), u"*"_s);
    }

    void sameTimeForTwoListsButNotTwiceForOne()
    {
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(15, 0)));
        SetupFixture f;
        QVERIFY(f.open());
        f.click(u"addtimebtn"_s);
        QCOMPARE(Prompt::shown().value(0), qs(pw::client::text::kNoHourOrMinute));
        f.choose(u"hour"_s, u"9"_s);
        f.choose(u"minute"_s, u"30"_s);
        f.click(u"addtimebtn"_s);
        QCOMPARE(Prompt::shown().value(1), qs(pw::client::text::kNoWebBoxToSchedule));
        Prompt::clearShown();
        for (const QString &list : {u"News"_s, u"Weather"_s, u"News"_s}) {
            f.choose(u"availboxes"_s, list);
            f.click(u"addtimebtn"_s);
        }
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kScheduleTwice)});
        QCOMPARE(f.scheduleTexts(),
                 (QStringList{u"3/8/2026 9:30 AM | News | *"_s, u"3/8/2026 9:30 AM | Weather | *"_s}));
    }

    void intervalEntries()
    {
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(20, 0, 12)));
        SetupFixture f;
        QVERIFY(f.open());
        f.click(u"addintervalbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoWebBoxToSchedule)});
        Prompt::clearShown();
        f.choose(u"availboxes"_s, u"All WebBoxes"_s);
        auto *prompt = f.find<pw::client::Tintervalform>(u"intervalform"_s);
        QVERIFY(prompt);
        QCOMPARE(prompt->windowTitle(), u"Specify an Interval"_s);
        QVERIFY(prompt->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(prompt->windowFlags() & Qt::WindowCloseButtonHint));
        auto *field = prompt->findChild<QLineEdit *>(u"interval"_s);
        auto *ok = prompt->findChild<QPushButton *>(u"intervalokbtn"_s);

        const QStringList refused{u"0"_s, u"-5"_s, u"x"_s, u"1001"_s};
        f.click(u"addintervalbtn"_s);
        QVERIFY(prompt->isVisible());
        QVERIFY(field->text().isEmpty());
        for (const QString &text : refused) {
            field->setText(text);
            ok->click();
            QVERIFY(prompt->isVisible());
        }
        QCOMPARE(Prompt::shown(),
                 (QStringList{qs(pw::client::text::kBadInterval), qs(pw::client::text::kBadInterval),
                              qs(pw::client::text::kBadInterval), qs(pw::client::text::kIntervalTooLarge)}));
        field->setText(u"600"_s);
        ok->click();
        QVERIFY(!prompt->isVisible());
        // Cancel adds nothing; the same interval again is kept.
        f.click(u"addintervalbtn"_s);
        prompt->findChild<QPushButton *>(u"intervalcancelbtn"_s)->click();
        f.click(u"addintervalbtn"_s);
        QVERIFY(field->text().isEmpty());
        field->setText(u"600"_s);
        ok->click();
        const QString row = u"3/8/2026 6:00 AM | All WebBoxes 600 Minute Interval | *"_s;
        QCOMPARE(f.scheduleTexts(), (QStringList{row, row}));
    }

    void deleteAndSortTheSchedule()
    {
        SetupFixture f;
        {
            auto settings = pw::paths::openSettings();
            pw::settings::writeSchedule(*settings, {{u"3/7/2026 9:00 AM"_s, u"news"_s, u"3/6/2026 9:00 AM"_s},
                                                    {u"3/8/2026 9:00 AM"_s, u"Weather"_s, u"*"_s},
                                                    {u"3/6/2026 9:00 AM"_s, u"All WebBoxes"_s, u"*"_s}});
        }
        QVERIFY(f.open());
        auto *view = f.find<QTreeWidget>(u"schedview"_s);
        QCOMPARE(view->topLevelItemCount(), 3);
        f.click(u"deletetimebtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoScheduleSelected)});

        const auto firstColumn = [&] {
            QStringList texts;
            for (const QString &row : f.scheduleTexts())
                texts << row.section(u" | "_s, 1, 1);
            return texts;
        };
        QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                          QPoint(view->header()->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(firstColumn(), (QStringList{u"All WebBoxes"_s, u"news"_s, u"Weather"_s}));
        QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {},
                          QPoint(view->header()->sectionViewportPosition(0) + 5, 5));
        QCOMPARE(firstColumn(), (QStringList{u"Weather"_s, u"news"_s, u"All WebBoxes"_s}));

        view->topLevelItem(0)->setSelected(true);
        view->topLevelItem(2)->setSelected(true);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(firstColumn(), QStringList{u"news"_s});
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Schedule/Count"_s), u"1"_s);
        QCOMPARE(stored(u"Schedule/0 WebBox"_s), u"news"_s);
    }

    void schedsaveWritesOnlyTheLists()
    {
        pwtest::FixedClock clock(QDateTime(QDate(2026, 3, 7), QTime(15, 0)));
        SetupFixture f;
        QVERIFY(f.open());
        f.type(u"useragent"_s, u"Unsaved/1"_s);
        f.choose(u"hour"_s, u"4"_s);
        f.choose(u"minute"_s, u"15"_s);
        f.find<QRadioButton>(u"pm"_s)->click();
        f.choose(u"availboxes"_s, u"Weather"_s);
        f.click(u"addtimebtn"_s);
        f.click(u"reportscapability"_s);
        f.choose(u"reportbox"_s, u"News"_s);
        f.click(u"addreportbtn"_s);
        f.setup->schedsave();
        QCOMPARE(stored(u"Schedule/0 Time"_s), u"3/7/2026 4:15 PM"_s);
        QCOMPARE(stored(u"Schedule/0 WebBox"_s), u"Weather"_s);
        QCOMPARE(stored(u"Reports/0"_s), u"News"_s);
        QVERIFY(stored(u"Defaults/User Agent"_s).isEmpty());
        QCOMPARE(f.window->clientSettings().settings().schedview.size(), 1);
    }

    void scheduleUpdateReloadsTheOpenDialog()
    {
        SetupFixture f;
        QVERIFY(f.open());
        QTRY_VERIFY(f.server.hasClient());
        {
            // The server moved an entry on and says so.
            auto settings = pw::paths::openSettings();
            pw::settings::writeSchedule(*settings, {{u"3/9/2026 9:00 AM"_s, u"News"_s, u"3/8/2026 9:00 AM"_s}});
        }
        f.server.send({"SCHEDUPDATE"});
        QTRY_COMPARE(f.scheduleTexts(), QStringList{u"3/9/2026 9:00 AM | News | 3/8/2026 9:00 AM"_s});
        QVERIFY(f.setup->isVisible());
    }

    void allWebBoxesStandsAlone_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void allWebBoxesStandsAlone()
    {
        QFETCH(bool, agree);
        SetupFixture f;
        QVERIFY(f.open());
        QVERIFY(!f.find<QPushButton>(u"addreportbtn"_s)->isEnabled());
        f.click(u"reportscapability"_s);
        f.click(u"addreportbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kNoReportListChosen)});
        for (const QString &name : {u"News"_s, u"Weather"_s}) {
            f.choose(u"reportbox"_s, name);
            f.click(u"addreportbtn"_s);
        }
        Prompt::clearShown();
        f.choose(u"reportbox"_s, u"All WebBoxes"_s);
        Prompt::setNextAnswer(agree ? Prompt::Answer::Ok : Prompt::Answer::Cancel);
        f.click(u"addreportbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kClearForAll)});
        if (!agree) {
            QCOMPARE(f.reportList(), (QStringList{u"News"_s, u"Weather"_s}));
            return;
        }
        QCOMPARE(f.reportList(), QStringList{u"All WebBoxes"_s});
        Prompt::clearShown();
        f.choose(u"reportbox"_s, u"News"_s);
        f.click(u"addreportbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kAllAlreadyReported)});
        QCOMPARE(f.reportList(), QStringList{u"All WebBoxes"_s});
        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Defaults/Reporting"_s), u"On"_s);
        QCOMPARE(stored(u"Reports/Count"_s), u"1"_s);
        QCOMPARE(stored(u"Reports/0"_s), u"All WebBoxes"_s);
    }

    void reportListTwiceAndDelete()
    {
        SetupFixture f;
        store(u"Defaults/Reporting"_s, u"On"_s);
        {
            auto settings = pw::paths::openSettings();
            pw::settings::writeList(*settings, u"Reports"_s, {u"News"_s, u"Weather"_s});
        }
        QVERIFY(f.open());
        QCOMPARE(f.reportList(), (QStringList{u"News"_s, u"Weather"_s}));
        f.choose(u"reportbox"_s, u"News"_s);
        f.click(u"addreportbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{u"URL List \"News\" is already being reported."_s});
        f.click(u"deletereportbtn"_s);
        QCOMPARE(Prompt::shown().value(1), qs(pw::client::text::kNoReportItemSelected));
        f.find<QListWidget>(u"reportlist"_s)->item(0)->setSelected(true);
        f.click(u"deletereportbtn"_s);
        QCOMPARE(f.reportList(), QStringList{u"Weather"_s});
    }

    void webShortcuts()
    {
        SetupFixture f;
        {
            auto settings = pw::paths::openSettings();
            QStringList ten;
            for (int i = 0; i < 10; ++i)
                ten << u"Site %1&&&http://s%1.example/"_s.arg(i);
            pw::settings::writeList(*settings, u"Shortcuts"_s, ten);
        }
        QVERIFY(f.open());
        QVERIFY(f.window->findChild<QToolBar *>(u"WebShortcuts"_s)->isVisible());
        f.find<QTabWidget>(u"pages"_s)->setCurrentIndex(4);
        auto *list = f.find<QTreeWidget>(u"urlshortcuts"_s);
        QCOMPARE(list->topLevelItemCount(), 10);
        f.type(u"addurl"_s, u"example.org"_s);
        f.type(u"desctoadd"_s, u"Eleventh"_s);
        f.click(u"addshortcutbtn"_s);
        QCOMPARE(Prompt::shown(), QStringList{qs(pw::client::text::kShortcutLimit)});
        QCOMPARE(list->topLevelItemCount(), 10);

        // Clicking a row copies it into the fields; Modify takes the row's own description.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(3)).center());
        QCOMPARE(f.find<QLineEdit>(u"desctoadd"_s)->text(), u"Site 3"_s);
        QCOMPARE(f.find<QLineEdit>(u"addurl"_s)->text(), u"http://s3.example/"_s);
        f.type(u"addurl"_s, u"https://secure.example/"_s);
        f.click(u"modifyshortcutbtn"_s);
        QCOMPARE(Prompt::shown().size(), 1);
        QCOMPARE(list->topLevelItem(3)->text(1), u"https://secure.example/"_s);

        list->setCurrentItem(list->topLevelItem(9));
        f.click(u"deleteshortcutbtn"_s);
        f.type(u"addurl"_s, u"www.example.org/news"_s);
        f.type(u"desctoadd"_s, u"News"_s);
        f.click(u"addshortcutbtn"_s);
        QCOMPARE(Prompt::shown().size(), 1);
        QCOMPARE(list->topLevelItem(9)->text(1), u"http://www.example.org/news"_s);

        // Up at the top does nothing; Down moves the selection with the shortcut.
        list->setCurrentItem(list->topLevelItem(0));
        f.click(u"upbtn"_s);
        QCOMPARE(list->topLevelItem(0)->text(0), u"Site 0"_s);
        f.click(u"downbtn"_s);
        QCOMPARE(list->topLevelItem(1)->text(0), u"Site 0"_s);
        QCOMPARE(list->currentItem(), list->topLevelItem(1));
        QVERIFY(Prompt::shown().size() == 1);

        f.click(u"okbtn"_s);
        QCOMPARE(stored(u"Shortcuts/Count"_s), u"10"_s);
        QCOMPARE(stored(u"Shortcuts/0"_s), u"Site 1&&&http://s1.example/"_s);
        QCOMPARE(stored(u"Shortcuts/3"_s), u"Site 3&&&https://secure.example/"_s);
        QCOMPARE(stored(u"Shortcuts/9"_s), u"News&&&http://www.example.org/news"_s);

        // Shortcuts off: the page's controls go grey, and the bar goes after the save.
        f.window->findChild<QAction *>(u"setupbtn"_s)->trigger();
        f.click(u"shortcutenabled"_s);
        QVERIFY(!f.find<QTreeWidget>(u"urlshortcuts"_s)->isEnabled());
        f.click(u"okbtn"_s);
        QVERIFY(!f.window->findChild<QToolBar *>(u"WebShortcuts"_s)->isVisible());
    }
};

QTEST_MAIN(TestSetupLists)
#include "tst_setuplists.moc"
