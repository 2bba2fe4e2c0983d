#include "records/report/ReportRows.h"

namespace tarvo {

void TableRows::append(QStringList row)
{
    row.resize(m_fields.size());
    m_rows.push_back(std::move(row));
}

int TableRows::fieldIndex(const QString& field) const
{
    // Field names compare as the database compares them, without regard to case.
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString TableRows::text(int row, int field) const
{
    if (row < 0 || row >= rowCount() || field < 0 || field >= m_fields.size())
        return {};
    return m_rows[static_cast<std::size_t>(row)].at(field);
}

} // namespace tarvo
