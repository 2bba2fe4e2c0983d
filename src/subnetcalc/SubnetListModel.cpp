#include "subnetcalc/SubnetListModel.h"

#include <limits>

namespace tarvo {

void SubnetListModel::setSubnets(const SubnetList& subnets)
{
    beginResetModel();
    m_subnets = subnets;
    endResetModel();
}

int SubnetListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    // A view counts rows in int; the subnets of one whole-octet range never come near that limit.
    return static_cast<int>(std::min<qint64>(m_subnets.count(), std::numeric_limits<int>::max()));
}

QVariant SubnetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return m_subnets.rowText(index.row());
}

} // namespace tarvo
