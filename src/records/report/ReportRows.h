#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tarvo {

// The rows a report prints, read one at a time while a page is painted, so that a report of many
// thousand rows never copies them into widgets.
class ReportRows
{
public:
    virtual ~ReportRows() = default;

    virtual int rowCount() const = 0;
    // The position of a data field ("IP_Address", in any case), or -1 when the rows have no such field.
    virtual int fieldIndex(const QString& field) const = 0;
    // The text of one field of one row.
    virtual QString text(int row, int field) const = 0;
};

// Rows held in memory: the field names and, per row, one text per field.
class TableRows final : public ReportRows
{
public:
    explicit TableRows(QStringList fields) : m_fields(std::move(fields)) {}

    // Adds a row; missing texts print blank, extra ones are dropped.
    void append(QStringList row);
    void reserve(int rows) { m_rows.reserve(static_cast<std::size_t>(rows)); }

    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    int fieldIndex(const QString& field) const override;
    QString text(int row, int field) const override;

private:
    QStringList m_fields;
    std::vector<QStringList> m_rows;
};

} // namespace tarvo
