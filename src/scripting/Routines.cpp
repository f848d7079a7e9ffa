#include "scripting/Routines_p.h"

#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"
#include "scripting/ScriptArray_p.h"

#include <QHash>
#include <cmath>

namespace scripting {

namespace {

using vb::Variant;

constexpr long WrongArguments = 450;

const Variant& arg(const Arguments& a, std::size_t i)
{
    static const Variant missing;
    return i < a.size() ? a[i] : missing;
}
bool given(const Arguments& a, std::size_t i)
{
    return i < a.size();
}
// Null in, Null out: the text functions of the platform pass Null through.
#define NULL_PASSES(index)                                                                                             \
    if (arg(a, index).isNull())                                                                                        \
        return Variant::Null();

Variant inStr(Arguments& a)
{
    const bool withStart = a.size() >= 3;
    const int start = withStart ? a[0].toLong() : 1;
    if (start < 1)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    const Variant& text = arg(a, withStart ? 1 : 0);
    const Variant& sought = arg(a, withStart ? 2 : 1);
    if (text.isNull() || sought.isNull())
        return Variant::Null();
    const QString s = text.toString();
    if (start > s.size())
        return 0;
    return int(s.indexOf(sought.toString(), start - 1)) + 1;
}

Variant replace(Arguments& a)
{
    NULL_PASSES(0)
    const QString find = arg(a, 1).toString();
    QString text = arg(a, 0).toString();
    return find.isEmpty() ? text : text.replace(find, arg(a, 2).toString());
}

Variant split(Arguments& a)
{
    NULL_PASSES(0)
    const QString text = arg(a, 0).toString();
    const QString delimiter = given(a, 1) ? a[1].toString() : QStringLiteral(" ");
    std::vector<Variant> parts;
    if (!text.isEmpty()) {
        const QStringList pieces = delimiter.isEmpty() ? QStringList{text} : text.split(delimiter);
        for (const QString& piece : pieces)
            parts.emplace_back(piece);
    }
    return vb::ObjectPtr(ScriptArray::fromValues(std::move(parts)));
}

std::shared_ptr<ScriptArray> requireArray(const Variant& value)
{
    auto array = asArray(value);
    if (!array)
        vb::raiseError(vb::ErrNo::TypeMismatch);
    return array;
}

Variant join(Arguments& a)
{
    QStringList texts;
    for (const Variant& v : requireArray(arg(a, 0))->values())
        texts << v.toString();
    return texts.join(given(a, 1) ? a[1].toString() : QStringLiteral(" "));
}

Variant bound(Arguments& a, bool upper)
{
    auto array = requireArray(arg(a, 0));
    const int dimension = given(a, 1) ? a[1].toLong() : 1;
    const int ub = array->upperBound(dimension);
    return upper ? ub : 0;
}

Variant formatNumber(Arguments& a)
{
    NULL_PASSES(0)
    const int decimals = given(a, 1) && !a[1].isEmpty() ? a[1].toLong() : 2;
    if (decimals < 0 || decimals > 30)
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    QString pattern = QStringLiteral("#,##0");
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return vb::Format(a[0].toDouble(), pattern);
}

Variant formatDateTime(Arguments& a)
{
    NULL_PASSES(0)
    const vb::Date d = a[0].toDate();
    switch (given(a, 1) ? a[1].toLong() : 0) {
    case 0:
        return vb::DefaultDateText(d);
    case 1:
        return vb::Format(d, QStringLiteral("dddd, d/mmmm/yyyy"));
    case 2:
        return vb::Format(d, QStringLiteral("dd/mm/yyyy"));
    case 3:
        return vb::Format(d, QStringLiteral("hh:nn:ss"));
    case 4:
        return vb::Format(d, QStringLiteral("hh:nn"));
    default:
        vb::raiseError(vb::ErrNo::InvalidProcedureCall);
    }
}

Variant msgBox(Arguments& a)
{
    return vb::Ui().MsgBox(arg(a, 0).toString(), arg(a, 1).toLong(), arg(a, 2).toString());
}

Variant inputBox(Arguments& a)
{
    return vb::Ui().InputBox(arg(a, 0).toString(), arg(a, 1).toString(), arg(a, 2).toString());
}

Variant typeName(Arguments& a)
{
    const Variant& v = a[0];
    if (asArray(v))
        return "Variant()";
    static const char* names[] = {"Empty",    "Null", "Integer", "Long",   "Single", "Double",
                                  "Currency", "Date", "String",  "Object", "Error",  "Boolean"};
    if (v.isObject()) {
        const vb::ObjectPtr object = v.toObject();
        if (!object)
            return "Nothing";
        const auto* scriptObject = dynamic_cast<const ScriptObject*>(object.get());
        return scriptObject ? scriptObject->typeName() : QStringLiteral("Object");
    }
    return names[int(v.type())];
}

Variant varType(Arguments& a)
{
    return asArray(a[0]) ? 8204 : int(a[0].type());
}

Variant isObject(Arguments& a)
{
    return a[0].isObject() && !asArray(a[0]);
}

Variant abs(Arguments& a)
{
    NULL_PASSES(0)
    const Variant& v = a[0];
    if (v.type() == vb::VarType::Integer || v.type() == vb::VarType::Long)
        return Variant((long long)std::llabs(v.toLong()));
    return std::fabs(v.toDouble());
}

// Int and Fix keep whole kinds whole and pass Null through.
Variant wholePart(const Variant& v, double (*cut)(double))
{
    if (v.isNull())
        return Variant::Null();
    if (v.type() == vb::VarType::Integer || v.type() == vb::VarType::Long)
        return v;
    return cut(v.toDouble());
}

// clang-format off
const Routine routines[] = {
    {"MsgBox", 1, 5, msgBox},
    {"InputBox", 1, 7, inputBox},
    {"Len", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return int(a[0].toString().size()); }},
    {"Left", 2, 2, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Left(a[0].toString(), a[1].toLong()); }},
    {"Right", 2, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        const int n = a[1].toLong();
        if (n < 0) vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        return a[0].toString().right(n); }},
    {"Mid", 2, 3, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        return vb::Mid(a[0].toString(), a[1].toLong(), given(a, 2) ? a[2].toLong() : -1); }},
    {"InStr", 2, 4, inStr},
    {"Replace", 3, 6, replace},
    {"Trim", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Trim(a[0].toString()); }},
    {"LTrim", 1, 1, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        QString s = a[0].toString();
        qsizetype i = 0;
        while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
        return s.mid(i); }},
    {"RTrim", 1, 1, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        QString s = a[0].toString();
        while (s.endsWith(QLatin1Char(' '))) s.chop(1);
        return s; }},
    {"UCase", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::UCase(a[0].toString()); }},
    {"LCase", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::LCase(a[0].toString()); }},
    {"Space", 1, 1, [](Arguments& a) -> Variant { return vb::Space(a[0].toLong()); }},
    {"Chr", 1, 1, [](Arguments& a) -> Variant { return QString(QChar(char16_t(a[0].toLong()))); }},
    {"Asc", 1, 1, [](Arguments& a) -> Variant {
        const QString s = a[0].toString();
        if (s.isEmpty()) vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        return int(s[0].unicode()); }},
    {"Split", 1, 4, split},
    {"Join", 1, 2, join},
    {"Array", 0, 1000, [](Arguments& a) -> Variant { return vb::ObjectPtr(ScriptArray::fromValues(a)); }},
    {"UBound", 1, 2, [](Arguments& a) { return bound(a, true); }},
    {"LBound", 1, 2, [](Arguments& a) { return bound(a, false); }},
    {"IsArray", 1, 1, [](Arguments& a) -> Variant { return asArray(a[0]) != nullptr; }},
    {"CStr", 1, 1, [](Arguments& a) -> Variant { return a[0].toString(); }},
    {"CInt", 1, 1, [](Arguments& a) -> Variant { return a[0].toInteger(); }},
    {"CLng", 1, 1, [](Arguments& a) -> Variant { return a[0].toLong(); }},
    {"CSng", 1, 1, [](Arguments& a) -> Variant { return a[0].toSingle(); }},
    {"CDbl", 1, 1, [](Arguments& a) -> Variant { return a[0].toDouble(); }},
    {"CCur", 1, 1, [](Arguments& a) -> Variant { return a[0].toCurrency(); }},
    {"CDate", 1, 1, [](Arguments& a) -> Variant { return a[0].toDate(); }},
    {"CBool", 1, 1, [](Arguments& a) -> Variant { return a[0].toBool(); }},
    {"IsNull", 1, 1, [](Arguments& a) -> Variant { return a[0].isNull(); }},
    {"IsEmpty", 1, 1, [](Arguments& a) -> Variant { return a[0].isEmpty(); }},
    {"IsNumeric", 1, 1, [](Arguments& a) -> Variant { return vb::IsNumeric(a[0]); }},
    {"IsDate", 1, 1, [](Arguments& a) -> Variant { return vb::IsDate(a[0]); }},
    {"IsObject", 1, 1, isObject},
    {"TypeName", 1, 1, typeName},
    {"VarType", 1, 1, varType},
    {"Now", 0, 0, [](Arguments&) -> Variant { return vb::Now(); }},
    {"Date", 0, 0, [](Arguments&) -> Variant { return vb::Today(); }},
    {"Time", 0, 0, [](Arguments&) -> Variant { return vb::Date(vb::Now().serial - vb::Today().serial); }},
    {"Timer", 0, 0, [](Arguments&) -> Variant { return float(vb::Timer()); }},
    {"Year", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Year(a[0].toDate()); }},
    {"Month", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Month(a[0].toDate()); }},
    {"Day", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Day(a[0].toDate()); }},
    {"Hour", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Hour(a[0].toDate()); }},
    {"Minute", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Minute(a[0].toDate()); }},
    {"Second", 1, 1, [](Arguments& a) -> Variant { NULL_PASSES(0) return vb::Second(a[0].toDate()); }},
    {"Weekday", 1, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        return vb::Weekday(a[0].toDate(), given(a, 1) ? a[1].toLong() : vb::vbSunday); }},
    {"DateSerial", 3, 3, [](Arguments& a) -> Variant {
        return vb::DateSerial(a[0].toLong(), a[1].toLong(), a[2].toLong()); }},
    {"TimeSerial", 3, 3, [](Arguments& a) -> Variant {
        return vb::TimeSerial(a[0].toLong(), a[1].toLong(), a[2].toLong()); }},
    {"DateAdd", 3, 3, [](Arguments& a) -> Variant {
        NULL_PASSES(2)
        return vb::DateAdd(a[0].toString(), a[1].toDouble(), a[2].toDate()); }},
    {"DateDiff", 3, 5, [](Arguments& a) -> Variant {
        if (a[1].isNull() || a[2].isNull()) return Variant::Null();
        return Variant(vb::DateDiff(a[0].toString(), a[1].toDate(), a[2].toDate(),
                                    given(a, 3) ? a[3].toLong() : vb::vbSunday)); }},
    {"Format", 1, 2, [](Arguments& a) -> Variant { return vb::Format(a[0], arg(a, 1).toString()); }},
    {"FormatNumber", 1, 5, formatNumber},
    {"FormatDateTime", 1, 2, formatDateTime},
    {"Round", 1, 2, [](Arguments& a) -> Variant {
        NULL_PASSES(0)
        return vb::Round(a[0].toDouble(), given(a, 1) ? a[1].toLong() : 0); }},
    {"Abs", 1, 1, abs},
    {"Int", 1, 1, [](Arguments& a) { return wholePart(a[0], vb::Int); }},
    {"Fix", 1, 1, [](Arguments& a) { return wholePart(a[0], vb::Fix); }},
    {"Sgn", 1, 1, [](Arguments& a) -> Variant {
        const double v = a[0].toDouble();
        return std::int16_t(v > 0 ? 1 : v < 0 ? -1 : 0); }},
    {"Sqr", 1, 1, [](Arguments& a) -> Variant {
        const double v = a[0].toDouble();
        if (v < 0) vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        return std::sqrt(v); }},
};
// clang-format on

const QHash<QString, const Routine*>& routineIndex()
{
    static const QHash<QString, const Routine*> index = [] {
        QHash<QString, const Routine*> h;
        for (const Routine& r : routines)
            h.insert(QString::fromLatin1(r.name).toLower(), &r);
        return h;
    }();
    return index;
}

const QHash<QString, std::pair<QString, Variant>>& constantIndex()
{
    static const QHash<QString, std::pair<QString, Variant>> index = [] {
        const std::pair<const char*, Variant> constants[] = {
            {"vbCrLf", "\r\n"},
            {"vbCr", "\r"},
            {"vbLf", "\n"},
            {"vbNewLine", "\r\n"},
            {"vbTab", "\t"},
            {"vbNullString", ""},
            {"vbOKOnly", 0},
            {"vbOKCancel", 1},
            {"vbAbortRetryIgnore", 2},
            {"vbYesNoCancel", 3},
            {"vbYesNo", 4},
            {"vbRetryCancel", 5},
            {"vbCritical", 16},
            {"vbQuestion", 32},
            {"vbExclamation", 48},
            {"vbInformation", 64},
            {"vbDefaultButton2", 256},
            {"vbDefaultButton3", 512},
            {"vbOK", 1},
            {"vbCancel", 2},
            {"vbAbort", 3},
            {"vbRetry", 4},
            {"vbIgnore", 5},
            {"vbYes", 6},
            {"vbNo", 7},
            {"vbGeneralDate", 0},
            {"vbLongDate", 1},
            {"vbShortDate", 2},
            {"vbLongTime", 3},
            {"vbShortTime", 4},
            {"vbSunday", 1},
            {"vbMonday", 2},
            {"vbTuesday", 3},
            {"vbWednesday", 4},
            {"vbThursday", 5},
            {"vbFriday", 6},
            {"vbSaturday", 7},
            {"vbEmpty", 0},
            {"vbNull", 1},
            {"vbInteger", 2},
            {"vbLong", 3},
            {"vbSingle", 4},
            {"vbDouble", 5},
            {"vbCurrency", 6},
            {"vbDate", 7},
            {"vbString", 8},
            {"vbObject", 9},
            {"vbBoolean", 11},
            {"vbBinaryCompare", 0},
            {"vbTextCompare", 1},
        };
        QHash<QString, std::pair<QString, Variant>> h;
        for (const auto& [name, value] : constants)
            h.insert(QString::fromLatin1(name).toLower(), {QString::fromLatin1(name), value});
        return h;
    }();
    return index;
}

}  // namespace

const Routine* findRoutine(const QString& name)
{
    return routineIndex().value(name.toLower(), nullptr);
}

std::optional<Variant> findConstant(const QString& name)
{
    const auto it = constantIndex().constFind(name.toLower());
    if (it == constantIndex().cend())
        return std::nullopt;
    return it->second;
}

QStringList routineNames()
{
    QStringList names;
    for (const Routine& r : routines)
        names << QString::fromLatin1(r.name);
    return names;
}

QStringList constantNames()
{
    QStringList names;
    for (const auto& entry : constantIndex())
        names << entry.first;
    return names;
}

Variant callRoutine(const Routine& routine, Arguments& args)
{
    if (int(args.size()) < routine.minArguments || int(args.size()) > routine.maxArguments)
        vb::raiseError(WrongArguments);
    return routine.function(args);
}

}  // namespace scripting
