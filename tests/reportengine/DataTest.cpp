// How a report reads its data: joins, commands with SQL expressions, and nested groups with their summaries.

#include "support/report/ReportFixture.h"

#include "support/Printing.h"

namespace {

using test::layoutXml;

class DataTest : public test::ReportFixture {};

TEST_F(DataTest, LinksJoinInnerOrLeft)
{
    execute(QStringLiteral("INSERT INTO CadOS (NrServ, Descricao, Cliente) VALUES (2001, 'Avulsa', 99)"));
    const QByteArray body = R"xml(
<data>
  <table name="CadOS"><field name="NrServ"/><field name="Descricao"/></table>
  <table name="CadCli"><field name="Nome"/></table>
  <link from="CadOS.Cliente" to="CadCli.Codigo" join="left"/>
</data>
<selection>{CadOS.NrServ} in [1001, 2001]</selection>
<section area="details" height="240">
  <field x="0" y="0" width="900" height="240" source="{CadOS.NrServ}" format="0"/>
  <field x="1000" y="0" width="3000" height="240" source="if IsNull({CadCli.Nome}) then '(sem cliente)' else {CadCli.Nome}"/>
</section>)xml";
    auto left = openLayout(QStringLiteral("Esquerda"), layoutXml(body));
    EXPECT_EQ(csvRows(*left), QStringList({"1001;Construtora Alfa", "2001;(sem cliente)"}));
    auto inner = openLayout(QStringLiteral("Interna"), layoutXml(QByteArray(body).replace(" join=\"left\"", "")));
    EXPECT_EQ(csvRows(*inner), QStringList({"1001;Construtora Alfa"}));
}

TEST_F(DataTest, CommandsReadTheirColumnsByName)
{
    auto report = openLayout(QStringLiteral("Comando"), layoutXml(R"xml(
<data><command><sql>SELECT Posto, COUNT(*) AS Operacoes FROM CadSeq GROUP BY Posto</sql>
  <field name="Posto"/><field name="Operacoes"/></command></data>
<sqlexpression name="Peso">Operacoes * 10 + length(Posto)</sqlexpression>
<sort field="{%Peso}" direction="descending"/>
<section area="details" height="240">
  <field x="0" y="0" width="900" height="240" source="{Command.Posto}"/>
  <field x="1000" y="0" width="900" height="240" source="{command.operacoes}"/>
  <field x="2000" y="0" width="900" height="240" source="{%peso}"/>
</section>)xml"));
    EXPECT_EQ(csvRows(*report), QStringList({"DOB01;18;185", "LAS01;12;125", "SOL01;12;125", "LAS02;6;65"}));
    EXPECT_EQ(report->Database().Tables().Item(1).Fields().Item(2).Name(), QStringLiteral("Operacoes"));
}

TEST_F(DataTest, NestedGroupsSummariseEachLevel)
{
    auto report = openLayout(QStringLiteral("Grupos"), layoutXml(R"xml(
<data><table name="CadSeq"><field name="Posto"/><field name="NrServ"/><field name="TempoPreparo"/><field name="TempoUnitario"/></table></data>
<selection>{CadSeq.NrServ} &lt;= 1003</selection>
<group field="{CadSeq.Posto}" direction="descending"/>
<group field="{CadSeq.NrServ}"/>
<section area="groupheader" group="1" height="240"><field x="0" y="0" width="3000" height="240" source="'Posto ' &amp; {CadSeq.Posto}"/></section>
<section area="groupfooter" group="2" height="240">
  <field x="300" y="0" width="6000" height="240" source="'OS ' &amp; ToText({CadSeq.NrServ}, '0') &amp; ': ' &amp; ToText(Count({CadSeq.Posto}, {CadSeq.NrServ}), 0) &amp; ' op, preparo ' &amp; ToText(Sum({CadSeq.TempoPreparo}, {CadSeq.NrServ}), 0)"/>
</section>
<section area="groupfooter" group="1" height="240">
  <field x="0" y="0" width="9000" height="240" source="'min ' &amp; ToText(Minimum({CadSeq.TempoUnitario}, {CadSeq.Posto}), 2) &amp; ' max ' &amp; ToText(Maximum({CadSeq.TempoUnitario}, {CadSeq.Posto}), 2) &amp; ' media ' &amp; ToText(Average({CadSeq.TempoPreparo}, {CadSeq.Posto}), 1) &amp; ' de ' &amp; ToText(Sum({CadSeq.TempoPreparo}), 0)"/>
</section>)xml"));
    const QString text = pdfText(*report);
    test::expectMatches(
        text,
        {
            QStringLiteral(
                "^Posto SOL01\\n +OS 1001: 1 op, preparo 20\\n +OS 1002: 1 op, preparo 20\\n +OS 1003: 1 op, preparo 20\\n"
                "min 6,00 max 6,00 media 20,0 de 240\\nPosto LAS02\\n +OS 1002: 1 op, preparo 15\\n"),
            QStringLiteral("Posto DOB01\\n +OS 1001: 1 op, preparo 30\\n +OS 1002: 2 op, preparo 60\\n"),
            QStringLiteral("min 1,50 max 1,50 media 30,0 de 240\\n"),
        });
    EXPECT_FALSE(text.contains(QStringLiteral("OS 1004")));
}

TEST_F(DataTest, NamesOfTheLayoutStayNamesInTheQuery)
{
    // A location that closes its brackets and appends a query of its own must name a table, not run SQL.
    auto report = openLayout(QStringLiteral("Injecao"), layoutXml(R"xml(
<data><table name="CadPosto" location="CadPosto] AS [CadPosto] UNION ALL SELECT name, sql FROM sqlite_master --">
  <field name="Codigo"/><field name="Descricao"/></table></data>
<section area="details" height="240"><field x="0" y="0" width="900" height="240" source="{CadPosto.Codigo}"/></section>)xml"));
    QStringList rows;
    try {
        rows = csvRows(*report);
    } catch (const vb::VbError&) {
        // The embedded server finds no table of that name (a real one tells "Invalid object name").
    }
    EXPECT_FALSE(rows.join(QLatin1Char('\n')).contains(QStringLiteral("CREATE TABLE"))) << "the schema was read";
    EXPECT_EQ(report->SQLQueryString(),
              QStringLiteral("SELECT [CadPosto].[Codigo], [CadPosto].[Descricao] FROM [CadPosto]] AS [CadPosto]] UNION "
                             "ALL SELECT name, sql FROM sqlite_master --] AS [CadPosto]"));

    // Every name the engine writes is quoted the same way: tables, locations, fields and links.
    auto odd = openLayout(QStringLiteral("Estranho"), layoutXml(R"xml(
<data><table name="O]dd" location="Odd]Table"><field name="Co]l"/></table>
  <table name="Second" location="S]"><field name="Plain"/></table>
  <link from="O]dd.Co]l" to="Second.Pl]ain"/></data>
<section area="details" height="240"><field x="0" y="0" width="900" height="240" source="{Second.Plain}"/></section>)xml"));
    EXPECT_EQ(odd->SQLQueryString(),
              QStringLiteral("SELECT [O]]dd].[Co]]l], [Second].[Plain] FROM [Odd]]Table] AS [O]]dd] "
                             "INNER JOIN [S]]] AS [Second] ON [O]]dd].[Co]]l] = [Second].[Pl]]ain]"));
}

TEST_F(DataTest, ALayoutWithoutTablesHasAnEmptyQuery)
{
    auto report = openLayout(QStringLiteral("SemDados"), layoutXml(R"xml(
<section area="reportheader" height="240"><text x="0" y="0" width="900" height="240">Só texto</text></section>)xml"));
    EXPECT_EQ(report->SQLQueryString(), QString());
    EXPECT_EQ(report->Database().Tables().Count(), 0);
}

}  // namespace
