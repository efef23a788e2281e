#include "setupscheduler.h"

#include "client/core/clientmessages.h"

#include "intervalform.h"

#include "client/core/setuplists.h"
#include "client/core/setuptexts.h"
#include "gui/prompt.h"
#include "store/clock.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace pw::client {

SchedulerPage::SchedulerPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"schedulerpage"_s);
    auto *layout = new QVBoxLayout(this);

    auto *newTime = new QGroupBox(u"New Scheduled Time"_s, this);
    auto *grid = new QGridLayout(newTime);
    m_hour = new QComboBox(newTime);
    m_hour->setObjectName(u"hour"_s);
    for (int hour = 1; hour <= 12; ++hour)
        m_hour->addItem(QString::number(hour));
    m_hour->setCurrentIndex(-1);
    m_hour->setMinimumContentsLength(3);
    m_hour->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_minute = new QComboBox(newTime);
    m_minute->setObjectName(u"minute"_s);
    m_minute->setEditable(true);
    for (int minute = 0; minute < 60; minute += 5)
        m_minute->addItem(u"%1"_s.arg(minute, 2, 10, QLatin1Char('0')));
    m_minute->setCurrentIndex(-1);
    m_minute->setInsertPolicy(QComboBox::NoInsert);
    m_minute->setMinimumContentsLength(3);
    m_minute->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_am = new QRadioButton(u"AM"_s, newTime);
    m_am->setObjectName(u"am"_s);
    m_am->setChecked(true);
    m_pm = new QRadioButton(u"PM"_s, newTime);
    m_pm->setObjectName(u"pm"_s);
    m_availboxes = new QComboBox(newTime);
    m_availboxes->setObjectName(u"availboxes"_s);
    m_availboxes->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_availboxes->setMinimumContentsLength(14);

    auto *hourLabel = new QLabel(u"Hour"_s, newTime);
    hourLabel->setBuddy(m_hour);
    auto *minuteLabel = new QLabel(u"Minute"_s, newTime);
    minuteLabel->setBuddy(m_minute);
    auto *boxLabel = new QLabel(u"WebBox to retrieve:"_s, newTime);
    boxLabel->setBuddy(m_availboxes);
    grid->addWidget(hourLabel, 0, 0);
    grid->addWidget(minuteLabel, 0, 1);
    grid->addWidget(boxLabel, 0, 3);
    grid->addWidget(m_hour, 1, 0);
    grid->addWidget(m_minute, 1, 1);
    auto *amPm = new QHBoxLayout;
    amPm->addWidget(m_am);
    amPm->addWidget(m_pm);
    grid->addLayout(amPm, 1, 2);
    grid->addWidget(m_availboxes, 1, 3);
    grid->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &caption, const QString &name, void (SchedulerPage::*slot)()) {
        auto *b = new QPushButton(caption, newTime);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(u"Add New Time"_s, u"addtimebtn"_s, &SchedulerPage::addTime);
    button(u"Add New Time X Minutes"_s, u"addintervalbtn"_s, &SchedulerPage::addInterval);
    button(u"Delete Selected Time"_s, u"deletetimebtn"_s, &SchedulerPage::deletescheditem);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 4);
    layout->addWidget(newTime);

    auto *listLabel = new QLabel(u"Currently Scheduled Times:"_s, this);
    layout->addWidget(listLabel);
    m_schedview = new QTreeWidget(this);
    m_schedview->setObjectName(u"schedview"_s);
    listLabel->setBuddy(m_schedview);
    m_schedview->setHeaderLabels({u"Date/Time"_s, u"WebBox"_s, u"Last Run"_s});
    m_schedview->setRootIsDecorated(false);
    m_schedview->setUniformRowHeights(true);
    m_schedview->setAllColumnsShowFocus(true);
    m_schedview->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_schedview->setColumnWidth(0, 140);
    m_schedview->setColumnWidth(1, 240);
    m_schedview->header()->setSectionsClickable(true);
    m_schedview->header()->setSortIndicatorShown(false);
    connect(m_schedview->header(), &QHeaderView::sectionClicked, this, &SchedulerPage::sortByColumn);
    m_schedview->installEventFilter(this);
    layout->addWidget(m_schedview, 1);

    m_intervalForm = new Tintervalform(this);
    connect(m_intervalForm, &QDialog::accepted, this, &SchedulerPage::intervalChosen);
}

void SchedulerPage::setListNames(const QStringList &names)
{
    m_availboxes->clear();
    m_availboxes->addItem(QString::fromLatin1(kAllWebBoxes));
    m_availboxes->addItems(names);
    m_availboxes->setCurrentIndex(-1);
}

void SchedulerPage::setRows(const QList<ScheduleRow> &rows)
{
    m_schedview->clear();
    for (const ScheduleRow &row : rows)
        appendRow(row);
}

QList<ScheduleRow> SchedulerPage::rows() const
{
    QList<ScheduleRow> rows;
    for (int i = 0; i < m_schedview->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_schedview->topLevelItem(i);
        rows.append({item->text(0), item->text(1), item->text(2)});
    }
    return rows;
}

void SchedulerPage::appendRow(const ScheduleRow &row)
{
    new QTreeWidgetItem(m_schedview, {row.time, row.webBox, row.lastRun});
}

void SchedulerPage::addTime()
{
    const QString amPm = m_pm->isChecked() ? u"PM"_s : u"AM"_s;
    const auto added = setuplists::addTime(m_hour->currentText(), m_minute->currentText(), amPm,
                                           m_availboxes->currentText(), Clock::currentDateTime(), rows());
    if (!added.row) {
        gui::Prompt::error(this, added.error);
        return;
    }
    appendRow(*added.row);
}

void SchedulerPage::addInterval()
{
    if (m_availboxes->currentText().trimmed().isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoWebBoxToSchedule));
        return;
    }
    m_intervalTarget = m_availboxes->currentText();
    m_intervalForm->ask();
}

void SchedulerPage::intervalChosen()
{
    // `getincrementtime`: the first due time is the interval from now.
    appendRow(setuplists::addInterval(m_intervalForm->minutes(), m_intervalTarget, Clock::currentDateTime()));
}

void SchedulerPage::deletescheditem()
{
    const QList<QTreeWidgetItem *> selected = m_schedview->selectedItems();
    if (selected.isEmpty()) {
        gui::Prompt::error(this, qs(text::kNoScheduleSelected));
        return;
    }
    QStringList keys;
    for (const QTreeWidgetItem *item : selected)
        keys.append(setuplists::scheduleKey({item->text(0), item->text(1), item->text(2)}));
    QList<ScheduleRow> remaining = rows();
    setuplists::removeScheduleKeys(remaining, keys);
    setRows(remaining);
}

void SchedulerPage::sortByColumn(int column)
{
    QList<ScheduleRow> sorted = rows();
    setuplists::sortSchedule(sorted, static_cast<setuplists::ScheduleColumn>(std::clamp(column, 0, 2)));
    setRows(sorted);
}

bool SchedulerPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_schedview && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        deletescheditem();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pw::client
