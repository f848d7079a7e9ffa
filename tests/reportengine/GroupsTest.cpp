// Selection, sorting, groups and summaries of a report over the demo plant's bookings, checked in its PDF.

#include "support/report/ReportFixture.h"

#include <QRegularExpression>

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

class GroupsTest : public test::ReportFixture {
protected:
    std::shared_ptr<reportengine::Report> load() { return openLayout(QStringLiteral("Carga"), layoutXml(LoadBody)); }
};

TEST_F(GroupsTest, GroupsCarryTheirSummaries)
{
    auto report = load();
    const QString text = pdfText(*report);
    test::expectMatches(text, {
                                  QStringLiteral("DOB01 - Dobradeira 1\n +1.001 +02/03/2026 07:00 +37,0\n"),
                                  QStringLiteral("Total DOB01: 879,0 min em 18\n"),
                                  QStringLiteral("LAS02 - Laser 2\n +1.002 +02/03/2026 07:00 +45,0\n"),
                                  QStringLiteral("Total LAS02: 275,0 min em 6\n"),
                                  QStringLiteral("min em 6\n *SOL01 - Solda 1\n"),
                                  QStringLiteral("03/03/2026 00:16 +128,0\n +Total SOL01: 1.164,0 min em 12\n"),
                                  QStringLiteral("Geral: 2.880,0 min, maior 140,0, media 60,00"),
                              });
    EXPECT_FALSE(text.contains(QStringLiteral("DOB02")));  // no bookings there

    const auto tree = report->groupTree();
    ASSERT_EQ(tree.size(), 4u);
    EXPECT_EQ(tree[0].text, QStringLiteral("DOB01"));
    EXPECT_EQ(tree[3].text, QStringLiteral("SOL01"));
    EXPECT_EQ(tree[3].page, 1);
}

TEST_F(GroupsTest, PagesRepeatTheirHeaderAndFooter)
{
    auto report = load();
    const QString text = pdfText(*report, QStringLiteral("carga.pdf"));
    const int pages = test::pdfPageCount(program.file(QStringLiteral("carga.pdf")));
    EXPECT_EQ(pages, report->PageCount());
    ASSERT_EQ(pages, 2);
    const QStringList pageTexts = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    for (int page = 1; page <= pages; ++page) {
        EXPECT_TRUE(pageTexts[page - 1].trimmed().startsWith(QStringLiteral("Carga por posto")));
        EXPECT_TRUE(pageTexts[page - 1].trimmed().endsWith(QStringLiteral("Página %1 de %2").arg(page).arg(pages)));
    }
    // Taller details spread the same records over more pages, and no section is cut.
    execute(QStringLiteral("UPDATE CadPosto SET Descricao = Descricao || ' (corte)' WHERE Codigo LIKE 'LAS%'"));
    auto tall = openLayout(
        QStringLiteral("Alta"),
        layoutXml(QByteArray(LoadBody).replace("area=\"details\" height=\"260\"", "area=\"details\" height=\"1200\"")));
    const QString tallText = pdfText(*tall, QStringLiteral("alta.pdf"));
    const int tallPages = test::pdfPageCount(program.file(QStringLiteral("alta.pdf")));
    EXPECT_EQ(tallPages, tall->PageCount());
    EXPECT_GE(tallPages, 4);
    EXPECT_EQ(tallText.count(QStringLiteral("Carga por posto")), tallPages);
    EXPECT_TRUE(tallText.contains(QStringLiteral("Página %1 de %1").arg(tallPages)));
    EXPECT_TRUE(tallText.contains(QStringLiteral("LAS01 - Laser 1 (corte)")));
    EXPECT_EQ(tallText.count(QRegularExpression(QStringLiteral("02/03/2026 \\d\\d:\\d\\d"))), 47);
}

TEST_F(GroupsTest, DeletedGroupsAndSuppressedSectionsLeaveThePage)
{
    auto report = load();
    report->DeleteGroup(1);
    EXPECT_EQ(report->Sections().Count(), 4);
    report->Sections().Item(QStringLiteral("Details")).setSuppress(true);
    const QString text = pdfText(*report);
    EXPECT_FALSE(text.contains(QStringLiteral("Total")));
    EXPECT_FALSE(text.contains(QStringLiteral("Dobradeira")));
    EXPECT_FALSE(text.contains(QStringLiteral("02/03/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("Geral: 2.880,0 min")));
    EXPECT_TRUE(report->groupTree().empty());
}

}  // namespace
