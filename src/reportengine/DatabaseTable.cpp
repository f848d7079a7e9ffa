#include "reportengine/DatabaseTable.h"

#include "reportengine/Layout_p.h"
#include "reportengine/Report.h"

namespace reportengine {

DatabaseTable::DatabaseTable(TableSpec& table, Report& report)
    : m_table(table), m_report(report), m_fields(EngineError::UnknownField, QStringLiteral("O campo"))
{
    for (const QString& field : m_table.fields)
        m_fields.add(std::make_shared<DatabaseFieldDefinition>(m_table.name, field));
}

QString DatabaseTable::Name() const
{
    return m_table.name;
}

QString DatabaseTable::Location() const
{
    return m_table.location;
}

void DatabaseTable::setLocation(const QString& location)
{
    m_table.location = location;
    m_report.layoutChanged();
}

void DatabaseTable::SetLogOnInfo(const QString& server, const QString& database, const QString& user,
                                 const QString& password)
{
    m_table.logOn = {server, database, user, password, true};
    m_report.layoutChanged();
}

}  // namespace reportengine
