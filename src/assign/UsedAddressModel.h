#pragma once

#include "assign/IpRecord.h"

#include <QAbstractTableModel>
#include <QList>

namespace tarvo {

// The used-address list of the assignment window's grid: the rows of the range in use, with the
// columns IP_Address, Name, Type, Project and Remarks. It holds a copy of the rows read, never a query
// on the live database.
class UsedAddressModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<UsedAddress> rows);
    void clear() { setRows({}); }
    const QList<UsedAddress>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<UsedAddress> m_rows;
};

} // namespace tarvo
