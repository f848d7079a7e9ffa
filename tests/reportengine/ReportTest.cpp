// Reports over the demo plant's work orders: the object model, selection, sorting, parameters, subreports,
// the no-data event, page breaks and the exports, checked through CSV, pdftotext and openpyxl.

#include "support/report/ReportFixture.h"

#include "reportengine/EngineErrors.h"
#include "support/ErrorNumber.h"
#include "support/Printing.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace {

using test::layoutXml;
namespace Error = reportengine::EngineError;

// Work orders with their client; the client is a parameter; a subreport lists each order's positions.
const QByteArray OrdersBody = R"xml(
<data>
  <table name="CadOS"><field name="NrServ"/><field name="Descricao"/><field name="Cliente"/><field name="DtEntr"/></table>
  <table name="CadCli"><field name="Codigo"/><field name="Nome"/></table>
  <link from="CadOS.Cliente" to="CadCli.Codigo"/>
</data>
<parameter name="Cliente" type="number"/>
<parameter name="Titulo" type="text" default="Ordens"/>
<formula name="Inverso">0 - {CadOS.NrServ}</formula>
<formula name="Prazo">ToText({CadOS.DtEntr}, 'dd/mm')</formula>
<sqlexpression name="Resto">CadOS.NrServ % 4</sqlexpression>
<selection>{CadOS.Cliente} = {?Cliente}</selection>
<section area="reportheader" height="400"><field x="0" y="0" width="6000" height="300" size="12" source="{?Titulo}"/></section>
<section area="details" height="260" name="Linha">
  <field x="0" y="0" width="900" height="240" source="{CadOS.NrServ}" format="0" name="OS"/>
  <field x="1000" y="0" width="2500" height="240" source="{CadOS.Descricao}"/>
  <field x="3600" y="0" width="2500" height="240" source="{CadCli.Nome}" name="Cliente"/>
  <field x="6200" y="0" width="900" height="240" source="{@Prazo}" name="Prazo"/>
  <subreport x="300" y="0" width="6000" height="0" name="Pecas" report="Posicoes">
    <link parent="{CadOS.NrServ}" child="{CadPos.NrServ}"/>
  </subreport>
</section>
<subreport name="Posicoes">
  <data><table name="CadPos"><field name="NrServ"/><field name="Descricao"/><field name="Etapa"/><field name="Quant"/></table></data>
  <sort field="{CadPos.Descricao}"/>
  <section area="details" height="240">
    <field x="0" y="0" width="3000" height="220" source="'- ' &amp; {CadPos.Descricao} &amp; ' x ' &amp; ToText({CadPos.Quant}, 0)"/>
  </section>
  <section area="reportfooter" height="240">
    <field x="0" y="0" width="3000" height="220" source="ToText(Count({CadPos.Descricao}), 0) &amp; ' posições'"/>
  </section>
</subreport>
)xml";

class ReportTest : public test::ReportFixture {
protected:
    std::shared_ptr<reportengine::Report> orders(int client)
    {
        auto report = openLayout(QStringLiteral("Ordens"), layoutXml(OrdersBody));
        report->ParameterFields().Item(1).AddCurrentValue(client);
        return report;
    }
};

TEST_F(ReportTest, MissingAndDamagedLayoutsRaiseTheirErrors)
{
    reportengine::Application engine;
    const QString missing = program.file(QStringLiteral("Relatorios/Nada.rpt"));
    EXPECT_EQ(test::errorNumber([&] { engine.OpenReport(missing); }), -2147206461);

    const struct {
        QByteArray content;
        QString reason;
    } damaged[] = {
        {"<report version=\"1\"><section area=\"details\"><text>a</section></report>", QStringLiteral("linha 1")},
        {"<planilha/>", QStringLiteral("não é um arquivo de relatório")},
        {"<report version=\"2\"/>", QStringLiteral("versão 2 do formato não suportada")},
        {"<report version=\"1\">\n<section area=\"lateral\"/></report>", QStringLiteral("linha 2")},
        {"<report version=\"1\"><section area=\"groupheader\" group=\"1\"/></report>", QStringLiteral("grupo 1")},
        {"", QStringLiteral("linha 1")},
    };
    for (const auto& file : damaged) {
        const QString path = writeLayout(QStringLiteral("Ruim"), file.content);
        try {
            engine.OpenReport(path);
            ADD_FAILURE() << file.content.constData();
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.number(), Error::LayoutDamaged);
            EXPECT_TRUE(e.description().contains(path)) << qPrintable(e.description());
            EXPECT_TRUE(e.description().contains(file.reason)) << qPrintable(e.description() + " / " + file.reason);
        }
    }
}

TEST_F(ReportTest, ObjectModelNamesItsParts)
{
    auto report = orders(1);
    auto& tables = report->Database().Tables();
    ASSERT_EQ(tables.Count(), 2);
    EXPECT_EQ(tables.Item(2).Name(), QStringLiteral("CadCli"));
    EXPECT_EQ(tables.Item(1).Fields().Item(4).Name(), QStringLiteral("DtEntr"));
    EXPECT_EQ(report->ParameterFields().Item(1).Name(), QStringLiteral("{?Cliente}"));
    EXPECT_EQ(report->FormulaFields().Item(2).Name(), QStringLiteral("{@Prazo}"));
    EXPECT_EQ(report->SQLExpressionFields().Item(1).Name(), QStringLiteral("{%Resto}"));
    EXPECT_EQ(report->Sections().Count(), 2);
    EXPECT_EQ(report->Sections().Item(2).Name(), QStringLiteral("Linha"));
    EXPECT_EQ(&report->Sections().Item(QStringLiteral("reportheader")), &report->Sections().Item(1));

    auto& objects = report->Sections().Item(QStringLiteral("Linha")).ReportObjects();
    ASSERT_EQ(objects.Count(), 5);
    EXPECT_EQ(objects.Item(1).Kind(), 1);
    auto* subreport = dynamic_cast<reportengine::SubreportObject*>(&objects.Item(5));
    ASSERT_NE(subreport, nullptr);
    EXPECT_EQ(subreport->OpenSubreport(), report->OpenSubreport(QStringLiteral("posicoes")));
    EXPECT_EQ(subreport->OpenSubreport()->Database().Tables().Item(1).Name(), QStringLiteral("CadPos"));

    EXPECT_EQ(test::errorNumber([&] { report->Sections().Item(3); }), Error::UnknownSection);
    EXPECT_EQ(test::errorNumber([&] { report->Sections().Item(QStringLiteral("Rodape")); }), Error::UnknownSection);
    EXPECT_EQ(test::errorNumber([&] { report->ParameterFields().Item(3); }), Error::UnknownParameter);
    EXPECT_EQ(test::errorNumber([&] { report->OpenSubreport(QStringLiteral("Outro")); }), Error::UnknownSubreport);
    EXPECT_EQ(test::errorNumber([&] { report->DeleteGroup(1); }), Error::UnknownGroup);
    EXPECT_EQ(test::errorNumber([&] { report->setRecordSelectionFormula(QStringLiteral("{CadOS.NrServ} =")); }),
              Error::FormulaSyntax);
    EXPECT_EQ(report->RecordSelectionFormula(), QStringLiteral("{CadOS.Cliente} = {?Cliente}"));
    EXPECT_TRUE(report->SQLQueryString().contains(
        QStringLiteral("INNER JOIN [CadCli] AS [CadCli] ON [CadOS].[Cliente] = [CadCli].[Codigo]")));
}

TEST_F(ReportTest, SelectionParametersAndSortFieldsOrderTheRecords)
{
    auto report = orders(2);
    EXPECT_EQ(csvRows(*report),
              QStringList({"1002;Conjunto 2;Maquinas Beta;11/03", "1005;Conjunto 5;Maquinas Beta;17/03",
                           "1008;Conjunto 8;Maquinas Beta;23/03", "1011;Conjunto 11;Maquinas Beta;29/03"}));

    report->setRecordSelectionFormula(report->RecordSelectionFormula() +
                                      QStringLiteral(" or {CadOS.NrServ} in [1001, 1003]"));
    auto& sorts = report->RecordSortFields();
    sorts.Add(report->SQLExpressionFields().Item(1), reportengine::AscendingOrder);
    sorts.Add(report->FormulaFields().Item(QStringLiteral("{@Inverso}")), reportengine::AscendingOrder);
    QStringList numbers;
    for (const QString& row : csvRows(*report))
        numbers << row.section(QLatin1Char(';'), 0, 0);
    // Remainders 0, 1, 1, 2, 3, 3 and, within one remainder, the higher number first.
    EXPECT_EQ(numbers, QStringList({"1008", "1005", "1001", "1002", "1011", "1003"}));

    auto descending = orders(1);
    descending->RecordSortFields().Add(descending->Database().Tables().Item(1).Fields().Item(QStringLiteral("dtentr")),
                                       reportengine::DescendingOrder);
    EXPECT_EQ(csvRows(*descending).value(0), QStringLiteral("1010;Conjunto 10;Construtora Alfa;27/03"));

    auto replaced = orders(3);
    replaced->setSQLQueryString(
        QStringLiteral("SELECT NrServ, 'Trocada', 3, DtEntr, 3, 'Outro', 0 FROM CadOS WHERE NrServ = 1012"));
    EXPECT_EQ(csvRows(*replaced), QStringList({"1012;Trocada;Outro;31/03"}));
}

TEST_F(ReportTest, SubreportsFollowTheirLinks)
{
    auto report = orders(3);
    report->OpenSubreport(QStringLiteral("Posicoes"))
        ->setRecordSelectionFormula(QStringLiteral("{CadPos.Etapa} = 0 and {?Cliente} = 3"));
    const QString text = pdfText(*report);
    // Order 1003 has one part, 1006 two; the assemblies (stage 1) are left out. The parent lends {?Cliente}.
    const QString expected =
        QStringLiteral("1003 .*Conjunto 3 .*Agro Gama .*\\n +- Peca 1 x 19\\n +1 posições\\n"
                       "1006 .*Conjunto 6 .*Agro Gama .*\\n +- Peca 1 x 8\\n +- Peca 2 x 8\\n +2 posições\\n");
    EXPECT_TRUE(QRegularExpression(expected).match(text).hasMatch()) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("Conjunto soldado")));
}

TEST_F(ReportTest, ParametersTakeTheirTypeAndDefault)
{
    auto report = orders(1);
    EXPECT_TRUE(pdfText(*report).startsWith(QStringLiteral("Ordens")));
    report->ParameterFields().Item(QStringLiteral("{?titulo}")).AddCurrentValue(QStringLiteral("Cliente 1"));
    EXPECT_TRUE(pdfText(*report).startsWith(QStringLiteral("Cliente 1")));

    auto unset = openLayout(QStringLiteral("Ordens"), layoutXml(OrdersBody));
    EXPECT_EQ(test::errorNumber([&] { unset->PageCount(); }), Error::MissingParameterValue);
    EXPECT_EQ(test::errorNumber([&] { unset->ParameterFields().Item(1).AddCurrentValue(QStringLiteral("x")); }),
              vb::ErrNo::TypeMismatch);
    try {
        unset->ParameterFields().Item(1).AddCurrentValue(QStringLiteral("x"));
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Type mismatch: o parâmetro {?Cliente} (número) não aceita o valor \"x\""));
    }
    EXPECT_EQ(unset->ParameterFields().Item(1).NumberOfCurrentValues(), 0);
}

TEST_F(ReportTest, NoRecordsRaiseTheNoDataEvent)
{
    auto report = orders(9);
    int events = 0;
    bool cancel = false;
    QObject::connect(report.get(), &reportengine::Report::NoData, [&](bool* flag) {
        ++events;
        *flag = cancel;
    });
    EXPECT_EQ(pdfText(*report).trimmed(), QStringLiteral("Ordens"));
    EXPECT_EQ(events, 1);

    cancel = true;
    report->setRecordSelectionFormula(QStringLiteral("{CadOS.NrServ} < 0"));
    const QString path = program.file(QStringLiteral("nada.pdf"));
    report->ExportOptions().DiskFileName = path;
    report->Export(false);
    EXPECT_EQ(events, 2);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(report->PageCount(), 0);
    EXPECT_EQ(events, 2);
}

TEST_F(ReportTest, ExportsWriteTheFormatsAsked)
{
    auto report = orders(1);
    const QString workbook = program.file(QStringLiteral("ordens.xlsx"));
    report->ExportOptions().FormatType = reportengine::ExportFormat::Workbook;
    report->ExportOptions().DiskFileName = workbook;
    report->Export(false);
    QProcess reader;
    reader.start(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import openpyxl,sys\n"
                        "for r in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True): print(r)"),
         workbook});
    ASSERT_TRUE(reader.waitForFinished(30000));
    EXPECT_EQ(
        QString::fromUtf8(reader.readAllStandardOutput()).split(QLatin1Char('\n')).mid(0, 2),
        QStringList({"('OS', 'Descricao', 'Cliente', 'Prazo')", "(1001, 'Conjunto 1', 'Construtora Alfa', '09/03')"}))
        << reader.readAllStandardError().constData();

    report->ExportOptions().FormatType = reportengine::ExportFormat::PDF;
    report->ExportOptions().DiskFileName = program.file(QStringLiteral("nao/existe/ordens.pdf"));
    try {
        report->Export(false);
        ADD_FAILURE();
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.number(), Error::ExportFailed);
        EXPECT_TRUE(e.description().contains(QStringLiteral("nao/existe/ordens.pdf")));
    }
    report->ExportOptions().FormatType = 99;
    EXPECT_EQ(test::errorNumber([&] { report->Export(false); }), Error::UnknownExportFormat);
}

TEST_F(ReportTest, PrintOutGoesToTheSelectedPrinter)
{
    auto report = orders(2);
    const QString path = program.file(QStringLiteral("impresso.pdf"));
    report->SelectPrinter(QStringLiteral("winspool"), QStringLiteral("Arquivo"), QStringLiteral("FILE:") + path);
    int prompts = 0;
    reportengine::Report::setPrintPrompt([&](QPrinter&) { return ++prompts > 1; });
    report->PrintOut(true, 1);
    EXPECT_FALSE(QFile::exists(path));
    report->PrintOut(true, 2);
    reportengine::Report::setPrintPrompt({});
    EXPECT_EQ(prompts, 2);
    EXPECT_TRUE(test::pdfToText(path).contains(QStringLiteral("Conjunto 11")));
}

TEST_F(ReportTest, PaperSizeAndOrientationShapeThePages)
{
    auto report = orders(1);
    const QString path = program.file(QStringLiteral("papel.pdf"));
    auto pageSize = [&] {
        report->ExportOptions().DiskFileName = path;
        report->Export(false);
        return test::pdfPageSize(path);
    };
    EXPECT_EQ(pageSize(), QSizeF(595, 842));
    report->setPaperOrientation(reportengine::Landscape);
    EXPECT_EQ(pageSize(), QSizeF(842, 595));
    report->setPaperOrientation(reportengine::Portrait);
    report->setPaperSize(reportengine::PaperLetter);
    EXPECT_EQ(pageSize(), QSizeF(612, 792));
    report->setPaperSize(reportengine::PaperUser);
    EXPECT_EQ(report->PaperSize(), reportengine::PaperUser);
    EXPECT_EQ(pageSize(), QSizeF(612, 792));
}

TEST_F(ReportTest, CanGrowFieldsWrapAndPushTheNextSection)
{
    QByteArray body = OrdersBody;
    body.replace(
        R"(<field x="1000" y="0" width="2500" height="240" source="{CadOS.Descricao}"/>)",
        R"(<field x="1000" y="0" width="1400" height="240" cangrow="true" source="{CadOS.Descricao} &amp; ' do cliente ' &amp; {CadCli.Nome}"/>)");
    auto report = openLayout(QStringLiteral("Ordens"), layoutXml(body));
    report->ParameterFields().Item(1).AddCurrentValue(1);
    report->OpenSubreport(QStringLiteral("Posicoes"))->Sections().Item(1).setSuppress(true);
    report->OpenSubreport(QStringLiteral("Posicoes"))->Sections().Item(2).setSuppress(true);
    test::expectMatches(
        pdfText(*report),
        {QStringLiteral("1001 +Conjunto 1 do +Construtora Alfa +09/03\n +cliente\n +Construtora\n +Alfa\n"
                        "1004 +Conjunto 4 do")});
}

TEST_F(ReportTest, AnAccessDatabaseIsReadFromItsFile)
{
    auto report = orders(2);
    for (const auto& table : report->Database().Tables())
        table->SetLogOnInfo(QStringLiteral("Access"), database);
    EXPECT_EQ(csvRows(*report).size(), 4);
}

TEST_F(ReportTest, ReadingWithoutLogOnFails)
{
    auto report = reportengine::Application().OpenReport(writeLayout(QStringLiteral("Ordens"), layoutXml(OrdersBody)));
    EXPECT_EQ(test::errorNumber([&] { report->PageCount(); }), Error::NotLoggedOn);
}

}  // namespace
