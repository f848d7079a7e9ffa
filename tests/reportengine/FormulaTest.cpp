// The formula language: operators and their precedence, functions, Null, parameters and errors with positions.

#include "reportengine/EngineErrors.h"
#include "reportengine/Formula_p.h"
#include "runtime/Format.h"
#include "support/ErrorNumber.h"
#include "support/Printing.h"

#include <QHash>
#include <gtest/gtest.h>

namespace {

using reportengine::Formula;
using vb::Variant;

// Fields, formulas and parameters of one record, by lower-case name.
class OneRecord : public reportengine::FormulaContext {
public:
    QHash<QString, Variant> fields{{QStringLiteral("os.nrserv"), Variant(1001)},
                                   {QStringLiteral("os.descricao"), Variant("Conjunto 1")},
                                   {QStringLiteral("os.dtentr"), Variant(vb::DateSerial(2026, 3, 9))},
                                   {QStringLiteral("os.obs"), Variant::Null()}};
    QHash<QString, Formula> formulas;
    QHash<QString, Variant> parameters{{QStringLiteral("posto"), Variant("LAS01")}};

    Variant field(const reportengine::FormulaNode& r) override { return lookUp(fields, r); }
    Variant formula(const reportengine::FormulaNode& r) override { return formulas.value(r.name).evaluate(*this); }
    Variant parameter(const reportengine::FormulaNode& r) override { return lookUp(parameters, r); }
    Variant sqlExpression(const reportengine::FormulaNode& r) override { return lookUp(fields, r); }
    Variant summary(const reportengine::FormulaNode&) override { return 42.0; }
    Variant special(const QString& name) override { return name == QLatin1String("pagenumber") ? 3.0 : 7.0; }

private:
    static Variant lookUp(const QHash<QString, Variant>& values, const reportengine::FormulaNode& r)
    {
        if (!values.contains(r.name))
            throw reportengine::EvaluationFailure{r.position, QStringLiteral("unknown ") + r.name};
        return values.value(r.name);
    }
};

Variant eval(const QString& text, OneRecord&& context = OneRecord())
{
    return Formula(text, QStringLiteral("{@t}")).evaluate(context);
}

QString description(const QString& text)
{
    try {
        eval(text);
    } catch (const vb::VbError& e) {
        return e.description();
    }
    return QStringLiteral("<no error>");
}

TEST(FormulaTest, OperatorsFollowTheirPrecedence)
{
    EXPECT_EQ(eval("1 + 2 * 3"), Variant(7.0));
    EXPECT_EQ(eval("(1 + 2) * 3"), Variant(9.0));
    EXPECT_EQ(eval("-2 * 3 + 10 / 4"), Variant(-3.5));
    EXPECT_EQ(eval("17 mod 5 + 1"), Variant(3.0));
    EXPECT_EQ(eval("'a' & 1 + 2 & \"b\""), Variant("a3b"));
    EXPECT_EQ(eval("1 < 2 and 3 > 4 or 5 = 5"), Variant(true));
    EXPECT_EQ(eval("not 1 = 2 and 2 <= 2"), Variant(true));
    EXPECT_EQ(eval("1 <> 1 or not (2 >= 3)"), Variant(true));
    EXPECT_EQ(eval("'It''s' & \"a \"\"b\"\"\""), Variant("It'sa \"b\""));
    EXPECT_EQ(eval("3 in [1, 2, 3] and not (4 in [1, 2])"), Variant(true));
    EXPECT_EQ(eval("5 in 1 to 5 and not (6 in 1 to 5)"), Variant(true));
    EXPECT_EQ(eval("7 in [1 to 3, 7] and not (4 in [1 to 3, 7])"), Variant(true));
    EXPECT_EQ(eval("'LAS01' like 'las*' and 'DOB01' like '?OB0?' and not ('SOL' like 'S?')"), Variant(true));
    EXPECT_EQ(eval("'LAS01' startswith 'LAS' and not ('LAS01' startswith 'las')"), Variant(true));
    EXPECT_EQ(eval("if 1 > 2 then 'a' else if 2 > 1 then 'b' else 'c'"), Variant("b"));
    EXPECT_EQ(eval("1 + if true then 1 else 2"), Variant(2.0));
    EXPECT_EQ(eval("True = not False"), Variant(true));
}

TEST(FormulaTest, DatesCountInDays)
{
    EXPECT_EQ(eval("Date(2026, 3, 10) - Date(2026, 3, 9)"), Variant(1.0));
    EXPECT_EQ(eval("Date(2026, 3, 9) + 1"), Variant(vb::DateSerial(2026, 3, 10)));
    EXPECT_EQ(eval("DateTime(2026, 3, 9, 13, 30, 0) > Date(2026, 3, 9)"), Variant(true));
    EXPECT_EQ(eval("Hour(DateTime(2026, 3, 9, 13, 30, 0)) * 100 + Minute(DateTime(2026, 3, 9, 13, 30, 0))"),
              Variant(1330.0));
    EXPECT_EQ(eval("Year({os.DtEntr}) * 10000 + Month({os.dtentr}) * 100 + Day({OS.DTENTR})"), Variant(20260309.0));
    EXPECT_EQ(eval("Date(DateTime(2026, 3, 9, 13, 30, 0))"), Variant(vb::DateSerial(2026, 3, 9)));
    EXPECT_EQ(eval("CDate('09/03/2026') = CDate(2026, 3, 9)"), Variant(true));
    EXPECT_EQ(eval("CurrentDate"), Variant(vb::Today()));
    EXPECT_EQ(eval("CurrentDateTime >= CurrentDate"), Variant(true));
}

TEST(FormulaTest, FunctionsOnTextsAndNumbers)
{
    EXPECT_EQ(eval("ToText(1234.5, 2)"), Variant("1.234,50"));
    EXPECT_EQ(eval("ToText(1234.5)"), Variant("1.234,50"));
    EXPECT_EQ(eval("ToText(1234)"), Variant("1.234"));
    EXPECT_EQ(eval("ToText({os.dtentr}, 'dd/mm/yy')"), Variant("09/03/26"));
    EXPECT_EQ(eval("ToText(True)"), Variant("True"));
    EXPECT_EQ(eval("ToNumber('1,5') + ToNumber(True)"), Variant(2.5));
    EXPECT_EQ(eval("Trim('  a b  ') & UpperCase('x') & LowerCase('Y')"), Variant("a bXy"));
    EXPECT_EQ(eval("Left('LAS01', 3) & Right('LAS01', 2) & Mid('LAS01', 2, 2) & Mid('LAS01', 4)"),
              Variant("LAS01AS01"));
    EXPECT_EQ(eval("Length({os.descricao})"), Variant(10.0));
    EXPECT_EQ(eval("PageNumber & '/' & TotalPageCount"), Variant("3/7"));
    EXPECT_EQ(eval("Sum({os.nrserv})"), Variant(42.0));
}

TEST(FormulaTest, NullPropagatesAndFailsConditions)
{
    EXPECT_EQ(eval("IsNull({os.obs})"), Variant(true));
    EXPECT_EQ(eval("IsNull({os.nrserv})"), Variant(false));
    EXPECT_TRUE(eval("{os.obs} + 1").isNull());
    EXPECT_TRUE(eval("{os.obs} & 'x'").isNull());
    EXPECT_TRUE(eval("{os.obs} = 'x'").isNull());
    EXPECT_TRUE(eval("Trim({os.obs})").isNull());
    EXPECT_EQ(eval("ToText({os.obs})"), Variant(""));
    EXPECT_EQ(eval("if {os.obs} = 'x' then 1 else 2"), Variant(2.0));
    EXPECT_EQ(eval("{os.obs} = 'x' or true"), Variant(true));
    OneRecord context;
    EXPECT_FALSE(Formula("{os.obs} = 'x'", "s").test(context));
    EXPECT_TRUE(Formula("", "s").test(context));
}

TEST(FormulaTest, ReferencesReadFieldsFormulasAndParameters)
{
    OneRecord context;
    context.formulas.insert(QStringLiteral("dobro"), Formula("{os.nrserv} * 2", "{@Dobro}"));
    EXPECT_EQ(Formula("{@Dobro} + 1", "x").evaluate(context), Variant(2003.0));
    EXPECT_EQ(Formula("{?Posto} = 'LAS01' and {OS.NrServ} in [1000 to 2000, 5]", "x").evaluate(context), Variant(true));
    EXPECT_EQ(Formula("{ ?posto } in [{?posto}]", "x").evaluate(context), Variant(true));
}

TEST(FormulaTest, SyntaxErrorsNameTheFormulaAndThePosition)
{
    EXPECT_EQ(test::errorNumber([] { eval("1 +"); }), reportengine::EngineError::FormulaSyntax);
    EXPECT_EQ(description("1 +"), QStringLiteral("Erro na fórmula {@t}, posição 4: fórmula incompleta. Fórmula: 1 +"));
    EXPECT_TRUE(description("(1 + 2").contains(QStringLiteral("posição 7: esperado \")\"")));
    EXPECT_TRUE(description("'abc").contains(QStringLiteral("posição 1: texto sem fim")));
    EXPECT_TRUE(description("{os.nrserv").contains(QStringLiteral("posição 1: falta \"}\"")));
    EXPECT_TRUE(description("1 $ 2").contains(QStringLiteral("posição 3: caractere inesperado \"$\"")));
    EXPECT_TRUE(description("Foo(1)").contains(QStringLiteral("posição 1: função desconhecida \"foo\"")));
    EXPECT_TRUE(description("if 1 then 2 2").contains(QStringLiteral("posição 13: esperado o fim da fórmula")));
    EXPECT_TRUE(description("{nrserv} = 1").contains(QStringLiteral("posição 1: referência inválida {nrserv}")));
    EXPECT_TRUE(description("3 in [1, 2").contains(QStringLiteral("posição 11: esperado \"]\"")));
    EXPECT_TRUE(description("if true 1").contains(QStringLiteral("posição 9: esperado \"then\"")));
}

TEST(FormulaTest, EvaluationErrorsNameThePosition)
{
    EXPECT_EQ(test::errorNumber([] { eval("1 + 'a'"); }), reportengine::EngineError::FormulaEvaluation);
    EXPECT_TRUE(description("1 + 'a'").contains(QStringLiteral("posição 3: tipos incompatíveis para \"+\"")));
    EXPECT_TRUE(description("1 / (2 - 2)").contains(QStringLiteral("posição 3: divisão por zero")));
    EXPECT_TRUE(description("1 = '1'").contains(QStringLiteral("posição 3: valores de tipos diferentes")));
    EXPECT_TRUE(description("Left(1, 2)").contains(QStringLiteral("posição 1: é preciso um texto")));
    EXPECT_TRUE(description("Left('a')").contains(QStringLiteral("número errado de argumentos para left")));
    EXPECT_TRUE(description("Date(2026, 2, 30)").contains(QStringLiteral("data inexistente")));
    EXPECT_TRUE(description("if 1 then 2").contains(QStringLiteral("posição 4: é preciso um valor lógico")));
    EXPECT_TRUE(description("ToNumber('x1')").contains(QStringLiteral("\"x1\" não é um número")));
}

TEST(FormulaTest, DifferencesOfMomentsAreExactToTheSecond)
{
    OneRecord context;
    context.fields.insert(QStringLiteral("b.inicio"), Variant(vb::Date(46090.0 + vb::TimeSerial(7, 10, 0).serial)));
    context.fields.insert(QStringLiteral("b.fim"), Variant(vb::Date(46090.0 + vb::TimeSerial(7, 40, 0).serial)));
    EXPECT_EQ(Formula("({B.Fim} - {B.Inicio}) * 1440", "x").evaluate(context), Variant(30.0));
    EXPECT_EQ(Formula("({B.Fim} - {B.Inicio}) * 1440 < 30", "x").evaluate(context), Variant(false));
    EXPECT_EQ(Formula("({B.Fim} - {B.Inicio}) * 86400", "x").evaluate(context), Variant(1800.0));
    EXPECT_EQ(eval("(DateTime(2026, 3, 9, 8, 0, 0) - DateTime(2026, 3, 8, 20, 0, 0)) * 24"), Variant(12.0));
    // Before 30/12/1899 a serial keeps its time as an absolute fraction; moments still count on a straight line.
    EXPECT_EQ(eval("(DateTime(1899, 12, 30, 6, 0, 0) - DateTime(1899, 12, 29, 18, 0, 0)) * 24"), Variant(12.0));
    EXPECT_EQ(eval("DateTime(1899, 12, 29, 6, 0, 0)"), Variant(vb::Date(-1.25)));
    EXPECT_EQ(eval("DateTime(1899, 12, 29, 18, 0, 0) > DateTime(1899, 12, 29, 6, 0, 0)"), Variant(true));
    EXPECT_EQ(eval("DateTime(1899, 12, 29, 6, 0, 0) + 0.5"), Variant(vb::Date(-1.75)));
    EXPECT_EQ(eval("Date(1899, 12, 31) - 1.75"), Variant(vb::Date(-1.25)));
}

TEST(FormulaTest, NumbersOutOfRangeNameTheArgument)
{
    EXPECT_EQ(test::errorNumber([] { eval("ToText(1, 99999999999)"); }), reportengine::EngineError::FormulaEvaluation);
    EXPECT_TRUE(description("ToText(1, 99999999999)").contains(QStringLiteral("(argumento 2 de totext)")));
    EXPECT_TRUE(description("ToText(1, -1)").contains(QStringLiteral("fora do intervalo de 0 a 100")));
    EXPECT_TRUE(description("Date(99999999999, 1, 1)").contains(QStringLiteral("(argumento 1 de date)")));
    EXPECT_TRUE(description("CDate(2026, 10000000000000, 1)").contains(QStringLiteral("(argumento 2 de cdate)")));
    EXPECT_TRUE(description("DateTime(2026, 1, 1, 99999999999, 0, 0)").contains(QStringLiteral("(argumento 4 de datetime)")));
    EXPECT_TRUE(description("DateTime(2026, 1, 1, 0, -99999999999, 0)").contains(QStringLiteral("(argumento 5 de datetime)")));
    EXPECT_TRUE(description("DateTime(2026, 1, 1, 0, 0, 60)").contains(QStringLiteral("(argumento 6 de datetime)")));
    EXPECT_TRUE(description("Left('abc', 99999999999)").contains(QStringLiteral("(argumento 2 de left)")));
    EXPECT_TRUE(description("Mid('abc', 0)").contains(QStringLiteral("(argumento 2 de mid)")));
    EXPECT_TRUE(description("Date(2026, 1, 1) + 10000000000000").contains(QStringLiteral("data fora do intervalo")));
    EXPECT_TRUE(description("Date(9999, 12, 31) + 1").contains(QStringLiteral("data fora do intervalo")));
    EXPECT_EQ(eval("ToText(1, 3)"), Variant("1,000"));
    EXPECT_EQ(eval("Left('abc', 2147483647)"), Variant("abc"));
    EXPECT_EQ(eval("DateTime(2026, 1, 1, 23, 59, 59.9)"), Variant(vb::Date(vb::DateSerial(2026, 1, 1).serial + vb::TimeSerial(23, 59, 59).serial)));
}

TEST(FormulaTest, FormulasTooDeepAreSyntaxErrorsWithTheirPosition)
{
    const QString parentheses = QString(4500, QLatin1Char('(')) + QStringLiteral("1") + QString(4500, QLatin1Char(')'));
    EXPECT_EQ(test::errorNumber([&] { eval(parentheses); }), reportengine::EngineError::FormulaSyntax);
    EXPECT_TRUE(description(parentheses).contains(QStringLiteral("posição 257: fórmula aninhada demais (mais de 256 níveis)")));
    const QString minuses = QString(20000, QLatin1Char('-')) + QStringLiteral("1");
    EXPECT_EQ(test::errorNumber([&] { eval(minuses); }), reportengine::EngineError::FormulaSyntax);
    EXPECT_EQ(test::errorNumber([&] { eval(QString(20000, QLatin1Char('+')) + QStringLiteral("1")); }),
              reportengine::EngineError::FormulaSyntax);
    EXPECT_EQ(test::errorNumber([&] { eval(QStringLiteral("not ").repeated(20000) + QStringLiteral("true")); }),
              reportengine::EngineError::FormulaSyntax);
    EXPECT_EQ(test::errorNumber([&] { eval(QStringLiteral("if true then ").repeated(5000) + QStringLiteral("1")); }),
              reportengine::EngineError::FormulaSyntax);
    // A long chain builds a tall tree without deep parsing: it is refused too, before it is computed.
    const QString chain = QStringLiteral("1") + QStringLiteral(" + 1").repeated(100000);
    EXPECT_EQ(test::errorNumber([&] { eval(chain); }), reportengine::EngineError::FormulaSyntax);
    EXPECT_TRUE(description(chain).contains(QStringLiteral("fórmula longa demais")));

    EXPECT_EQ(eval(QString(200, QLatin1Char('(')) + QStringLiteral("2") + QString(200, QLatin1Char(')'))), Variant(2.0));
    EXPECT_EQ(eval(QStringLiteral("1") + QStringLiteral(" + 1").repeated(450)), Variant(451.0));
    EXPECT_EQ(eval(QString(200, QLatin1Char('-')) + QStringLiteral("3")), Variant(3.0));
}

TEST(FormulaTest, FormulasUsingFormulasTooDeepFailWithoutExhaustingTheStack)
{
    // Ten formulas, each a chain of 450 additions over the next: no one is too tall, all of them together are.
    OneRecord context;
    for (int f = 0; f < 10; ++f)
        context.formulas.insert(QStringLiteral("f%1").arg(f),
                                Formula(QStringLiteral("{@f%1}").arg(f + 1) + QStringLiteral(" + 1").repeated(450),
                                        QStringLiteral("{@f%1}").arg(f)));
    context.formulas.insert(QStringLiteral("f10"), Formula(QStringLiteral("0"), QStringLiteral("{@f10}")));
    EXPECT_EQ(test::errorNumber([&] { Formula("{@f0}", "x").evaluate(context); }),
              reportengine::EngineError::FormulaEvaluation);
    EXPECT_EQ(Formula("{@f9}", "x").evaluate(context), Variant(450.0));
}

}  // namespace
