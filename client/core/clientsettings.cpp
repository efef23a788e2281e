#include "clientsettings.h"

#include "store/paths.h"
#include "store/schedule.h"

using namespace Qt::StringLiterals;

namespace pw::client {

using settings::FlagTest;

namespace {
const QString kDefaults = QStringLiteral("Defaults");
}

ClientSettings::ClientSettings(QObject *parent)
    : QObject(parent)
    , m_phoneBook(std::make_shared<EmptyPhoneBook>())
{
}

ClientSettings::~ClientSettings() = default;

void ClientSettings::setPhoneBook(std::shared_ptr<const PhoneBook> phoneBook)
{
    m_phoneBook = phoneBook ? std::move(phoneBook) : std::make_shared<EmptyPhoneBook>();
}

void ClientSettings::load()
{
    auto store = paths::openSettings();
    m_settings = settings::load(*store, *m_phoneBook);
}

bool ClientSettings::takeNewRetrievalsNotice()
{
    // Taken once, at start: a later reload (the Setup dialog's) must not swallow a mark
    // the server set meanwhile.
    auto store = paths::openSettings();
    store->beginGroup(kDefaults);
    m_newRetrievals = settings::readFlag(*store, settings::kNewRetrieve, FlagTest::IsTrue, u"FALSE"_s);
    if (m_newRetrievals)
        settings::writeFlag(*store, settings::kNewRetrieve, false, FlagTest::IsTrue);
    m_settings.newretrieve = false;
    return m_newRetrievals;
}

void ClientSettings::reloadSchedule()
{
    auto store = paths::openSettings();
    m_settings.schedview = settings::readSchedule(*store);
    Q_EMIT scheduleChanged();
}

void ClientSettings::save()
{
    auto store = paths::openSettings();
    settings::save(*store, m_settings);
}

namespace {

// Whether a schedule target names the list: exactly, or as "name N Minute Interval".
bool targetNames(const QString &target, const QString &name)
{
    if (target.startsWith(QLatin1StringView(kAllWebBoxes)))
        return false;
    return target == name || target.startsWith(name + u' ');
}

} // namespace

bool ClientSettings::renameListEntries(const QString &oldName, const QString &newName)
{
    return pruneListEntries(
        [&](QString &target) {
            if (!targetNames(target, oldName))
                return false;
            target = newName + target.mid(oldName.size());
            return true;
        },
        [&](QStringList &reports) {
            for (QString &report : reports) {
                if (report == oldName)
                    report = newName;
            }
        });
}

bool ClientSettings::removeListEntries(const QString &name)
{
    return pruneListEntries([&](QString &target) { return targetNames(target, name); },
                            [&](QStringList &reports) { reports.removeAll(name); }, true);
}

bool ClientSettings::pruneListEntries(const std::function<bool(QString &)> &schedule,
                                      const std::function<void(QStringList &)> &reports, bool removeMatches)
{
    // From the store, not from memory: the report list is only loaded while reports are
    // on, and the server may have moved the schedule on since it was read.
    auto store = paths::openSettings();
    QList<ScheduleRow> rows = settings::readSchedule(*store);
    const QList<ScheduleRow> before = rows;
    if (removeMatches) {
        rows.removeIf([&](const ScheduleRow &row) {
            QString target = row.webBox;
            return schedule(target);
        });
    } else {
        for (ScheduleRow &row : rows)
            schedule(row.webBox);
    }
    QStringList reportList = settings::readList(*store, QStringLiteral("Reports"));
    const QStringList reportsBefore = reportList;
    reports(reportList);
    settings::writeSchedule(*store, rows);
    settings::writeList(*store, QStringLiteral("Reports"), reportList);
    m_settings.schedview = rows;
    if (m_settings.reportscapability)
        m_settings.reportlist = reportList;
    return rows != before || reportList != reportsBefore;
}

void ClientSettings::saveScheduleAndReports()
{
    auto store = paths::openSettings();
    settings::writeSchedule(*store, m_settings.schedview);
    settings::writeList(*store, QStringLiteral("Reports"), m_settings.reportlist);
}

void ClientSettings::setHints(bool on)
{
    m_settings.hints = on;
    auto store = paths::openSettings();
    store->beginGroup(kDefaults);
    settings::writeFlag(*store, settings::kHints, on, FlagTest::IsTrue);
}

bool ClientSettings::showFirst() const
{
    auto store = paths::openSettings();
    store->beginGroup(kDefaults);
    return settings::readFlag(*store, settings::kShowFirst, FlagTest::IsOn, QStringLiteral("Off"));
}

void ClientSettings::setShowFirst(bool on)
{
    auto store = paths::openSettings();
    store->beginGroup(kDefaults);
    settings::writeFlag(*store, settings::kShowFirst, on, FlagTest::IsOn);
}

} // namespace pw::client
