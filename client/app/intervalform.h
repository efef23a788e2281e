#pragma once

#include <QDialog>

class QLineEdit;

namespace pw::client {

// `Tintervalform`: "Specify an Interval", the prompt of "Add New Time X Minutes". OK closes
// it only with a whole number from 1 to 1000 in the field.
class Tintervalform final : public QDialog
{
    Q_OBJECT

public:
    explicit Tintervalform(QWidget *parent = nullptr);

    // Empties the field and opens the prompt; the answer comes with finished().
    void ask();
    int minutes() const;

    void accept() override;

private:
    QLineEdit *m_interval = nullptr;
};

} // namespace pw::client
