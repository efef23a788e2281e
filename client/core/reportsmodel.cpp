#include "reportsmodel.h"

using namespace Qt::StringLiterals;

namespace pw::client {

ReportsModel::ReportsModel(ReportRows &rows, QObject *parent)
    : QAbstractTableModel(parent)
    , m_rows(rows)
{
}

int ReportsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.rows().size());
}

int ReportsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ReportsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.rows().size())
        return {};
    const ReportRecord &record = m_rows.rows().at(index.row());
    if (role == Qt::ToolTipRole)
        return record.fileLocation;
    if (role != Qt::DisplayRole)
        return {};
    return index.column() == 0 ? record.dateTime : record.listName;
}

QVariant ReportsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? u"Date/Time"_s : u"URL List"_s;
}

void ReportsModel::appendUpdate(const ReportRecord &record)
{
    const int row = int(m_rows.rows().size());
    beginInsertRows({}, row, row);
    m_rows.appendUpdate(record);
    endInsertRows();
}

void ReportsModel::change(const std::function<void()> &edit)
{
    beginResetModel();
    edit();
    endResetModel();
}

} // namespace pw::client
