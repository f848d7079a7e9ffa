#include "sqlserver/RowsetReader.h"

#include "sqlserver/CollationRewrites.h"
#include "sqlserver/ValueCodec.h"

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

void describe(sqlite3_stmt* s, ResultColumns& described)
{
    const int count = sqlite3_column_count(s);
    described.columns.assign(size_t(count), ColumnInfo{});
    described.ofTables.assign(size_t(count), false);
    described.kinds.assign(size_t(count), ValueKind::Unknown);
    for (int i = 0; i < count; ++i) {
        ColumnInfo& info = described.columns[size_t(i)];
        info.name = withoutAddedCollation(QString::fromUtf8(sqlite3_column_name(s, i)));
        if (const char* declared = sqlite3_column_decltype(s, i)) {
            info.declaredType = QString::fromUtf8(declared);
            info.baseTable = QString::fromUtf8(sqlite3_column_table_name(s, i));
            info.baseColumn = QString::fromUtf8(sqlite3_column_origin_name(s, i));
            described.ofTables[size_t(i)] = true;
            described.kinds[size_t(i)] = kindOfDeclaredType(declared);
        }
    }
    described.compilations = sqlite3_stmt_status(s, SQLITE_STMTSTATUS_REPREPARE, 0);
}

}  // namespace

Rowset readRowset(sqlite3_stmt* s, const StatementPlan& plan, ResultColumns& described, int& rc)
{
    // SQLite compiles the statement again in its first step when the schema changed: describe it after that.
    rc = sqlite3_step(s);
    if (described.compilations != sqlite3_stmt_status(s, SQLITE_STMTSTATUS_REPREPARE, 0))
        describe(s, described);
    Rowset rowset;
    const bool withRowid = !plan.rowidTable.isEmpty();
    const int count = sqlite3_column_count(s) - (withRowid ? 1 : 0);
    rowset.columns.assign(described.columns.begin(), described.columns.begin() + count);
    std::vector<ColumnReader> readers;
    readers.reserve(size_t(count));
    std::vector<bool> typed;  // whether the declared type gave the column's kind
    bool oneTable = withRowid;
    for (int i = 0; i < count; ++i) {
        ColumnInfo& info = rowset.columns[size_t(i)];
        ValueKind kind = described.kinds[size_t(i)];
        if (described.ofTables[size_t(i)]) {
            if (info.baseTable.compare(plan.rowidTable, Qt::CaseInsensitive) != 0)
                oneTable = false;
        } else if (size_t(i) < plan.columnTypes.size()) {
            info.declaredType = plan.columnTypes[size_t(i)];
            kind = kindOfDeclaredType(info.declaredType);
        }
        readers.emplace_back(kind);
        typed.push_back(kind != ValueKind::Unknown);
    }
    // Rows are kept in memory: a join of billions of rows must fail before it takes all of it (701).
    constexpr size_t maxValues = 20'000'000;
    const size_t maxRows = maxValues / size_t(count + 1);
    for (; rc == SQLITE_ROW; rc = sqlite3_step(s)) {
        if (rowset.rows.size() >= maxRows) {
            rc = SQLITE_NOMEM;
            break;
        }
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
