// The report driver on the demo plant: selections, collections, sorting, output, printer binding, download and
// the failure path, read back through the preview's report, CSV and PDF files.
#include "DriverFixture.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "desktop/Printer.h"
#include "reportengine/EngineErrors.h"
#include "reports/ClsRelatorio_Vinculado.h"
#include "reports/ReportServer.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/LocalServer.h"
#include "support/Printing.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace {

namespace Error = reportengine::EngineError;

const QString ClientOne = QStringLiteral("{CadOS.Cliente} = 1");
const QString OwnSelection = QStringLiteral("{CadOS.NrServ} >= {?Minimo}");

class DriverTest : public DriverFixture {
protected:
    // Runs the report as an export to a file of the program folder and returns its path.
    QString exportTo(ClsRelatorio_Vinculado& driver, const QString& report, int format, const QString& fileName,
                     const QString& formula = {}, QString* subreport = nullptr, bool removePar = true)
    {
        const QString path = program.file(fileName);
        driver.CarregaRelatorio(report, formula, false, false, {}, 1, removePar, {}, true, format, path, true, false,
                                subreport);
        return path;
    }
    QStringList csv(ClsRelatorio_Vinculado& driver, const QString& report = QStringLiteral("Ordens"),
                    const QString& formula = {})
    {
        return test::csvFileRows(
            exportTo(driver, report, reportengine::ExportFormat::CSV, QStringLiteral("out.csv"), formula));
    }
    QString pdf(ClsRelatorio_Vinculado& driver, const QString& fileName)
    {
        return test::pdfToText(exportTo(driver, QStringLiteral("Ordens"), reportengine::ExportFormat::PDF, fileName));
    }
    // Prints the report with ConfigImpressaoArquivo False.
    void print(const QString& report, short copies = 1, bool prompt = false)
    {
        ClsRelatorio_Vinculado driver;
        driver.CarregaRelatorio(report, {}, false, prompt, {}, copies, true, {}, false, 0, {}, true, false, nullptr, 0,
                                false);
    }
    // A layout that keeps its own printer: a PDF file of the program folder.
    QString writeWithPrinter(const QString& name, const QString& storedPdf, const QByteArray& paper = "paper=\"9\"")
    {
        return writeLayout(
            name, ordersLayout({{"paper=\"9\"", paper},
                                {"bottom=\"567\"/>", "bottom=\"567\"/>\n<printer driver=\"PDF\" device=\"Guardada\" "
                                                     "port=\"FILE:" +
                                                         program.file(storedPdf).toUtf8() + "\"/>"}}));
    }
    void TearDown() override
    {
        desktop::printer().setPdfOutput({});
        reportengine::Report::setPrintPrompt({});
    }
};

TEST_F(DriverTest, SelectionsJoinOnTheMainReportAndEverySubreport)
{
    ClsRelatorio_Vinculado driver;
    QString subreport = QStringLiteral("Posicoes; and {CadPos.NrServ} < 1005");
    EXPECT_FALSE(driver.CarregaRelatorio(QStringLiteral("Ordens"), ClientOne, true, false, {}, 1, true, {}, false, 0,
                                         {}, true, false, &subreport));
    EXPECT_EQ(subreport, QStringLiteral(" and {CadPos.NrServ} < 1005"));
    FrmViewer* window = onlyPreview();
    ASSERT_NE(window, nullptr);
    reportengine::Report& report = *window->ViewerRPT();
    const QString main = OwnSelection + QStringLiteral(" and ") + ClientOne;
    EXPECT_EQ(report.RecordSelectionFormula(), main);
    EXPECT_EQ(report.FormulaSyntax(), 0);
    // Appended verbatim, no separator of its own; no "filtroprincipal" parameter there.
    EXPECT_EQ(report.OpenSubreport(QStringLiteral("Posicoes"))->RecordSelectionFormula(),
              QStringLiteral("{CadPos.Descricao} = 'Conjunto soldado' and {CadPos.NrServ} < 1005"));
    // "filtroPrincipal" without a formula of its own, "FILTROPRINCIPAL" with one.
    EXPECT_EQ(report.OpenSubreport(QStringLiteral("Filtrada"))->RecordSelectionFormula(), main);
    EXPECT_EQ(report.OpenSubreport(QStringLiteral("Conferida"))->RecordSelectionFormula(),
              QStringLiteral("{CadOS.NrServ} < 1012 AND ") + main);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Impressão"));
    EXPECT_TRUE(boxes().isEmpty());

    // Without a formula of its own the report takes the caller's alone; the same selection everywhere replaces
    // what SubRptFormula had just added, and "filtroprincipal" then adds it once more.
    writeLayout(QStringLiteral("Livre"), ordersLayout({{"<selection>{CadOS.NrServ} &gt;= {?Minimo}</selection>", ""}}));
    ClsRelatorio_Vinculado same;
    same.usarMesmaSelecaoNoSubRelatorio = true;
    subreport = QStringLiteral("Posicoes; and {CadPos.NrServ} < 1005");
    same.CarregaRelatorio(QStringLiteral("Livre"), ClientOne, true, false, QStringLiteral("Livre do dia"), 1, true, {},
                          false, 0, {}, true, false, &subreport);
    FrmViewer* second = openedSince({window});
    ASSERT_NE(second, nullptr);
    reportengine::Report& free = *second->ViewerRPT();
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Livre do dia"));
    EXPECT_EQ(free.RecordSelectionFormula(), ClientOne);
    EXPECT_EQ(free.OpenSubreport(QStringLiteral("Posicoes"))->RecordSelectionFormula(), ClientOne);
    EXPECT_EQ(free.OpenSubreport(QStringLiteral("Filtrada"))->RecordSelectionFormula(),
              ClientOne + QStringLiteral(" AND ") + ClientOne);
    EXPECT_EQ(free.OpenSubreport(QStringLiteral("Conferida"))->RecordSelectionFormula(),
              ClientOne + QStringLiteral(" AND ") + ClientOne);

    // No formula: the report's own stays as it is.
    ClsRelatorio_Vinculado plain;
    plain.CarregaRelatorio(QStringLiteral("Ordens"));
    FrmViewer* third = openedSince({window, second});
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->ViewerRPT()->RecordSelectionFormula(), OwnSelection);
}

TEST_F(DriverTest, ParametersFormulaAndSortingShapeTheExportedRows)
{
    ClsRelatorio_Vinculado driver;
    driver.Parametro() << vb::Variant(QStringLiteral("Carteira")) << vb::Variant(1004);
    driver.Ordem() << vb::Variant(QStringLiteral("nrserv"));
    driver.OrdemTipo() << vb::Variant(QStringLiteral("1"));
    EXPECT_EQ(csv(driver, QStringLiteral("Ordens"), ClientOne),
              (QStringList{"1010;Conjunto 10", "1007;Conjunto 7", "1004;Conjunto 4"}));
    EXPECT_TRUE(boxes().isEmpty());
    // A run that succeeds keeps every collection.
    EXPECT_EQ(driver.Parametro().size(), 2);
    EXPECT_EQ(driver.Ordem().size(), 1);
    EXPECT_EQ(driver.OrdemTipo().size(), 1);

    // A query of the caller's replaces the report's.
    ClsRelatorio_Vinculado query;
    const QString path = program.file(QStringLiteral("consulta.csv"));
    query.CarregaRelatorio(QStringLiteral("Ordens"), {}, false, false, {}, 1, true,
                           QStringLiteral("SELECT CadOS.NrServ, CadOS.Descricao, CadOS.Cliente, CadCli.Codigo, "
                                          "CadCli.Nome, CadOS.NrServ % 4 FROM CadOS JOIN CadCli ON CadCli.Codigo = "
                                          "CadOS.Cliente WHERE CadOS.NrServ = 1005"),
                           true, reportengine::ExportFormat::CSV, path);
    EXPECT_EQ(test::csvFileRows(path), QStringList{QStringLiteral("1005;Conjunto 5")});

    // Sort fields come from each of the three lists; a name found nowhere is skipped.
    ClsRelatorio_Vinculado sorted;
    sorted.Ordem() << vb::Variant(QStringLiteral("NRSERV")) << vb::Variant(QStringLiteral("{@inverso}"))
                   << vb::Variant(QStringLiteral("{%RESTO}")) << vb::Variant(QStringLiteral("Nada"));
    sorted.OrdemTipo() << vb::Variant(0) << vb::Variant(0) << vb::Variant(1) << vb::Variant(0);
    sorted.CarregaRelatorio(QStringLiteral("Ordens"));
    FrmViewer* window = onlyPreview();
    ASSERT_NE(window, nullptr);
    reportengine::SortFields& fields = window->ViewerRPT()->RecordSortFields();
    ASSERT_EQ(fields.Count(), 3);
    EXPECT_EQ(fields.Item(1), QStringLiteral("{CadOS.NrServ}"));
    EXPECT_EQ(fields.Item(2), QStringLiteral("{@Inverso}"));
    EXPECT_EQ(fields.Item(3), QStringLiteral("{%Resto}"));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DriverTest, GroupsAndSectionsGoAndTheParameterShowsInThePdf)
{
    ClsRelatorio_Vinculado whole;
    whole.Parametro() << vb::Variant(QStringLiteral("Carteira da semana"));
    const QString all = pdf(whole, QStringLiteral("inteiro.pdf"));
    EXPECT_TRUE(all.contains(QStringLiteral("Carteira da semana")));
    EXPECT_TRUE(all.contains(QStringLiteral("Cliente Construtora Alfa")));
    EXPECT_TRUE(all.contains(QStringLiteral("Fim da lista")));
    EXPECT_TRUE(all.contains(QStringLiteral("Posicao da OS")));

    // Group 1 goes; the report footer (by name) and the report header (by index) are hidden.
    ClsRelatorio_Vinculado cut;
    cut.RemoveGrupo() << vb::Variant(QStringLiteral("1"));
    cut.SupressSection() << vb::Variant(QStringLiteral("rodape")) << vb::Variant(1);
    cut.Parametro() << vb::Variant(QStringLiteral("Carteira da semana"));
    const QString less = pdf(cut, QStringLiteral("cortado.pdf"));
    EXPECT_TRUE(less.contains(QStringLiteral("Conjunto 12")));
    EXPECT_FALSE(less.contains(QStringLiteral("Carteira da semana")));
    EXPECT_FALSE(less.contains(QStringLiteral("Cliente Construtora Alfa")));
    EXPECT_FALSE(less.contains(QStringLiteral("Fim da lista")));
    EXPECT_FALSE(less.contains(QStringLiteral("Posicao da OS")));
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DriverTest, PrintingGoesToTheProgramsPrinterWithItsCopiesOrToTheLayoutsOwn)
{
    const QString programPdf = program.file(QStringLiteral("impressora.pdf"));
    desktop::printer().setPdfOutput(programPdf);
    int copies = 0;
    reportengine::Report::setPrintPrompt([&copies](QPrinter& printer) {
        copies = printer.copyCount();
        return true;
    });

    // Bound to the program's printer: a user-defined paper becomes A4, the orientation stays.
    writeWithPrinter(QStringLiteral("Especial"), QStringLiteral("guardada.pdf"),
                     "paper=\"256\" width=\"7000\" height=\"9000\"");
    print(QStringLiteral("Especial"), 3, true);
    EXPECT_EQ(copies, 3);
    EXPECT_TRUE(test::pdfToText(programPdf).contains(QStringLiteral("Conjunto 12")));
    EXPECT_EQ(test::pdfPageSize(programPdf).toSize(), QSize(595, 842));
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("guardada.pdf"))));

    // Kept in the file: its printer and its paper.
    ClsRelatorio_Vinculado kept;
    kept.CarregaRelatorio(QStringLiteral("Especial"), {}, false);
    EXPECT_EQ(test::pdfPageSize(program.file(QStringLiteral("guardada.pdf"))).toSize(), QSize(350, 450));

    // "Rel1" and "Rel2", in any case, keep theirs even when told to take the program's printer.
    ASSERT_TRUE(QFile::remove(programPdf));
    writeWithPrinter(QStringLiteral("rel1"), QStringLiteral("rel1.pdf"));
    writeWithPrinter(QStringLiteral("REL2"), QStringLiteral("rel2.pdf"));
    writeWithPrinter(QStringLiteral("Rel3"), QStringLiteral("rel3.pdf"));
    print(QStringLiteral("rel1"));
    print(QStringLiteral("REL2"));
    print(QStringLiteral("Rel3"));
    EXPECT_EQ(test::pdfPageCount(program.file(QStringLiteral("rel1.pdf"))), 1);
    EXPECT_EQ(test::pdfPageCount(program.file(QStringLiteral("rel2.pdf"))), 1);
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("rel3.pdf"))));
    EXPECT_EQ(test::pdfPageCount(programPdf), 1);
    EXPECT_EQ(copies, 3);  // no prompt asked
    EXPECT_TRUE(boxes().isEmpty());

    // With no printer at all nothing is rebound.
    desktop::printer().setPdfOutput({});
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "this machine has printers";
    ASSERT_EQ(desktop::printer().PrinterCount(), 0);
    print(QStringLiteral("Rel3"));
    EXPECT_EQ(test::pdfPageCount(program.file(QStringLiteral("rel3.pdf"))), 1);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DriverTest, EveryErrorEndsInTheFailurePath)
{
    const struct {
        const char* what;
        long number;
        std::function<void(ClsRelatorio_Vinculado&, QString&, QString&)> arrange;
    } cases[] = {
        {"SubRptFormula without ;", 5, [](auto&, QString& sub, auto&) { sub = QStringLiteral("Posicoes"); }},
        {"unknown subreport", Error::UnknownSubreport,
         [](auto&, QString& sub, auto&) { sub = QStringLiteral("Outro;x"); }},
        {"OrdemTipo shorter than Ordem", 9,
         [](ClsRelatorio_Vinculado& d, auto&, auto&) {
             d.Ordem() << vb::Variant(QStringLiteral("NrServ")) << vb::Variant(QStringLiteral("Cliente"));
             d.OrdemTipo() << vb::Variant(0);
         }},
        {"unknown section", Error::UnknownSection,
         [](ClsRelatorio_Vinculado& d, auto&, auto&) { d.SupressSection() << vb::Variant(12); }},
        {"unknown group", Error::UnknownGroup,
         [](ClsRelatorio_Vinculado& d, auto&, auto&) { d.RemoveGrupo() << vb::Variant(2); }},
        {"too many parameter values", Error::UnknownParameter,
         [](ClsRelatorio_Vinculado& d, auto&, auto&) {
             d.Parametro() << vb::Variant(1) << vb::Variant(2) << vb::Variant(3);
         }},
        {"a formula that does not parse", Error::FormulaSyntax,
         [](auto&, auto&, QString& formula) { formula = QStringLiteral("{CadOS.Cliente} = = 1"); }},
        {"an export that cannot be written", Error::ExportFailed, [](auto&, auto&, auto&) {}},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.what);
        test::installFakeUi();
        ClsRelatorio_Vinculado driver;
        driver.Parametro() << vb::Variant(QStringLiteral("Titulo"));
        QString subreport;
        QString formula;
        failure.arrange(driver, subreport, formula);
        const QString target = program.file(QStringLiteral("SemPasta/saida.csv"));
        EXPECT_FALSE(driver.CarregaRelatorio(QStringLiteral("Ordens"), formula, false, false, {}, 1, true, {}, true,
                                             reportengine::ExportFormat::CSV, target, true, false, &subreport));
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_TRUE(boxes()[0].startsWith(QStringLiteral("0|Erro: %1 - ").arg(failure.number)));
        EXPECT_TRUE(boxes()[0].endsWith(QStringLiteral(" Linha: 0")));
        EXPECT_EQ(vb::Err.Number, 0);
        // RemovePar empties the five collections.
        EXPECT_TRUE(driver.Parametro().isEmpty());
        EXPECT_TRUE(driver.Ordem().isEmpty() && driver.OrdemTipo().isEmpty());
        EXPECT_TRUE(driver.RemoveGrupo().isEmpty() && driver.SupressSection().isEmpty());
    }

    // A parameter value of the wrong type names the parameter.
    test::installFakeUi();
    ClsRelatorio_Vinculado mistyped;
    mistyped.Parametro() << vb::Variant(QStringLiteral("Titulo")) << vb::Variant(QStringLiteral("muitos"));
    exportTo(mistyped, QStringLiteral("Ordens"), reportengine::ExportFormat::CSV, QStringLiteral("tipo.csv"));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0], QStringLiteral("0|Erro: 13 - Type mismatch: o parâmetro {?Minimo} (número) não aceita o "
                                         "valor \"muitos\" Linha: 0"));

    // An engine error on log-on: the program's connection names a database the server does not have.
    test::installFakeUi();
    const QString database = BancoAtual().BancoDados;
    BancoAtual().BancoDados = QStringLiteral("Nenhum");
    ClsRelatorio_Vinculado lost;
    const QString lostFile =
        exportTo(lost, QStringLiteral("Ordens"), reportengine::ExportFormat::CSV, QStringLiteral("perdido.csv"));
    BancoAtual().BancoDados = database;
    EXPECT_FALSE(QFile::exists(lostFile));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].startsWith(QStringLiteral("0|Erro: -")));
    EXPECT_TRUE(boxes()[0].endsWith(QStringLiteral(" Linha: 0")));

    // Without RemovePar they are kept.
    test::installFakeUi();
    ClsRelatorio_Vinculado keeping;
    keeping.Parametro() << vb::Variant(QStringLiteral("Titulo"));
    keeping.RemoveGrupo() << vb::Variant(9);
    QString subreport = QStringLiteral("Posicoes");
    exportTo(keeping, QStringLiteral("Ordens"), reportengine::ExportFormat::CSV, QStringLiteral("x.csv"), {},
             &subreport, false);
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(keeping.Parametro().size(), 1);
    EXPECT_EQ(keeping.RemoveGrupo().size(), 1);
    EXPECT_TRUE(previews().isEmpty());
}

TEST_F(DriverTest, AMissingLayoutIsDownloadedOnceAndAFailedDownloadEndsNotFound)
{
    QTemporaryDir served;
    ASSERT_TRUE(QDir(served.path()).mkpath(QStringLiteral("tarvelo/Relatorios/Originais")));
    const QByteArray layout = ordersLayout();
    ASSERT_TRUE(test::writeFile(served.path() + QStringLiteral("/tarvelo/Relatorios/Originais/Baixado.rpt"), layout));
    test::LocalServer server(test::fileServerArguments(served.path()));
    setDownloadServer(QStringLiteral("127.0.0.1:%1").arg(server.port()));

    // A layout that is there asks nothing of the server.
    ClsRelatorio_Vinculado present;
    EXPECT_EQ(csv(present).size(), 12);
    EXPECT_FALSE(server.output().contains(QStringLiteral("GET")));

    ClsRelatorio_Vinculado first;
    EXPECT_EQ(csv(first, QStringLiteral("Baixado"), ClientOne).size(), 4);
    EXPECT_EQ(test::readFile(program.file(QStringLiteral("Relatorios/Baixado.rpt"))), layout);
    ClsRelatorio_Vinculado second;
    EXPECT_EQ(csv(second, QStringLiteral("Baixado")).size(), 12);
    EXPECT_EQ(server.output().count(QStringLiteral("\"GET /tarvelo/Relatorios/Originais/Baixado.rpt HTTP")), 1);
    EXPECT_TRUE(boxes().isEmpty());

    ClsRelatorio_Vinculado missing;
    missing.Parametro() << vb::Variant(QStringLiteral("Titulo"));
    csv(missing, QStringLiteral("Falta"));
    const QStringList shown = boxes();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringLiteral("64|Não foi possível baixar o arquivo Falta.rpt dos servidores da Zub. Favor "
                                       "entrar em contato com o setor de suporte (11) 4000-1000."));
    EXPECT_EQ(shown[1], QStringLiteral("48|Arquivo do relatório Falta não encontrado. Entre em contato com a Zub pelo "
                                       "telefone (11) 4000-2000."));
    EXPECT_TRUE(shown[2].startsWith(QStringLiteral("0|Erro: -2147206461 - ")));
    EXPECT_TRUE(shown[2].endsWith(QStringLiteral(" Linha: 0")));
    EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("Relatorios/Falta.rpt"))));
    EXPECT_TRUE(missing.Parametro().isEmpty());
}

TEST_F(DriverTest, TheDownloadServerComesFromConfigIniWithPort501UnlessGiven)
{
    setDownloadServer(QStringLiteral("relatorios.fabrica"));
    EXPECT_EQ(ReportServer::layoutUrl(QStringLiteral("Roteiro")),
              QStringLiteral("http://relatorios.fabrica:501/tarvelo/Relatorios/Originais/Roteiro.rpt"));
    setDownloadServer(QStringLiteral("10.0.0.5:8080"));
    EXPECT_EQ(ReportServer::layoutUrl(QStringLiteral("VornaMaquina")),
              QStringLiteral("http://10.0.0.5:8080/tarvelo/Relatorios/Originais/VornaMaquina.rpt"));
}

TEST_F(DriverTest, CarregaCamposListsTheFieldsInOrderOrReportsTheError)
{
    ClsRelatorio_Vinculado driver;
    const std::optional<CamposRelatorio> fields = driver.CarregaCampos(QStringLiteral("Ordens"));
    ASSERT_TRUE(fields.has_value());
    QStringList names;
    for (const auto& [name, field] : fields->fields)
        names << name;
    EXPECT_EQ(names, (QStringList{"NrServ", "Descricao", "Cliente", "Codigo", "Nome", "{@Inverso}", "{%Resto}"}));
    ASSERT_NE(fields->Item(QStringLiteral("{@INVERSO}")), nullptr);
    EXPECT_EQ(fields->Item(QStringLiteral("{@INVERSO}"))->reference(), QStringLiteral("{@Inverso}"));
    EXPECT_TRUE(boxes().isEmpty());

    EXPECT_FALSE(driver.CarregaCampos(QStringLiteral("Falta")).has_value());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].startsWith(QStringLiteral("16|Erro: -2147206461 - ")));
    EXPECT_TRUE(QFile::exists(program.file(QStringLiteral("Util/Erro.txt"))));
}

}  // namespace
