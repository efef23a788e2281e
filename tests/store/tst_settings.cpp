#include "support/testhome.h"

#include "store/dialup.h"
#include "store/passwordcipher.h"
#include "store/paths.h"
#include "store/settings.h"

#include <QSettings>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

class FakePhoneBook final : public pw::PhoneBook
{
public:
    QStringList names;
    QStringList entries(QString *error) const override
    {
        if (error)
            error->clear();
        return names;
    }
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<pwtest::TestHome> m_home;

    void setDefaults(const QList<std::pair<QString, QString>> &values)
    {
        auto store = pw::paths::openSettings();
        store->beginGroup(u"Defaults"_s);
        for (const auto &[name, value] : values)
            store->setValue(name, value);
        store->endGroup();
        store->sync();
    }

    pw::Settings load(const pw::PhoneBook &book = pw::EmptyPhoneBook())
    {
        auto store = pw::paths::openSettings();
        return pw::settings::load(*store, book);
    }

private Q_SLOTS:
    void init() { m_home = std::make_unique<pwtest::TestHome>(); }
    void cleanup() { m_home.reset(); }

    void emptyStoreGivesDefaults()
    {
        const pw::Settings s = load();
        QCOMPARE(s.proxyport, u"80"_s);
        QCOMPARE(s.useragent, u"Pagewarden 1.0"_s);
        QCOMPARE(s.httptimeout, u"180"_s);
        QCOMPARE(s.slowtimeout, u"120"_s);
        QCOMPARE(s.bytethresh, u"500"_s);
        QCOMPARE(s.sizeprot, u"50"_s);
        QCOMPARE(s.numthreads, 10);
        QVERIFY(!s.enabledun);
        QVERIFY(!s.reportscapability);
        QVERIFY(s.placeintray);
        QVERIFY(s.systemtray);
        QVERIFY(s.dispdate);
        QVERIFY(s.dispname);
        QVERIFY(s.hints);
        QVERIFY(!s.newretrieve);
        QCOMPARE(s.titledetails, u"Times New Roman,12,Bold,Black,Underline"_s);
        QCOMPARE(s.subtitledetails, u"Times New Roman,10,Red"_s);
        QCOMPARE(s.bodydetails, u"Times New Roman,9,Blue"_s);
        QCOMPARE(s.defaulturl, QString::fromLatin1(pw::kDefaultHomePage));
        // The directories exist after a load.
        QVERIFY(QFileInfo(s.datadir).isDir());
        QVERIFY(QFileInfo(s.logdir).isDir());
        QVERIFY(QFileInfo(s.reportsdir).isDir());
        QVERIFY(s.datadir.startsWith(m_home->path(u"home"_s)));
    }

    void threadsAreBounded_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("threads");
        QTest::newRow("zero") << u"0"_s << 1;
        QTest::newRow("negative") << u"-3"_s << 1;
        QTest::newRow("inside") << u"4"_s << 4;
        QTest::newRow("above") << u"25"_s << 10;
        QTest::newRow("text") << u"x"_s << 10;
        QTest::newRow("empty") << QString() << 10;
    }
    void threadsAreBounded()
    {
        QFETCH(QString, stored);
        QFETCH(int, threads);
        setDefaults({{u"Threads"_s, stored}});
        QCOMPARE(load().numthreads, threads);
    }

    void numbersFallBackWhenNotIntegers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SizeProt text") << u"SizeProt"_s << u"abc"_s << u"50"_s;
        QTest::newRow("SizeProt number") << u"SizeProt"_s << u"75"_s << u"75"_s;
        QTest::newRow("HTTPTimeout fraction") << u"HTTPTimeout"_s << u"1.5"_s << u"180"_s;
        QTest::newRow("SlowTimeout empty") << u"SlowTimeout"_s << QString() << u"120"_s;
        QTest::newRow("ByteThresh number") << u"ByteThresh"_s << u"0"_s << u"0"_s;
    }
    void numbersFallBackWhenNotIntegers()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        setDefaults({{name, stored}});
        const pw::Settings s = load();
        const QString actual = name == u"SizeProt"_s      ? s.sizeprot
                               : name == u"HTTPTimeout"_s ? s.httptimeout
                               : name == u"SlowTimeout"_s ? s.slowtimeout
                                                          : s.bytethresh;
        QCOMPARE(actual, expected);
    }

    // Each flag has its own test: "is On", "not Off" or "is TRUE", case-sensitive.
    void flagSpellings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("DUN on lower case") << u"DUN"_s << u"on"_s << true;
        QTest::newRow("DUN Off") << u"DUN"_s << u"Off"_s << false;
        QTest::newRow("DUN off lower case") << u"DUN"_s << u"off"_s << true;
        QTest::newRow("System Tray on lower case") << u"System Tray"_s << u"on"_s << false;
        QTest::newRow("System Tray On") << u"System Tray"_s << u"On"_s << true;
        QTest::newRow("TrayClose Off") << u"TrayClose"_s << u"Off"_s << false;
        QTest::newRow("Reporting yes") << u"Reporting"_s << u"yes"_s << true;
        QTest::newRow("Hints true lower case") << u"Hints"_s << u"true"_s << false;
        QTest::newRow("Hints FALSE") << u"Hints"_s << u"FALSE"_s << false;
        QTest::newRow("NewRetrieve TRUE") << u"NewRetrieve"_s << u"TRUE"_s << true;
        QTest::newRow("DispDate On") << u"DispDate"_s << u"On"_s << true;
        QTest::newRow("DispName off") << u"DispName"_s << u"off"_s << false;
    }
    void flagSpellings()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(bool, on);
        setDefaults({{name, stored}});
        const pw::Settings s = load();
        const QHash<QString, bool> flags{
            {u"DUN"_s, s.enabledun},         {u"System Tray"_s, s.systemtray},
            {u"TrayClose"_s, s.placeintray}, {u"Reporting"_s, s.reportscapability},
            {u"Hints"_s, s.hints},           {u"NewRetrieve"_s, s.newretrieve},
            {u"DispDate"_s, s.dispdate},     {u"DispName"_s, s.dispname},
        };
        QCOMPARE(flags.value(name), on);
    }

    void soundNeedsAFile_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("on");
        QTest::newRow("on with file") << u"On"_s << u"/tmp/ding.wav"_s << true;
        QTest::newRow("on without file") << u"On"_s << QString() << false;
        QTest::newRow("lower-case on") << u"on"_s << u"/tmp/ding.wav"_s << false;
    }
    void soundNeedsAFile()
    {
        QFETCH(QString, effect);
        QFETCH(QString, file);
        QFETCH(bool, on);
        setDefaults({{u"Sound Effect"_s, effect}, {u"Sound File"_s, file}});
        const pw::Settings s = load();
        QCOMPARE(s.useeffect, on);
        if (on)
            QCOMPARE(s.soundeffect, file);
    }

    void mailNeedsAllThreeValues_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("on");
        QTest::newRow("complete") << u"smtp.example.org"_s << u"me@example.org"_s << u"you@example.org"_s << true;
        QTest::newRow("no recipient") << u"smtp.example.org"_s << u"me@example.org"_s << QString() << false;
        QTest::newRow("no server") << QString() << u"me@example.org"_s << u"you@example.org"_s << false;
    }
    void mailNeedsAllThreeValues()
    {
        QFETCH(QString, server);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, on);
        QList<std::pair<QString, QString>> values{{u"Reporting"_s, u"On"_s}, {u"E-Mail Reports"_s, u"On"_s}};
        if (!server.isEmpty())
            values.append({u"SMTP Server"_s, server});
        if (!from.isEmpty())
            values.append({u"Mail-Originator"_s, from});
        if (!to.isEmpty())
            values.append({u"Mail-Receipt"_s, to});
        setDefaults(values);
        QCOMPARE(load().emailreports, on);
    }

    void reportingOffClearsReportValues()
    {
        setDefaults({{u"Reporting"_s, u"Off"_s},
                     {u"E-Mail Reports"_s, u"On"_s},
                     {u"EMAIL-Blank"_s, u"On"_s},
                     {u"Report-Unchanged"_s, u"On"_s}});
        auto store = pw::paths::openSettings();
        pw::settings::writeList(*store, u"Reports"_s, {u"News"_s});
        store->sync();
        const pw::Settings s = load();
        QVERIFY(!s.reportscapability);
        QVERIFY(!s.emailreports);
        QVERIFY(!s.emailblank);
        QVERIFY(!s.reportunchanged);
        // Kept while reports are off, so a save does not forget it.
        QCOMPARE(s.reportlist, QStringList{u"News"_s});
    }

    void listsReadExactlyCountItems()
    {
        auto store = pw::paths::openSettings();
        store->beginGroup(u"Reports"_s);
        store->setValue(u"Count"_s, u"2"_s);
        store->setValue(u"0"_s, u"News"_s);
        store->setValue(u"1"_s, QString());
        store->setValue(u"2"_s, u"Stale"_s);
        store->endGroup();
        QCOMPARE(pw::settings::readList(*store, u"Reports"_s), QStringList{u"News"_s});

        // A list that shrinks keeps its stale values, which are never read.
        pw::settings::writeList(*store, u"WebBoxes"_s, {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s});
        pw::settings::writeList(*store, u"WebBoxes"_s, {u"a"_s, u"b"_s, u"c"_s});
        store->sync();
        auto fresh = pw::paths::openSettings();
        QCOMPARE(fresh->value(u"WebBoxes/Count"_s).toString(), u"3"_s);
        QCOMPARE(fresh->value(u"WebBoxes/4"_s).toString(), u"e"_s);
        QCOMPARE(pw::settings::readList(*fresh, u"WebBoxes"_s), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    }

    void damagedCountsReadAsEmptyOrBounded_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("items");
        QTest::newRow("text") << u"many"_s << 0;
        QTest::newRow("negative") << u"-1"_s << 0;
        QTest::newRow("huge") << u"2000000000"_s << 1;
    }
    void damagedCountsReadAsEmptyOrBounded()
    {
        QFETCH(QString, count);
        QFETCH(int, items);
        auto store = pw::paths::openSettings();
        store->setValue(u"Reports/Count"_s, count);
        store->setValue(u"Reports/0"_s, u"News"_s);
        QCOMPARE(pw::settings::readList(*store, u"Reports"_s).size(), items);
    }

    void scheduleSkipsIncompleteRows()
    {
        auto store = pw::paths::openSettings();
        store->beginGroup(u"Schedule"_s);
        store->setValue(u"Count"_s, u"3"_s);
        store->setValue(u"0 Time"_s, u"3/7/1999 9:05 PM"_s);
        store->setValue(u"0 WebBox"_s, u"News"_s);
        store->setValue(u"1 Time"_s, QString()); // skipped
        store->setValue(u"1 WebBox"_s, u"Prices"_s);
        store->setValue(u"2 Time"_s, u"3/8/1999 6:00 AM"_s);
        store->setValue(u"2 WebBox"_s, u"All WebBoxes 30 Minute Interval"_s);
        store->setValue(u"2 Last Run"_s, u"3/7/1999 5:30 AM"_s);
        store->endGroup();
        const QList<pw::ScheduleRow> rows = pw::settings::readSchedule(*store);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0], (pw::ScheduleRow{u"3/7/1999 9:05 PM"_s, u"News"_s, u"*"_s}));
        QCOMPARE(rows[1].lastRun, u"3/7/1999 5:30 AM"_s);
    }

    void dialUpEntrySelectedOnlyWithCredentials_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("index");
        QTest::addColumn<int>("selected");
        QTest::newRow("both set") << u"joe"_s << u"secret"_s << u"1"_s << 1;
        QTest::newRow("no password") << u"joe"_s << QString() << u"1"_s << -1;
        QTest::newRow("no user") << QString() << u"secret"_s << u"0"_s << -1;
        QTest::newRow("index past the book") << u"joe"_s << u"secret"_s << u"2"_s << -1;
        QTest::newRow("index not a number") << u"joe"_s << u"secret"_s << u"x"_s << 0;
    }
    void dialUpEntrySelectedOnlyWithCredentials()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, index);
        QFETCH(int, selected);
        setDefaults({{u"DUN"_s, u"On"_s},
                     {u"DUN-Index"_s, index},
                     {u"DUN-User"_s, user},
                     {u"DUN-Password"_s, pw::PasswordCipher::encipher(password)}});
        FakePhoneBook book;
        book.names = {u"Office"_s, u"Home"_s};
        const pw::Settings s = load(book);
        QVERIFY(s.enabledun);
        QCOMPARE(s.pbookentries, book.names);
        QCOMPARE(s.pbookIndex, selected);
        QCOMPARE(s.dunpass, password);
        QCOMPARE(s.busyretries, u"5"_s);
        QVERIFY(s.discdun);
    }

    void damagedPasswordReadsAsEmpty()
    {
        setDefaults({{u"Proxy Pass"_s, u"4G"_s}});
        QCOMPARE(load().proxypass, QString());
    }

    void listValueWithCommasIsReadAsText()
    {
        // A hand-edited INI line without quotes is a list to QSettings; it must still read
        // as the one text the user meant.
        QDir().mkpath(QFileInfo(pw::paths::settingsFile()).absolutePath());
        QFile file(pw::paths::settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Defaults]\nTitle%20Font=Arial,14,Italic,Navy\n");
        file.close();
        QCOMPARE(load().titledetails, u"Arial,14,Italic,Navy"_s);
    }

    void saveThenLoadRoundTrips()
    {
        pw::Settings s;
        s.defaulturl = u"http://"_s; // saved as the default address
        s.enabledun = true;
        s.pbookIndex = 1;
        s.dunuser = u"joe"_s;
        s.dunpass = u" secret "_s;
        s.busyretries = u"3"_s;
        s.discdun = false;
        s.dispdate = false;
        s.titledetails = u"Arial,14,Italic,Navy"_s;
        s.reportscapability = true;
        s.emailreports = true;
        s.smtpserver = u"smtp.example.org"_s;
        s.origmail = u"me@example.org"_s;
        s.sendmail = u"you@example.org"_s;
        s.emailblank = true;
        s.reportlist = {u"All WebBoxes"_s};
        s.useproxy = true;
        s.proxyserver = u"proxy.example.org"_s;
        s.proxyport = u"3128"_s;
        s.proxyuser = u"pu"_s;
        s.proxypass = u"pp"_s;
        s.useragent = u"Agent/2"_s;
        s.sizeprot = u"30"_s;
        s.useeffect = true;
        s.soundeffect = u"/tmp/ding.wav"_s;
        s.systemtray = false;
        s.shortcutenabled = false;
        s.numthreads = 4;
        s.placeintray = false;
        s.urlshortcuts = {{u"News site"_s, u"http://news.example.org/"_s}};
        s.schedview = {{u"3/7/1999 9:05 PM"_s, u"News"_s, u"*"_s}};
        {
            auto store = pw::paths::openSettings();
            pw::settings::save(*store, s);
        }
        FakePhoneBook book;
        book.names = {u"Office"_s, u"Home"_s};
        const pw::Settings r = load(book);
        QCOMPARE(r.defaulturl, QString::fromLatin1(pw::kDefaultHomePage));
        QVERIFY(r.enabledun);
        QCOMPARE(r.pbookIndex, 1);
        QCOMPARE(r.dunpass, u"secret"_s); // blanks trimmed before enciphering
        QCOMPARE(r.busyretries, u"3"_s);
        QVERIFY(!r.discdun);
        QVERIFY(!r.dispdate);
        QCOMPARE(r.titledetails, s.titledetails);
        QVERIFY(r.reportscapability && r.emailreports && r.emailblank && !r.reportunchanged);
        QCOMPARE(r.reportlist, s.reportlist);
        QVERIFY(r.useproxy);
        QCOMPARE(r.proxyserver, s.proxyserver);
        QCOMPARE(r.proxyport, s.proxyport);
        QCOMPARE(r.proxypass, u"pp"_s);
        QCOMPARE(r.useragent, s.useragent);
        QCOMPARE(r.sizeprot, s.sizeprot);
        QVERIFY(r.useeffect);
        QCOMPARE(r.soundeffect, s.soundeffect);
        QVERIFY(!r.systemtray && !r.shortcutenabled && !r.placeintray);
        QCOMPARE(r.numthreads, 4);
        QCOMPARE(r.urlshortcuts, s.urlshortcuts);
        QCOMPARE(r.schedview, s.schedview);

        // Stored passwords are never plain text.
        auto store = pw::paths::openSettings();
        QVERIFY(store->value(u"Defaults/Proxy Pass"_s).toString() != u"pp"_s);
    }

    void proxyValuesAreKeptWhenProxyIsOff()
    {
        setDefaults({{u"Proxy Server"_s, u"old.example.org"_s}});
        pw::Settings s;
        s.useproxy = false;
        s.proxyserver = u"new.example.org"_s;
        auto store = pw::paths::openSettings();
        pw::settings::save(*store, s);
        QCOMPARE(load().proxyserver, u"old.example.org"_s);
    }

    void singleFlagsRoundTrip()
    {
        auto store = pw::paths::openSettings();
        store->beginGroup(u"Defaults"_s);
        pw::settings::writeFlag(*store, pw::settings::kNewRetrieve, true, pw::settings::FlagTest::IsTrue);
        pw::settings::writeFlag(*store, pw::settings::kTrayClose, false);
        QCOMPARE(store->value(pw::settings::kNewRetrieve).toString(), u"TRUE"_s);
        QCOMPARE(store->value(pw::settings::kTrayClose).toString(), u"Off"_s);
        store->endGroup();
        store->sync();
        const pw::Settings s = load();
        QVERIFY(s.newretrieve);
        QVERIFY(!s.placeintray);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
