#include "ado/sqlserver/RowsetReader.h"

#include "ado/sqlserver/ValueCodec.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

// One column's values, row after row.
class ColumnReader {
public:
    explicit ColumnReader(ValueKind kind) : m_kind(kind) {}

    // An unknown kind becomes what the first value that is not NULL reads as.
    ValueKind kind() const { return m_kind; }

    vb::Variant read(sqlite3_stmt* s, int column)
    {
        if (m_kind != ValueKind::Text || sqlite3_column_type(s, column) != SQLITE_TEXT)
            return readColumn(s, column, m_kind);
        // Rows read together often repeat a text (a station's code): the last one read is shared then.
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        const QByteArrayView bytes(text, sqlite3_column_bytes(s, column));
        if (!m_hasText || bytes != m_bytes) {
            m_bytes = bytes.toByteArray();
            m_text = QString::fromUtf8(bytes);
            m_hasText = true;
        }
        return vb::Variant(m_text);
    }

private:
    ValueKind m_kind;
    bool m_hasText = false;
    QByteArray m_bytes;  // the last text read, as SQLite gave it
    QString m_text;
};

}  // namespace

Rowset readRowset(sqlite3_stmt* s, const StatementPlan& plan, int& rc)
{
    Rowset rowset;
    const bool withRowid = !plan.rowidTable.isEmpty();
    const int count = sqlite3_column_count(s) - (withRowid ? 1 : 0);
    std::vector<ColumnReader> readers;
    readers.reserve(size_t(count));
    rowset.columns.resize(size_t(count));
    bool oneTable = withRowid;
    for (int i = 0; i < count; ++i) {
        ColumnInfo& info = rowset.columns[size_t(i)];
        info.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const char* declared = sqlite3_column_decltype(s, i);
        if (declared) {
            info.declaredType = QString::fromUtf8(declared);
            info.baseTable = QString::fromUtf8(sqlite3_column_table_name(s, i));
            info.baseColumn = QString::fromUtf8(sqlite3_column_origin_name(s, i));
            if (info.baseTable.compare(plan.rowidTable, Qt::CaseInsensitive) != 0)
                oneTable = false;
            readers.emplace_back(kindOfDeclaredType(declared));
        } else {
            if (size_t(i) < plan.columnTypes.size())
                info.declaredType = plan.columnTypes[size_t(i)];
            readers.emplace_back(kindOfDeclaredType(info.declaredType));
        }
    }
    std::vector<bool> typed;  // whether the declared type gave the column's kind
    for (const ColumnReader& reader : readers)
        typed.push_back(reader.kind() != ValueKind::Unknown);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        std::vector<vb::Variant>& row = rowset.rows.emplace_back();
        row.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            row.push_back(readers[size_t(i)].read(s, i));
        if (withRowid)
            rowset.rowids.push_back(sqlite3_column_int64(s, count));
    }
    // Expressions without a declared type report the kind their values were read as.
    for (int i = 0; i < count; ++i) {
        if (!typed[size_t(i)] && readers[size_t(i)].kind() != ValueKind::Unknown)
            rowset.columns[size_t(i)].declaredType = declaredTypeOfKind(readers[size_t(i)].kind());
    }
    if (oneTable) {
        // The table's own spelling, as SQLite reports it for the columns, rather than the statement's.
        rowset.baseTable = plan.rowidTable;
        for (const ColumnInfo& info : rowset.columns) {
            if (!info.baseTable.isEmpty())
                rowset.baseTable = info.baseTable;
        }
    } else {
        rowset.rowids.clear();
    }
    return rowset;
}

}  // namespace sqlserver
