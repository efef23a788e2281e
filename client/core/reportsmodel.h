#pragma once

#include "reportrows.h"

#include <QAbstractTableModel>

#include <functional>

namespace pw::client {

// The reports window's rows as a table: "Date/Time" and "URL List"; the report file's path
// is the row's third value, not shown.
class ReportsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ReportsModel(ReportRows &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A row added at the end, keeping the selection.
    void appendUpdate(const ReportRecord &record);
    // Any other change of the rows, made by `edit`.
    void change(const std::function<void()> &edit);

private:
    ReportRows &m_rows;
};

} // namespace pw::client
