#include "closeprompt.h"

#include "store/clock.h"
#include "store/datetimetext.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::server {

CloseForm::CloseForm(bool placeInTray, std::function<bool()> runActive, QWidget *parent)
    : QDialog(parent)
    , m_runActive(std::move(runActive))
    , m_activecap(new QLabel(this))
    , m_dontaskclose(new QCheckBox(u"Do not ask this question again."_s, this))
{
    setObjectName(u"closeform"_s);
    setWindowTitle(u"Exit Pagewarden"_s);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *text = new QLabel(u"Pagewarden will not be able to automatically monitor web pages if you close the main "
                            "program. To place Pagewarden on your system tray, click 'Tray.' Otherwise, click 'Exit' "
                            "to close the program."_s,
                            this);
    text->setWordWrap(true);
    m_activecap->setObjectName(u"activecap"_s);
    m_dontaskclose->setObjectName(u"dontaskclose"_s);
    m_dontaskclose->setChecked(!placeInTray);

    auto *buttons = new QHBoxLayout;
    for (const auto &[caption, name] : {std::pair{u"Exit"_s, u"exitbtn"_s}, std::pair{u"Tray"_s, u"traybtn"_s},
                                        std::pair{u"Cancel"_s, u"cancelbtn"_s}, std::pair{u"Help"_s, u"helpbtn"_s}}) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        if (name == u"exitbtn"_s)
            connect(button, &QPushButton::clicked, this, [this] { finish(Choice::Exit); });
        else if (name == u"traybtn"_s)
            connect(button, &QPushButton::clicked, this, [this] { finish(Choice::Tray); });
        else if (name == u"cancelbtn"_s)
            connect(button, &QPushButton::clicked, this, [this] { finish(Choice::Cancel); });
        else
            connect(button, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(1065); });
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_activecap);
    layout->addWidget(m_dontaskclose);
    layout->addLayout(buttons);
    setFixedWidth(420);

    refreshRunLine();
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &CloseForm::refreshRunLine);
    m_refresh.start();
}

bool CloseForm::placeInTray() const
{
    return !m_dontaskclose->isChecked();
}

void CloseForm::refreshRunLine()
{
    m_activecap->setText(m_runActive && m_runActive()
                             ? u"Transfer Active: "_s + datetime::fullText(Clock::currentDateTime())
                             : QString());
}

void CloseForm::finish(Choice choice)
{
    m_choice = choice;
    m_refresh.stop();
    // Escape and the Cancel button both end here with Cancel.
    done(choice == Choice::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

} // namespace pw::server
