#pragma once

#include "actionlogrows.h"

#include <QAbstractTableModel>

#include <functional>

namespace pw::client {

// The log window's rows as a table: "Date/Time" and "Action". The rows live in the
// ActionLogRows it is given and are changed through change().
class ActionLogModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ActionLogModel(ActionLogRows &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A change of the rows, made by `edit`.
    void change(const std::function<void()> &edit);

private:
    ActionLogRows &m_rows;
};

} // namespace pw::client
