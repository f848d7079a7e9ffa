#include "sqlserver/IdentityColumns.h"

#include "sqlserver/TokenTools.h"

namespace sqlserver {

QString identityColumnsDefinition()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (table_name TEXT COLLATE NOCASE PRIMARY KEY, "
                          "column_name TEXT NOT NULL, seed_value INTEGER NOT NULL, increment_value INTEGER NOT NULL, "
                          "last_value INTEGER)")
        .arg(identityColumnsTable);
}

QString identityRecord(const IdentitySpec& spec)
{
    return QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (%2, %3, %4, %5, NULL)")
        .arg(identityColumnsTable, quoteString(spec.table), quoteString(spec.column))
        .arg(spec.seed)
        .arg(spec.increment);
}

QString identityTriggerName(const QString& table)
{
    return QStringLiteral("sys_identity_") + table;
}

QString identityTrigger(const IdentitySpec& spec)
{
    const QString table = quoteString(spec.table);
    const QString column = quoteName(spec.column);
    return QStringLiteral(
               "CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN "
               "UPDATE %3 SET last_value = CASE WHEN sqlserver_identity_insert(%4) THEN "
               "CASE WHEN last_value IS NULL OR (increment_value > 0) = (NEW.%5 > last_value) THEN NEW.%5 "
               "ELSE last_value END "
               "WHEN last_value IS NULL THEN seed_value ELSE last_value + increment_value END "
               "WHERE table_name = %4; "
               "UPDATE %2 SET %5 = (SELECT last_value FROM %3 WHERE table_name = %4) "
               "WHERE rowid = NEW.rowid AND NOT sqlserver_identity_insert(%4); END")
        .arg(quoteName(identityTriggerName(spec.table)), quoteName(spec.table), identityColumnsTable, table, column);
}

void planIdentityInsert(Tokens& tokens, int verb, SchemaInfo& schema, StatementPlan& plan)
{
    const QString identity = schema.identityColumn(plan.insertTable);
    if (identity.isEmpty())
        return;
    const int end = int(tokens.size());
    int at = nextSignificant(tokens, verb + 1);
    if (at < end && tokens[at].is(QLatin1String("INTO")))
        at = nextSignificant(tokens, at + 1);
    // The table's name, possibly qualified.
    for (bool qualified = true; qualified && at < end;) {
        const int dot = nextSignificant(tokens, at + 1);
        qualified = dot < end && tokens[dot].isSymbol(QLatin1String("."));
        at = qualified ? nextSignificant(tokens, dot + 1) : dot;
    }
    using Value = StatementPlan::IdentityValue;
    if (at < end && tokens[at].isSymbol(QLatin1String("("))) {
        const int close = matchingClose(tokens, at);
        plan.identityValue = Value::Generated;
        for (int i = at + 1; i < close; ++i) {
            if (tokens[i].isName() && tokens[i].name().compare(identity, Qt::CaseInsensitive) == 0)
                plan.identityValue = Value::Explicit;
        }
        return;
    }
    if (at < end && tokens[at].is(QLatin1String("DEFAULT"))) {
        plan.identityValue = Value::Generated;
        return;
    }
    plan.identityValue = Value::Unlisted;
    QStringList columns;
    for (const QString& column : schema.columnNames(plan.insertTable)) {
        if (column.compare(identity, Qt::CaseInsensitive) != 0)
            columns << quoteName(column);
    }
    replaceRange(tokens, at, at, tokensOf(QStringLiteral("(") + columns.join(QStringLiteral(", ")) + QStringLiteral(") ")));
}

}  // namespace sqlserver
