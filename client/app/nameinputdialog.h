#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace pw::client {

// A caption, a label and one name field with OK and Cancel: the "Add New Folder" and
// "Rename" dialogs of the tree. OK asks the check, which shows its own message and
// returns false to keep the dialog open.
class NameInputDialog final : public QDialog
{
    Q_OBJECT

public:
    NameInputDialog(const QString &caption, const QString &label, QWidget *parent = nullptr);

    void setCheck(std::function<bool(NameInputDialog &)> check) { m_check = std::move(check); }
    QLineEdit *field() const { return m_field; }
    void okClick();

private:
    QLineEdit *m_field;
    std::function<bool(NameInputDialog &)> m_check;
};

} // namespace pw::client
