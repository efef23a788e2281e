#include "setupform.h"

#include "setupdefaults.h"
#include "setupdialup.h"
#include "setupinternet.h"
#include "setupprinting.h"
#include "setupreports.h"
#include "setupscheduler.h"
#include "setupshortcuts.h"

#include "client/core/clientsettings.h"
#include "client/core/setupsave.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"
#include "store/paths.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {
constexpr int kHelpTopic = 1028;
}

Tsetupform::Tsetupform(ClientSettings &settings, const QStringList &knownLists, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_knownLists(knownLists)
{
    setObjectName(u"setupform"_s);
    setWindowTitle(u"Pagewarden Setup"_s);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(this);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pages"_s);
    m_scheduler = new SchedulerPage(m_pages);
    m_defaults = new DefaultsPage(m_pages);
    m_reports = new ReportsPage(m_pages);
    m_dialUp = new DialUpPage([this] { return m_settings.phoneBook().entries(); }, m_pages);
    m_shortcuts = new ShortcutsPage(m_pages);
    m_internet = new InternetPage(m_pages);
    m_printing = new PrintingPage(m_printSetup, m_pages);
    m_pages->addTab(m_scheduler, u"Scheduler"_s);
    m_pages->addTab(m_defaults, u"Defaults"_s);
    m_pages->addTab(m_reports, u"Reports"_s);
    m_pages->addTab(m_dialUp, u"Dial-Up"_s);
    m_pages->addTab(m_shortcuts, u"Web Shortcuts"_s);
    m_pages->addTab(m_internet, u"Internet "_s);
    m_pages->addTab(m_printing, u"Printing"_s);
    layout->addWidget(m_pages, 1);

    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(u"okbtn"_s);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cancel->setObjectName(u"cancelbtn"_s);
    buttons->button(QDialogButtonBox::Help)->setObjectName(u"helpbtn"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &Tsetupform::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Tsetupform::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        auto *help = new gui::HelpWindow(this);
        help->setAttribute(Qt::WA_DeleteOnClose);
        help->showTopic(kHelpTopic);
    });
    layout->addWidget(buttons);
    resize(600, 480);

    connect(&m_settings, &ClientSettings::scheduleChanged, this, &Tsetupform::schedload);
}

Tsetupform::~Tsetupform() = default;

void Tsetupform::showSetup()
{
    m_pages->setCurrentWidget(m_scheduler);
    m_scheduler->setListNames(m_knownLists);
    m_reports->setListNames(m_knownLists);
    {
        gui::WaitCursor wait;
        m_settings.load();
    }
    loadControls();
    open();
}

void Tsetupform::loadControls()
{
    const Settings &s = m_settings.settings();
    m_defaults->load(s);
    m_reports->load(s);
    m_dialUp->load(s);
    m_shortcuts->load(s);
    m_internet->load(s);
    m_printing->load(s);
    schedload();
    fontpreview();
    Q_EMIT settingsLoaded();
}

void Tsetupform::schedload()
{
    m_scheduler->setRows(m_settings.settings().schedview);
}

void Tsetupform::schedsave()
{
    Settings &s = m_settings.settings();
    s.schedview = m_scheduler->rows();
    s.reportlist = m_reports->reportList();
    auto store = paths::openSettings();
    settings::writeSchedule(*store, s.schedview);
    settings::writeList(*store, u"Reports"_s, s.reportlist);
}

void Tsetupform::fontpreview()
{
    m_printing->fontpreview();
}

Settings Tsetupform::controlValues() const
{
    Settings values = m_settings.settings();
    m_defaults->store(values);
    m_reports->store(values);
    m_dialUp->store(values);
    m_shortcuts->store(values);
    m_internet->store(values);
    m_printing->store(values);
    values.schedview = m_scheduler->rows();
    return values;
}

bool Tsetupform::autosave()
{
    std::optional<QString> failure;
    {
        gui::WaitCursor wait;
        auto store = paths::openSettings();
        failure = saveSetup(*store, controlValues());
    }
    if (failure) {
        gui::Prompt::error(this, *failure);
        return false;
    }
    return true;
}

void Tsetupform::accept()
{
    closeSaving(QDialog::Accepted);
}

void Tsetupform::reject()
{
    // Cancel and the close box save as OK does.
    closeSaving(QDialog::Rejected);
}

void Tsetupform::closeSaving(int result)
{
    if (m_closing)
        return;
    m_closing = true;
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    const bool savedAll = autosave();
    m_ok->setEnabled(true);
    m_cancel->setEnabled(true);
    if (savedAll) {
        Q_EMIT saved();
        {
            gui::WaitCursor wait;
            m_settings.load();
        }
        loadControls();
        QDialog::done(result);
    }
    m_closing = false;
}

} // namespace pw::client
