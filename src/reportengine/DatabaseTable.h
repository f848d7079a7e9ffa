#pragma once
// A table of a report's data: its name, where it is read from, and the log-on its records are read with.

#include "reportengine/FieldDefinitions.h"
#include "reportengine/ItemList.h"

namespace reportengine {

struct TableSpec;

class DatabaseTable {
public:
    DatabaseTable(TableSpec& table, Report& report);
    QString Name() const;
    QString Location() const;
    // The table (or view) of the database the records come from; the layout's own name unless set.
    void setLocation(const QString& location);
    // The server ("sqlite:<folder>" for the embedded server), database, user and password the records are
    // read with, as the program connects.
    void SetLogOnInfo(const QString& server, const QString& database = {}, const QString& user = {},
                      const QString& password = {});
    ItemList<DatabaseFieldDefinition>& Fields() { return m_fields; }

private:
    TableSpec& m_table;
    Report& m_report;
    ItemList<DatabaseFieldDefinition> m_fields;
};

// The report's data: its tables, 1-based.
class Database {
public:
    Database() : m_tables(EngineError::UnknownItem, QStringLiteral("A tabela")) {}
    ItemList<DatabaseTable>& Tables() { return m_tables; }

private:
    ItemList<DatabaseTable> m_tables;
};

}  // namespace reportengine
