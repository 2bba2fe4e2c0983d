#pragma once

#include "subnetcalc/SubnetMath.h"

#include <QAbstractListModel>

namespace tarvo {

// The list of subnets as a list model: each row is a network identifier and its broadcast identifier
// joined by Tabs. The rows are computed as the view asks for them, so even a long list is shown at once.
class SubnetListModel final : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Replaces the whole list (an empty SubnetList empties it).
    void setSubnets(const SubnetList& subnets);
    const SubnetList& subnets() const { return m_subnets; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    SubnetList m_subnets;
};

} // namespace tarvo
