// Exports and prints into files as their readers see them: a file is replaced only when it is whole, dates
// and texts in a workbook read back as the report shows them.

#include "support/report/ReportFixture.h"

#include "reportengine/EngineErrors.h"
#include "support/ErrorNumber.h"
#include "support/Printing.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>

namespace {

using test::layoutXml;
namespace Error = reportengine::EngineError;

// One work order a section tall enough for five on a page; the formula divides by zero on the order {?Zero}.
const QByteArray Risky = R"xml(
<data><table name="CadOS"><field name="NrServ"/><field name="Descricao"/></table></data>
<parameter name="Zero" type="number"/>
<formula name="Parte">100 / ({CadOS.NrServ} - {?Zero})</formula>
<sort field="{CadOS.NrServ}"/>
<section area="details" height="2800">
  <field x="0" y="0" width="900" height="240" source="{CadOS.NrServ}" format="0" name="OS"/>
  <field x="1000" y="0" width="3000" height="240" source="{CadOS.Descricao}"/>
  <field x="4100" y="0" width="1500" height="240" source="{@Parte}" format="0.000000" name="Parte"/>
</section>)xml";

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// Runs python3 with the script and arguments; its standard output, or its errors after "ERROR".
QString python(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("ERROR ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Each cell of the first sheet's second row as openpyxl reads it: "value|number format", one a line.
QStringList secondRow(const QString& workbook)
{
    return python(QStringLiteral("import openpyxl,sys\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                 "for c in ws[2]: print(repr(c.value) + '|' + c.number_format)"),
                  {workbook})
        .split(QLatin1Char('\n'));
}

class ExportTest : public test::ReportFixture {
protected:
    std::shared_ptr<reportengine::Report> risky(double zero)
    {
        auto report = openLayout(QStringLiteral("Risco"), layoutXml(Risky));
        report->ParameterFields().Item(1).AddCurrentValue(zero);
        return report;
    }

    void exportTo(reportengine::Report& report, int format, const QString& path)
    {
        report.ExportOptions().FormatType = format;
        report.ExportOptions().DiskFileName = path;
        report.Export(false);
    }

    // The names in the program folder's export folder.
    QStringList leftOver() const
    {
        return QDir(program.file(QStringLiteral("saida"))).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void SetUp() override { QDir().mkpath(program.file(QStringLiteral("saida"))); }
};

TEST_F(ExportTest, AnExportThatFailsPartWayLeavesTheEarlierFileAsItWas)
{
    const struct {
        int format;
        QString name;
    } formats[] = {{reportengine::ExportFormat::PDF, QStringLiteral("carga.pdf")},
                   {reportengine::ExportFormat::Workbook, QStringLiteral("carga.xlsx")},
                   {reportengine::ExportFormat::CSV, QStringLiteral("carga.csv")}};
    QStringList names;
    for (const auto& format : formats) {
        const QString path = program.file(QStringLiteral("saida/") + format.name);
        names << format.name;
        names.sort();
        auto good = risky(0);
        exportTo(*good, format.format, path);
        const QByteArray before = contentOf(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

        auto failing = risky(1008);  // the eighth of twelve orders, on the second page
        try {
            exportTo(*failing, format.format, path);
            ADD_FAILURE() << "no error for " << format.name.toStdString();
        } catch (const vb::VbError& e) {
            EXPECT_EQ(e.number(), Error::FormulaEvaluation);
            EXPECT_TRUE(e.description().contains(QStringLiteral("divisão por zero")));
        }
        EXPECT_EQ(QCryptographicHash::hash(contentOf(path), QCryptographicHash::Sha256),
                  QCryptographicHash::hash(before, QCryptographicHash::Sha256))
            << format.name.toStdString();
        EXPECT_EQ(leftOver(), names) << "no temporary file is left behind";

        // A good export replaces the file whole and keeps its permissions.
        auto other = risky(-1);
        exportTo(*other, format.format, path);
        EXPECT_NE(contentOf(path), before);
        EXPECT_EQ(QFile::permissions(path) & (QFile::ReadUser | QFile::WriteUser | QFile::ExeUser | QFile::ReadGroup |
                                              QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                              QFile::WriteOther | QFile::ExeOther),
                  QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
        EXPECT_EQ(leftOver(), names);
    }
    EXPECT_EQ(test::pdfPageCount(program.file(QStringLiteral("saida/carga.pdf"))), 3);
    EXPECT_TRUE(test::pdfToText(program.file(QStringLiteral("saida/carga.pdf"))).contains(QStringLiteral("1012")));
    EXPECT_EQ(test::csvFileRows(program.file(QStringLiteral("saida/carga.csv"))).size(), 12);
    EXPECT_EQ(python(QStringLiteral("import openpyxl,sys\nprint(openpyxl.load_workbook(sys.argv[1]).active.max_row)"),
                     {program.file(QStringLiteral("saida/carga.xlsx"))}),
              QStringLiteral("13"));
}

TEST_F(ExportTest, ATargetWithTheLongestNameOrThroughALinkIsWritten)
{
    const QString name = QString(250, QLatin1Char('n')) + QStringLiteral(".csv");
    auto good = risky(0);
    exportTo(*good, reportengine::ExportFormat::CSV, program.file(QStringLiteral("saida/") + name));
    EXPECT_EQ(leftOver(), QStringList({name}));

    const QString link = program.file(QStringLiteral("saida/atalho.csv"));
    ASSERT_TRUE(QFile::link(program.file(QStringLiteral("saida/") + name), link));
    auto other = risky(-1);
    exportTo(*other, reportengine::ExportFormat::CSV, link);
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link stays and its file is replaced";
    EXPECT_EQ(contentOf(link), contentOf(program.file(QStringLiteral("saida/") + name)));
    EXPECT_TRUE(contentOf(link).contains("1001;Conjunto 1;0,099800")) << contentOf(link).left(200).constData();
}

TEST_F(ExportTest, ACellTheWorkbookCannotHoldFailsTheExport)
{
    auto report = openLayout(QStringLiteral("Longo"), layoutXml(R"xml(
<data><table name="CadOS"><field name="NrServ"/></table></data>
<parameter name="Texto"/>
<selection>{CadOS.NrServ} = 1001</selection>
<section area="details" height="240">
  <field x="0" y="0" width="900" height="240" source="{CadOS.NrServ}" name="OS"/>
  <field x="1000" y="0" width="900" height="240" source="{?Texto}" name="Texto"/>
</section>)xml"));
    const QString path = program.file(QStringLiteral("saida/longo.xlsx"));
    report->ParameterFields().Item(1).AddCurrentValue(QString(32767, QLatin1Char('a')));
    exportTo(*report, reportengine::ExportFormat::Workbook, path);
    const QByteArray held = contentOf(path);

    // Past the workbook's 32,767 characters a text cannot be held: the export fails instead of losing it.
    report->ParameterFields().Item(1).ClearCurrentValueAndRange();
    report->ParameterFields().Item(1).AddCurrentValue(QString(32768, QLatin1Char('a')));
    try {
        exportTo(*report, reportengine::ExportFormat::Workbook, path);
        ADD_FAILURE() << "the text was dropped without a word";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.number(), Error::ExportFailed);
        EXPECT_TRUE(e.description().contains(QStringLiteral("linha 2, coluna 2"))) << e.description().toStdString();
    }
    EXPECT_EQ(contentOf(path), held);
    EXPECT_EQ(leftOver(), QStringList({QStringLiteral("longo.xlsx")}));
}

TEST_F(ExportTest, APrintIntoAFileFailingPartWayLeavesTheEarlierFileAsItWas)
{
    const QString path = program.file(QStringLiteral("saida/impresso.pdf"));
    auto good = risky(0);
    good->SelectPrinter(QStringLiteral("winspool"), QStringLiteral("Arquivo"), QStringLiteral("FILE:") + path);
    good->PrintOut(false, 1);
    const QByteArray before = contentOf(path);
    ASSERT_EQ(test::pdfPageCount(path), 3);

    auto failing = risky(1008);
    failing->SelectPrinter(QStringLiteral("winspool"), QStringLiteral("Arquivo"), QStringLiteral("FILE:") + path);
    EXPECT_EQ(test::errorNumber([&] { failing->PrintOut(false, 1); }), Error::FormulaEvaluation);
    EXPECT_EQ(contentOf(path), before);
    EXPECT_EQ(leftOver(), QStringList({QStringLiteral("impresso.pdf")}));

    // A file the print prompt names is written the same way.
    const QString chosen = program.file(QStringLiteral("saida/escolhido.pdf"));
    reportengine::Report::setPrintPrompt([&](QPrinter& printer) {
        printer.setOutputFileName(chosen);
        return true;
    });
    EXPECT_EQ(test::errorNumber([&] { failing->PrintOut(true, 1); }), Error::FormulaEvaluation);
    EXPECT_FALSE(QFile::exists(chosen));
    good->PrintOut(true, 1);
    reportengine::Report::setPrintPrompt({});
    EXPECT_EQ(test::pdfPageCount(chosen), 3);
    EXPECT_EQ(leftOver(), QStringList({QStringLiteral("escolhido.pdf"), QStringLiteral("impresso.pdf")}));

    failing->SelectPrinter({}, {}, QStringLiteral("FILE:") + program.file(QStringLiteral("nao/existe/x.pdf")));
    EXPECT_EQ(test::errorNumber([&] { failing->PrintOut(false, 1); }), Error::PrintFailed);
}

TEST_F(ExportTest, WorkbookDatesShowTheDayTheReportShows)
{
    auto report = openLayout(QStringLiteral("Datas"), layoutXml(R"xml(
<data><table name="CadOS"><field name="NrServ"/></table></data>
<selection>{CadOS.NrServ} = 1001</selection>
<section area="details" height="240">
  <field x="0" y="0" width="900" height="240" source="DateTime(1900, 1, 1, 0, 0, 0)" name="A"/>
  <field x="1000" y="0" width="900" height="240" source="DateTime(1900, 2, 28, 12, 0, 0)" name="B"/>
  <field x="2000" y="0" width="900" height="240" source="DateTime(1900, 3, 1, 6, 0, 0)" name="C"/>
  <field x="3000" y="0" width="900" height="240" source="DateTime(2026, 3, 9, 13, 30, 0)" name="D"/>
  <field x="4000" y="0" width="900" height="240" source="Date(1899, 12, 31)" name="E" format="dd/mm/yyyy"/>
  <field x="5000" y="0" width="900" height="240" source="Date(1850, 7, 14)" name="F"/>
</section>)xml"));
    const QString path = program.file(QStringLiteral("saida/datas.xlsx"));
    exportTo(*report, reportengine::ExportFormat::Workbook, path);
    EXPECT_EQ(secondRow(path), QStringList({"datetime.datetime(1900, 1, 1, 0, 0)|dd/mm/yyyy hh:mm",
                                            "datetime.datetime(1900, 2, 28, 12, 0)|dd/mm/yyyy hh:mm",
                                            "datetime.datetime(1900, 3, 1, 6, 0)|dd/mm/yyyy hh:mm",
                                            "datetime.datetime(2026, 3, 9, 13, 30)|dd/mm/yyyy hh:mm",
                                            "'31/12/1899'|General", "'14/07/1850'|General"}));
}

TEST_F(ExportTest, WorkbookTextsReadBackAsWritten)
{
    auto report = openLayout(QStringLiteral("Textos"), layoutXml(R"xml(
<data><table name="CadOS"><field name="NrServ"/></table></data>
<selection>{CadOS.NrServ} = 1001</selection>
<section area="details" height="240">
  <field x="0" y="0" width="900" height="240" source="'_x0041_'" name="_x0042_"/>
  <field x="1000" y="0" width="900" height="240" source="'a_x005F_b _x00e9_ _x41_ _X0041_'"/>
</section>)xml"));
    const QString path = program.file(QStringLiteral("saida/textos.xlsx"));
    exportTo(*report, reportengine::ExportFormat::Workbook, path);
    // The format's rule, as a spreadsheet program applies it: every _xHHHH_ stands for its character.
    const QString cells = python(QStringLiteral(R"(import re,sys,zipfile
from xml.etree import ElementTree
ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}
root = ElementTree.fromstring(zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml'))
for si in root.findall('m:si', ns):
    text = ''.join(t.text or '' for t in si.iter('{%s}t' % ns['m']))
    print(re.sub('_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), text)))"),
                                 {path});
    EXPECT_EQ(cells.split(QLatin1Char('\n')), QStringList({"_x0042_", "'a_x005F_b _x00e9_ _x41_ _X0041_'", "_x0041_",
                                                         "a_x005F_b _x00e9_ _x41_ _X0041_"}));
    // openpyxl drops every "x005F_" instead of reading the escapes; a text without one it reads right.
    EXPECT_EQ(secondRow(path).value(0), QStringLiteral("'_x0041_'|General"));
}

}  // namespace
