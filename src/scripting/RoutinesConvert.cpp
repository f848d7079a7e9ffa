// Conversions, tests of kinds, arrays and the radix texts.

#include "runtime/Err.h"
#include "scripting/RoutineArgs_p.h"
#include "scripting/ScriptArray_p.h"
#include "scripting/ScriptObject_p.h"

namespace scripting::routines {

namespace {

using vb::Variant;
using vb::VarType;

constexpr int ArrayVarType = 8204;  // vbArray + vbVariant

Variant typeName(Arguments& a)
{
    const Variant& v = a[0];
    if (asArray(v))
        return "Variant()";
    if (v.isObject()) {
        const vb::ObjectPtr object = v.toObject();
        if (!object)
            return "Nothing";
        const auto scriptObject = std::dynamic_pointer_cast<ScriptObject>(object);
        return scriptObject ? scriptObject->typeName() : QStringLiteral("Object");
    }
    switch (v.type()) {
    case VarType::Empty:
        return "Empty";
    case VarType::Null:
        return "Null";
    case VarType::Integer:
        return "Integer";
    case VarType::Long:
        return "Long";
    case VarType::Single:
        return "Single";
    case VarType::Double:
        return "Double";
    case VarType::Currency:
        return "Currency";
    case VarType::Date:
        return "Date";
    case VarType::String:
        return "String";
    case VarType::Boolean:
        return "Boolean";
    case VarType::Byte:
        return "Byte";
    default:
        return "Object";
    }
}

// Hex and Oct: the bits of the value's whole kind (Integer -1 is FFFF, Long -1 FFFFFFFF).
Variant radixText(Arguments& a, int base)
{
    NULL_PASSES(0)
    const Variant& v = a[0];
    unsigned long bits = 0;
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Byte:
        bits = v.toByte();
        break;
    case VarType::Boolean:
    case VarType::Integer:
        bits = std::uint16_t(v.toInteger());
        break;
    default:
        bits = std::uint32_t(v.toLong());
        break;
    }
    return QString::number(bits, base).toUpper();
}

Variant bound(Arguments& a, bool upper)
{
    auto array = requireArray(arg(a, 0));
    const int ub = array->upperBound(intArg(a, 1, 1));  // raises 9 for a dimension it lacks
    return upper ? ub : 0;
}

// clang-format off
const Routine table[] = {
    {"CStr", 1, 1, [](Arguments& a) -> Variant { return a[0].toString(); }},
    {"CByte", 1, 1, [](Arguments& a) -> Variant { return a[0].toByte(); }},
    {"CInt", 1, 1, [](Arguments& a) -> Variant { return a[0].toInteger(); }},
    {"CLng", 1, 1, [](Arguments& a) -> Variant { return a[0].toLong(); }},
    {"CSng", 1, 1, [](Arguments& a) -> Variant { return a[0].toSingle(); }},
    {"CDbl", 1, 1, [](Arguments& a) -> Variant { return a[0].toDouble(); }},
    {"CCur", 1, 1, [](Arguments& a) -> Variant { return a[0].toCurrency(); }},
    {"CDate", 1, 1, [](Arguments& a) -> Variant { return a[0].toDate(); }},
    {"CBool", 1, 1, [](Arguments& a) -> Variant { return a[0].toBool(); }},
    {"Hex", 1, 1, [](Arguments& a) { return radixText(a, 16); }},
    {"Oct", 1, 1, [](Arguments& a) { return radixText(a, 8); }},
    {"IsNull", 1, 1, [](Arguments& a) -> Variant { return a[0].isNull(); }},
    {"IsEmpty", 1, 1, [](Arguments& a) -> Variant { return a[0].isEmpty(); }},
    {"IsNumeric", 1, 1, [](Arguments& a) -> Variant { return vb::IsNumeric(a[0]); }},
    {"IsDate", 1, 1, [](Arguments& a) -> Variant { return vb::IsDate(a[0]); }},
    {"IsObject", 1, 1, [](Arguments& a) -> Variant { return a[0].isObject() && !asArray(a[0]); }},
    {"IsArray", 1, 1, [](Arguments& a) -> Variant { return asArray(a[0]) != nullptr; }},
    {"TypeName", 1, 1, typeName},
    {"VarType", 1, 1, [](Arguments& a) -> Variant { return asArray(a[0]) ? ArrayVarType : int(a[0].type()); }},
    {"Array", 0, 1000, [](Arguments& a) -> Variant { return vb::ObjectPtr(ScriptArray::fromValues(a)); }},
    {"UBound", 1, 2, [](Arguments& a) { return bound(a, true); }},
    {"LBound", 1, 2, [](Arguments& a) { return bound(a, false); }},
};
// clang-format on

}  // namespace

std::span<const Routine> conversionRoutines()
{
    return table;
}

}  // namespace scripting::routines
