#pragma once

#include <QDialog>

class QLineEdit;

namespace pw::client {

// `Tdialogfrm`: asks for the name of a new URL List on its first save. Stays on top;
// the field is emptied each time it shows.
class Tdialogfrm final : public QDialog
{
    Q_OBJECT

public:
    explicit Tdialogfrm(QWidget *parent = nullptr);

    QString name() const;
    QLineEdit *nameField() const { return m_name; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_name;
};

} // namespace pw::client
