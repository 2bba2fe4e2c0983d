#include "records/SearchResultModel.h"

#include "core/DatabaseService.h"

namespace tarvo {

namespace {

// The rows listed by a search at first, more than a screen holds.
constexpr qsizetype FirstRows = 256;
// Rows whose columns are read at a time, and the most blocks kept: a long scroll keeps memory bounded.
constexpr qsizetype BlockRows = 64;
constexpr qsizetype KeptBlocks = 256;

} // namespace

SearchResultModel::SearchResultModel(const DatabaseConnection& database, DatabaseService& service,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_store(database)
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

DbOutcome SearchResultModel::run(const RecordSearch& search)
{
    auto first = m_store.find(search, {}, FirstRows);
    if (!first)
        return first.outcome();
    m_search = search;
    setRows(*first);
    return DbOutcome::success();
}

void SearchResultModel::clear()
{
    m_search = {};
    setRows({{}, {}, true});
}

void SearchResultModel::setRows(const FoundRows& rows)
{
    beginResetModel();
    m_rowIds = rows.rowIds;
    m_last = rows.last;
    m_complete = rows.complete;
    m_count = rows.complete ? rows.rowIds.size() : -1;
    m_blocks.clear();
    endResetModel();
}

DbResult<qint64> SearchResultModel::count() const
{
    if (m_count < 0) {
        auto counted = m_store.count(m_search);
        if (!counted)
            return counted.failure();
        // Never fewer than are listed (rows may have been added since the search).
        m_count = qMax(*counted, static_cast<qint64>(m_rowIds.size()));
    }
    return m_count;
}

bool SearchResultModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !m_complete;
}

void SearchResultModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    // The rest at once: a grid scrolled to the end of the first rows is on its way further down.
    auto rest = m_store.find(m_search, m_last);
    m_complete = true;
    if (!rest || rest->rowIds.isEmpty())
        return;
    beginInsertRows({}, static_cast<int>(m_rowIds.size()),
                    static_cast<int>(m_rowIds.size() + rest->rowIds.size() - 1));
    m_rowIds += rest->rowIds;
    m_last = rest->last;
    endInsertRows();
    // Every row is listed now: the list is its count.
    m_count = m_rowIds.size();
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
