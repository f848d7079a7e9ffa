#include "ado/FieldTypes.h"

#include "ado/AdoErrors.h"
#include "ado/Constants.h"
#include "runtime/ReadOnce.h"

#include <QHash>
#include <optional>

namespace ADODB {

namespace {

constexpr long LongText = 2147483647;
constexpr long LongWideText = 1073741823;

// Fixed types: the name, then ADO's type and size.
const QHash<QString, FieldType>& fixedTypes()
{
    static const QHash<QString, FieldType> types = {
        {"DATETIME", {adDBTimeStamp, 16}},
        {"SMALLDATETIME", {adDBTimeStamp, 16}},
        {"DATETIME2", {adDBTimeStamp, 16}},
        {"DATE", {adDBDate, 6}},
        {"INT", {adInteger, 4}},
        {"INTEGER", {adInteger, 4}},
        {"LONG", {adInteger, 4}},
        {"COUNTER", {adInteger, 4}},
        {"SMALLINT", {adSmallInt, 2}},
        {"TINYINT", {adUnsignedTinyInt, 1}},
        {"BYTE", {adUnsignedTinyInt, 1}},
        {"BIGINT", {adBigInt, 8}},
        {"BIT", {adBoolean, 2}},
        {"BOOLEAN", {adBoolean, 2}},
        {"FLOAT", {adDouble, 8}},
        {"DOUBLE", {adDouble, 8}},
        {"REAL", {adSingle, 4}},
        {"MONEY", {adCurrency, 8, 19, 4}},
        {"SMALLMONEY", {adCurrency, 8, 10, 4}},
        {"CURRENCY", {adCurrency, 8, 19, 4}},
        {"UNIQUEIDENTIFIER", {adGUID, 16}},
        {"GUID", {adGUID, 16}},
        {"NTEXT", {adLongVarWChar, LongWideText}},
        {"MEMO", {adLongVarWChar, LongWideText}},
        {"IMAGE", {adLongVarBinary, LongText}},
    };
    return types;
}

FieldType fromSample(const vb::Variant& sample)
{
    switch (sample.type()) {
    case vb::VarType::Integer:
        return {adSmallInt, 2};
    case vb::VarType::Long:
        return {adInteger, 4};
    case vb::VarType::Single:
        return {adSingle, 4};
    case vb::VarType::Double:
        return {adDouble, 8};
    case vb::VarType::Currency:
        return {adCurrency, 8, 19, 4};
    case vb::VarType::Date:
        return {adDBTimeStamp, 16};
    case vb::VarType::Boolean:
        return {adBoolean, 2};
    default:
        return {adVarChar, 8000};
    }
}

bool isText(long type)
{
    return type == adChar || type == adWChar || type == adVarChar || type == adVarWChar || type == adLongVarChar
           || type == adLongVarWChar;
}

// The type a declared type names; nothing when it names none, and the values tell.
std::optional<FieldType> namedFieldType(const QString& declaredType)
{
    QString text = declaredType.trimmed().toUpper();
    text.remove(QLatin1String(" IDENTITY"));
    text.remove(QLatin1String(" UNSIGNED"));
    if (text.isEmpty())
        return std::nullopt;
    const qsizetype open = text.indexOf(u'(');
    const QString name = (open < 0 ? text : text.left(open)).trimmed();
    const QString argument =
        open < 0 ? QString() : text.mid(open + 1).section(u')', 0, 0).section(u',', 0, 0).trimmed();
    const bool isMax = argument == QLatin1String("MAX");
    const long length = argument.toLong();

    if (const auto fixed = fixedTypes().find(name); fixed != fixedTypes().end())
        return *fixed;
    if (name == QLatin1String("DECIMAL") || name == QLatin1String("NUMERIC")) {
        const QString scale = open < 0 ? QString() : text.mid(open + 1).section(u')', 0, 0).section(u',', 1, 1);
        return FieldType{adNumeric, 19, length > 0 ? length : 18, scale.trimmed().toLong()};
    }
    if (name == QLatin1String("CHAR") || name == QLatin1String("CHARACTER"))
        return FieldType{adChar, length > 0 ? length : 1};
    if (name == QLatin1String("NCHAR"))
        return FieldType{adWChar, length > 0 ? length : 1};
    if (name == QLatin1String("VARCHAR"))
        return isMax ? FieldType{adLongVarChar, LongText} : FieldType{adVarChar, length > 0 ? length : 8000};
    if (name == QLatin1String("NVARCHAR"))
        return isMax ? FieldType{adLongVarWChar, LongWideText} : FieldType{adVarWChar, length > 0 ? length : 4000};
    if (name == QLatin1String("TEXT"))  // Access's TEXT(n) is a short text; SQL Server's TEXT a long one
        return length > 0 ? FieldType{adVarWChar, length} : FieldType{adLongVarChar, LongText};
    if (name == QLatin1String("VARBINARY"))
        return isMax ? FieldType{adLongVarBinary, LongText} : FieldType{adVarBinary, length > 0 ? length : 8000};
    if (name == QLatin1String("BINARY"))
        return FieldType{adBinary, length > 0 ? length : 1};
    return std::nullopt;
}

}  // namespace

FieldType fieldTypeOf(const QString& declaredType, const vb::Variant& sample)
{
    // Record sets are opened by the thousand over a few declared types.
    const std::optional<FieldType> named =
        vb::readOnce<std::optional<FieldType>>(declaredType, [](const QString& text) { return namedFieldType(text); });
    return named ? *named : fromSample(sample);
}

vb::Variant valueForField(const vb::Variant& value, const FieldType& type)
{
    if (value.isNull() || value.isEmpty())
        return vb::Variant::Null();
    try {
        switch (type.type) {
        case adSmallInt:
        case adUnsignedTinyInt:
            return value.toInteger();
        case adInteger:
            return int(value.toLong());
        case adSingle:
            return value.toSingle();
        case adBigInt:
        case adDouble:
        case adNumeric:
            return value.toDouble();
        case adCurrency:
            return value.toCurrency();
        case adBoolean:
            return value.toBool();
        case adDBDate:
        case adDBTimeStamp:
            return value.toDate();
        default:
            break;
        }
        if (!isText(type.type))
            return value;
        const QString text = value.toString();
        if (text.size() > type.definedSize)
            raiseAdo(hresult::MultipleStepErrors, source::CursorEngine);
        return text;
    } catch (const vb::VbError& e) {
        if (e.number() == hresult::MultipleStepErrors)
            throw;
        raiseAdo(hresult::MultipleStepErrors, source::CursorEngine);
    }
}

}  // namespace ADODB
