// The Setup dialog's rules without the dialog: the checked save into a real settings file,
// and the rules of the schedule, report and shortcut lists.
#include "support/testhome.h"

#include "client/core/clientmessages.h"

#include "client/core/setuplists.h"
#include "client/core/setupsave.h"
#include "client/core/setuptexts.h"
#include "store/passwordcipher.h"
#include "store/paths.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using pw::client::qs;
using namespace pw::client;

namespace {

QString stored(const QString &key)
{
    auto store = pw::paths::openSettings();
    return store->value(key).toString();
}

bool hasStored(const QString &key)
{
    auto store = pw::paths::openSettings();
    return store->contains(key);
}

// Values that pass every check.
pw::Settings validValues()
{
    pw::Settings s;
    s.useragent = u"Agent/1"_s;
    return s;
}

using Edit = std::function<void(pw::Settings &)>;

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestSetupRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveChecks_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("message");       // empty: saved
        QTest::addColumn<QString>("writtenBefore"); // a value the save reached before the check
        QTest::addColumn<QString>("notWritten");    // a value after the check

        const QString font = u"Defaults/Title Font"_s;
        const QString agent = u"Defaults/User Agent"_s;
        const QString schedule = u"Schedule/Count"_s;

        QTest::newRow("all valid") << Edit([](pw::Settings &) {}) << QString() << agent << QString();
        QTest::newRow("dial-up without entry") << Edit([](pw::Settings &s) {
            s.enabledun = true;
            s.pbookIndex = -1;
        }) << qs(text::kDunNoEntry) << u"Defaults/Default URL"_s
                                               << font;
        QTest::newRow("dial-up without password") << Edit([](pw::Settings &s) {
            s.enabledun = true;
            s.pbookIndex = 1;
            s.dunuser = u"me"_s;
        }) << qs(text::kDunNoCredentials) << u"Defaults/DUN-Index"_s
                                                  << u"Defaults/DUN-User"_s;
        QTest::newRow("dial-up retries empty") << Edit([](pw::Settings &s) {
            s.enabledun = true;
            s.pbookIndex = 0;
            s.dunuser = u"me"_s;
            s.dunpass = u"secret"_s;
            s.busyretries = u" "_s;
        }) << qs(text::kDunNoRetries) << u"Defaults/DUN-Password"_s
                                               << u"Defaults/DUN-Retries"_s;
        QTest::newRow("dial-up retries no number") << Edit([](pw::Settings &s) {
            s.enabledun = true;
            s.pbookIndex = 0;
            s.dunuser = u"me"_s;
            s.dunpass = u"secret"_s;
            s.busyretries = u"five"_s;
        }) << qs(text::kDunBadRetries) << u"Defaults/DUN-User"_s
                                                   << u"Defaults/DUN"_s;
        const auto mail = [](const QString &server, const QString &from, const QString &to) {
            return Edit([=](pw::Settings &s) {
                s.reportscapability = true;
                s.emailreports = true;
                s.smtpserver = server;
                s.origmail = from;
                s.sendmail = to;
            });
        };
        QTest::newRow("no SMTP server") << mail(u""_s, u"a@b"_s, u"c@d"_s) << qs(text::kNoSmtpServer)
                                        << u"Defaults/Reporting"_s << u"Defaults/SMTP Server"_s;
        QTest::newRow("no from address") << mail(u"smtp"_s, u""_s, u"c@d"_s) << qs(text::kNoFromAddress) << font
                                         << u"Defaults/Mail-Originator"_s;
        QTest::newRow("from without @") << mail(u"smtp"_s, u"ab"_s, u"c@d"_s) << qs(text::kBadFromAddress) << font
                                        << u"Defaults/Mail-Receipt"_s;
        QTest::newRow("from with a blank") << mail(u"smtp"_s, u"a @b"_s, u"c@d"_s) << qs(text::kBadFromAddress) << font
                                           << u"Defaults/E-Mail Reports"_s;
        QTest::newRow("no receipt address")
            << mail(u"smtp"_s, u"a@b"_s, u""_s) << qs(text::kNoReceiptAddress) << font << u"Defaults/Mail-Originator"_s;
        QTest::newRow("receipt without @")
            << mail(u"smtp"_s, u"a@b"_s, u"cd"_s) << qs(text::kBadReceiptAddress) << font << u"Defaults/UseProxy"_s;
        QTest::newRow("mail fine") << mail(u"smtp"_s, u"a@b"_s, u"c@d"_s) << QString() << u"Defaults/Mail-Receipt"_s
                                   << QString();
        const auto proxy = [](const QString &port, const QString &server) {
            return Edit([=](pw::Settings &s) {
                s.useproxy = true;
                s.proxyport = port;
                s.proxyserver = server;
            });
        };
        QTest::newRow("proxy port 0") << proxy(u"0"_s, u"proxy"_s) << qs(text::kBadProxyPort) << u"Defaults/UseProxy"_s
                                      << u"Defaults/Proxy Port"_s;
        QTest::newRow("proxy port above 65535")
            << proxy(u"65536"_s, u"proxy"_s) << qs(text::kBadProxyPort) << font << agent;
        QTest::newRow("proxy port no number")
            << proxy(u"http"_s, u"proxy"_s) << qs(text::kBadProxyPort) << font << agent;
        QTest::newRow("proxy server blank") << proxy(u"3128"_s, u"  "_s) << qs(text::kBadProxyServer)
                                            << u"Defaults/Proxy Port"_s << u"Defaults/Proxy Server"_s;
        QTest::newRow("proxy port 0 while off")
            << Edit([](pw::Settings &s) { s.proxyport = u"0"_s; }) << QString() << agent << u"Defaults/Proxy Port"_s;
        const auto limit = [](QString pw::Settings::*field, const QString &value) {
            return Edit([=](pw::Settings &s) { s.*field = value; });
        };
        QTest::newRow("HTTP timeout -1") << limit(&pw::Settings::httptimeout, u"-1"_s) << qs(text::kBadHttpTimeout)
                                         << agent << u"Defaults/HTTPTimeout"_s;
        QTest::newRow("slow timeout x") << limit(&pw::Settings::slowtimeout, u"x"_s) << qs(text::kBadSlowTimeout)
                                        << u"Defaults/HTTPTimeout"_s << u"Defaults/SlowTimeout"_s;
        QTest::newRow("byte threshold empty")
            << limit(&pw::Settings::bytethresh, QString()) << qs(text::kBadByteThreshold) << u"Defaults/SlowTimeout"_s
            << u"Defaults/ByteThresh"_s;
        QTest::newRow("size protection x") << limit(&pw::Settings::sizeprot, u"x"_s) << qs(text::kBadSizeProtection)
                                           << u"Defaults/ByteThresh"_s << u"Defaults/SizeProt"_s;
        QTest::newRow("size protection 0") << limit(&pw::Settings::sizeprot, u"0"_s) << qs(text::kSizeProtectionRange)
                                           << u"Defaults/ByteThresh"_s << u"Defaults/Sound Effect"_s;
        QTest::newRow("size protection 101")
            << limit(&pw::Settings::sizeprot, u"101"_s) << qs(text::kSizeProtectionRange) << agent << schedule;
        QTest::newRow("size protection 1")
            << limit(&pw::Settings::sizeprot, u"1"_s) << QString() << schedule << QString();
        QTest::newRow("size protection 100")
            << limit(&pw::Settings::sizeprot, u"100"_s) << QString() << schedule << QString();
    }

    void saveChecks()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, message);
        QFETCH(QString, writtenBefore);
        QFETCH(QString, notWritten);
        pwtest::TestHome home;
        pw::Settings values = validValues();
        edit(values);
        auto store = pw::paths::openSettings();
        const auto failure = saveSetup(*store, values);
        QCOMPARE(failure.value_or(QString()), message);
        QVERIFY2(hasStored(writtenBefore), qPrintable(writtenBefore));
        if (!notWritten.isEmpty())
            QVERIFY2(!hasStored(notWritten), qPrintable(notWritten));
    }

    void savedForms()
    {
        pwtest::TestHome home;
        pw::Settings s = validValues();
        s.defaulturl = u"http://"_s;
        s.httptimeout = u" 090 "_s;
        s.useproxy = true;
        s.proxyport = u"+3128"_s;
        s.proxyserver = u"  proxy.example  "_s;
        s.proxypass = u"pass"_s;
        s.enabledun = true;
        s.pbookIndex = 2;
        s.dunuser = u"me"_s;
        s.dunpass = u"secret"_s;
        s.busyretries = u"07"_s;
        s.useeffect = false;
        s.soundeffect = u"/sounds/new.wav"_s;
        s.urlshortcuts = {{u"Qt"_s, u"https://qt.io/"_s}};
        s.schedview = {{u"3/7/2026 9:05 PM"_s, u"News"_s, u"*"_s}};
        s.reportscapability = true;
        s.reportlist = {u"News"_s};
        auto store = pw::paths::openSettings();
        QVERIFY(!saveSetup(*store, s));

        QCOMPARE(stored(u"Defaults/Default URL"_s), QString::fromLatin1(pw::kDefaultHomePage));
        QCOMPARE(stored(u"Defaults/HTTPTimeout"_s), u"90"_s);
        QCOMPARE(stored(u"Defaults/Proxy Port"_s), u"3128"_s);
        QCOMPARE(stored(u"Defaults/Proxy Server"_s), u"proxy.example"_s);
        QCOMPARE(pw::PasswordCipher::decipher(stored(u"Defaults/Proxy Pass"_s)).value_or(QString()), u"pass"_s);
        QCOMPARE(stored(u"Defaults/DUN"_s), u"On"_s);
        QCOMPARE(stored(u"Defaults/DUN-Index"_s), u"2"_s);
        QCOMPARE(stored(u"Defaults/DUN-Retries"_s), u"7"_s);
        QCOMPARE(pw::PasswordCipher::decipher(stored(u"Defaults/DUN-Password"_s)).value_or(QString()), u"secret"_s);
        QCOMPARE(stored(u"Defaults/Sound Effect"_s), u"Off"_s);
        QVERIFY(!hasStored(u"Defaults/Sound File"_s));
        QCOMPARE(stored(u"Shortcuts/0"_s), u"Qt&&&https://qt.io/"_s);
        QCOMPARE(stored(u"Schedule/0 WebBox"_s), u"News"_s);
        QCOMPARE(stored(u"Reports/0"_s), u"News"_s);
        QCOMPARE(stored(u"Defaults/Threads"_s), u"10"_s);
    }

    void addTime_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("amPm");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("time");    // the row's Date/Time, or
        QTest::addColumn<QString>("message"); // the refusal
        // now: 3/7/2026 3:00:40 PM; an entry "3/8/2026 9:00 AM" for News exists
        QTest::newRow("earlier today: tomorrow")
            << u"9"_s << u"00"_s << u"AM"_s << u"Weather"_s << u"3/8/2026 9:00 AM"_s << QString();
        QTest::newRow("the current minute: today")
            << u"3"_s << u"00"_s << u"PM"_s << u"News"_s << u"3/7/2026 3:00 PM"_s << QString();
        QTest::newRow("one-digit minute, two stored")
            << u"3"_s << u"5"_s << u"PM"_s << u"News"_s << u"3/7/2026 3:05 PM"_s << QString();
        QTest::newRow("same time, same list")
            << u"9"_s << u"00"_s << u"AM"_s << u"News"_s << QString() << qs(text::kScheduleTwice);
        QTest::newRow("no hour") << QString() << u"00"_s << u"AM"_s << u"News"_s << QString()
                                 << qs(text::kNoHourOrMinute);
        QTest::newRow("no minute") << u"9"_s << u" "_s << u"AM"_s << u"News"_s << QString()
                                   << qs(text::kNoHourOrMinute);
        QTest::newRow("minute no number")
            << u"9"_s << u"ab"_s << u"AM"_s << u"News"_s << QString() << qs(text::kBadMinute);
        QTest::newRow("minute 75") << u"9"_s << u"75"_s << u"AM"_s << u"News"_s << QString() << qs(text::kBadMinute);
        QTest::newRow("no list") << u"9"_s << u"00"_s << u"AM"_s << QString() << QString()
                                 << qs(text::kNoWebBoxToSchedule);
    }

    void addTime()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, amPm);
        QFETCH(QString, target);
        QFETCH(QString, time);
        QFETCH(QString, message);
        const QDateTime now(QDate(2026, 3, 7), QTime(15, 0, 40));
        const QList<pw::ScheduleRow> existing{{u"3/8/2026 9:00 AM"_s, u"News"_s, u"*"_s}};
        const auto added = setuplists::addTime(hour, minute, amPm, target, now, existing);
        QCOMPARE(added.error, message);
        QCOMPARE(added.row.has_value(), !time.isEmpty());
        if (added.row) {
            QCOMPARE(added.row->time, time);
            QCOMPARE(added.row->webBox, target);
            QCOMPARE(added.row->lastRun, u"*"_s);
        }
    }

    void interval_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("1") << u"1"_s << QString();
        QTest::newRow("1000") << u"1000"_s << QString();
        QTest::newRow("0") << u"0"_s << qs(text::kBadInterval);
        QTest::newRow("-5") << u"-5"_s << qs(text::kBadInterval);
        QTest::newRow("text") << u"ten"_s << qs(text::kBadInterval);
        QTest::newRow("1.5") << u"1.5"_s << qs(text::kBadInterval);
        QTest::newRow("1001") << u"1001"_s << qs(text::kIntervalTooLarge);
    }

    void interval()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QCOMPARE(setuplists::checkInterval(text).value_or(QString()), message);
    }

    void intervalRow()
    {
        const auto row = setuplists::addInterval(600, u"News"_s, QDateTime(QDate(2026, 3, 7), QTime(20, 0, 12)));
        QCOMPARE(row.time, u"3/8/2026 6:00 AM"_s);
        QCOMPARE(row.webBox, u"News 600 Minute Interval"_s);
        QCOMPARE(row.lastRun, u"*"_s);
    }

    void removeKeysTakesTheFirstRowOfEach()
    {
        const pw::ScheduleRow a{u"3/7/2026 9:00 AM"_s, u"News 5 Minute Interval"_s, u"*"_s};
        const pw::ScheduleRow b{u"3/7/2026 9:00 AM"_s, u"Weather"_s, u"*"_s};
        QList<pw::ScheduleRow> rows{a, b, a};
        setuplists::removeScheduleKeys(rows, {setuplists::scheduleKey(a)});
        QCOMPARE(rows, (QList<pw::ScheduleRow>{b, a}));
    }

    void sort_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("order"); // the rows' WebBox texts
        QTest::newRow("Date/Time, latest first") << 0 << QStringList{u"c"_s, u"B"_s, u"a"_s, u"d"_s};
        QTest::newRow("WebBox, ignoring case") << 1 << QStringList{u"a"_s, u"B"_s, u"c"_s, u"d"_s};
        // "*" equals anything, so a stable sort leaves it where the others let it stay.
        QTest::newRow("Last Run, latest first") << 2 << QStringList{u"B"_s, u"a"_s, u"c"_s, u"d"_s};
    }

    void sort()
    {
        QFETCH(int, column);
        QFETCH(QStringList, order);
        QList<pw::ScheduleRow> rows{{u"3/7/2026 9:00 AM"_s, u"a"_s, u"3/6/2026 9:00 AM"_s},
                                    {u"3/8/2026 9:00 AM"_s, u"B"_s, u"3/7/2026 9:00 AM"_s},
                                    {u"3/8/2026 11:00 PM"_s, u"c"_s, u"*"_s},
                                    {u"3/6/2026 9:00 AM"_s, u"d"_s, u"3/1/2026 9:00 AM"_s}};
        setuplists::sortSchedule(rows, static_cast<setuplists::ScheduleColumn>(column));
        QStringList got;
        for (const auto &row : rows)
            got << row.webBox;
        QCOMPARE(got, order);
    }

    void reportAdd_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("clears");
        const QString all = QString::fromLatin1(pw::kAllWebBoxes);
        QTest::newRow("first name") << QStringList() << u"News"_s << QString() << false;
        QTest::newRow("All to an empty list") << QStringList() << all << QString() << false;
        QTest::newRow("All after names") << QStringList{u"News"_s} << all << QString() << true;
        QTest::newRow("a name after All") << QStringList{all} << u"News"_s << qs(text::kAllAlreadyReported) << false;
        QTest::newRow("a name twice, other case")
            << QStringList{u"News"_s} << u"news"_s << u"URL List \"news\" is already being reported."_s << false;
        QTest::newRow("nothing chosen") << QStringList() << u"  "_s << qs(text::kNoReportListChosen) << false;
    }

    void reportAdd()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(bool, clears);
        QCOMPARE(setuplists::checkReportAdd(list, name).value_or(QString()), message);
        QCOMPARE(setuplists::addClearsReportList(list, name), clears);
    }

    void shortcut_data()
    {
        QTest::addColumn<int>("existing"); // shortcuts "S0".."Sn-1"
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("modifying"); // -1: Add
        QTest::addColumn<QString>("storedUrl");
        QTest::addColumn<QString>("message");
        QTest::newRow("no scheme gets http://")
            << 0 << u"example.org"_s << u"Ex"_s << -1 << u"http://example.org"_s << QString();
        QTest::newRow("https kept") << 0 << u"https://example.org/"_s << u"Ex"_s << -1 << u"https://example.org/"_s
                                    << QString();
        QTest::newRow("ftp kept") << 0 << u"ftp://example.org/"_s << u"Ex"_s << -1 << u"ftp://example.org/"_s
                                  << QString();
        QTest::newRow("the tenth") << 9 << u"example.org"_s << u"Ex"_s << -1 << u"http://example.org"_s << QString();
        QTest::newRow("the eleventh") << 10 << u"example.org"_s << u"Ex"_s << -1 << QString()
                                      << qs(text::kShortcutLimit);
        QTest::newRow("modify with ten") << 10 << u"example.org"_s << u"S3"_s << 3 << u"http://example.org"_s
                                         << QString();
        QTest::newRow("no URL") << 0 << QString() << u"Ex"_s << -1 << QString() << qs(text::kShortcutNoUrl);
        QTest::newRow("URL with separator, Add")
            << 0 << u"a&&&b"_s << u"Ex"_s << -1 << QString() << qs(text::kShortcutBadUrlAdd);
        QTest::newRow("URL with separator, Modify")
            << 1 << u"a&&&b"_s << u"Ex"_s << 0 << QString() << qs(text::kShortcutBadUrlModify);
        QTest::newRow("no description") << 0 << u"a.org"_s << QString() << -1 << QString()
                                        << qs(text::kShortcutNoDescription);
        QTest::newRow("description with separator")
            << 0 << u"a.org"_s << u"E&&&x"_s << -1 << QString() << qs(text::kShortcutBadDescription);
        QTest::newRow("description taken")
            << 2 << u"a.org"_s << u"S1"_s << -1 << QString() << qs(text::kShortcutDescriptionUsed);
        QTest::newRow("description taken, other case is another")
            << 2 << u"a.org"_s << u"s1"_s << -1 << u"http://a.org"_s << QString();
        QTest::newRow("Modify keeps its own description")
            << 2 << u"a.org"_s << u"S1"_s << 1 << u"http://a.org"_s << QString();
        QTest::newRow("Modify to another's description")
            << 2 << u"a.org"_s << u"S0"_s << 1 << QString() << qs(text::kShortcutDescriptionUsed);
    }

    void shortcut()
    {
        QFETCH(int, existing);
        QFETCH(QString, url);
        QFETCH(QString, description);
        QFETCH(int, modifying);
        QFETCH(QString, storedUrl);
        QFETCH(QString, message);
        QList<pw::UrlShortcut> list;
        for (int i = 0; i < existing; ++i)
            list.append({u"S"_s + QString::number(i), u"http://s%1.example/"_s.arg(i)});
        const auto check = setuplists::checkShortcut(
            list, url, description, modifying < 0 ? setuplists::ShortcutEdit::Add : setuplists::ShortcutEdit::Modify,
            modifying);
        QCOMPARE(check.error.value_or(QString()), message);
        if (!check.error)
            QCOMPARE(check.url, storedUrl);
    }

    void switchem_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("message");
        QTest::newRow("first up: nothing") << 3 << 0 << true << 0 << u"012"_s << QString();
        QTest::newRow("last down: nothing") << 3 << 2 << false << 2 << u"012"_s << QString();
        QTest::newRow("middle up") << 3 << 1 << true << 0 << u"102"_s << QString();
        QTest::newRow("middle down") << 3 << 1 << false << 2 << u"021"_s << QString();
        QTest::newRow("one shortcut") << 1 << 0 << true << -1 << u"0"_s << qs(text::kShortcutNothingToReorder);
        QTest::newRow("none selected") << 3 << -1 << false << -1 << u"012"_s << qs(text::kShortcutNoneToMove);
    }

    void switchem()
    {
        QFETCH(int, count);
        QFETCH(int, selected);
        QFETCH(bool, up);
        QFETCH(int, row);
        QFETCH(QString, order);
        QFETCH(QString, message);
        QList<pw::UrlShortcut> list;
        for (int i = 0; i < count; ++i)
            list.append({QString::number(i), u"u"_s});
        const auto moved = setuplists::switchem(list, selected, up);
        QCOMPARE(moved.error.value_or(QString()), message);
        QCOMPARE(moved.row, row);
        QString got;
        for (const auto &s : list)
            got += s.description;
        QCOMPARE(got, order);
    }
};

QTEST_GUILESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"
