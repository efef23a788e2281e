#include "gettingstarted.h"

#include "mainwindow.h"
#include "quickstartform.h"
#include "setupform.h"

#include "client/core/urllibrary.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

Twizardone::Twizardone(MainWindow &main)
    : QDialog(&main)
    , m_main(main)
{
    setObjectName(u"wizardone"_s);
    setWindowTitle(u"Getting Started with Pagewarden"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window and its toolbars wait while it shows.
    setWindowModality(Qt::WindowModal);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto *title = new QLabel(u"Welcome to Pagewarden"_s, this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet(u"color: #2b4a6f"_s);
    auto *intro = new QLabel(
        u"The following is a list of steps to help you take advantage of Pagewarden's many powerful features:"_s, this);
    intro->setWordWrap(true);

    struct Step
    {
        QString text;
        QString button;
        QString name;
        void (Twizardone::*slot)();
    };
    const Step steps[] = {
        {u"Take the tutorial: seven short pages that show how Pagewarden watches web pages for you."_s,
         u"Open Tutorial"_s, u"tutorialbtn"_s, &Twizardone::openTutorial},
        {u"Create ready-made URL Lists from the URL Library: software releases, security advisories, news, "
         "weather and more."_s,
         u"WebBox Quick Start"_s, u"quickstartbtn"_s, &Twizardone::openQuickStart},
        {u"Choose when Pagewarden checks your pages, and set up reports, shortcuts and your connection."_s,
         u"Pagewarden Setup"_s, u"setupbtn"_s, &Twizardone::openSetup},
        {u"Read the help pages whenever you want to know more."_s, u"Open Help File"_s, u"helpbtn"_s,
         &Twizardone::openHelp},
    };
    auto *grid = new QGridLayout;
    int row = 0;
    for (const Step &step : steps) {
        auto *number = new QLabel(QString::number(row + 1) + u"."_s, this);
        number->setFont(big);
        auto *text = new QLabel(step.text, this);
        text->setWordWrap(true);
        auto *button = new QPushButton(step.button, this);
        button->setObjectName(step.name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, step.slot);
        grid->addWidget(number, row, 0, Qt::AlignTop);
        grid->addWidget(text, row, 1);
        grid->addWidget(button, row, 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    m_showagain = new QCheckBox(u"Do not show this form at startup"_s, this);
    m_showagain->setObjectName(u"showagain"_s);
    auto *close = new QPushButton(u"Close"_s, this);
    close->setObjectName(u"closebtn"_s);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_showagain);
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(bottom);
    resize(520, 380);
}

void Twizardone::openTutorial()
{
    m_main.showTutorial();
    reject();
}

void Twizardone::openQuickStart()
{
    if (!QDir(urllibrary::libraryDir()).exists()) {
        gui::Prompt::error(this, u"Pagewarden could not find the URL Library directory. Please re-install."_s);
        return;
    }
    auto *quickStart = new Twizform(m_main, this);
    quickStart->open();
}

void Twizardone::openSetup()
{
    m_main.setupForm()->showSetup();
    reject();
}

void Twizardone::openHelp()
{
    auto *window = new gui::HelpWindow(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showTopic(1000);
}

void Twizardone::done(int result)
{
    m_main.clientSettings().setShowFirst(m_showagain->isChecked());
    QDialog::done(result);
}

} // namespace pw::client
