#include "actionlogmodel.h"

using namespace Qt::StringLiterals;

namespace pw::client {

ActionLogModel::ActionLogModel(ActionLogRows &rows, QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
{
}

int ActionLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.rows().size());
}

int ActionLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ActionLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rows().size())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const LogEntry &entry = m_rows.rows().at(index.row());
    return index.column() == 0 ? entry.dateTime : entry.message;
}

QVariant ActionLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? u"Date/Time"_s : u"Action"_s;
}

void ActionLogModel::change(const std::function<void()> &edit)
{
    beginResetModel();
    edit();
    endResetModel();
}

} // namespace pw::client
