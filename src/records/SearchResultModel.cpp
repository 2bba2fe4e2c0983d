#include "records/SearchResultModel.h"

#include "core/DatabaseService.h"

namespace tarvo {

namespace {

// Rows whose columns are read at a time, and the most blocks kept: a long scroll keeps memory bounded.
constexpr qsizetype BlockRows = 64;
constexpr qsizetype KeptBlocks = 256;

} // namespace

SearchResultModel::SearchResultModel(const DatabaseConnection& database, DatabaseService& service,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_database(database), m_store(database), m_reader(this)
{
    // Nothing stays open on the database between reads; the rows belong to the database they came
    // from, so a change of it drops them and the search runs again.
    new DatabaseHold(service, this,
                     {[] { return QString(); },
                      [this] {
                          const RecordSearch search = m_search;
                          clear();
                          m_search = search;
                      },
                      [this] {
                          if (m_search.kind != RecordSearch::Kind::None)
                              run(m_search);
                      }});
}

SearchResultModel::~SearchResultModel() = default;

void SearchResultModel::run(const RecordSearch& search)
{
    reset(search);
    m_searching = true;
    m_complete = m_readComplete = false;
    m_count = -1;
    readPart();
}

void SearchResultModel::startCount()
{
    const quint64 ticket = m_ticket;
    m_reader.count(ticket, m_database.path(), m_search, [this, ticket](const DbResult<qint64>& counted) {
        if (ticket != m_ticket || m_complete)
            return;
        if (!counted)
            Q_EMIT this->counted(counted.outcome());
        else
            setCount(qMax(*counted, static_cast<qint64>(m_rowIds.size())));
    });
}

void SearchResultModel::clear()
{
    reset({});
}

void SearchResultModel::reset(const RecordSearch& search)
{
    beginResetModel();
    m_ticket = m_reader.newTicket();
    m_search = search;
    m_rowIds.clear();
    m_waiting.clear();
    m_waitingAt = 0;
    m_last.clear();
    m_count = 0;
    m_complete = m_readComplete = true;
    m_reading = m_searching = false;
    m_blocks.clear();
    endResetModel();
}

bool SearchResultModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete && !m_reading;
}

void SearchResultModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        readPart();
}

void SearchResultModel::readPart()
{
    m_partEnd = m_rowIds.size() + PartRows;
    if (m_waitingAt < m_waiting.size()) {
        listWaitingRows();
        return partEnded(DbOutcome::success());
    }
    if (IpRecordStore::isServedByIndex(m_search)) {
        // One range of an index: as quick for the last part of a large result as for the first.
        auto found = m_store.find(m_search, m_last, PartRows);
        if (!found) {
            m_complete = m_readComplete = true;
            return partEnded(found.outcome());
        }
        takeRows({m_ticket, *found, true});
        return;
    }
    m_reading = true;
    const quint64 ticket = m_ticket;
    m_reader.readPart(
        ticket, m_database.path(), m_search, m_last, PartRows,
        [this](const SearchReader::Rows& rows) {
            if (rows.ticket == m_ticket)
                takeRows(rows);
        },
        [this, ticket](const QString& error) {
            if (ticket != m_ticket)
                return;
            m_complete = m_readComplete = true;
            partEnded(DbOutcome::failure(error));
        });
}

void SearchResultModel::takeRows(const SearchReader::Rows& rows)
{
    m_last = rows.rows.last;
    m_readComplete = rows.rows.complete;
    m_waiting += rows.rows.rowIds;
    listWaitingRows();
    if (rows.ended)
        partEnded(DbOutcome::success());
}

void SearchResultModel::listWaitingRows()
{
    const qsizetype listed =
        qBound(qsizetype(0), m_partEnd - m_rowIds.size(), m_waiting.size() - m_waitingAt);
    if (listed > 0) {
        beginInsertRows({}, static_cast<int>(m_rowIds.size()),
                        static_cast<int>(m_rowIds.size() + listed - 1));
        m_rowIds += m_waiting.mid(m_waitingAt, listed);
        m_waitingAt += listed;
        endInsertRows();
    }
    if (m_waitingAt == m_waiting.size()) {
        m_waiting.clear();
        m_waitingAt = 0;
        if (m_readComplete)
            m_complete = true;
    }
}

void SearchResultModel::partEnded(const DbOutcome& outcome)
{
    m_reading = false;
    if (m_complete && outcome)
        setCount(m_rowIds.size());
    if (m_searching) {
        m_searching = false;
        // A result larger than its first part is counted on a thread of its own.
        if (outcome && !m_complete)
            startCount();
        Q_EMIT settled(outcome);
    } else if (!outcome) {
        Q_EMIT readFailed(outcome.error());
    }
}

void SearchResultModel::setCount(qint64 count)
{
    if (m_count == count)
        return;
    m_count = count;
    Q_EMIT counted(DbOutcome::success());
}

qint64 SearchResultModel::rowIdAt(int row) const
{
    return row >= 0 && row < m_rowIds.size() ? m_rowIds[row] : 0;
}

QList<qint64> SearchResultModel::rowIdsBetween(int from, int to) const
{
    QList<qint64> rowIds;
    const int step = from <= to ? 1 : -1;
    for (int row = from;; row += step) {
        if (const qint64 rowId = rowIdAt(row))
            rowIds << rowId;
        if (row == to)
            break;
    }
    return rowIds;
}

const RecordListRow* SearchResultModel::rowAt(int row) const
{
    if (row < 0 || row >= m_rowIds.size())
        return nullptr;
    const qsizetype block = row / BlockRows;
    auto it = m_blocks.constFind(block);
    if (it == m_blocks.constEnd()) {
        if (m_blocks.size() >= KeptBlocks)
            m_blocks.clear();
        const qsizetype first = block * BlockRows;
        auto rows = m_store.listRows(m_rowIds.mid(first, qMin(BlockRows, m_rowIds.size() - first)));
        it = m_blocks.insert(block, rows ? *rows : QList<RecordListRow>());
    }
    // A row deleted since the search is missing from its block: find the row by its id.
    const QList<RecordListRow>& rows = *it;
    const qsizetype offset = row % BlockRows;
    const qint64 rowId = m_rowIds[row];
    if (offset < rows.size() && rows[offset].rowId == rowId)
        return &rows[offset];
    for (const RecordListRow& candidate : rows) {
        if (candidate.rowId == rowId)
            return &candidate;
    }
    return nullptr;
}

int SearchResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rowIds.size());
}

int SearchResultModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const RecordListRow* row = rowAt(index.row());
    if (!row)
        return {};
    switch (index.column()) {
    case AddressColumn:
        return row->IP_Address;
    case HostnameColumn:
        return row->Name;
    case TypeColumn:
        return row->Type;
    case UsernameColumn:
        return row->Username;
    case StaffNoColumn:
        return row->StaffNo;
    case RemarksColumn:
        return row->Remarks;
    default:
        return QStringLiteral("  ");
    }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList headers{QStringLiteral("IP Address"), QStringLiteral("Hostname"),
                                     QStringLiteral("Type"),       QStringLiteral("Username"),
                                     QStringLiteral("Staff No."),  QStringLiteral("Remarks"),
                                     QStringLiteral("  ")};
    return headers.value(section);
}

} // namespace tarvo
