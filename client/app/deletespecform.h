#pragma once

#include <QDialog>

class QRadioButton;

namespace pw::client {

// `Tdeletespecform`, "Delete Log Entries": which entries of the log to delete by age.
class Tdeletespecform final : public QDialog
{
    Q_OBJECT

public:
    explicit Tdeletespecform(QWidget *parent = nullptr);

    // Opens the dialog; the answer comes with finished().
    void ask();
    // After "Delete": "All", "Today", "7" or "30" for the button that is on; after "Close", "0".
    QString range() const;

private:
    QRadioButton *m_all = nullptr;
    QRadioButton *m_today = nullptr;
    QRadioButton *m_week = nullptr;
    QRadioButton *m_month = nullptr;
};

} // namespace pw::client
