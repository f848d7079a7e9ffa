#include "reportengine/Formula_p.h"

#include "runtime/Format.h"

#include <functional>
#include <map>

namespace reportengine {

namespace {

using Args = std::vector<vb::Variant>;

struct Function {
    int minArgs;
    int maxArgs;
    bool takesNull;  // called with Null arguments instead of giving Null
    std::function<vb::Variant(const Args&, int)> body;
};

QString textArg(const vb::Variant& v, int position)
{
    if (!v.isString())
        throw EvaluationFailure{position, QStringLiteral("é preciso um texto")};
    return v.toString();
}

double numberArg(const vb::Variant& v, int position)
{
    if (!v.isNumberKind() || v.type() == vb::VarType::Boolean)
        throw EvaluationFailure{position, QStringLiteral("é preciso um número")};
    return v.toDouble();
}

int countArg(const vb::Variant& v, int position)
{
    const double n = numberArg(v, position);
    if (n < 0)
        throw EvaluationFailure{position, QStringLiteral("é preciso um número não negativo")};
    return int(n);
}

vb::Date dateArg(const vb::Variant& v, int position)
{
    if (!v.isDate())
        throw EvaluationFailure{position, QStringLiteral("é preciso uma data")};
    return v.toDate();
}

vb::Date dateOf(const Args& a, int position)
{
    const int y = int(numberArg(a[0], position)), m = int(numberArg(a[1], position)),
              d = int(numberArg(a[2], position));
    if (!vb::isValidDateParts(y, m, d))
        throw EvaluationFailure{position, QStringLiteral("data inexistente")};
    return vb::DateSerial(y, m, d);
}

vb::Variant toText(const Args& a, int position)
{
    if (a.size() == 1 || a[1].isNull())
        return defaultText(a[0]);
    if (a[1].isString())
        return formattedText(a[0], a[1].toString());
    const int decimals = countArg(a[1], position);
    return vb::Format(a[0], QStringLiteral("#,##0") +
                                (decimals ? QStringLiteral(".") + QString(decimals, QLatin1Char('0')) : QString()));
}

vb::Variant toNumber(const Args& a, int position)
{
    if (a[0].type() == vb::VarType::Boolean)
        return a[0].toBool() ? 1.0 : 0.0;
    if (a[0].isNumberKind())
        return a[0].toDouble();
    const auto number = vb::NumberFromText(textArg(a[0], position).trimmed());
    if (!number)
        throw EvaluationFailure{position, QStringLiteral("\"%1\" não é um número").arg(a[0].toString())};
    return *number;
}

vb::Variant toDate(const Args& a, int position)
{
    if (a.size() == 3)
        return dateOf(a, position);
    if (a[0].isDate())
        return a[0];
    vb::Date d;
    if (a[0].isString() && vb::DateFromText(a[0].toString().trimmed(), d))
        return d;
    throw EvaluationFailure{position, QStringLiteral("\"%1\" não é uma data").arg(a[0].toString())};
}

const std::map<QString, Function>& functions()
{
    static const std::map<QString, Function> table{
        {QStringLiteral("isnull"), {1, 1, true, [](const Args& a, int) { return vb::Variant(a[0].isNull()); }}},
        {QStringLiteral("year"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(vb::Year(dateArg(a[0], p)))); }}},
        {QStringLiteral("month"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(vb::Month(dateArg(a[0], p)))); }}},
        {QStringLiteral("day"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(vb::Day(dateArg(a[0], p)))); }}},
        {QStringLiteral("hour"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(vb::Hour(dateArg(a[0], p)))); }}},
        {QStringLiteral("minute"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(vb::Minute(dateArg(a[0], p)))); }}},
        {QStringLiteral("currentdate"), {0, 0, false, [](const Args&, int) { return vb::Variant(vb::Today()); }}},
        {QStringLiteral("currentdatetime"), {0, 0, false, [](const Args&, int) { return vb::Variant(vb::Now()); }}},
        {QStringLiteral("totext"), {1, 2, true, toText}},
        {QStringLiteral("tonumber"), {1, 1, false, toNumber}},
        {QStringLiteral("cdate"), {1, 3, false, toDate}},
        {QStringLiteral("trim"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(textArg(a[0], p).trimmed()); }}},
        {QStringLiteral("uppercase"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(textArg(a[0], p).toUpper()); }}},
        {QStringLiteral("lowercase"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(textArg(a[0], p).toLower()); }}},
        {QStringLiteral("left"),
         {2, 2, false, [](const Args& a, int p) { return vb::Variant(textArg(a[0], p).left(countArg(a[1], p))); }}},
        {QStringLiteral("right"),
         {2, 2, false, [](const Args& a, int p) { return vb::Variant(textArg(a[0], p).right(countArg(a[1], p))); }}},
        {QStringLiteral("mid"),
         {2, 3, false,
          [](const Args& a, int p) {
              const int start = countArg(a[1], p);
              if (start < 1)
                  throw EvaluationFailure{p, QStringLiteral("Mid começa em 1")};
              return vb::Variant(textArg(a[0], p).mid(start - 1, a.size() == 3 ? countArg(a[2], p) : -1));
          }}},
        {QStringLiteral("length"),
         {1, 1, false, [](const Args& a, int p) { return vb::Variant(double(textArg(a[0], p).size())); }}},
        {QStringLiteral("date"),
         {1, 3, false,
          [](const Args& a, int p) {
              if (a.size() == 1)
                  return vb::Variant(vb::DateValue(dateArg(a[0], p)));
              if (a.size() != 3)
                  throw EvaluationFailure{p, QStringLiteral("Date pede ano, mês e dia")};
              return vb::Variant(dateOf(a, p));
          }}},
        {QStringLiteral("datetime"),
         {6, 6, false,
          [](const Args& a, int p) {
              const int h = int(numberArg(a[3], p)), n = int(numberArg(a[4], p)), s = int(numberArg(a[5], p));
              if (!vb::isValidDateParts(2000, 1, 1, h, n, s))
                  throw EvaluationFailure{p, QStringLiteral("hora inexistente")};
              return vb::Variant(vb::Date(dateOf(a, p).serial + vb::TimeSerial(h, n, s).serial));
          }}},
    };
    return table;
}

}  // namespace

bool isFunctionName(const QString& name)
{
    return functions().count(name) || isSummaryName(name) || isSpecialName(name);
}

bool isSummaryName(const QString& name)
{
    static const QStringList names{QStringLiteral("sum"), QStringLiteral("count"), QStringLiteral("minimum"),
                                   QStringLiteral("maximum"), QStringLiteral("average")};
    return names.contains(name);
}

bool isSpecialName(const QString& name)
{
    static const QStringList names{QStringLiteral("pagenumber"), QStringLiteral("totalpagecount"),
                                   QStringLiteral("recordnumber"), QStringLiteral("printdate"),
                                   QStringLiteral("printtime")};
    return names.contains(name);
}

vb::Variant callFunction(const QString& name, const std::vector<vb::Variant>& args, int position)
{
    const auto found = functions().find(name);
    if (found == functions().end())
        throw EvaluationFailure{position, QStringLiteral("função desconhecida %1").arg(name)};
    const Function& function = found->second;
    if (int(args.size()) < function.minArgs || int(args.size()) > function.maxArgs)
        throw EvaluationFailure{position, QStringLiteral("número errado de argumentos para %1").arg(name)};
    if (!function.takesNull)
        for (const vb::Variant& arg : args)
            if (arg.isNull())
                return vb::Variant::Null();
    return function.body(args, position);
}

}  // namespace reportengine
