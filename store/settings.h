#pragma once

#include "dialup.h"

#include <QList>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace pw {

// One row of the schedule table as stored: due time, target, last run.
struct ScheduleRow
{
    QString time;
    QString webBox;
    QString lastRun;

    friend bool operator==(const ScheduleRow &, const ScheduleRow &) = default;
};

struct UrlShortcut
{
    QString description;
    QString url;

    friend bool operator==(const UrlShortcut &, const UrlShortcut &) = default;
};

// The in-memory copy of all settings. Field names follow the stored values' meanings;
// numbers that the programs pass on as text are kept as the text that was read.
struct Settings
{
    // Proxy
    QString proxyserver;
    QString proxyport = QStringLiteral("80");
    QString proxyuser;
    QString proxypass; // deciphered
    bool useproxy = false;

    // Requests
    QString useragent = QStringLiteral("Pagewarden 1.0");
    QString httptimeout = QStringLiteral("180");
    QString slowtimeout = QStringLiteral("120");
    QString bytethresh = QStringLiteral("500");
    QString sizeprot = QStringLiteral("50");

    // Sound after a run with news
    bool useeffect = false;
    QString soundeffect;

    QString defaulturl;

    // Dial-up
    bool enabledun = false;
    QStringList pbookentries;
    int pbookIndex = -1; // selected entry of pbookentries, -1 for none
    QString dunuser;
    QString dunpass; // deciphered
    QString busyretries = QStringLiteral("5");
    bool discdun = true;

    // Printing
    bool dispdate = true;
    bool dispname = true;
    QString titledetails;
    QString subtitledetails;
    QString bodydetails;

    // Reports and mail
    bool reportscapability = false;
    bool emailblank = false;
    bool reportunchanged = false;
    bool emailreports = false;
    QString smtpserver;
    QString origmail;
    QString sendmail;
    QStringList reportlist;

    // Windows
    bool placeintray = true;
    bool systemtray = true;
    bool shortcutenabled = true;
    bool hints = true;
    bool newretrieve = false;

    int numthreads = 10;

    QList<UrlShortcut> urlshortcuts;
    QList<ScheduleRow> schedview;

    // Directories, each ending in "/".
    QString datadir;
    QString logdir;
    QString reportsdir;

    Settings();
};

inline constexpr char kDefaultTitleFont[] = "Times New Roman,12,Bold,Black,Underline";
inline constexpr char kDefaultSubTitleFont[] = "Times New Roman,10,Red";
inline constexpr char kDefaultBodyFont[] = "Times New Roman,9,Blue";
inline constexpr char kDefaultHomePage[] = "https://example.org/";
inline constexpr char kAllWebBoxes[] = "All WebBoxes";

namespace settings {

// How a reader tests a stored flag.
enum class FlagTest {
    IsOn,   // on only when "On"
    NotOff, // on unless "Off"
    IsTrue, // on only when "TRUE"
};

// Reads every value into a fresh record, in the stored order, with the defaults for
// absent or unreadable values. Sets the directory fields and creates the directories.
Settings load(QSettings &store, const PhoneBook &phoneBook);

// Writes what the setup dialog owns, in its order: "Defaults", then the "Shortcuts",
// "Schedule" and "Reports" lists.
void save(QSettings &store, const Settings &s);

// A numbered list: exactly "Count" items, empty items skipped.
QStringList readList(QSettings &store, const QString &section);
// Writes "Count" and the items 0..n-1; higher numbers left from a longer list stay.
void writeList(QSettings &store, const QString &section, const QStringList &items);

// The "Schedule" list: an item with an empty time or target is skipped, an empty last
// run becomes "*".
QList<ScheduleRow> readSchedule(QSettings &store);
void writeSchedule(QSettings &store, const QList<ScheduleRow> &rows);

// One value of "Defaults" as text; a value that a hand edit turned into a list is
// joined back with commas.
QString readText(QSettings &store, const QString &name, const QString &fallback = {});
void writeText(QSettings &store, const QString &name, const QString &value);

bool readFlag(QSettings &store, const QString &name, FlagTest test, const QString &fallback);
// Writes "On"/"Off", or "TRUE"/"FALSE" for IsTrue flags.
void writeFlag(QSettings &store, const QString &name, bool on, FlagTest test = FlagTest::IsOn);

// The single values written outside the setup dialog.
inline const QString kTrayClose = QStringLiteral("TrayClose");
inline const QString kNewRetrieve = QStringLiteral("NewRetrieve");
inline const QString kHints = QStringLiteral("Hints");
inline const QString kShowFirst = QStringLiteral("ShowFirst");

} // namespace settings

} // namespace pw
