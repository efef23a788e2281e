#include "mainwindow.h"

#include "closeprompt.h"
#include "gui/helpwindow.h"
#include "gui/prompt.h"
#include "gui/singleinstance.h"
#include "queuewindow.h"

#include "store/paths.h"
#include "store/settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGridLayout>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace pw::server {

MainWindow::MainWindow(ServerCore &core, QWidget *parent)
    : QMainWindow(parent)
    , m_core(core)
{
    setObjectName(u"Tmain"_s);
    setWindowTitle(u"Pagewarden Server"_s);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    for (int i = 0; i < kSlotCount; ++i) {
        grid->addWidget(new QLabel(u"Retrieve %1:"_s.arg(i + 1), central), i, 0);
        m_slotLabels[i] = new QLabel(core.engine().slotCaption(i + 1), central);
        m_slotLabels[i]->setObjectName(u"slot%1"_s.arg(i + 1));
        m_slotLabels[i]->setStyleSheet(u"color: #00007f;"_s);
        grid->addWidget(m_slotLabels[i], i, 1, 1, 9);
    }
    const char *counterNames[5] = {"dispretr", "dispmod", "dispnchg", "disperr", "dispqueue"};
    const QString counterCaptions[5] = {u"Completed:"_s, u"New/Modified:"_s, u"Unchanged:"_s, u"Errors:"_s,
                                        u"Queue:"_s};
    auto *counters = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        counters->addWidget(new QLabel(counterCaptions[i], central));
        m_counters[i] = new QLabel(u"0"_s, central);
        m_counters[i]->setObjectName(QString::fromLatin1(counterNames[i]));
        counters->addWidget(m_counters[i]);
        counters->addSpacing(12);
    }
    counters->addStretch();
    grid->addLayout(counters, kSlotCount, 0, 1, 10);
    grid->setColumnStretch(9, 1);
    setCentralWidget(central);

    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(u"statusPanel%1"_s.arg(i));
        statusBar()->addWidget(m_panels[i], i == 0 ? 1 : 2);
    }
    m_panels[0]->setText(u"Pagewarden Idle."_s);
    statusBar()->setSizeGripEnabled(false);

    auto *toolbar = new QToolBar(u"Commands"_s, this);
    toolbar->setObjectName(u"toolbar"_s);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::BottomToolBarArea, toolbar);
    toolbar->addAction(u"Client"_s, this, &MainWindow::activateClient)->setObjectName(u"clientbtn"_s);
    m_queueAction = toolbar->addAction(u"Queue"_s, this, &MainWindow::showQueue);
    m_queueAction->setObjectName(u"queuebtn"_s);
    m_abortAction = toolbar->addAction(u"Abort"_s, this, &MainWindow::abort);
    m_abortAction->setObjectName(u"abortbtn"_s);
    toolbar->addAction(u"Close"_s, this, [this] { close(); })->setObjectName(u"closebtn"_s);
    toolbar->addAction(u"Minimize"_s, this, &MainWindow::minimizeToTray)->setObjectName(u"minimizebtn"_s);
    toolbar->addAction(u"Help"_s, this, [this] { showHelp(1064); })->setObjectName(u"helpbtn"_s);

    setFixedSize(600, 380);

    RunEngine &engine = core.engine();
    connect(&engine, &RunEngine::slotCaptionChanged, this,
            [this](int slot, const QString &caption) { m_slotLabels[slot - 1]->setText(caption); });
    connect(&engine, &RunEngine::countersChanged, this, [this](const Counters &c) {
        const int values[5] = {c.completed, c.modified, c.unchanged, c.errors, c.queue};
        for (int i = 0; i < 5; ++i)
            m_counters[i]->setText(QString::number(values[i]));
    });
    connect(&engine, &RunEngine::statusPanelChanged, this,
            [this](int panel, const QString &text) { m_panels[panel]->setText(text); });
    connect(&engine, &RunEngine::acceptingWorkChanged, this, [this](bool accepting) {
        m_abortAction->setEnabled(accepting);
        m_queueAction->setEnabled(accepting);
    });
    connect(&engine, &RunEngine::busyChanged, this, [this](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });
    connect(&engine, &RunEngine::runFinished, this, &MainWindow::onRunFinished);

    // Dial-up progress goes to the second panel; the cursor shows while a line is dialled,
    // and the window stays usable, Abort included.
    Dialer &dialer = core.dialer();
    connect(&dialer, &Dialer::statusChanged, this, [this](const QString &text) { m_panels[1]->setText(text); });
    connect(&dialer, &Dialer::busyCursorChanged, this, [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    });

    m_queue = new QueueForm(engine, this);
    connect(m_queue, &QueueForm::helpRequested, this, &MainWindow::showHelp);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(windowIcon(), this);
        m_tray->setToolTip(u"Pagewarden Server"_s);
        auto *menu = new QMenu(this);
        QAction *restoreAction = menu->addAction(u"&Restore"_s, this, &MainWindow::restore);
        menu->setDefaultAction(restoreAction);
        menu->addAction(u"&Activate Client"_s, this, &MainWindow::activateClient);
        menu->addSeparator();
        menu->addAction(u"&Close Server"_s, this, [this] { close(); });
        m_tray->setContextMenu(menu);
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick)
                restore();
        });
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, &MainWindow::activateClient);
        connect(&engine, &RunEngine::trayHintChanged, m_tray, &QSystemTrayIcon::setToolTip);
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::present(bool minimized)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    const bool hidden = m_core.engine().settings().systemtray;
    if (m_tray && hidden) {
        m_tray->show();
        return;
    }
    if (m_tray)
        m_tray->hide();
    if (!m_tray || minimized) {
        // Without a tray the window is the only way back: show it minimised. The client
        // starts the server minimised too.
        showMinimized();
        return;
    }
    QTimer::singleShot(1000, this, [this] { restore(); });
}

void MainWindow::restore()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::minimizeToTray()
{
    if (m_tray) {
        hide();
        m_tray->show();
    } else {
        showMinimized();
    }
}

void MainWindow::showHelp(int topic)
{
    if (!m_help)
        m_help = new gui::HelpWindow(this);
    m_help->showTopic(topic);
}

void MainWindow::activateClient()
{
    if (m_core.link().isConnected()) {
        if (!gui::SingleInstance::sendRestore(u"pagewarden"_s))
            gui::Prompt::error(this, u"Pagewarden Client could not be activated."_s);
        return;
    }
    const QString client = paths::installDir() + u"pagewarden"_s;
    if (!QFile::exists(client) || !QProcess::startDetached(client, {})) {
        gui::Prompt::error(this, u"The Pagewarden Client could not be found. Please re-install."_s);
    }
}

void MainWindow::showQueue()
{
    if (m_queue->fill())
        m_queue->show();
}

void MainWindow::abort()
{
    if (!m_core.abort())
        gui::Prompt::information(this, u"No transfers are currently active."_s);
}

bool MainWindow::requestClose()
{
    if (m_core.link().isConnected()) {
        gui::Prompt::error(this, u"You cannot close the Server while Pagewarden clients are connected."_s);
        return false;
    }
    if (!m_core.engine().settings().placeintray)
        return true;
    RunEngine &engine = m_core.engine();
    CloseForm prompt(
        true, [&engine] { return engine.transferActive(); }, this);
    connect(&prompt, &CloseForm::helpRequested, this, &MainWindow::showHelp);
    prompt.exec();
    // Every answer records the check box: "TrayClose" is the opposite of it.
    Settings settings = engine.settings();
    settings.placeintray = prompt.placeInTray();
    engine.setSettings(settings);
    {
        auto store = paths::openSettings();
        store->beginGroup(u"Defaults"_s);
        settings::writeFlag(*store, settings::kTrayClose, settings.placeintray);
        store->endGroup();
    }
    switch (prompt.choice()) {
    case CloseForm::Choice::Exit:
        hide();
        return true;
    case CloseForm::Choice::Tray:
        minimizeToTray();
        return false;
    case CloseForm::Choice::Cancel:
        break;
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    if (requestClose())
        shutdownAndQuit();
}

void MainWindow::shutdownAndQuit()
{
    m_exiting = true;
    if (m_tray)
        m_tray->hide();
    m_core.engine().shutdown();
    QApplication::quit();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Minimising hides the window; the tray icon brings it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray) {
        QTimer::singleShot(0, this, [this] {
            hide();
            m_tray->show();
        });
    }
}

void MainWindow::onRunFinished()
{
    const int news = m_core.engine().counters().modified;
    if (news > 0 && m_tray && m_tray->isVisible()) {
        m_tray->showMessage(u"Pagewarden"_s,
                            news == 1 ? u"1 new or changed page"_s : u"%1 new or changed pages"_s.arg(news));
    }
}

} // namespace pw::server
