#include "settings.h"

#include "fileio.h"
#include "passwordcipher.h"
#include "paths.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace pw {

Settings::Settings()
    : defaulturl(QString::fromLatin1(kDefaultHomePage))
    , titledetails(QString::fromLatin1(kDefaultTitleFont))
    , subtitledetails(QString::fromLatin1(kDefaultSubTitleFont))
    , bodydetails(QString::fromLatin1(kDefaultBodyFont))
{
}

namespace settings {

namespace {

const QString kDefaults = u"Defaults"_s;
const QString kOn = u"On"_s;
const QString kOff = u"Off"_s;

class GroupScope
{
public:
    GroupScope(QSettings &store, const QString &group)
        : m_store(store)
    {
        m_store.beginGroup(group);
    }
    ~GroupScope() { m_store.endGroup(); }
    GroupScope(const GroupScope &) = delete;
    GroupScope &operator=(const GroupScope &) = delete;

private:
    QSettings &m_store;
};

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

bool isInteger(const QString &text, int *value = nullptr)
{
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (ok && value)
        *value = number;
    return ok;
}

// A number value kept as text: the stored text when it is an integer, else the default.
QString readNumberText(QSettings &store, const QString &name, const QString &fallback)
{
    const QString text = readText(store, name, fallback);
    return isInteger(text) ? text : fallback;
}

QString readSecret(QSettings &store, const QString &name)
{
    const QString stored = readText(store, name).trimmed();
    if (stored.isEmpty())
        return {};
    // A damaged cipher text must not become a garbage password.
    return PasswordCipher::decipher(stored).value_or(QString());
}

QString encipherTrimmed(const QString &plain)
{
    return PasswordCipher::encipher(plain.trimmed());
}

int readCount(QSettings &store)
{
    int count = 0;
    if (!isInteger(valueText(store.value(u"Count"_s)), &count) || count < 0)
        return 0;
    // A damaged count must not make the reader loop for ever.
    return std::min<int>(count, int(kMaxRecords));
}

QString flagWord(bool on, FlagTest test)
{
    if (test == FlagTest::IsTrue)
        return on ? u"TRUE"_s : u"FALSE"_s;
    return on ? kOn : kOff;
}

} // namespace

QString readText(QSettings &store, const QString &name, const QString &fallback)
{
    const QVariant value = store.value(name);
    if (!value.isValid())
        return fallback;
    return valueText(value);
}

void writeText(QSettings &store, const QString &name, const QString &value)
{
    store.setValue(name, value);
}

bool readFlag(QSettings &store, const QString &name, FlagTest test, const QString &fallback)
{
    const QString value = readText(store, name, fallback);
    switch (test) {
    case FlagTest::IsOn:
        return value == kOn;
    case FlagTest::NotOff:
        return value != kOff;
    case FlagTest::IsTrue:
        return value == u"TRUE"_s;
    }
    return false;
}

void writeFlag(QSettings &store, const QString &name, bool on, FlagTest test)
{
    writeText(store, name, flagWord(on, test));
}

QStringList readList(QSettings &store, const QString &section)
{
    GroupScope group(store, section);
    QStringList items;
    const int count = readCount(store);
    for (int i = 0; i < count; ++i) {
        const QString item = valueText(store.value(QString::number(i)));
        if (!item.isEmpty())
            items.append(item);
    }
    return items;
}

void writeList(QSettings &store, const QString &section, const QStringList &items)
{
    GroupScope group(store, section);
    store.setValue(u"Count"_s, QString::number(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        store.setValue(QString::number(i), items[i]);
}

QList<ScheduleRow> readSchedule(QSettings &store)
{
    GroupScope group(store, u"Schedule"_s);
    QList<ScheduleRow> rows;
    const int count = readCount(store);
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        ScheduleRow row{valueText(store.value(n + u" Time"_s)), valueText(store.value(n + u" WebBox"_s)),
                        valueText(store.value(n + u" Last Run"_s))};
        if (row.time.isEmpty() || row.webBox.isEmpty())
            continue;
        if (row.lastRun.isEmpty())
            row.lastRun = u"*"_s;
        rows.append(row);
    }
    return rows;
}

void writeSchedule(QSettings &store, const QList<ScheduleRow> &rows)
{
    GroupScope group(store, u"Schedule"_s);
    store.setValue(u"Count"_s, QString::number(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString n = QString::number(i);
        store.setValue(n + u" Time"_s, rows[i].time);
        store.setValue(n + u" WebBox"_s, rows[i].webBox);
        store.setValue(n + u" Last Run"_s, rows[i].lastRun);
    }
}

Settings load(QSettings &store, const PhoneBook &phoneBook)
{
    Settings s;
    paths::createDataDirectories();
    s.datadir = paths::dataDir();
    s.logdir = paths::logDir();
    s.reportsdir = paths::reportsDir();

    {
        GroupScope group(store, kDefaults);

        s.proxyport = readText(store, u"Proxy Port"_s, u"80"_s);
        s.proxyserver = readText(store, u"Proxy Server"_s);
        s.useragent = readText(store, u"User Agent"_s, u"Pagewarden 1.0"_s);
        s.proxyuser = readText(store, u"Proxy User"_s);
        s.proxypass = readSecret(store, u"Proxy Pass"_s);
        s.useproxy = readFlag(store, u"UseProxy"_s, FlagTest::IsOn, kOff);

        s.httptimeout = readNumberText(store, u"HTTPTimeout"_s, u"180"_s);
        s.slowtimeout = readNumberText(store, u"SlowTimeout"_s, u"120"_s);
        s.bytethresh = readNumberText(store, u"ByteThresh"_s, u"500"_s);
        s.sizeprot = readNumberText(store, u"SizeProt"_s, u"50"_s);

        s.useeffect = readFlag(store, u"Sound Effect"_s, FlagTest::IsOn, kOff);
        if (s.useeffect) {
            s.soundeffect = readText(store, u"Sound File"_s);
            if (s.soundeffect.isEmpty())
                s.useeffect = false;
        }

        s.defaulturl = readText(store, u"Default URL"_s);
        if (s.defaulturl.isEmpty())
            s.defaulturl = QString::fromLatin1(kDefaultHomePage);

        s.enabledun = readFlag(store, u"DUN"_s, FlagTest::NotOff, kOff);
        if (s.enabledun) {
            s.pbookentries = phoneBook.entries(); // a failing phone book leaves it empty
            int index = 0;
            if (!isInteger(readText(store, u"DUN-Index"_s, u"0"_s), &index))
                index = 0;
            s.dunuser = readText(store, u"DUN-User"_s);
            s.dunpass = readSecret(store, u"DUN-Password"_s);
            s.busyretries = readText(store, u"DUN-Retries"_s);
            if (s.busyretries.isEmpty())
                s.busyretries = u"5"_s;
            s.discdun = readFlag(store, u"DUNDisconnect"_s, FlagTest::IsOn, kOn);
            const bool credentials = !s.dunuser.isEmpty() && !s.dunpass.isEmpty();
            s.pbookIndex = (credentials && index >= 0 && index < s.pbookentries.size()) ? index : -1;
        }

        s.dispdate = readFlag(store, u"DispDate"_s, FlagTest::IsOn, kOn);
        s.dispname = readFlag(store, u"DispName"_s, FlagTest::IsOn, kOn);
        auto readFont = [&store](const QString &name, const char *fallback) {
            const QString text = readText(store, name);
            return text.isEmpty() ? QString::fromLatin1(fallback) : text;
        };
        s.titledetails = readFont(u"Title Font"_s, kDefaultTitleFont);
        s.subtitledetails = readFont(u"SubTitle Font"_s, kDefaultSubTitleFont);
        s.bodydetails = readFont(u"Body Font"_s, kDefaultBodyFont);

        s.reportscapability = readFlag(store, u"Reporting"_s, FlagTest::NotOff, kOff);
    }

    // The report list is read whatever "Reporting" says: it is saved back with the other
    // lists, and turning reports off for a while must not forget which lists had them.
    s.reportlist = readList(store, u"Reports"_s);
    if (s.reportscapability) {
        {
            GroupScope group(store, kDefaults);
            s.emailblank = readFlag(store, u"EMAIL-Blank"_s, FlagTest::NotOff, kOff);
            s.reportunchanged = readFlag(store, u"Report-Unchanged"_s, FlagTest::NotOff, kOff);
        }
        GroupScope group(store, kDefaults);
        s.emailreports = readFlag(store, u"E-Mail Reports"_s, FlagTest::NotOff, kOff);
        if (s.emailreports) {
            s.smtpserver = readText(store, u"SMTP Server"_s);
            s.origmail = readText(store, u"Mail-Originator"_s);
            s.sendmail = readText(store, u"Mail-Receipt"_s);
            if (s.smtpserver.isEmpty() || s.origmail.isEmpty() || s.sendmail.isEmpty())
                s.emailreports = false;
        }
    }

    {
        GroupScope group(store, kDefaults);
        s.placeintray = readFlag(store, settings::kTrayClose, FlagTest::IsOn, kOn);
        s.systemtray = readFlag(store, u"System Tray"_s, FlagTest::IsOn, kOn);
        s.shortcutenabled = readFlag(store, u"Shortcuts"_s, FlagTest::IsOn, kOn);
        s.hints = readFlag(store, settings::kHints, FlagTest::IsTrue, u"TRUE"_s);
        s.newretrieve = readFlag(store, settings::kNewRetrieve, FlagTest::IsTrue, u"FALSE"_s);

        int threads = 10;
        if (!isInteger(readText(store, u"Threads"_s), &threads))
            threads = 10;
        s.numthreads = std::clamp(threads, 1, 10);
    }

    for (const QString &item : readList(store, u"Shortcuts"_s)) {
        const qsizetype separator = item.indexOf(u"&&&"_s);
        if (separator < 0)
            s.urlshortcuts.append({item, QString()});
        else
            s.urlshortcuts.append({item.first(separator), item.sliced(separator + 3)});
    }
    s.schedview = readSchedule(store);
    return s;
}

void save(QSettings &store, const Settings &s)
{
    {
        GroupScope group(store, kDefaults);
        const QString url = s.defaulturl.trimmed();
        writeText(store, u"Default URL"_s,
                  (url.isEmpty() || url == u"http://"_s) ? QString::fromLatin1(kDefaultHomePage) : s.defaulturl);

        if (s.enabledun) {
            writeText(store, u"DUN-Index"_s, QString::number(std::max(s.pbookIndex, 0)));
            writeText(store, u"DUN-User"_s, s.dunuser);
            writeText(store, u"DUN-Password"_s, encipherTrimmed(s.dunpass));
            writeText(store, u"DUN-Retries"_s, s.busyretries);
            writeFlag(store, u"DUN"_s, true);
            writeFlag(store, u"DUNDisconnect"_s, s.discdun);
        } else {
            writeFlag(store, u"DUN"_s, false);
        }

        writeFlag(store, u"DispDate"_s, s.dispdate);
        writeFlag(store, u"DispName"_s, s.dispname);
        writeText(store, u"Title Font"_s, s.titledetails);
        writeText(store, u"SubTitle Font"_s, s.subtitledetails);
        writeText(store, u"Body Font"_s, s.bodydetails);

        writeFlag(store, u"Reporting"_s, s.reportscapability);
        if (s.reportscapability) {
            writeFlag(store, u"E-Mail Reports"_s, s.emailreports);
            if (s.emailreports) {
                writeText(store, u"SMTP Server"_s, s.smtpserver);
                writeText(store, u"Mail-Originator"_s, s.origmail);
                writeText(store, u"Mail-Receipt"_s, s.sendmail);
            }
            writeFlag(store, u"EMAIL-Blank"_s, s.emailblank);
            writeFlag(store, u"Report-Unchanged"_s, s.reportunchanged);
        }

        writeFlag(store, u"UseProxy"_s, s.useproxy);
        if (s.useproxy) {
            writeText(store, u"Proxy Port"_s, s.proxyport);
            writeText(store, u"Proxy Server"_s, s.proxyserver);
            writeText(store, u"Proxy User"_s, s.proxyuser);
            writeText(store, u"Proxy Pass"_s, encipherTrimmed(s.proxypass));
        }

        writeText(store, u"User Agent"_s, s.useragent);
        writeText(store, u"HTTPTimeout"_s, s.httptimeout);
        writeText(store, u"SlowTimeout"_s, s.slowtimeout);
        writeText(store, u"ByteThresh"_s, s.bytethresh);
        writeText(store, u"SizeProt"_s, s.sizeprot);

        writeFlag(store, u"Sound Effect"_s, s.useeffect);
        if (s.useeffect)
            writeText(store, u"Sound File"_s, s.soundeffect);

        writeFlag(store, u"System Tray"_s, s.systemtray);
        writeFlag(store, u"Shortcuts"_s, s.shortcutenabled);
        writeText(store, u"Threads"_s, QString::number(s.numthreads));
    }

    QStringList shortcuts;
    for (const UrlShortcut &shortcut : s.urlshortcuts)
        shortcuts.append(shortcut.description + u"&&&"_s + shortcut.url);
    writeList(store, u"Shortcuts"_s, shortcuts);

    {
        GroupScope group(store, kDefaults);
        writeFlag(store, settings::kTrayClose, s.placeintray);
    }
    writeSchedule(store, s.schedview);
    writeList(store, u"Reports"_s, s.reportlist);
    store.sync();
}

} // namespace settings

} // namespace pw
