// Layout files read into their plain data: every element and attribute, defaults, and the order of sections.

#include "reportengine/EngineErrors.h"
#include "reportengine/LayoutReader_p.h"
#include "support/Files.h"
#include "support/Printing.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace reportengine;

const QByteArray Everything = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report version="1" name="Tudo">
  <page paper="256" orientation="2" width="8000" height="12000" left="100" right="200" top="300" bottom="400"/>
  <printer driver="winspool" device="Laser Expedição" port="LPT1:"/>
  <data>
    <table name="Os" location="CadOS"><field name="NrServ"/><field name="Descricao"/></table>
    <table name="Cli" location="CadCli"><field name="Codigo"/></table>
    <link from="Os.Cliente" to="Cli.Codigo" join="left"/>
  </data>
  <parameter name="Inicio" type="date" prompt="Primeiro dia" default="01/03/2026"/>
  <parameter name="Posto"/>
  <formula name="Dobro">{Os.NrServ} * 2</formula>
  <sqlexpression name="Ano">substr(Os.Data, 1, 4)</sqlexpression>
  <selection>{Os.NrServ} &gt; 1000</selection>
  <sort field="{Os.Descricao}" direction="descending"/>
  <group field="{Os.Cliente}"/>
  <section area="pagefooter" height="200"/>
  <section area="groupfooter" group="1" height="250"/>
  <section area="details" name="Linha" height="240" newpagebefore="true">
    <field x="10" y="20" width="3000" height="230" source="{@Dobro}" format="0.00" font="DejaVu Serif" size="11"
           bold="true" italic="1" align="right" cangrow="true" name="Valor"/>
    <line x="0" y="235" width="5000" height="0" linewidth="30"/>
    <box x="0" y="0" width="5000" height="240"/>
    <subreport x="500" y="0" width="4000" height="0" report="Itens">
      <link parent="{Os.NrServ}" child="{Itens.NrServ}"/>
    </subreport>
  </section>
  <section area="groupheader" group="1" height="260" suppress="true"><text x="0" y="0" width="900" height="240" align="center">Cliente &amp; OS</text></section>
  <section area="reportheader" height="300"/>
  <subreport name="Itens">
    <data><command><sql>SELECT NrServ, Quant FROM CadPedItem</sql><field name="NrServ"/><field name="Quant"/></command></data>
    <section area="details" height="200"/>
  </subreport>
</report>
)xml";

class LayoutReaderTest : public testing::Test {
protected:
    LayoutSpec read(const QByteArray& xml)
    {
        const QString path = program.file(QStringLiteral("Tudo.rpt"));
        test::writeFile(path, xml);
        return readLayout(path);
    }

    test::ProgramFolder program;
};

TEST_F(LayoutReaderTest, ReadsEveryPartOfALayout)
{
    const LayoutSpec layout = read(Everything);
    EXPECT_EQ(layout.name, QStringLiteral("Tudo"));
    EXPECT_EQ(layout.page.paperSize, 256);
    EXPECT_EQ(layout.page.orientation, 2);
    EXPECT_EQ(QRect(layout.page.left, layout.page.top, layout.page.width, layout.page.height),
              QRect(100, 300, 8000, 12000));
    EXPECT_EQ(layout.page.right + layout.page.bottom, 600);
    EXPECT_EQ(layout.printer.device, QStringLiteral("Laser Expedição"));
    EXPECT_EQ(layout.printer.port, QStringLiteral("LPT1:"));

    ASSERT_EQ(layout.tables.size(), 2u);
    EXPECT_EQ(layout.tables[0].location, QStringLiteral("CadOS"));
    EXPECT_EQ(layout.tables[1].location, QStringLiteral("CadCli"));
    EXPECT_EQ(layout.tables[0].fields, QStringList({"NrServ", "Descricao"}));
    ASSERT_EQ(layout.joins.size(), 1u);
    EXPECT_TRUE(layout.joins[0].leftOuter);
    EXPECT_EQ(layout.joins[0].fromField + layout.joins[0].toTable, QStringLiteral("ClienteCli"));

    ASSERT_EQ(layout.parameters.size(), 2u);
    EXPECT_EQ(layout.parameters[0].type, ValueKind::Date);
    EXPECT_EQ(layout.parameters[0].prompt, QStringLiteral("Primeiro dia"));
    EXPECT_EQ(*layout.parameters[0].defaultValue, vb::Variant("01/03/2026"));
    EXPECT_EQ(layout.parameters[1].type, ValueKind::Text);
    EXPECT_FALSE(layout.parameters[1].defaultValue);
    EXPECT_EQ(layout.formulas[0].text, QStringLiteral("{Os.NrServ} * 2"));
    EXPECT_EQ(layout.sqlExpressions[0].name, QStringLiteral("Ano"));
    EXPECT_EQ(layout.selection, QStringLiteral("{Os.NrServ} > 1000"));
    EXPECT_EQ(layout.sorts[0].direction, 1);
    EXPECT_EQ(layout.groups[0].direction, 0);
}

TEST_F(LayoutReaderTest, SectionsTakeTheirOrderNamesAndObjects)
{
    const LayoutSpec layout = read(Everything);
    QStringList names;
    for (const auto& section : layout.sections)
        names << section->name;
    EXPECT_EQ(names, QStringList({"ReportHeader", "GroupHeader1", "Linha", "GroupFooter1", "PageFooter"}));
    EXPECT_TRUE(layout.sections[1]->suppress);
    EXPECT_TRUE(layout.sections[2]->newPageBefore);
    EXPECT_EQ(layout.sections[1]->objects[0].text, QStringLiteral("Cliente & OS"));
    EXPECT_EQ(layout.sections[1]->objects[0].align, Qt::AlignHCenter);

    const auto& objects = layout.sections[2]->objects;
    ASSERT_EQ(objects.size(), 4u);
    const ObjectSpec& field = objects[0];
    EXPECT_EQ(field.kind, ObjectKind::Field);
    EXPECT_EQ(field.box, QRect(10, 20, 3000, 230));
    EXPECT_EQ(field.name + field.source + field.format, QStringLiteral("Valor{@Dobro}0.00"));
    EXPECT_EQ(field.font.family, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(field.font.size, 11);
    EXPECT_TRUE(field.font.bold && field.font.italic && field.canGrow);
    EXPECT_EQ(field.align, Qt::AlignRight);
    EXPECT_EQ(objects[1].kind, ObjectKind::Line);
    EXPECT_EQ(objects[1].lineWidth, 30);
    EXPECT_EQ(objects[2].kind, ObjectKind::Box);
    EXPECT_EQ(objects[2].lineWidth, 15);
    EXPECT_EQ(objects[3].kind, ObjectKind::Subreport);
    EXPECT_EQ(objects[3].name, QStringLiteral("Itens"));
    ASSERT_EQ(objects[3].links.size(), 1u);
    EXPECT_EQ(objects[3].links[0].child, QStringLiteral("{Itens.NrServ}"));

    ASSERT_EQ(layout.subreports.size(), 1u);
    const LayoutSpec& items = *layout.subreports[0];
    EXPECT_EQ(items.command, QStringLiteral("SELECT NrServ, Quant FROM CadPedItem"));
    ASSERT_EQ(items.tables.size(), 1u);
    EXPECT_EQ(items.tables[0].name, CommandTable);
    EXPECT_EQ(items.tables[0].fields, QStringList({"NrServ", "Quant"}));
    EXPECT_EQ(items.sections[0]->name, QStringLiteral("Details"));
}

TEST_F(LayoutReaderTest, DefaultsFillWhatALayoutLeavesOut)
{
    const LayoutSpec layout = read("<report version=\"1\"><section area=\"details\"><text>x</text></section></report>");
    EXPECT_EQ(layout.page.paperSize, 9);
    EXPECT_EQ(QSize(layout.page.width, layout.page.height), QSize(11906, 16838));
    EXPECT_EQ(layout.page.orientation, 0);
    EXPECT_TRUE(layout.tables.empty());
    const ObjectSpec& text = layout.sections[0]->objects[0];
    EXPECT_EQ(text.font.family, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(text.font.size, 9);
    EXPECT_EQ(text.align, Qt::AlignLeft);
    EXPECT_FALSE(text.canGrow);
}

TEST_F(LayoutReaderTest, LengthsOutOfRangeAreRefusedNamingTheAttribute)
{
    auto reason = [&](const QByteArray& body) {
        try {
            read("<report version=\"1\">" + body + "</report>");
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.number(), EngineError::LayoutDamaged);
            return e.description();
        }
        return QStringLiteral("<no error>");
    };
    EXPECT_TRUE(reason(R"(<page left="2147483647" right="2147483647"/>)").contains(QStringLiteral("atributo left fora do intervalo")));
    EXPECT_TRUE(reason(R"(<page width="99999999999"/>)").contains(QStringLiteral("atributo width fora do intervalo")));
    EXPECT_TRUE(reason(R"(<page top="-1"/>)").contains(QStringLiteral("atributo top fora do intervalo")));
    EXPECT_TRUE(reason(R"(<page orientation="7"/>)").contains(QStringLiteral("atributo orientation fora do intervalo")));
    EXPECT_TRUE(reason(R"(<page left="1.5"/>)").contains(QStringLiteral("atributo left não é um número inteiro")));
    EXPECT_TRUE(reason(R"(<section area="details" height="2147483647"/>)").contains(QStringLiteral("atributo height fora")));
    EXPECT_TRUE(reason(R"(<section area="details"><box x="2147483647" width="2147483647"/></section>)")
                    .contains(QStringLiteral("atributo x fora do intervalo")));
    EXPECT_TRUE(reason(R"(<section area="details"><box width="2147483647"/></section>)")
                    .contains(QStringLiteral("atributo width fora do intervalo")));
    EXPECT_TRUE(reason(R"(<section area="details"><text size="1e300">a</text></section>)")
                    .contains(QStringLiteral("atributo size fora do intervalo")));
    EXPECT_TRUE(reason(R"(<section area="details"><line linewidth="-5"/></section>)")
                    .contains(QStringLiteral("atributo linewidth fora do intervalo")));

    const LayoutSpec layout = read(R"(<report version="1"><page width="1000000" left="0" right="999999"/>
        <section area="details"><box x="-1000000" y="1000000" width="1000000" height="0"/></section></report>)");
    EXPECT_EQ(layout.page.right, 999999);
    EXPECT_EQ(layout.sections.front()->objects.front().box.left(), -1000000);
}

}  // namespace
