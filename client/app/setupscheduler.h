#pragma once

#include "store/settings.h"

#include <QWidget>

class QComboBox;
class QRadioButton;
class QTreeWidget;

namespace pw::client {

class Tintervalform;

// The Setup dialog's "Scheduler" page: the schedule list `schedview` and the commands that
// add daily and interval entries and delete them.
class SchedulerPage final : public QWidget
{
    Q_OBJECT

public:
    explicit SchedulerPage(QWidget *parent = nullptr);

    // The pickers' names: "All WebBoxes" and then every known URL List.
    void setListNames(const QStringList &names);
    // `schedload`'s filling and `schedsave`'s reading, in list order.
    void setRows(const QList<ScheduleRow> &rows);
    QList<ScheduleRow> rows() const;

    void addTime();
    void addInterval();
    // `deletescheditem`
    void deletescheditem();
    void sortByColumn(int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void appendRow(const ScheduleRow &row);
    void intervalChosen();

    QComboBox *m_hour = nullptr;
    QComboBox *m_minute = nullptr;
    QRadioButton *m_am = nullptr;
    QRadioButton *m_pm = nullptr;
    QComboBox *m_availboxes = nullptr;
    QTreeWidget *m_schedview = nullptr;
    Tintervalform *m_intervalForm = nullptr;
    QString m_intervalTarget;
};

} // namespace pw::client
