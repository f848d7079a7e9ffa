#include "sqlserver/ValueCodec.h"

#include "sqlserver/NumericValues_p.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace sqlserver {

namespace {

struct TypeName {
    const char* name;
    ValueKind kind;
};

// SQL Server's type names, and the Access names that the Access form of connection declares.
constexpr TypeName typeNames[] = {
    {"DATETIME", ValueKind::DateTime},   {"SMALLDATETIME", ValueKind::DateTime}, {"DATETIME2", ValueKind::DateTime},
    {"DATE", ValueKind::DateTime},       {"TIME", ValueKind::DateTime},          {"BIT", ValueKind::Bit},
    {"YESNO", ValueKind::Bit},           {"LOGICAL", ValueKind::Bit},            {"BOOLEAN", ValueKind::Bit},
    {"SMALLINT", ValueKind::SmallInt},   {"TINYINT", ValueKind::SmallInt},       {"BYTE", ValueKind::SmallInt},
    {"SHORT", ValueKind::SmallInt},      {"INT", ValueKind::Int},                {"INTEGER", ValueKind::Int},
    {"LONG", ValueKind::Int},            {"COUNTER", ValueKind::Int},            {"AUTOINCREMENT", ValueKind::Int},
    {"BIGINT", ValueKind::BigInt},       {"FLOAT", ValueKind::Float},            {"DOUBLE", ValueKind::Float},
    {"REAL", ValueKind::Real},           {"SINGLE", ValueKind::Real},            {"MONEY", ValueKind::Money},
    {"SMALLMONEY", ValueKind::Money},    {"CURRENCY", ValueKind::Money},         {"DECIMAL", ValueKind::Decimal},
    {"NUMERIC", ValueKind::Decimal},     {"VARCHAR", ValueKind::Text},           {"NVARCHAR", ValueKind::Text},
    {"CHAR", ValueKind::Text},           {"NCHAR", ValueKind::Text},             {"TEXT", ValueKind::Text},
    {"NTEXT", ValueKind::Text},          {"MEMO", ValueKind::Text},              {"UNIQUEIDENTIFIER", ValueKind::Text},
    {"GUID", ValueKind::Text},           {"SYSNAME", ValueKind::Text},           {"IMAGE", ValueKind::Binary},
    {"VARBINARY", ValueKind::Binary},    {"BINARY", ValueKind::Binary},          {"BLOB", ValueKind::Binary},
};

vb::Variant integerValue(sqlite3_int64 v)
{
    if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
        return vb::Variant(int(v));
    return vb::Variant(double(v));
}

QString textOf(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(s, column));
}

// A money value read exactly (a text past 15 digits, a real as the digits it stands for). A column keeps 15
// digits: the ends of the range come back as the nearest value in range.
vb::Variant moneyValue(const std::optional<Decimal>& value)
{
    if (!value)
        return vb::Variant::Null();
    if (!inMoneyRange(*value, MoneyKind::Money))
        return vb::Variant(vb::Currency{value->sign() < 0 ? std::numeric_limits<std::int64_t>::min()
                                                           : std::numeric_limits<std::int64_t>::max()});
    return vb::Variant(currencyOf(*value));
}

// A Currency as SQLite keeps it: a real while 15 digits hold it, else its exact text.
template <class BindReal, class BindText>
void passCurrency(vb::Currency value, BindReal real, BindText text)
{
    const Decimal exact = Decimal::fromUnits(value.scaled, 4);
    if (exact.precision() <= 15) {
        real(exact.toDouble());
        return;
    }
    const QByteArray digits = exact.toString().toLatin1();
    text(digits);
}

// A number kept as text in a numeric column reads as a number when it is one.
vb::Variant numberFromText(sqlite3_stmt* s, int column, ValueKind kind)
{
    bool ok = false;
    const QString text = textOf(s, column);
    const double v = text.trimmed().toDouble(&ok);
    if (!ok)
        return vb::Variant(text);
    if (kind == ValueKind::Float || kind == ValueKind::Decimal || kind == ValueKind::BigInt)
        return vb::Variant(v);
    if (kind == ValueKind::Real)
        return vb::Variant(float(v));
    if (kind == ValueKind::Money)
        return moneyValue(Decimal::parse(text) ? Decimal::parse(text) : Decimal::fromDouble(v, 4));
    if (v == std::trunc(v))
        return integerValue((sqlite3_int64)v);
    return vb::Variant(v);
}

vb::Variant readDate(sqlite3_stmt* s, int column, int storage)
{
    switch (storage) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return vb::Variant(dateFromSqlFloat(sqlite3_column_double(s, column)));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        if (const auto date = parseDateText(text, sqlite3_column_bytes(s, column)))
            return vb::Variant(*date);
        return vb::Variant(textOf(s, column));
    }
    }
}

bool looksLikeStoredDate(const char* t, int length)
{
    return (length == 19 || (length == 23 && t[19] == '.')) && t[4] == '-' && t[7] == '-' && t[10] == ' '
           && t[13] == ':' && t[16] == ':';
}

vb::Variant readByStorageClass(sqlite3_stmt* s, int column, ValueKind& kind)
{
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_INTEGER:
        kind = ValueKind::Int;
        return integerValue(sqlite3_column_int64(s, column));
    case SQLITE_FLOAT:
        kind = ValueKind::Float;
        return vb::Variant(sqlite3_column_double(s, column));
    case SQLITE_BLOB:
        kind = ValueKind::Binary;
        return readColumn(s, column, kind);
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
        const int length = sqlite3_column_bytes(s, column);
        if (looksLikeStoredDate(text, length)) {
            if (const auto date = parseDateText(text, length)) {
                kind = ValueKind::DateTime;
                return vb::Variant(*date);
            }
        }
        kind = ValueKind::Text;
        return vb::Variant(QString::fromUtf8(text, length));
    }
    }
}

}  // namespace

ValueKind kindOfDeclaredType(const char* declaredType)
{
    if (!declaredType)
        return ValueKind::Unknown;
    // The base name: up to "(" or a blank ("DOUBLE PRECISION", "VARCHAR(50)").
    char base[32];
    int n = 0;
    while (declaredType[n] && declaredType[n] != '(' && declaredType[n] != ' ' && n < 31) {
        const char c = declaredType[n];
        base[n] = (c >= 'a' && c <= 'z') ? char(c - 32) : c;
        ++n;
    }
    base[n] = '\0';
    for (const auto& t : typeNames) {
        if (t.name[0] == base[0] && std::strcmp(t.name, base) == 0)
            return t.kind;
    }
    return ValueKind::Unknown;
}

ValueKind kindOfDeclaredType(const QString& declaredType)
{
    return kindOfDeclaredType(declaredType.toLatin1().constData());
}

QString declaredTypeOfKind(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Text: return QStringLiteral("VARCHAR");
    case ValueKind::DateTime: return QStringLiteral("DATETIME");
    case ValueKind::Bit: return QStringLiteral("BIT");
    case ValueKind::SmallInt: return QStringLiteral("SMALLINT");
    case ValueKind::Int: return QStringLiteral("INT");
    case ValueKind::BigInt: return QStringLiteral("BIGINT");
    case ValueKind::Float: return QStringLiteral("FLOAT");
    case ValueKind::Real: return QStringLiteral("REAL");
    case ValueKind::Money: return QStringLiteral("MONEY");
    case ValueKind::Decimal: return QStringLiteral("DECIMAL");
    case ValueKind::Binary: return QStringLiteral("VARBINARY");
    case ValueKind::Unknown: break;
    }
    return {};
}

vb::Variant readColumn(sqlite3_stmt* s, int column, ValueKind& kind)
{
    const int storage = sqlite3_column_type(s, column);
    if (storage == SQLITE_NULL)
        return vb::Variant::Null();
    switch (kind) {
    case ValueKind::Unknown:
        return readByStorageClass(s, column, kind);
    case ValueKind::DateTime:
        return readDate(s, column, storage);
    case ValueKind::Text:
        return vb::Variant(textOf(s, column));
    case ValueKind::Binary:
        if (storage == SQLITE_BLOB)
            return vb::Variant(QString::fromLatin1(static_cast<const char*>(sqlite3_column_blob(s, column)),
                                                   sqlite3_column_bytes(s, column)));
        return vb::Variant(textOf(s, column));
    default:
        break;
    }
    if (storage == SQLITE_TEXT || storage == SQLITE_BLOB)
        return numberFromText(s, column, kind);
    switch (kind) {
    case ValueKind::Bit:
        return vb::Variant(sqlite3_column_double(s, column) != 0.0);
    case ValueKind::SmallInt:
    case ValueKind::Int:
        if (storage == SQLITE_FLOAT)
            return vb::Variant(sqlite3_column_double(s, column));
        if (kind == ValueKind::SmallInt) {
            const sqlite3_int64 v = sqlite3_column_int64(s, column);
            if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max())
                return vb::Variant(std::int16_t(v));
        }
        return integerValue(sqlite3_column_int64(s, column));
    case ValueKind::Real:
        return vb::Variant(float(sqlite3_column_double(s, column)));
    case ValueKind::Money:
        if (storage == SQLITE_INTEGER)
            return moneyValue(Decimal::fromInteger(sqlite3_column_int64(s, column)).rescaled(4));
        return moneyValue(Decimal::fromDouble(sqlite3_column_double(s, column), 4));
    default:
        return vb::Variant(sqlite3_column_double(s, column));
    }
}

vb::Variant readValue(sqlite3_value* value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return vb::Variant::Null();
    case SQLITE_INTEGER:
        return integerValue(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return vb::Variant(sqlite3_value_double(value));
    case SQLITE_BLOB:
        return vb::Variant(QString::fromLatin1(static_cast<const char*>(sqlite3_value_blob(value)),
                                               sqlite3_value_bytes(value)));
    default:
        return vb::Variant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                             sqlite3_value_bytes(value)));
    }
}

void resultValue(sqlite3_context* context, const vb::Variant& value)
{
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
    case vb::VarType::Object:
        sqlite3_result_null(context);
        break;
    case vb::VarType::Boolean:
        sqlite3_result_int(context, value.toBool() ? 1 : 0);
        break;
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long:
        sqlite3_result_int(context, value.toLong());
        break;
    case vb::VarType::Single:
    case vb::VarType::Double:
        sqlite3_result_double(context, value.toDouble());
        break;
    case vb::VarType::Currency:
        passCurrency(value.toCurrency(), [&](double v) { sqlite3_result_double(context, v); },
                     [&](const QByteArray& t) { sqlite3_result_text(context, t.constData(), int(t.size()), SQLITE_TRANSIENT); });
        break;
    case vb::VarType::Date: {
        char text[canonicalDateCapacity];
        sqlite3_result_text(context, text, writeCanonicalDate(value.toDate(), text), SQLITE_TRANSIENT);
        break;
    }
    case vb::VarType::String: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

void bindValue(sqlite3_stmt* s, int index, const vb::Variant& value)
{
    switch (value.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null:
        sqlite3_bind_null(s, index);
        break;
    case vb::VarType::Boolean:
        sqlite3_bind_int(s, index, value.toBool() ? 1 : 0);
        break;
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long:
        sqlite3_bind_int(s, index, value.toLong());
        break;
    case vb::VarType::Single:
    case vb::VarType::Double:
        sqlite3_bind_double(s, index, value.toDouble());
        break;
    case vb::VarType::Currency:
        passCurrency(value.toCurrency(), [&](double v) { sqlite3_bind_double(s, index, v); },
                     [&](const QByteArray& t) { sqlite3_bind_text(s, index, t.constData(), int(t.size()), SQLITE_TRANSIENT); });
        break;
    case vb::VarType::Date: {
        char text[canonicalDateCapacity];
        sqlite3_bind_text(s, index, text, writeCanonicalDate(value.toDate(), text), SQLITE_TRANSIENT);
        break;
    }
    case vb::VarType::String: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(s, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    case vb::VarType::Object:
        throw ServerError(257, QStringLiteral("Implicit conversion from data type object to a parameter is not "
                                              "allowed."));
    }
}

}  // namespace sqlserver
