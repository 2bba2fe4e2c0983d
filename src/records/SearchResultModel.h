#pragma once

#include "assign/IpRecordStore.h"
#include "assign/RecordSearch.h"
#include "core/DbResult.h"
#include "records/SearchReader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

namespace tarvo {

class DatabaseService;

// The result list of the search window: the rows a search found, in its order. A search lists a part of
// its rows at a time: the first part when it runs, the next one when the grid scrolls to the end
// (fetchMore). The columns of a row are read, a block of rows at a time, when the grid first shows it.
// A search that an index serves reads its parts at once, each from the index; any other search reads
// them on a thread of its own and lists the rows as they come (SearchReader). A result larger than its
// first part is counted on a thread of its own. So the window never waits on more than a part of any
// search. On a change of the live database the model lets go of its rows and runs its search again on
// the new one.
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

    // Rows listed in one part.
    static constexpr qsizetype PartRows = 256;

    SearchResultModel(const DatabaseConnection& database, DatabaseService& service,
                      QObject* parent = nullptr);
    ~SearchResultModel() override;

    // Runs a search: the list empties and its first part comes, at once or later; settled tells when
    // the first part is there (or failed). On a failure the list stays empty.
    void run(const RecordSearch& search);
    // Empties the list; the search is forgotten.
    void clear();

    // Whether the first part of the search that runs is still to come.
    bool isSearching() const { return m_searching; }
    // Whether a part is on its way from the search's thread.
    bool isReading() const { return m_reading; }
    // Whether the search found no row, or exactly one.
    bool isEmpty() const { return m_rowIds.isEmpty(); }
    bool hasSingleRow() const { return m_complete && m_rowIds.size() == 1; }
    // The number of rows the search found (the rows listed so far may be fewer); -1 until known.
    qint64 count() const { return m_count; }

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

Q_SIGNALS:
    // The first part of the search is listed, or could not be read.
    void settled(const tarvo::DbOutcome& outcome);
    // The number of rows is known, or could not be counted.
    void counted(const tarvo::DbOutcome& outcome);
    // A later part could not be read; the list ends where it is.
    void readFailed(const QString& error);

private:
    const RecordListRow* rowAt(int row) const;
    void reset(const RecordSearch& search);
    void readPart();
    void takeRows(const SearchReader::Rows& rows);
    void listWaitingRows();
    void partEnded(const DbOutcome& outcome);
    void setCount(qint64 count);
    void startCount();

    const DatabaseConnection& m_database;
    IpRecordStore m_store;
    SearchReader m_reader;
    quint64 m_ticket = 0;
    RecordSearch m_search;
    QList<qint64> m_rowIds;
    qint64 m_count = 0;         // -1 until counted
    QVariantList m_last;        // where the rows not read yet begin
    bool m_complete = true;     // every row is listed
    bool m_readComplete = true; // every row is read (some may wait to be listed)
    bool m_reading = false;     // a part is on its way
    bool m_searching = false;   // the first part is on its way
    qsizetype m_partEnd = 0;    // the rows listed when the part on its way is over
    QList<qint64> m_waiting;    // rows read, in order, to be listed by the next parts
    qsizetype m_waitingAt = 0;  // the first of them not listed yet
    // Blocks of rows read so far, by block number; an empty block is one that could not be read.
    mutable QHash<qsizetype, QList<RecordListRow>> m_blocks;
};

} // namespace tarvo
