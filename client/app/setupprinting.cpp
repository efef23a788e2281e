#include "setupprinting.h"

#include "fontchooser.h"
#include "printsetup.h"

#include "gui/printing.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

namespace {

struct FontRow
{
    const char16_t *caption;
    const char16_t *detailsName;
    const char16_t *sampleName;
    const char16_t *buttonName;
    const char16_t *sample;
};

constexpr FontRow kRows[3] = {
    {u"Title Font/Size:", u"titledetails", u"titlesample", u"titlefontbtn",
     u"This is what your title will look like at 8pt font. "},
    {u"Subtitles Font/Size:", u"subtitledetails", u"subtitlesample", u"subtitlefontbtn",
     u"This is what your subtitle will look like at 8pt font. "},
    {u"Main Body Font/Size:", u"bodydetails", u"bodysample", u"bodyfontbtn",
     u"This is what your body text will look like at 8pt font. "},
};

} // namespace

PrintingPage::PrintingPage(PrintSetup &printSetup, QWidget *parent)
    : QWidget(parent)
    , m_printSetup(printSetup)
{
    setObjectName(u"printingpage"_s);
    auto *layout = new QVBoxLayout(this);
    auto *flags = new QHBoxLayout;
    m_dispdate = new QCheckBox(u"Display Date"_s, this);
    m_dispdate->setObjectName(u"dispdate"_s);
    m_dispname = new QCheckBox(u"Display Name of WebBox"_s, this);
    m_dispname->setObjectName(u"dispname"_s);
    flags->addWidget(m_dispdate);
    flags->addWidget(m_dispname);
    flags->addStretch();
    layout->addLayout(flags);

    auto *fonts = new QGroupBox(u"Fonts"_s, this);
    auto *grid = new QGridLayout(fonts);
    for (int i = 0; i < 3; ++i) {
        const FontRow &row = kRows[i];
        m_details[i] = new QLabel(fonts);
        m_details[i]->setObjectName(QString::fromUtf16(row.detailsName));
        m_details[i]->hide();
        m_samples[i] = new QLabel(QString::fromUtf16(row.sample), fonts);
        m_samples[i]->setObjectName(QString::fromUtf16(row.sampleName));
        m_samples[i]->setFrameShape(QFrame::StyledPanel);
        m_samples[i]->setMinimumHeight(24);
        auto *set = new QPushButton(u"Set..."_s, fonts);
        set->setObjectName(QString::fromUtf16(row.buttonName));
        set->setAutoDefault(false);
        const auto role = static_cast<FontRole>(i);
        connect(set, &QPushButton::clicked, this, [this, role] { chooseFont(role); });
        auto *caption = new QLabel(QString::fromUtf16(row.caption), fonts);
        caption->setBuddy(set);
        grid->addWidget(caption, i * 2, 0);
        grid->addWidget(set, i * 2, 1, Qt::AlignRight);
        grid->addWidget(m_samples[i], i * 2 + 1, 0, 1, 2);
    }
    grid->setColumnStretch(0, 1);
    layout->addWidget(fonts);

    auto *setupRow = new QHBoxLayout;
    auto *printSetupButton = new QPushButton(u"Print Setup..."_s, this);
    printSetupButton->setObjectName(u"printsetupbtn"_s);
    printSetupButton->setAutoDefault(false);
    connect(printSetupButton, &QPushButton::clicked, this, &PrintingPage::printSetupDialog);
    setupRow->addWidget(printSetupButton);
    setupRow->addStretch();
    layout->addLayout(setupRow);
    layout->addStretch();

    m_chooser = new FontChooser(this);
    connect(m_chooser, &QDialog::accepted, this, &PrintingPage::fontChosen);
}

PrintingPage::~PrintingPage()
{
    // An open page set-up works on the printer: it goes first.
    delete m_setupDialog;
}

void PrintingPage::load(const Settings &s)
{
    m_dispdate->setChecked(s.dispdate);
    m_dispname->setChecked(s.dispname);
    m_details[Title]->setText(s.titledetails);
    m_details[SubTitle]->setText(s.subtitledetails);
    m_details[Body]->setText(s.bodydetails);
}

void PrintingPage::store(Settings &s) const
{
    s.dispdate = m_dispdate->isChecked();
    s.dispname = m_dispname->isChecked();
    s.titledetails = m_details[Title]->text();
    s.subtitledetails = m_details[SubTitle]->text();
    s.bodydetails = m_details[Body]->text();
}

void PrintingPage::fontpreview()
{
    for (int i = 0; i < 3; ++i) {
        ChosenFont chosen = parsesetupfont(m_details[i]->text());
        chosen.font.setPointSize(8);
        m_samples[i]->setFont(chosen.font);
        QPalette palette = m_samples[i]->palette();
        palette.setColor(QPalette::WindowText, chosen.colour);
        m_samples[i]->setPalette(palette);
    }
}

void PrintingPage::chooseFont(FontRole role)
{
    m_choosing = role;
    m_chooser->ask(m_details[role]->text());
}

void PrintingPage::fontChosen()
{
    m_details[m_choosing]->setText(m_chooser->chosenSetting());
    fontpreview();
}

void PrintingPage::printSetupDialog()
{
    delete m_setupDialog;
    m_setupPrinter = gui::Printing::printer();
    m_printSetup.applyTo(*m_setupPrinter);
    auto *dialog = new QPageSetupDialog(m_setupPrinter.get(), this);
    m_setupDialog = dialog;
    dialog->setObjectName(u"pagesetupdialog"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] { m_printSetup.setLayout(m_setupPrinter->pageLayout()); });
    dialog->open();
}

} // namespace pw::client
