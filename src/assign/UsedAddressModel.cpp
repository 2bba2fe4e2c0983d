#include "assign/UsedAddressModel.h"

namespace tarvo {

namespace {

enum Column
{
    AddressColumn,
    NameColumn,
    TypeColumn,
    ProjectColumn,
    RemarksColumn,
    ColumnCount
};

} // namespace

void UsedAddressModel::setRows(QList<UsedAddress> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int UsedAddressModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int UsedAddressModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UsedAddressModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const UsedAddress& row = m_rows.at(index.row());
    switch (index.column()) {
    case AddressColumn:
        return row.IP_Address;
    case NameColumn:
        return row.Name;
    case TypeColumn:
        return row.Type;
    case ProjectColumn:
        return row.Project;
    case RemarksColumn:
        return row.Remarks;
    default:
        return {};
    }
}

QVariant UsedAddressModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const headers[ColumnCount] = {"IP_Address", "Name", "Type", "Project", "Remarks"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(headers[section]) : QVariant();
}

} // namespace tarvo
