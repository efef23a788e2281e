#pragma once

#include "store/settings.h"

#include <QObject>

#include <functional>
#include <memory>

namespace pw::client {

// The client's copy of the settings: the record, the schedule table and the report list.
// Loaded once at start; the schedule is reloaded when the server says it changed it.
// The tree operations prune the lists and save them; the Setup dialog binds to it.
class ClientSettings final : public QObject
{
    Q_OBJECT

public:
    explicit ClientSettings(QObject *parent = nullptr);
    ~ClientSettings() override;

    // The dial-up phone book that resolves the stored entry; none by default.
    void setPhoneBook(std::shared_ptr<const PhoneBook> phoneBook);
    const PhoneBook &phoneBook() const { return *m_phoneBook; }

    // Reads every setting, creating the data directories.
    void load();
    // The "NewRetrieve" mark, taken at start: a set mark is cleared in the store and kept
    // here as the notice.
    bool takeNewRetrievalsNotice();
    void reloadSchedule();
    // Writes what the Setup dialog owns, in the stored order.
    void save();

    const Settings &settings() const { return m_settings; }
    Settings &settings() { return m_settings; }
    bool newRetrievalsNotice() const { return m_newRetrievals; }

    // A URL List renamed or deleted: its schedule entries (timed and interval) and its
    // report entry follow. Entries for "All WebBoxes" are never touched, even for a list
    // named "All". Both lists are saved; true when anything changed.
    bool renameListEntries(const QString &oldName, const QString &newName);
    bool removeListEntries(const QString &name);
    // Writes the schedule and the report list as held here.
    void saveScheduleAndReports();

    void setHints(bool on);
    bool showFirst() const;
    void setShowFirst(bool on);

Q_SIGNALS:
    void scheduleChanged();

private:
    bool pruneListEntries(const std::function<bool(QString &)> &schedule,
                          const std::function<void(QStringList &)> &reports, bool removeMatches = false);

    Settings m_settings;
    std::shared_ptr<const PhoneBook> m_phoneBook;
    bool m_newRetrievals = false;
};

} // namespace pw::client
