#pragma once

#include "printsetup.h"

#include "store/settings.h"

#include <QDialog>

class QPushButton;
class QTabWidget;

namespace pw::client {

class ClientSettings;
class DefaultsPage;
class DialUpPage;
class InternetPage;
class PrintingPage;
class ReportsPage;
class SchedulerPage;
class ShortcutsPage;

// `Tsetupform`, "Pagewarden Setup": every setting the client and the server share, on seven
// pages. Created once; it loads the stored values each time it is shown and saves them
// each time it is closed, by OK, Cancel or the close box alike.
class Tsetupform final : public QDialog
{
    Q_OBJECT

public:
    // `knownLists` are the main window's URL List names.
    Tsetupform(ClientSettings &settings, const QStringList &knownLists, QWidget *parent = nullptr);
    ~Tsetupform() override;

    // Shows the dialog on its "Scheduler" page with everything loaded.
    void showSetup();

    // Checks and writes every setting in the stored order; false (after the message) when a
    // check failed.
    bool autosave();
    // Fills the schedule list from the settings' schedule.
    void schedload();
    // Writes the schedule list and the report list.
    void schedsave();
    void fontpreview();

    PrintSetup &printSetup() { return m_printSetup; }

    void accept() override;
    void reject() override;

Q_SIGNALS:
    // The settings were saved: the server is to read them again.
    void saved();
    // The controls were filled from the stored settings again.
    void settingsLoaded();

private:
    void closeSaving(int result);
    void loadControls();
    Settings controlValues() const;

    ClientSettings &m_settings;
    const QStringList &m_knownLists;
    PrintSetup m_printSetup;
    QTabWidget *m_pages = nullptr;
    SchedulerPage *m_scheduler = nullptr;
    DefaultsPage *m_defaults = nullptr;
    ReportsPage *m_reports = nullptr;
    DialUpPage *m_dialUp = nullptr;
    ShortcutsPage *m_shortcuts = nullptr;
    InternetPage *m_internet = nullptr;
    PrintingPage *m_printing = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_closing = false;
};

} // namespace pw::client
