#include "pageimportform.h"

#include "urllisteditor.h"

#include "client/core/newentry.h"
#include "client/core/pagefetch.h"
#include "client/core/pageparsing.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/waitcursor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <optional>

using namespace Qt::StringLiterals;

namespace pw::client {

QString linkWizardAddress(const QString &typed)
{
    const QString lower = typed.left(8).toLower();
    if (lower.startsWith(u"http://"_s) || lower.startsWith(u"https://"_s))
        return typed;
    return u"http://"_s + typed;
}

namespace {

QLabel *hint(const QString &number, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(number + u"  "_s + text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

Tpageimportform::Tpageimportform(Turladdform &editor, PageFetch &fetch, const Settings &settings)
    : QDialog(&editor)
    , m_editor(editor)
    , m_fetch(fetch)
    , m_settings(settings)
{
    setObjectName(u"pageimportform"_s);
    setWindowTitle(u"Link Wizard"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    // No close box: the wizard ends through OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // The editor waits behind the wizard.
    setWindowModality(Qt::WindowModal);
    resize(520, 470);

    m_urltoget = new QLineEdit(this);
    m_urltoget->setObjectName(u"urltoget"_s);
    m_username = new QLineEdit(this);
    m_username->setObjectName(u"username"_s);
    m_password = new QLineEdit(this);
    m_password->setObjectName(u"password"_s);
    m_mask = new QCheckBox(u"Mask Password"_s, this);
    m_mask->setObjectName(u"maskpassword"_s);
    connect(m_mask, &QCheckBox::toggled, this,
            [this](bool on) { m_password->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); });
    m_get = new QPushButton(u"Get"_s, this);
    m_get->setObjectName(u"getbtn"_s);
    m_get->setDefault(true);
    m_first = new QPushButton(u"First"_s, this);
    m_first->setObjectName(u"firstbtn"_s);

    m_displayurls = new QListWidget(this);
    m_displayurls->setObjectName(u"displayurls"_s);
    m_displayurls->setContextMenuPolicy(Qt::CustomContextMenu);
    m_popup = new QMenu(this);
    QAction *drillItem = m_popup->addAction(u"&Drill Down"_s, this, &Tpageimportform::drilldownClick);
    connect(m_displayurls, &QWidget::customContextMenuRequested, this, [this, drillItem](const QPoint &pos) {
        drillItem->setEnabled(m_displayurls->currentItem() != nullptr);
        m_popup->popup(m_displayurls->viewport()->mapToGlobal(pos));
    });

    const auto button = [this](const QString &caption, const QString &name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    m_drill = button(u"Drill Down"_s, u"drilldownbtn"_s);
    m_selectAll = button(u"Select All"_s, u"selectallbtn"_s);
    m_abort = button(u"Abort"_s, u"abortbtn"_s);
    m_abort->setEnabled(false);
    m_ok = button(u"OK"_s, u"okbtn"_s);
    m_cancel = button(u"Cancel"_s, u"cancelbtn"_s);
    QPushButton *help = button(u"Help"_s, u"helpbtn"_s);
    m_status = new QStatusBar(this);
    m_status->setObjectName(u"statusbar"_s);
    m_status->setSizeGripEnabled(false);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(u"URL:"_s, this), 0, 0);
    fields->addWidget(m_urltoget, 0, 1);
    fields->addWidget(m_get, 0, 2);
    fields->addWidget(m_first, 0, 3);
    fields->addWidget(new QLabel(u"Username:"_s, this), 1, 0);
    fields->addWidget(m_username, 1, 1);
    fields->addWidget(new QLabel(u"Password:"_s, this), 2, 0);
    fields->addWidget(m_password, 2, 1);
    fields->addWidget(m_mask, 2, 2, 1, 2);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_drill, m_selectAll, m_abort, m_ok, m_cancel, help})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint(u"1."_s,
                           u"Please enter a URL to spider and a username and password for that page (if required). "
                           "A list of all links on that page will be displayed in the window below."_s,
                           this));
    layout->addLayout(fields);
    layout->addWidget(hint(u"2."_s,
                           u"Once the page has been successfully spidered, a list (if any) of links will be "
                           "displayed below. Select the ones you would like to add to the current URL List."_s,
                           this));
    layout->addWidget(m_displayurls, 1);
    layout->addWidget(hint(u"3."_s,
                           u"Finally, click 'OK' to commit these URL(s) to the current URL List. The description "
                           "field for each of these URL(s) will be left blank until individually edited."_s,
                           this));
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    connect(m_get, &QPushButton::clicked, this, &Tpageimportform::getbtnClick);
    connect(m_first, &QPushButton::clicked, this, &Tpageimportform::firstbtnClick);
    connect(m_drill, &QPushButton::clicked, this, &Tpageimportform::drilldownClick);
    connect(m_selectAll, &QPushButton::clicked, this, &Tpageimportform::selectallClick);
    connect(m_abort, &QPushButton::clicked, this, &Tpageimportform::abortbtnClick);
    connect(m_ok, &QPushButton::clicked, this, &Tpageimportform::okbtnClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &Tpageimportform::showHelp);

    // What showing does: nothing remembered, empty fields, the password masked.
    m_mask->setChecked(true);
    m_password->setEchoMode(QLineEdit::Password);
}

Tpageimportform::~Tpageimportform()
{
    // A wizard closed in the middle of a fetch must not leave the fetch running.
    if (m_fetch.isRunning())
        m_fetch.abort();
}

void Tpageimportform::setBusy(bool busy)
{
    for (QPushButton *b : {m_get, m_first, m_selectAll, m_ok, m_cancel})
        b->setEnabled(!busy);
    m_abort->setEnabled(busy);
}

void Tpageimportform::getbtnClick()
{
    const QString typed = m_urltoget->text().trimmed();
    if (typed.isEmpty()) {
        gui::Prompt::error(this, u"You must first enter a URL in the URL field."_s);
        return;
    }
    QString url = linkWizardAddress(typed);
    m_displayurls->clear();
    QStringList links;
    {
        gui::WaitCursor wait;
        setBusy(true);
        m_fetch.setSettings(m_settings);
        const QMetaObject::Connection progress =
            connect(&m_fetch, &PageFetch::bytesReceived, this,
                    [this](qint64 bytes) { m_status->showMessage(bytesReceivedText(bytes)); });
        QString error;
        QStringList lines;
        const bool ok = m_fetch.starttransfer(m_username->text(), m_password->text(), url, error, lines);
        disconnect(progress);
        if (ok)
            PageParsing(lines, links, false, url);
        else
            gui::Prompt::information(this, u"Transfer was not completed. "_s + error);
        m_status->clearMessage();
        setBusy(false);
    }
    for (const QString &link : std::as_const(links)) {
        auto *row = new QListWidgetItem(link, m_displayurls);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    if (m_firstUrl.isEmpty())
        m_firstUrl = m_urltoget->text();
}

void Tpageimportform::firstbtnClick()
{
    if (m_firstUrl.isEmpty()) {
        gui::Prompt::information(
            this, u"No previous URL is stored in memory. Please enter a URL and click the GET button."_s);
        return;
    }
    m_urltoget->setText(m_firstUrl);
    getbtnClick();
}

void Tpageimportform::drilldownClick()
{
    const QListWidgetItem *row = m_displayurls->currentItem();
    if (!row || !row->isSelected()) {
        gui::Prompt::error(this, u"You must first select a URL to drill down."_s);
        m_get->setEnabled(true);
        m_first->setEnabled(true);
        m_abort->setEnabled(false);
        return;
    }
    const QString link = row->text();
    m_displayurls->clear();
    m_urltoget->setText(link);
    getbtnClick();
}

void Tpageimportform::selectallClick()
{
    if (m_displayurls->count() == 0) {
        gui::Prompt::error(this, u"There are no items to select."_s);
        return;
    }
    for (int i = 0; i < m_displayurls->count(); ++i)
        m_displayurls->item(i)->setCheckState(Qt::Checked);
}

void Tpageimportform::abortbtnClick()
{
    m_abort->setEnabled(false);
    m_fetch.abort();
}

void Tpageimportform::okbtnClick()
{
    if (m_displayurls->count() == 0) {
        gui::Prompt::error(this, u"No URLs have been selected to save."_s);
        return;
    }
    for (int i = 0; i < m_displayurls->count(); ++i) {
        const QListWidgetItem *row = m_displayurls->item(i);
        if (row->checkState() != Qt::Checked)
            continue;
        const QString url = row->text();
        if (m_editor.urlexists(url)) {
            const auto answer = gui::Prompt::confirm(this,
                                                     u"URL \""_s + url
                                                         + u"\" which you are attempting to add already exists in "
                                                           "the current URL List. Ignore and continue?"_s,
                                                     gui::Prompt::Buttons::YesNo);
            if (answer == gui::Prompt::Answer::Yes)
                continue;
            return;
        }
        m_editor.appendEntry(newEntry(m_settings, url, u"No Description"_s));
    }
    m_editor.Modified = true;
    accept();
}

void Tpageimportform::showHelp()
{
    auto *window = new gui::HelpWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showTopic(1041);
}

} // namespace pw::client
