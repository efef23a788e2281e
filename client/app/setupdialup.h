#pragma once

#include "store/settings.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace pw::client {

// The Setup dialog's "Dial-Up" page: the entry of the system's phone book to dial before
// a run, with its user name, password and retries.
class DialUpPage final : public QWidget
{
    Q_OBJECT

public:
    // `phoneBook` lists the phone book's entries when the box is checked.
    explicit DialUpPage(std::function<QStringList()> phoneBook, QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

private:
    void fillPhoneBook(const QStringList &entries);
    void setControlsEnabled(bool enabled);
    void enableClicked(bool checked);

    std::function<QStringList()> m_phoneBook;
    QCheckBox *m_enabledun = nullptr;
    QListWidget *m_pbookentries = nullptr;
    QLineEdit *m_dunuser = nullptr;
    QLineEdit *m_dunpass = nullptr;
    QLineEdit *m_busyretries = nullptr;
    QCheckBox *m_discdun = nullptr;
    QList<QLabel *> m_labels;
};

} // namespace pw::client
