#pragma once

#include "core/DbResult.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QTableView;

namespace tarvo {

class AppContext;

// Read-only rows of cells under column headers, for the grids that only show what a query found.
class ReadOnlyRowsModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ReadOnlyRowsModel(QStringList headers, QObject* parent = nullptr);

    void setRows(QList<QVariantList> rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    QList<QVariantList> m_rows;
};

// A small modal window that lists cities of a place in a read-only grid with an "OK" button. It reads
// its rows when it opens and again after a change of the database, which it lets go of meanwhile.
class CityListDialog : public QDialog
{
    Q_OBJECT
public:
    using Reader = std::function<DbResult<QList<QVariantList>>()>;

protected:
    CityListDialog(AppContext& context, const QString& name, const QString& caption, QStringList headers,
                   Reader read, QWidget* parent);

private:
    void reload();

    AppContext& m_context;
    Reader m_read;
    ReadOnlyRowsModel* m_model;
    QTableView* gridData;
};

// "Offset List ...": the cities of a state and area that use a second octet, with their offsets.
class frmOffsetList final : public CityListDialog
{
    Q_OBJECT
public:
    frmOffsetList(AppContext& context, const QString& stateCode, const QString& area, int octet2,
                  QWidget* parent = nullptr);
};

// "IP Octet2 List ...": the cities of a segment code and area, by second octet.
class frmOctet2List final : public CityListDialog
{
    Q_OBJECT
public:
    frmOctet2List(AppContext& context, const QString& stateCode, const QString& area,
                  QWidget* parent = nullptr);
};

} // namespace tarvo
