#pragma once

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "core/DbResult.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

namespace tarvo {

class DatabaseService;

// The result list of the search window: the rows a search found, in its order. A search reads the ids
// of its first rows only; the ids of the others are read when the grid scrolls past them (fetchMore),
// and the columns of a row, a block of rows at a time, when the grid first shows it. A result larger
// than its first part is counted only when its number is asked for. So a result of 100,000 rows is on
// screen nearly as quickly as one of ten. On a change of the live database the model lets go of its
// rows and runs its search again on the new one.
class SearchResultModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        AddressColumn,
        HostnameColumn,
        TypeColumn,
        UsernameColumn,
        StaffNoColumn,
        RemarksColumn,
        BlankColumn,
        ColumnCount
    };

    SearchResultModel(const DatabaseConnection& database, DatabaseService& service,
                      QObject* parent = nullptr);

    // Runs a search and lists its first rows. On a failure the list stays as it was.
    DbOutcome run(const RecordSearch& search);
    // Empties the list; the search is forgotten.
    void clear();

    // Whether the search found no row, or exactly one.
    bool isEmpty() const { return m_rowIds.isEmpty(); }
    bool hasSingleRow() const { return m_complete && m_rowIds.size() == 1; }
    // Whether the number of rows found is known without counting them.
    bool isCounted() const { return m_count >= 0; }
    // The number of rows the search found (the rows listed so far may be fewer); counted at the first
    // question when the result is larger than its first part.
    DbResult<qint64> count() const;

    const RecordSearch& search() const { return m_search; }
    qint64 rowIdAt(int row) const;
    // The rows' ids from one row to another, both included, in that direction.
    QList<qint64> rowIdsBetween(int from, int to) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    const RecordListRow* rowAt(int row) const;
    void setRows(const FoundRows& rows);

    IpRecordStore m_store;
    RecordSearch m_search;
    QList<qint64> m_rowIds;
    mutable qint64 m_count = 0; // -1 until counted
    QVariantList m_last;        // where the rows not listed yet begin
    bool m_complete = true;
    // Blocks of rows read so far, by block number; an empty block is one that could not be read.
    mutable QHash<qsizetype, QList<RecordListRow>> m_blocks;
};

} // namespace tarvo
