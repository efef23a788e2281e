#pragma once

#include <QDialog>

class QCheckBox;

namespace pw::client {

class MainWindow;

// `Twizardone`, "Getting Started with Pagewarden": four steps, each with its button
// (tutorial, Quick Start, Setup, help), and the choice not to show it at start, which is
// stored as "ShowFirst" when it closes.
class Twizardone final : public QDialog
{
    Q_OBJECT

public:
    explicit Twizardone(MainWindow &main);

    void openTutorial();
    void openQuickStart();
    void openSetup();
    void openHelp();
    QCheckBox *showagain() const { return m_showagain; }

protected:
    void done(int result) override;

private:
    MainWindow &m_main;
    QCheckBox *m_showagain = nullptr;
};

} // namespace pw::client
