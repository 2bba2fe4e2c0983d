#include "plan/CityLists.h"

#include "core/AppContext.h"
#include "core/DatabaseService.h"
#include "core/Messenger.h"
#include "core/WidgetParts.h"
#include "plan/PlanStore.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tarvo {

ReadOnlyRowsModel::ReadOnlyRowsModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers))
{}

void ReadOnlyRowsModel::setRows(QList<QVariantList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ReadOnlyRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReadOnlyRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant ReadOnlyRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return m_rows.value(index.row()).value(index.column());
}

QVariant ReadOnlyRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? QVariant(m_headers.value(section)) : QVariant(section + 1);
}

namespace {

// The cells of a city in a list: name, code, octet 2 and, when asked for, the offset (empty when it has
// none).
CityListDialog::Reader cityCells(std::function<DbResult<QList<CityRow>>()> read, bool withOffset)
{
    return [read = std::move(read), withOffset]() -> DbResult<QList<QVariantList>> {
        auto cities = read();
        if (!cities)
            return cities.failure();
        QList<QVariantList> rows;
        for (const CityRow& city : std::as_const(*cities)) {
            QVariantList cells{city.City_name, city.Abbr_city, city.IP_octet2};
            if (withOffset)
                cells << (city.Offset ? QVariant(*city.Offset) : QVariant());
            rows << cells;
        }
        return rows;
    };
}

} // namespace

CityListDialog::CityListDialog(AppContext& context, const QString& name, const QString& caption,
                               QStringList headers, Reader read, QWidget* parent)
    : QDialog(parent), m_context(context), m_read(std::move(read))
{
    setObjectName(name);
    setWindowTitle(caption);
    m_model = new ReadOnlyRowsModel(std::move(headers), this);
    gridData = new QTableView(this);
    gridData->setObjectName(QStringLiteral("gridData"));
    gridData->setModel(m_model);
    gridData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridData->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridData->setAlternatingRowColors(true);
    gridData->verticalHeader()->setDefaultSectionSize(gridData->fontMetrics().height() + 8);
    gridData->horizontalHeader()->setStretchLastSection(true);
    auto* ok = makeButton(QStringLiteral("OK"), "cmdOK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridData);
    layout->addLayout(buttonRow({ok}));
    resize(460, 280);

    new DatabaseHold(context.databaseService(), this,
                     {{}, [this] { m_model->setRows({}); }, [this] { reload(); }});
    reload();
}

void CityListDialog::reload()
{
    auto rows = m_read();
    if (!rows) {
        m_model->setRows({});
        m_context.messenger().inform(this, rows.error(), QStringLiteral("Error !!!"), MessageIcon::Critical);
        return;
    }
    m_model->setRows(*rows);
    gridData->resizeColumnsToContents();
}

frmOffsetList::frmOffsetList(AppContext& context, const QString& stateCode, const QString& area, int octet2,
                             QWidget* parent)
    : CityListDialog(context, QStringLiteral("frmOffsetList"), QStringLiteral("Offset List ..."),
                     {QStringLiteral("City_name"), QStringLiteral("Abbr_city"), QStringLiteral("IP_Octet2"),
                      QStringLiteral("Offset")},
                     cityCells(
                         [&context, stateCode, area, octet2] {
                             return PlanStore(context.database()).citiesWithOctet2(stateCode, area, octet2);
                         },
                         true),
                     parent)
{}

frmOctet2List::frmOctet2List(AppContext& context, const QString& stateCode, const QString& area,
                             QWidget* parent)
    : CityListDialog(
          context, QStringLiteral("frmOctet2List"), QStringLiteral("IP Octet2 List ..."),
          {QStringLiteral("City_name"), QStringLiteral("Abbr_city"), QStringLiteral("IP_octet2")},
          cityCells([&context, stateCode,
                     area] { return PlanStore(context.database()).citiesByOctet2(stateCode, area); },
                    false),
          parent)
{}

} // namespace tarvo
