#include "urlentrydialog.h"

#include "gui/colourpicker.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "store/passwordcipher.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

constexpr Rgb kYellow{0xFF, 0xFF, 0x00};
constexpr Rgb kRed{0xFF, 0x00, 0x00};

QString flagText(const QCheckBox *box)
{
    return box->isChecked() ? u"TRUE"_s : u"FALSE"_s;
}

// A whole number of at least 0, as the numeric fields must hold.
bool isCount(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0;
}

// A stored number as the field shows it: the number, or the setting when it is none.
QString numberOr(const QString &stored, const QString &setting)
{
    bool ok = false;
    const int value = stored.trimmed().toInt(&ok);
    return ok ? QString::number(value) : setting;
}

QString cssColour(Rgb c)
{
    return QColor(c.red, c.green, c.blue).name();
}

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QCheckBox *checkBox(const QString &caption, const QString &name, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

Tdialogurladd::Tdialogurladd(const Settings &settings, PageFetch *fetch, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_fetch(fetch)
{
    setObjectName(u"dialogurladd"_s);
    setWindowTitle(u"Add/Edit URL"_s);
    // No close box: the dialog ends through OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pages"_s);
    m_pages->addTab(createEnterPage(), u"Enter URL"_s);
    m_pages->addTab(createCustomizePage(), u"Customize Retrieval"_s);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(u"OK"_s, QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(u"okbtn"_s);
    m_ok->setDefault(true);
    m_cancel = buttons->addButton(u"Cancel"_s, QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(u"cancelbtn"_s);
    QPushButton *help = buttons->addButton(u"Help"_s, QDialogButtonBox::HelpRole);
    connect(m_ok, &QPushButton::clicked, this, &Tdialogurladd::okbtnClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        auto *window = new gui::HelpWindow(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->showTopic(1039);
    });

    m_status = new QStatusBar(this);
    m_status->setObjectName(u"statusbar"_s);
    m_status->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    layout->addWidget(m_status);

    connect(m_maskPassword, &QCheckBox::toggled, this, &Tdialogurladd::updateCouplings);
    connect(m_highlighter, &QCheckBox::toggled, this, &Tdialogurladd::updateCouplings);
    connect(m_enableKey, &QCheckBox::toggled, this, &Tdialogurladd::updateCouplings);
    const auto pickInto = [this](Rgb &colour) {
        if (const auto chosen = gui::ColourPicker::pick(this, QColor(colour.red, colour.green, colour.blue))) {
            colour = {quint8(chosen->red()), quint8(chosen->green()), quint8(chosen->blue())};
            paintSamples();
        }
    };
    connect(m_changeColourButton, &QPushButton::clicked, this, [this, pickInto] { pickInto(m_changeColour); });
    connect(m_keywordColourButton, &QPushButton::clicked, this, [this, pickInto] { pickInto(m_keywordColour); });
    fill(nullptr);
}

Tdialogurladd::~Tdialogurladd() = default;

QWidget *Tdialogurladd::createEnterPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    const QStringList hints = {
        u"1. Please enter the URL you wish to monitor. A description of this URL is also required. Invalid URL(s) "
        "will be referenced in the Pagewarden Error Log."_s,
        u"2. We suggest you click 'Validate' to ensure the existence of the entered URL."_s,
        u"3. For HTML pages with frames, Pagewarden can only monitor one frame per URL. If your URL contains frames, "
        "please click 'Frames' to choose a frame. "_s};
    for (const QString &hint : hints) {
        auto *label = new QLabel(hint, page);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto *form = new QFormLayout;
    m_description = lineEdit(u"description"_s, page);
    m_url = lineEdit(u"urltoadd"_s, page);
    m_username = lineEdit(u"username"_s, page);
    m_password = lineEdit(u"password"_s, page);
    form->addRow(u"Description:"_s, m_description);
    form->addRow(u"URL:"_s, m_url);
    form->addRow(u"Username:"_s, m_username);
    form->addRow(u"Password:"_s, m_password);
    layout->addLayout(form);
    m_maskPassword = checkBox(u"Mask Password"_s, u"maskpassword"_s, page);
    layout->addWidget(m_maskPassword);

    auto *fetchRow = new QHBoxLayout;
    m_frames = new QPushButton(u"Frames"_s, page);
    m_frames->setObjectName(u"framebtn"_s);
    m_validate = new QPushButton(u"Validate"_s, page);
    m_validate->setObjectName(u"validatebtn"_s);
    m_abort = new QPushButton(u"Abort"_s, page);
    m_abort->setObjectName(u"abortbtn"_s);
    m_abort->setEnabled(false);
    connect(m_frames, &QPushButton::clicked, this, &Tdialogurladd::framebtnClick);
    connect(m_validate, &QPushButton::clicked, this, &Tdialogurladd::validatebtnClick);
    connect(m_abort, &QPushButton::clicked, this, &Tdialogurladd::abortbtnClick);
    fetchRow->addStretch();
    fetchRow->addWidget(m_frames);
    fetchRow->addWidget(m_validate);
    fetchRow->addWidget(m_abort);
    layout->addLayout(fetchRow);
    layout->addStretch();
    return page;
}

QWidget *Tdialogurladd::createCustomizePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *options = new QHBoxLayout;
    m_keepLatest = checkBox(u"Keep Only Latest Page"_s, u"keeplatest"_s, page);
    m_sizePriority = checkBox(u"Size Priority"_s, u"sizepriority"_s, page);
    m_highlighter = checkBox(u"Highlight Changes"_s, u"highlighter"_s, page);
    options->addWidget(m_keepLatest);
    options->addWidget(m_sizePriority);
    options->addWidget(m_highlighter);
    layout->addLayout(options);

    auto *numbers = new QFormLayout;
    m_delay = lineEdit(u"delayvalue"_s, page);
    m_timeout = lineEdit(u"timeoutvalue"_s, page);
    m_sizeThreshold = lineEdit(u"sizethreshold"_s, page);
    numbers->addRow(u"HTTP Timeout:"_s, m_delay);
    numbers->addRow(u"Slow Timeout:"_s, m_timeout);
    numbers->addRow(u"Size Threshold:"_s, m_sizeThreshold);
    layout->addLayout(numbers);

    auto *colours = new QGridLayout;
    m_changeSample = new QLabel(u"Change Color will look like this."_s, page);
    m_changeSample->setObjectName(u"changesample"_s);
    m_changeColourButton = new QPushButton(u"Set"_s, page);
    m_changeColourButton->setObjectName(u"changecolorbtn"_s);
    m_keywordSample = new QLabel(u"Keyword Color will look like this."_s, page);
    m_keywordSample->setObjectName(u"keywordsample"_s);
    m_keywordColourButton = new QPushButton(u"Set"_s, page);
    m_keywordColourButton->setObjectName(u"keycolorbtn"_s);
    colours->addWidget(m_changeSample, 0, 0);
    colours->addWidget(m_changeColourButton, 0, 1);
    colours->addWidget(m_keywordSample, 1, 0);
    colours->addWidget(m_keywordColourButton, 1, 1);
    layout->addLayout(colours);

    m_enableKey = checkBox(u"Enable Keyword Highlighting"_s, u"enablekey"_s, page);
    layout->addWidget(m_enableKey);
    auto *keywords = new QFormLayout;
    m_keyList = lineEdit(u"keylist"_s, page);
    keywords->addRow(u"Keywords:"_s, m_keyList);
    layout->addLayout(keywords);
    auto *phraseHint = new QLabel(u"Separate keywords with blanks; write a phrase in double quotes."_s, page);
    layout->addWidget(phraseHint);
    auto *match = new QHBoxLayout;
    m_word = checkBox(u"Match Whole Word Only"_s, u"word"_s, page);
    m_caseSensitive = checkBox(u"Match Case"_s, u"casesensitive"_s, page);
    match->addWidget(m_word);
    match->addWidget(m_caseSensitive);
    layout->addLayout(match);
    layout->addStretch();
    return page;
}

void Tdialogurladd::fill(const UrlEntry *entry)
{
    m_abort->setEnabled(false);
    m_maskPassword->setChecked(true);
    m_pages->setCurrentIndex(0);
    if (!entry) {
        m_description->clear();
        m_url->setText(u"http://"_s);
        m_username->clear();
        m_password->clear();
        m_keepLatest->setChecked(false);
        m_sizePriority->setChecked(false);
        m_highlighter->setChecked(true);
        m_delay->setText(m_settings.httptimeout);
        m_timeout->setText(m_settings.slowtimeout);
        m_sizeThreshold->setText(m_settings.bytethresh);
        m_changeColour = kYellow;
        m_keywordColour = kRed;
        m_enableKey->setChecked(false);
        m_keyList->clear();
        m_word->setChecked(false);
        m_caseSensitive->setChecked(false);
    } else {
        const UrlEntry &e = *entry;
        m_description->setText(e[UrlEntry::Description]);
        m_url->setText(e[UrlEntry::Url]);
        m_username->setText(e[UrlEntry::Username]);
        m_password->setText(PasswordCipher::decipher(e[UrlEntry::Password]).value_or(QString()));
        m_keepLatest->setChecked(e.flag(UrlEntry::KeepOne));
        m_sizePriority->setChecked(e.flag(UrlEntry::SizePriority));
        m_highlighter->setChecked(e.flag(UrlEntry::Highlighting));
        m_delay->setText(numberOr(e[UrlEntry::Delay], m_settings.httptimeout));
        m_timeout->setText(numberOr(e[UrlEntry::TimeOut], m_settings.slowtimeout));
        m_sizeThreshold->setText(numberOr(e[UrlEntry::SizeThreshold], m_settings.bytethresh));
        m_changeColour = colourFromText(e[UrlEntry::HighlightColor]).value_or(kYellow);
        m_keywordColour = colourFromText(e[UrlEntry::KeywordColor]).value_or(kRed);
        m_enableKey->setChecked(e.flag(UrlEntry::Keywording));
        m_keyList->setText(e[UrlEntry::KeywordsToHighlight]);
        m_word->setChecked(e.flag(UrlEntry::WordChecked));
        m_caseSensitive->setChecked(e.flag(UrlEntry::CaseSensitive));
    }
    paintSamples();
    updateCouplings();
}

void Tdialogurladd::updateCouplings()
{
    m_password->setEchoMode(m_maskPassword->isChecked() ? QLineEdit::Password : QLineEdit::Normal);
    m_changeColourButton->setEnabled(m_highlighter->isChecked() && !m_fetching);
    const bool keywords = m_enableKey->isChecked();
    m_keyList->setEnabled(keywords);
    m_word->setEnabled(keywords);
    m_caseSensitive->setEnabled(keywords);
    m_keywordColourButton->setEnabled(keywords && !m_fetching);
}

void Tdialogurladd::paintSamples()
{
    m_changeSample->setStyleSheet(u"QLabel { background-color: %1; color: #000000; }"_s.arg(cssColour(m_changeColour)));
    m_keywordSample->setStyleSheet(u"QLabel { color: %1; font-weight: bold; }"_s.arg(cssColour(m_keywordColour)));
}

void Tdialogurladd::okbtnClick()
{
    const QString url = m_url->text().trimmed();
    const QString description = m_description->text().trimmed();
    if (url.isEmpty() || description.isEmpty()) {
        gui::Prompt::error(this, u"You must enter a URL and a description before continuing."_s);
        return;
    }
    if (EntryIndex < 0 && m_urlExists && m_urlExists(url)) {
        gui::Prompt::error(this, u"This URL already exists in the current URL List."_s);
        return;
    }
    const std::pair<QLineEdit *, QString> numbers[] = {
        {m_delay, u"You have specified an invalid value in the delay field. Please re-enter."_s},
        {m_timeout, u"You have specified an invalid value in the timeout field. Please re-enter."_s},
        {m_sizeThreshold, u"You have specified an invalid value in the size threshold field. Please re-enter."_s},
    };
    for (const auto &[field, message] : numbers) {
        if (!isCount(field->text())) {
            gui::Prompt::error(this, message);
            return;
        }
    }

    UrlEntry &e = m_result;
    e[UrlEntry::Description] = description;
    e[UrlEntry::Url] = url;
    e[UrlEntry::LastModified] = u"*"_s;
    e[UrlEntry::Size] = u"*"_s;
    e[UrlEntry::Username] = m_username->text().trimmed();
    e[UrlEntry::Password] = PasswordCipher::encipher(m_password->text().trimmed());
    e[UrlEntry::KeepOne] = flagText(m_keepLatest);
    e[UrlEntry::SizePriority] = flagText(m_sizePriority);
    e[UrlEntry::Highlighting] = flagText(m_highlighter);
    e[UrlEntry::Delay] = m_delay->text().trimmed();
    e[UrlEntry::TimeOut] = m_timeout->text().trimmed();
    e[UrlEntry::SizeThreshold] = m_sizeThreshold->text().trimmed();
    e[UrlEntry::HighlightColor] = colourToText(m_changeColour);
    e[UrlEntry::KeywordColor] = colourToText(m_keywordColour);
    e[UrlEntry::Keywording] = flagText(m_enableKey);
    e[UrlEntry::KeywordsToHighlight] = m_keyList->text().trimmed();
    e[UrlEntry::WordChecked] = flagText(m_word);
    e[UrlEntry::CaseSensitive] = flagText(m_caseSensitive);
    accept();
}

void Tdialogurladd::reject()
{
    // While a fetch runs only Abort may end it; the dialog closes afterwards.
    if (m_fetching)
        return;
    QDialog::reject();
}

void Tdialogurladd::setFetching(bool fetching)
{
    m_fetching = fetching;
    m_cancel->setEnabled(!fetching);
    m_ok->setEnabled(!fetching);
    m_validate->setEnabled(!fetching);
    m_frames->setEnabled(!fetching);
    m_abort->setEnabled(fetching);
    updateCouplings();
}

QString Tdialogurladd::withScheme(const QString &url) const
{
    return url.contains(u"://"_s) ? url : u"http://"_s + url;
}

} // namespace pw::client
