#pragma once
// SQL Server's data types as the embedded server sees them: a declared type ("VARCHAR(50)", "DECIMAL(18,2)",
// "INTEGER", Access's "LONG") read into SQL Server's name, type id, lengths and the kind of its values.

#include "sqlserver/ValueCodec.h"

#include <QString>

namespace sqlserver {

struct SqlType {
    QString name;           // SQL Server's name, lower case: "varchar", "int", "datetime"; "sql_variant" if unknown
    ValueKind kind = ValueKind::Unknown;
    int systemTypeId = 98;  // sys.types.system_type_id
    int length = 0;         // the declared length: characters for text, -1 for MAX, 0 when none was given
    int maxLength = 8016;   // sys.columns.max_length: bytes (two per character of nvarchar/nchar), -1 for MAX
    int precision = 0;
    int scale = 0;
    bool fixedLength = false;  // char/nchar/binary: values are padded to the length
};

SqlType parseSqlType(const QString& declaredType);

// SQL Server's types as sys.types lists them: (name, system_type_id, max_length, precision, scale).
struct SystemType {
    const char* name;
    int id;
    int maxLength;
    int precision;
    int scale;
};
const std::vector<SystemType>& systemTypes();

}  // namespace sqlserver
