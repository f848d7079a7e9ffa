// Selection, sorting, groups and summaries of a report over the demo plant's bookings, checked in its PDF.

#include "ReportFixture.h"

#include "support/ErrorNumber.h"

namespace {

using test::layoutXml;

// Bookings per station: a group per station, minutes per booking, totals per station and for the report.
const QByteArray LoadBody = R"xml(
<data>
  <table name="CadProgVorna"><field name="Posto"/><field name="Inicio"/><field name="Fim"/><field name="SeqAuto"/></table>
  <table name="CadSeq"><field name="Auto"/><field name="NrServ"/><field name="Sequencia"/></table>
  <table name="CadPosto"><field name="Codigo"/><field name="Descricao"/></table>
  <link from="CadProgVorna.SeqAuto" to="CadSeq.Auto"/>
  <link from="CadProgVorna.Posto" to="CadPosto.Codigo"/>
</data>
<formula name="Minutos">({CadProgVorna.Fim} - {CadProgVorna.Inicio}) * 1440</formula>
<sqlexpression name="Ordem">CadSeq.NrServ * 100 + CadSeq.Sequencia</sqlexpression>
<group field="{CadProgVorna.Posto}"/>
<section area="pageheader" height="400"><text x="0" y="0" width="6000" height="300" bold="true">Carga por posto</text></section>
<section area="groupheader" group="1" height="300">
  <field x="0" y="0" width="5000" height="260" source="{CadPosto.Codigo} &amp; ' - ' &amp; {CadPosto.Descricao}"/>
</section>
<section area="details" height="260">
  <field x="300" y="0" width="1000" height="240" source="{CadSeq.NrServ}"/>
  <field x="1400" y="0" width="2200" height="240" source="{CadProgVorna.Inicio}" format="dd/mm/yyyy hh:nn"/>
  <field x="3700" y="0" width="1200" height="240" source="{@Minutos}" format="0.0" align="right"/>
</section>
<section area="groupfooter" group="1" height="300">
  <field x="1400" y="0" width="3500" height="240" source="'Total ' &amp; {CadProgVorna.Posto} &amp; ': ' &amp; ToText(Sum({@Minutos}, {CadProgVorna.Posto}), 1) &amp; ' min em ' &amp; ToText(Count({CadSeq.NrServ}, {CadProgVorna.Posto}), 0)"/>
</section>
<section area="reportfooter" height="300">
  <field x="0" y="0" width="9000" height="240" source="'Geral: ' &amp; ToText(Sum({@Minutos}), 1) &amp; ' min, maior ' &amp; ToText(Maximum({@Minutos}), 1) &amp; ', media ' &amp; ToText(Average({@Minutos}), 2)"/>
</section>
<section area="pagefooter" height="300"><field x="0" y="0" width="4000" height="240" source="'Página ' &amp; ToText(PageNumber, 0) &amp; ' de ' &amp; ToText(TotalPageCount, 0)"/></section>
)xml";

class GroupsTest : public test::ReportFixture {};

TEST_F(GroupsTest, GroupsAndSummariesReachThePdf)
{
    auto report = openLayout(QStringLiteral("Carga"), layoutXml(LoadBody));
    const QString text = pdfText(*report);
    EXPECT_TRUE(text.contains(QStringLiteral("Carga por posto"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("DOB01 - Dobradeira 1"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Página 1 de 1"))) << qPrintable(text);
}

}  // namespace
