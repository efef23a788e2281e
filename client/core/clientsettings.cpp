#include "clientsettings.h"

#include "store/paths.h"

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
    m_newRetrievals = m_settings.newretrieve;
    if (m_newRetrievals) {
        store->beginGroup(kDefaults);
        settings::writeFlag(*store, settings::kNewRetrieve, false, FlagTest::IsTrue);
        m_settings.newretrieve = false;
    }
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
