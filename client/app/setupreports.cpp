#include "setupreports.h"

#include "client/core/clientmessages.h"

#include "client/core/setuplists.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

ReportsPage::ReportsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"reportspage"_s);
    auto *layout = new QVBoxLayout(this);

    auto *flags = new QHBoxLayout;
    m_reportscapability = new QCheckBox(u"Enable Reports"_s, this);
    m_reportscapability->setObjectName(u"reportscapability"_s);
    m_reportunchanged = new QCheckBox(u"Report Unchanged"_s, this);
    m_reportunchanged->setObjectName(u"reportunchanged"_s);
    flags->addWidget(m_reportscapability);
    flags->addWidget(m_reportunchanged);
    flags->addStretch();
    layout->addLayout(flags);

    m_mailGroup = new QGroupBox(u"E-mail Reports"_s, this);
    auto *mail = new QGridLayout(m_mailGroup);
    m_emailreports = new QCheckBox(u"E-mail Reports "_s, m_mailGroup);
    m_emailreports->setObjectName(u"emailreports"_s);
    m_emailblank = new QCheckBox(u"E-mail Blank Reports (No Changes)"_s, m_mailGroup);
    m_emailblank->setObjectName(u"emailblank"_s);
    mail->addWidget(m_emailreports, 0, 0);
    mail->addWidget(m_emailblank, 0, 1);
    const auto field = [&](const QString &label, const QString &name, int row) {
        auto *edit = new QLineEdit(m_mailGroup);
        edit->setObjectName(name);
        auto *caption = new QLabel(label, m_mailGroup);
        caption->setBuddy(edit);
        m_mailLabels.append(caption);
        mail->addWidget(caption, row, 0);
        mail->addWidget(edit, row, 1);
        return edit;
    };
    m_smtpserver = field(u"SMTP (outgoing) server:"_s, u"smtpserver"_s, 1);
    m_origmail = field(u"Originating Mail Address:"_s, u"origmail"_s, 2);
    m_sendmail = field(u"Receipt Address:"_s, u"sendmail"_s, 3);
    layout->addWidget(m_mailGroup);

    m_listGroup = new QGroupBox(u"Specify URL Lists"_s, this);
    auto *lists = new QGridLayout(m_listGroup);
    m_reportbox = new QComboBox(m_listGroup);
    m_reportbox->setObjectName(u"reportbox"_s);
    m_add = new QPushButton(u"Add "_s, m_listGroup);
    m_add->setObjectName(u"addreportbtn"_s);
    m_add->setAutoDefault(false);
    m_delete = new QPushButton(u"Delete"_s, m_listGroup);
    m_delete->setObjectName(u"deletereportbtn"_s);
    m_delete->setAutoDefault(false);
    m_reportlist = new QListWidget(m_listGroup);
    m_reportlist->setObjectName(u"reportlist"_s);
    m_reportlist->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_reportlist->installEventFilter(this);
    lists->addWidget(m_reportbox, 0, 0);
    lists->addWidget(m_add, 1, 0);
    lists->addWidget(m_delete, 2, 0);
    lists->setRowStretch(3, 1);
    lists->addWidget(m_reportlist, 0, 1, 4, 1);
    lists->setColumnStretch(1, 1);
    layout->addWidget(m_listGroup, 1);

    connect(m_add, &QPushButton::clicked, this, &ReportsPage::addReport);
    connect(m_delete, &QPushButton::clicked, this, &ReportsPage::removereportitem);
    connect(m_reportscapability, &QCheckBox::clicked, this, &ReportsPage::applyCouplings);
    connect(m_emailreports, &QCheckBox::clicked, this, [this] {
        // Blank reports go out only with the others.
        if (!m_emailreports->isChecked())
            m_emailblank->setChecked(false);
        applyCouplings();
    });
}

void ReportsPage::setListNames(const QStringList &names)
{
    m_reportbox->clear();
    m_reportbox->addItem(QString::fromLatin1(kAllWebBoxes));
    m_reportbox->addItems(names);
    m_reportbox->setCurrentIndex(-1);
}

void ReportsPage::load(const Settings &s)
{
    m_reportscapability->setChecked(s.reportscapability);
    m_reportunchanged->setChecked(s.reportunchanged);
    m_emailreports->setChecked(s.emailreports);
    m_emailblank->setChecked(s.emailblank);
    m_smtpserver->setText(s.smtpserver);
    m_origmail->setText(s.origmail);
    m_sendmail->setText(s.sendmail);
    m_reportlist->clear();
    m_reportlist->addItems(s.reportlist);
    applyCouplings();
}

void ReportsPage::store(Settings &s) const
{
    s.reportscapability = m_reportscapability->isChecked();
    s.reportunchanged = m_reportunchanged->isChecked();
    s.emailreports = m_emailreports->isChecked();
    s.emailblank = m_emailblank->isChecked();
    s.smtpserver = m_smtpserver->text();
    s.origmail = m_origmail->text();
    s.sendmail = m_sendmail->text();
    s.reportlist = reportList();
}

QStringList ReportsPage::reportList() const
{
    QStringList names;
    for (int i = 0; i < m_reportlist->count(); ++i)
        names.append(m_reportlist->item(i)->text());
    return names;
}

void ReportsPage::applyCouplings()
{
    const bool reports = m_reportscapability->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(m_mailGroup), static_cast<QWidget *>(m_reportunchanged),
                       static_cast<QWidget *>(m_listGroup)})
        w->setEnabled(reports);
    const bool mail = m_emailreports->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(m_emailblank), static_cast<QWidget *>(m_smtpserver),
                       static_cast<QWidget *>(m_origmail), static_cast<QWidget *>(m_sendmail)})
        w->setEnabled(mail);
}

void ReportsPage::addReport()
{
    const QStringList list = reportList();
    const QString name = m_reportbox->currentText().trimmed();
    if (const auto refusal = setuplists::checkReportAdd(list, name)) {
        gui::Prompt::error(this, *refusal);
        return;
    }
    if (setuplists::addClearsReportList(list, name)) {
        if (gui::Prompt::confirm(this, qs(text::kClearForAll), gui::Prompt::Buttons::OkCancel)
            != gui::Prompt::Answer::Ok)
            return;
        m_reportlist->clear();
    }
    m_reportlist->addItem(name);
}

void ReportsPage::removereportitem()
{
    const QList<QListWidgetItem *> selected = m_reportlist->selectedItems();
    if (selected.isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoReportItemSelected));
        return;
    }
    qDeleteAll(selected);
}

bool ReportsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_reportlist && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        removereportitem();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pw::client
