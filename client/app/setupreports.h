#pragma once

#include "store/settings.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pw::client {

// The Setup dialog's "Reports" page: reports on or off, their e-mail, and the report list
// `reportlist` with its "All WebBoxes" rules.
class ReportsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit ReportsPage(QWidget *parent = nullptr);

    void setListNames(const QStringList &names);
    void load(const Settings &s);
    void store(Settings &s) const;

    QStringList reportList() const;
    void addReport();
    // `removereportitem`
    void removereportitem();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyCouplings();

    QCheckBox *m_reportscapability = nullptr;
    QCheckBox *m_reportunchanged = nullptr;
    QGroupBox *m_mailGroup = nullptr;
    QCheckBox *m_emailreports = nullptr;
    QCheckBox *m_emailblank = nullptr;
    QLineEdit *m_smtpserver = nullptr;
    QLineEdit *m_origmail = nullptr;
    QLineEdit *m_sendmail = nullptr;
    QList<QLabel *> m_mailLabels;
    QGroupBox *m_listGroup = nullptr;
    QComboBox *m_reportbox = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QListWidget *m_reportlist = nullptr;
};

} // namespace pw::client
