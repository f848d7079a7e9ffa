#pragma once
// What a database engine hands back to the ADO layer, whichever engine it is (the embedded server or a real
// server through ODBC): row sets with their columns, and the descriptions of tables and their indexes.

#include "runtime/Variant.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace sqlbase {

struct ColumnInfo {
    QString name;          // as the statement names it (alias or column)
    QString declaredType;  // the source column's declared type ("DATETIME", "VARCHAR(50)"); for expressions the
                           // type the value has ("DATETIME" for getdate(), "FLOAT", "INT", "VARCHAR")
    QString baseTable;     // the source table, empty for expressions
    QString baseColumn;    // the source column, empty for expressions
};

struct Rowset {
    std::vector<ColumnInfo> columns;
    // Values as platform kinds: DATETIME columns as Date, BIT as Boolean, INT as Long, SMALLINT as Integer,
    // FLOAT as Double, REAL as Single, MONEY as Currency, text as String, SQL NULL as Null.
    std::vector<std::vector<vb::Variant>> rows;
    // When every row comes from one table: that table and each row's rowid (for writing rows back); else empty.
    QString baseTable;
    std::vector<std::int64_t> rowids;
};

struct BatchResult {
    std::vector<Rowset> rowsets;  // one per statement of the batch that returned rows, in order
    long long rowsAffected = -1;  // rows changed by the last INSERT/UPDATE/DELETE of the batch, -1 when none ran
    std::vector<QString> messages;  // PRINT, and RAISERROR of severity 10 or less, in order
};

// A table's column as its declaration gives it, for the catalog and for typing record-set fields.
struct TableColumn {
    QString name;
    QString declaredType;
    bool notNull = false;
    bool primaryKey = false;
    bool identity = false;
};

struct TableIndex {
    QString name;
    bool unique = false;
    bool primaryKey = false;
    std::vector<std::pair<QString, bool>> columns;  // column, descending
};

}  // namespace sqlbase
