#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QCheckBox;
class QLabel;

namespace pw::server {

// Tcloseform: asks whether to exit the server or keep it in the tray.
class CloseForm final : public QDialog
{
    Q_OBJECT

public:
    enum class Choice { Exit, Tray, Cancel };

    // `runActive` tells whether a run is going on, for the run line.
    CloseForm(bool placeInTray, std::function<bool()> runActive, QWidget *parent = nullptr);

    Choice choice() const { return m_choice; }
    // The new value of "TrayClose": the opposite of the check box.
    bool placeInTray() const;

Q_SIGNALS:
    void helpRequested(int topic);

private:
    void refreshRunLine();
    void finish(Choice choice);

    std::function<bool()> m_runActive;
    QLabel *m_activecap;
    QCheckBox *m_dontaskclose;
    QTimer m_refresh;
    Choice m_choice = Choice::Cancel;
};

} // namespace pw::server
