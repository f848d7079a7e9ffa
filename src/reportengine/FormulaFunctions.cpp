#include "reportengine/Formula_p.h"

#include "runtime/Format.h"

#include <cmath>
#include <functional>
#include <limits>
#include <map>

namespace reportengine {

namespace {

using Args = std::vector<vb::Variant>;

// One call being computed: its arguments, where it stands in the formula, and its name for the errors.
struct Call {
    const Args& args;
    int position;
    const QString& name;

    [[noreturn]] void fail(std::size_t index, const QString& reason) const
    {
        throw EvaluationFailure{position, QStringLiteral("%1 (argumento %2 de %3)").arg(reason).arg(index + 1).arg(name)};
    }

    QString text(std::size_t index) const
    {
        if (!args[index].isString())
            fail(index, QStringLiteral("é preciso um texto"));
        return args[index].toString();
    }

    double number(std::size_t index) const
    {
        const vb::Variant& v = args[index];
        if (!v.isNumberKind() || v.type() == vb::VarType::Boolean)
            fail(index, QStringLiteral("é preciso um número"));
        return v.toDouble();
    }

    // A number's whole part, which must lie in low..high.
    int whole(std::size_t index, int low, int high) const
    {
        const double given = number(index);
        const double n = std::trunc(given);
        if (!(n >= low && n <= high))
            fail(index, QStringLiteral("%1 está fora do intervalo de %2 a %3")
                            .arg(QString::number(given, 'g', 15))
                            .arg(low)
                            .arg(high));
        return int(n);
    }

    int count(std::size_t index) const { return whole(index, 0, std::numeric_limits<int>::max()); }

    vb::Date date(std::size_t index) const
    {
        if (!args[index].isDate())
            fail(index, QStringLiteral("é preciso uma data"));
        return args[index].toDate();
    }

    // Year, month and day from the arguments `first` to `first + 2`.
    vb::Date dateOf(std::size_t first) const
    {
        const int y = whole(first, MinYear, MaxYear), m = whole(first + 1, 1, 12), d = whole(first + 2, 1, 31);
        if (!vb::isValidDateParts(y, m, d))
            throw EvaluationFailure{position, QStringLiteral("%1: data inexistente").arg(name)};
        return vb::DateSerial(y, m, d);
    }

    static constexpr int MinYear = 100;
    static constexpr int MaxYear = 9999;
};

struct Function {
    int minArgs;
    int maxArgs;
    bool takesNull;  // called with Null arguments instead of giving Null
    std::function<vb::Variant(const Call&)> body;
};

// Decimals ToText shows at most: more would only write zeros past a double's precision.
constexpr int MostDecimals = 100;

vb::Variant toText(const Call& c)
{
    const Args& a = c.args;
    if (a.size() == 1 || a[1].isNull())
        return defaultText(a[0]);
    if (a[1].isString())
        return formattedText(a[0], a[1].toString());
    const int decimals = c.whole(1, 0, MostDecimals);
    return vb::Format(a[0], QStringLiteral("#,##0") +
                                (decimals ? QStringLiteral(".") + QString(decimals, QLatin1Char('0')) : QString()));
}

vb::Variant toNumber(const Call& c)
{
    const Args& a = c.args;
    if (a[0].type() == vb::VarType::Boolean)
        return a[0].toBool() ? 1.0 : 0.0;
    if (a[0].isNumberKind())
        return a[0].toDouble();
    const auto number = vb::NumberFromText(c.text(0).trimmed());
    if (!number)
        throw EvaluationFailure{c.position, QStringLiteral("\"%1\" não é um número").arg(a[0].toString())};
    return *number;
}

vb::Variant toDate(const Call& c)
{
    const Args& a = c.args;
    if (a.size() == 3)
        return c.dateOf(0);
    if (a.size() != 1)
        throw EvaluationFailure{c.position, QStringLiteral("CDate pede um texto ou ano, mês e dia")};
    if (a[0].isDate())
        return a[0];
    vb::Date d;
    if (a[0].isString() && vb::DateFromText(a[0].toString().trimmed(), d))
        return d;
    throw EvaluationFailure{c.position, QStringLiteral("\"%1\" não é uma data").arg(a[0].toString())};
}

vb::Variant dateTime(const Call& c)
{
    const int h = c.whole(3, 0, 23), n = c.whole(4, 0, 59), s = c.whole(5, 0, 59);
    return dateAtMilliseconds(millisecondsOf(c.dateOf(0)) + ((h * 60LL + n) * 60 + s) * 1000, c.position);
}

const std::map<QString, Function>& functions()
{
    static const std::map<QString, Function> table{
        {QStringLiteral("isnull"), {1, 1, true, [](const Call& c) { return vb::Variant(c.args[0].isNull()); }}},
        {QStringLiteral("year"), {1, 1, false, [](const Call& c) { return vb::Variant(double(vb::Year(c.date(0)))); }}},
        {QStringLiteral("month"),
         {1, 1, false, [](const Call& c) { return vb::Variant(double(vb::Month(c.date(0)))); }}},
        {QStringLiteral("day"), {1, 1, false, [](const Call& c) { return vb::Variant(double(vb::Day(c.date(0)))); }}},
        {QStringLiteral("hour"), {1, 1, false, [](const Call& c) { return vb::Variant(double(vb::Hour(c.date(0)))); }}},
        {QStringLiteral("minute"),
         {1, 1, false, [](const Call& c) { return vb::Variant(double(vb::Minute(c.date(0)))); }}},
        {QStringLiteral("currentdate"), {0, 0, false, [](const Call&) { return vb::Variant(vb::Today()); }}},
        {QStringLiteral("currentdatetime"), {0, 0, false, [](const Call&) { return vb::Variant(vb::Now()); }}},
        {QStringLiteral("totext"), {1, 2, true, toText}},
        {QStringLiteral("tonumber"), {1, 1, false, toNumber}},
        {QStringLiteral("cdate"), {1, 3, false, toDate}},
        {QStringLiteral("trim"), {1, 1, false, [](const Call& c) { return vb::Variant(c.text(0).trimmed()); }}},
        {QStringLiteral("uppercase"), {1, 1, false, [](const Call& c) { return vb::Variant(c.text(0).toUpper()); }}},
        {QStringLiteral("lowercase"), {1, 1, false, [](const Call& c) { return vb::Variant(c.text(0).toLower()); }}},
        {QStringLiteral("left"), {2, 2, false, [](const Call& c) { return vb::Variant(c.text(0).left(c.count(1))); }}},
        {QStringLiteral("right"),
         {2, 2, false, [](const Call& c) { return vb::Variant(c.text(0).right(c.count(1))); }}},
        {QStringLiteral("mid"),
         {2, 3, false,
          [](const Call& c) {
              const int start = c.whole(1, 1, std::numeric_limits<int>::max());
              return vb::Variant(c.text(0).mid(start - 1, c.args.size() == 3 ? c.count(2) : -1));
          }}},
        {QStringLiteral("length"),
         {1, 1, false, [](const Call& c) { return vb::Variant(double(c.text(0).size())); }}},
        {QStringLiteral("date"),
         {1, 3, false,
          [](const Call& c) {
              if (c.args.size() == 1)
                  return vb::Variant(vb::DateValue(c.date(0)));
              if (c.args.size() != 3)
                  throw EvaluationFailure{c.position, QStringLiteral("Date pede ano, mês e dia")};
              return vb::Variant(c.dateOf(0));
          }}},
        {QStringLiteral("datetime"), {6, 6, false, dateTime}},
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
    return function.body(Call{args, position, name});
}

}  // namespace reportengine
