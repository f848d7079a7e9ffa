#include "ado/Recordset.h"

#include "ado/AdoErrors.h"
#include "ado/Connection.h"
#include "ado/Engine.h"
#include "ado/FindCriteria.h"
#include "ado/WriteBack.h"
#include "runtime/ReadOnce.h"
#include "sqlbase/Rowset.h"

#include <climits>

namespace ADODB {

struct Recordset::Private {
    std::shared_ptr<Connection> connection;
    bool open = false;
    long location = 0;  // 0 until set: the connection's
    long cursorType = adOpenForwardOnly;
    long lockType = adLockReadOnly;

    std::vector<sqlbase::ColumnInfo> columns;
    std::vector<std::vector<vb::Variant>> rows;
    QString baseTable;
    QString rowIdColumn;               // "rowid" when rows carry their rowid, empty when keyed by primary key
    std::vector<std::int64_t> rowids;  // beside rows, when rowIdColumn is set
    QString deferredSql;               // a server-side table's rows, not read yet (rows holds rows added since)
    ADODB::Fields fields;

    qsizetype position = 0;  // -1 before the first row (BOF), rows.size() after the last (EOF)
    bool currentDeleted = false;
    long editMode = adEditNone;
    std::vector<vb::Variant> edit;  // the current row as being changed
    std::vector<bool> changed;
    qsizetype positionBeforeAdd = 0;

    std::optional<std::vector<sqlbase::TableColumn>> tableColumnCache;
    std::vector<int> keyFields;  // fields holding the primary key, when keyed by it

    qsizetype size() const { return qsizetype(rows.size()); }
    bool hasRowids() const { return !rowIdColumn.isEmpty(); }

    // Writing back: the statements, the columns the fields stand for, the key that finds a row.
    void writeNewRow();
    void writeChangedRow();
    void deleteRow();
    sqlbase::BatchResult writeBack(const WriteBackStatement& statement);
    // The columns and values of the fields changed since the edit began.
    void changedColumns(std::vector<QString>& targets, std::vector<vb::Variant>& values) const;
    QString baseColumn(int field) const;
    int fieldOf(const QString& column) const;  // the field holding a column of the table, -1 when none
    const std::vector<sqlbase::TableColumn>& tableColumns();
    std::vector<int> findKeyFields();
    std::vector<QString> keyColumns();
    std::vector<vb::Variant> keyValues(std::size_t row) const;
};

namespace {

[[noreturn]] void insufficientBaseTable()
{
    raiseAdo(hresult::GeneralFailure, source::CursorEngine,
             QStringLiteral("Insufficient base table information for updating or refreshing."));
}

// Values that come back from the database as they were written: whole numbers, truth values, short texts.
bool comparesExactly(long type)
{
    switch (type) {
    case adSmallInt:
    case adInteger:
    case adUnsignedTinyInt:
    case adBigInt:
    case adBoolean:
    case adChar:
    case adWChar:
    case adVarChar:
    case adVarWChar:
        return true;
    default:
        return false;
    }
}

// A criterion read once per text: programs find rows by the same few criteria in loops.
std::shared_ptr<const FindCriteria> findCriteria(const QString& text)
{
    return vb::readOnce<std::shared_ptr<const FindCriteria>>(
        text, [](const QString& criteria) { return std::make_shared<const FindCriteria>(criteria); });
}

vb::Variant keyVariant(std::int64_t rowid)
{
    return rowid >= INT_MIN && rowid <= INT_MAX ? vb::Variant(int(rowid)) : vb::Variant(double(rowid));
}

}  // namespace

QString Recordset::Private::baseColumn(int field) const
{
    return columns[std::size_t(field)].baseColumn;
}

int Recordset::Private::fieldOf(const QString& column) const
{
    for (std::size_t f = 0; f < columns.size(); ++f)
        if (baseColumn(int(f)).compare(column, Qt::CaseInsensitive) == 0)
            return int(f);
    return -1;
}

sqlbase::BatchResult Recordset::Private::writeBack(const WriteBackStatement& statement)
{
    return connection->guarded(
        [&] { return connection->engine().executeWriteBack(statement.sql, statement.parameters); });
}

const std::vector<sqlbase::TableColumn>& Recordset::Private::tableColumns()
{
    if (!tableColumnCache)
        tableColumnCache = connection->guarded([&] { return connection->engine().columns(baseTable); });
    return *tableColumnCache;
}

// Without rowids a row is found by its table's primary key, else by its identity column, else (a table
// with neither, such as a one-row settings table) by every column whose value compares exactly. None when
// the table has a key that the fields do not hold.
std::vector<int> Recordset::Private::findKeyFields()
{
    std::vector<int> primary;
    std::vector<int> identity;
    std::vector<int> exact;
    bool hasPrimaryKey = false;
    bool holdsPrimaryKey = true;
    for (const auto& column : tableColumns()) {
        const int field = fieldOf(column.name);
        hasPrimaryKey = hasPrimaryKey || column.primaryKey;
        if (field < 0) {
            holdsPrimaryKey = holdsPrimaryKey && !column.primaryKey;
            continue;
        }
        if (column.primaryKey)
            primary.push_back(field);
        if (column.identity)
            identity.push_back(field);
        if (comparesExactly(fields.m_fields[std::size_t(field)].Type()))
            exact.push_back(field);
    }
    if (hasPrimaryKey && holdsPrimaryKey)
        return primary;
    if (!identity.empty())
        return identity;
    return hasPrimaryKey ? std::vector<int>() : exact;
}

std::vector<QString> Recordset::Private::keyColumns()
{
    if (hasRowids())
        return {rowIdColumn};
    if (keyFields.empty())
        keyFields = findKeyFields();
    if (keyFields.empty())
        raiseAdo(hresult::GeneralFailure, source::CursorEngine,
                 QStringLiteral("Insufficient key column information for updating or refreshing."));
    std::vector<QString> names;
    for (const int field : keyFields)
        names.push_back(baseColumn(field));
    return names;
}

std::vector<vb::Variant> Recordset::Private::keyValues(std::size_t row) const
{
    std::vector<vb::Variant> values;
    if (hasRowids())
        values.push_back(keyVariant(rowids[row]));
    for (const int field : keyFields)
        values.push_back(rows[row][std::size_t(field)]);
    return values;
}

void Recordset::Private::changedColumns(std::vector<QString>& targets, std::vector<vb::Variant>& values) const
{
    for (std::size_t f = 0; f < columns.size(); ++f) {
        if (!changed[f])
            continue;
        if (baseColumn(int(f)).isEmpty())
            insufficientBaseTable();
        targets.push_back(baseColumn(int(f)));
        values.push_back(edit[f]);
    }
}

void Recordset::Private::writeNewRow()
{
    if (baseTable.isEmpty())
        insufficientBaseTable();
    std::vector<QString> targets;
    std::vector<vb::Variant> values;
    changedColumns(targets, values);
    writeBack(insertStatement(baseTable, targets, values));
    const auto generated = [&] { return connection->guarded([&] { return connection->engine().lastInsertKey(); }); };
    if (hasRowids())
        rowids[std::size_t(position)] = std::int64_t(generated().toDouble());

    // As ADO's client cursor does, the row learns the identity the server gave it.
    std::vector<QString> identities;
    std::vector<std::size_t> identityFields;
    for (const auto& column : tableColumns()) {
        const int field = column.identity ? fieldOf(column.name) : -1;
        if (field >= 0 && !changed[std::size_t(field)]) {
            identities.push_back(column.name);
            identityFields.push_back(std::size_t(field));
        }
    }
    if (identities.empty())
        return;
    if (!hasRowids()) {
        // A real server's table has one identity: the one it generated last.
        edit[identityFields.front()] = generated();
        return;
    }
    const sqlbase::BatchResult read = writeBack(selectStatement(baseTable, identities, keyColumns(),
                                                                  keyValues(std::size_t(position))));
    if (read.rowsets.empty() || read.rowsets.front().rows.empty())
        return;
    for (std::size_t i = 0; i < identityFields.size(); ++i)
        edit[identityFields[i]] = read.rowsets.front().rows.front()[i];
}

void Recordset::Private::writeChangedRow()
{
    std::vector<QString> targets;
    std::vector<vb::Variant> values;
    changedColumns(targets, values);
    if (targets.empty())
        return;
    if (baseTable.isEmpty())
        insufficientBaseTable();
    const std::vector<QString> keys = keyColumns();
    if (writeBack(updateStatement(baseTable, targets, values, keys, keyValues(std::size_t(position)))).rowsAffected
        == 0)
        raiseAdo(hresult::RowNotFound, source::CursorEngine);
}

void Recordset::Private::deleteRow()
{
    if (baseTable.isEmpty())
        insufficientBaseTable();
    const std::vector<QString> keys = keyColumns();
    if (writeBack(deleteStatement(baseTable, keys, keyValues(std::size_t(position)))).rowsAffected == 0)
        raiseAdo(hresult::RowNotFound, source::CursorEngine);
}

Recordset::Recordset() : d(std::make_unique<Private>()) {}

Recordset::~Recordset()
{
    if (d->open && d->connection)
        d->connection->detach(this);
}

long Recordset::CursorLocation() const
{
    if (d->location == 0)
        return d->connection ? d->connection->CursorLocation() : adUseServer;
    return d->location;
}

void Recordset::setCursorLocation(long location)
{
    if (d->open)
        raiseAdo(adErrObjectOpen, source::Recordset);
    if (location != adUseServer && location != adUseClient)
        raiseAdo(adErrInvalidArgument, source::Recordset);
    d->location = location;
}

long Recordset::CursorType() const
{
    return d->cursorType;
}

void Recordset::setCursorType(long cursorType)
{
    if (d->open)
        raiseAdo(adErrObjectOpen, source::Recordset);
    if (cursorType < adOpenForwardOnly || cursorType > adOpenStatic)
        raiseAdo(adErrInvalidArgument, source::Recordset);
    d->cursorType = cursorType;
}

long Recordset::LockType() const
{
    return d->lockType;
}

void Recordset::setLockType(long lockType)
{
    if (d->open)
        raiseAdo(adErrObjectOpen, source::Recordset);
    if (lockType < adLockReadOnly || lockType > adLockBatchOptimistic)
        raiseAdo(adErrInvalidArgument, source::Recordset);
    d->lockType = lockType;
}

std::shared_ptr<Connection> Recordset::ActiveConnection() const
{
    return d->connection;
}

void Recordset::setActiveConnection(std::shared_ptr<Connection> connection)
{
    if (d->open) {
        if (CursorLocation() != adUseClient)
            raiseAdo(adErrObjectOpen, source::Recordset);
        if (d->connection)
            d->connection->detach(this);
        if (connection)
            if (const auto self = weak_from_this().lock())
                connection->attach(self);
    }
    d->connection = std::move(connection);
}

long Recordset::State() const
{
    return d->open ? adStateOpen : adStateClosed;
}

long Recordset::EditMode() const
{
    requireOpen();
    return d->editMode;
}

void Recordset::Open(const QString& source, std::shared_ptr<Connection> connection, long cursorType, long lockType,
                     long options)
{
    if (d->open)
        raiseAdo(adErrObjectOpen, source::Recordset);
    if (!connection)
        connection = d->connection;
    if (!connection || connection->State() != adStateOpen)
        raiseAdo(adErrInvalidConnection, source::Recordset);
    if (cursorType != adOpenUnspecified)
        setCursorType(cursorType);
    if (lockType != adLockUnspecified)
        setLockType(lockType);
    d->connection = connection;
    bool isTable = false;
    const QString sql = connection->sqlFor(source, options, &isTable);
    connection->willExecute(sql);
    const bool deferred = isTable && CursorLocation() == adUseServer;
    const QString firstSql = deferred ? sql + QStringLiteral(" where 1 = 0") : sql;
    sqlbase::BatchResult result = connection->guarded([&] { return connection->engine().execute(firstSql); });
    if (result.rowsets.empty())
        return;
    openOn(connection, std::move(result.rowsets.front()), CursorLocation(), d->cursorType, d->lockType);
    if (deferred)
        d->deferredSql = sql;
}

void Recordset::fetchDeferredRows() const
{
    if (d->deferredSql.isEmpty())
        return;
    const QString sql = std::exchange(d->deferredSql, QString());
    Connection& connection = *d->connection;
    sqlbase::BatchResult result = connection.guarded([&] { return connection.engine().execute(sql); });
    sqlbase::Rowset& rowset = result.rowsets.at(0);
    // Rows added since the open are in the table now; the current one stays current.
    const bool hadCurrent = d->position >= 0 && d->position < d->size();
    const std::vector<vb::Variant> currentKey =
        hadCurrent ? d->keyValues(std::size_t(d->position)) : std::vector<vb::Variant>();
    d->rows = std::move(rowset.rows);
    d->rowids = std::move(rowset.rowids);
    if (d->rowids.size() != d->rows.size())
        d->rowIdColumn.clear();
    d->position = 0;
    if (!hadCurrent)
        return;
    for (qsizetype row = 0; row < d->size(); ++row)
        if (d->keyValues(std::size_t(row)) == currentKey) {
            d->position = row;
            return;
        }
}

void Recordset::openOn(std::shared_ptr<Connection> connection, sqlbase::Rowset&& rowset, long location,
                       long cursorType, long lockType)
{
    d->connection = std::move(connection);
    d->location = location;
    // A client-side cursor is always static.
    d->cursorType = location == adUseClient ? adOpenStatic : cursorType;
    d->lockType = lockType;
    d->columns = std::move(rowset.columns);
    d->rows = std::move(rowset.rows);
    d->baseTable = rowset.baseTable;
    d->rowids = std::move(rowset.rowids);
    d->rowIdColumn.clear();
    if (d->connection && !d->baseTable.isEmpty() && d->rowids.size() == d->rows.size())
        d->rowIdColumn = d->connection->engine().rowIdColumn();

    d->fields.m_fields.clear();
    for (std::size_t i = 0; i < d->columns.size(); ++i) {
        vb::Variant sample;
        if (d->columns[i].declaredType.isEmpty())
            for (const auto& row : d->rows)
                if (!row[i].isNull()) {
                    sample = row[i];
                    break;
                }
        d->fields.m_fields.push_back(
            Field(this, int(i), d->columns[i].name, fieldTypeOf(d->columns[i].declaredType, sample)));
    }
    d->position = 0;
    d->currentDeleted = false;
    d->editMode = adEditNone;
    d->tableColumnCache.reset();
    d->keyFields.clear();
    d->deferredSql.clear();
    d->open = true;
    if (d->connection)
        if (const auto self = weak_from_this().lock())
            d->connection->attach(self);
}

void Recordset::Close()
{
    requireOpen();
    if (d->editMode != adEditNone)
        raiseAdo(adErrIllegalOperation, source::Recordset);
    closeWithConnection();
    if (d->connection)
        d->connection->detach(this);
}

void Recordset::closeWithConnection()
{
    d->open = false;
    d->deferredSql.clear();
    d->editMode = adEditNone;
    d->rows.clear();
    d->rowids.clear();
}

bool Recordset::BOF() const
{
    requireOpen();
    fetchDeferredRows();
    return !d->currentDeleted && (d->rows.empty() || d->position < 0);
}

bool Recordset::adoEOF() const
{
    requireOpen();
    fetchDeferredRows();
    return !d->currentDeleted && d->position >= d->size();
}

void Recordset::MoveFirst()
{
    requireOpen();
    finishEdit();
    fetchDeferredRows();
    if (d->rows.empty())
        raiseAdo(adErrNoCurrentRecord, source::Recordset);
    d->position = 0;
    d->currentDeleted = false;
}

void Recordset::MoveNext()
{
    requireOpen();
    finishEdit();
    fetchDeferredRows();
    if (d->currentDeleted) {
        d->currentDeleted = false;  // the next row moved up into the deleted one's place
        return;
    }
    if (d->position >= d->size())
        raiseAdo(adErrNoCurrentRecord, source::Recordset);
    ++d->position;
}

void Recordset::MovePrevious()
{
    requireOpen();
    requireBackwardMoves();
    finishEdit();
    fetchDeferredRows();
    if (d->currentDeleted) {
        d->currentDeleted = false;
        --d->position;
        return;
    }
    if (BOF())
        raiseAdo(adErrNoCurrentRecord, source::Recordset);
    d->position = std::min(d->position, d->size()) - 1;
}

void Recordset::MoveLast()
{
    requireOpen();
    requireBackwardMoves();
    finishEdit();
    fetchDeferredRows();
    if (d->rows.empty())
        raiseAdo(adErrNoCurrentRecord, source::Recordset);
    d->position = d->size() - 1;
    d->currentDeleted = false;
}

long Recordset::AbsolutePosition() const
{
    requireOpen();
    if (!isStatic() || d->currentDeleted)
        return adPosUnknown;
    fetchDeferredRows();
    if (d->position >= d->size())
        return adPosEOF;
    if (d->position < 0)
        return adPosBOF;
    return long(d->position + 1);
}

long Recordset::RecordCount() const
{
    requireOpen();
    if (!isStatic())
        return -1;
    fetchDeferredRows();
    return long(d->rows.size());
}

void Recordset::AddNew()
{
    requireOpen();
    requireUpdatable();
    finishEdit();
    d->positionBeforeAdd = d->position;
    d->rows.emplace_back(d->columns.size(), vb::Variant::Null());
    if (d->hasRowids())
        d->rowids.push_back(0);
    d->position = d->size() - 1;
    d->currentDeleted = false;
    d->editMode = adEditAdd;
    d->edit = d->rows.back();
    d->changed.assign(d->columns.size(), false);
}

void Recordset::Update()
{
    requireOpen();
    if (d->editMode == adEditNone)
        return;
    if (attached()) {
        if (d->editMode == adEditAdd)
            d->writeNewRow();
        else
            d->writeChangedRow();
    }
    d->rows[std::size_t(d->position)] = d->edit;
    d->editMode = adEditNone;
}

void Recordset::CancelUpdate()
{
    requireOpen();
    if (d->editMode == adEditAdd) {
        d->rows.erase(d->rows.begin() + d->position);
        if (d->hasRowids())
            d->rowids.erase(d->rowids.begin() + d->position);
        d->position = d->positionBeforeAdd;
    }
    d->editMode = adEditNone;
}

void Recordset::Delete()
{
    requireOpen();
    requireUpdatable();
    requireCurrent(source::Recordset);
    if (d->editMode == adEditAdd) {
        CancelUpdate();
        return;
    }
    d->editMode = adEditNone;
    if (attached())
        d->deleteRow();
    d->rows.erase(d->rows.begin() + d->position);
    if (d->hasRowids())
        d->rowids.erase(d->rowids.begin() + d->position);
    d->currentDeleted = true;
}

void Recordset::Find(const QString& criteria, long skipRecords, long searchDirection)
{
    requireOpen();
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        raiseAdo(adErrInvalidArgument, source::Recordset);
    if (searchDirection == adSearchBackward)
        requireBackwardMoves();
    const std::shared_ptr<const FindCriteria> parsed = findCriteria(criteria);
    const FindCriteria& criterion = *parsed;
    const int field = d->fields.indexOf(criterion.column());
    if (field < 0)
        raiseAdo(adErrItemNotFound, source::Recordset);
    finishEdit();
    fetchDeferredRows();
    requireCurrent(source::Recordset);
    for (qsizetype row = d->position + skipRecords * searchDirection; row >= 0 && row < d->size();
         row += searchDirection) {
        if (criterion.matches(d->rows[std::size_t(row)][std::size_t(field)])) {
            d->position = row;
            return;
        }
    }
    d->position = searchDirection == adSearchForward ? d->size() : -1;
}

std::vector<std::vector<vb::Variant>> Recordset::GetRows(long rows)
{
    requireOpen();
    finishEdit();
    fetchDeferredRows();
    requireCurrent(source::Recordset);
    const qsizetype remaining = d->size() - d->position;
    const qsizetype count = rows < 0 ? remaining : std::min<qsizetype>(rows, remaining);
    std::vector<std::vector<vb::Variant>> result(d->columns.size());
    for (std::size_t field = 0; field < result.size(); ++field) {
        result[field].reserve(std::size_t(count));
        for (qsizetype row = 0; row < count; ++row)
            result[field].push_back(d->rows[std::size_t(d->position + row)][field]);
    }
    d->position += count;
    return result;
}

ADODB::Fields& Recordset::Fields()
{
    return d->fields;
}

Field& Recordset::Fields(int index)
{
    return d->fields.Item(index);
}

Field& Recordset::Fields(const QString& name)
{
    return d->fields.Item(name);
}

const vb::Variant& Recordset::value(int field) const
{
    requireOpen();
    requireCurrent(source::Field);
    if (d->editMode != adEditNone)
        return d->edit[std::size_t(field)];
    return d->rows[std::size_t(d->position)][std::size_t(field)];
}

const vb::Variant& Recordset::originalValue(int field) const
{
    requireOpen();
    requireCurrent(source::Field);
    return d->rows[std::size_t(d->position)][std::size_t(field)];
}

void Recordset::setValue(int field, const vb::Variant& value)
{
    requireOpen();
    requireUpdatable();
    requireCurrent(source::Field);
    const vb::Variant converted = valueForField(value, d->fields.m_fields[std::size_t(field)].m_type);
    if (d->editMode == adEditNone) {
        d->editMode = adEditInProgress;
        d->edit = d->rows[std::size_t(d->position)];
        d->changed.assign(d->columns.size(), false);
    }
    d->edit[std::size_t(field)] = converted;
    d->changed[std::size_t(field)] = true;
}

void Recordset::requireOpen() const
{
    if (!d->open)
        raiseAdo(adErrObjectClosed, source::Recordset);
}

void Recordset::requireCurrent(const QString& source) const
{
    if (d->position >= d->size())
        fetchDeferredRows();
    if (d->currentDeleted || d->position < 0 || d->position >= d->size())
        raiseAdo(adErrNoCurrentRecord, source);
}

void Recordset::requireUpdatable() const
{
    if (d->lockType == adLockReadOnly)
        raiseAdo(adErrFeatureNotAvailable, source::Recordset,
                 QStringLiteral("Current Recordset does not support updating. This may be a limitation of the "
                                "provider, or of the selected locktype."));
}

void Recordset::requireBackwardMoves() const
{
    if (d->cursorType == adOpenForwardOnly)
        raiseAdo(hresult::CannotFetchBackward,
                 attached() ? d->connection->engine().errorSource() : source::SqlServerProvider);
}

void Recordset::finishEdit()
{
    if (d->editMode != adEditNone)
        Update();
}

bool Recordset::isStatic() const
{
    return d->cursorType == adOpenStatic || d->cursorType == adOpenKeyset;
}

bool Recordset::attached() const
{
    return d->connection && d->connection->State() == adStateOpen;
}

}  // namespace ADODB
