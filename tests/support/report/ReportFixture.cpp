#include "support/report/ReportFixture.h"

#include "support/PdfReader.h"

#include "schema/DemoPlant.h"
#include "schema/SqliteDatabase.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace test {

namespace {

// Each station's operations one after the other from the first day at 07:00, in work-order order.
void bookEveryOperation(const QString& path, QDate first)
{
    schema::SqliteDatabase db(path);
    db.executeScript(QStringLiteral("BEGIN"));
    QHash<QString, QDateTime> nextStart;
    const auto operations = db.rows(
        QStringLiteral("SELECT s.Auto, s.Posto, s.TempoPreparo + s.TempoUnitario * p.Quant FROM CadSeq s "
                       "JOIN CadPos p ON p.Auto = s.Posicao ORDER BY s.NrServ, p.Etapa, s.Posicao, s.Sequencia"));
    for (const QVariantList& operation : operations) {
        const QString station = operation[1].toString();
        QDateTime& start = nextStart[station];
        if (!start.isValid())
            start = QDateTime(first, QTime(7, 0), Qt::UTC);
        const QDateTime end = start.addSecs(qint64(operation[2].toDouble()) * 60);
        db.run(QStringLiteral("INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (?, ?, ?, ?)"),
               {operation[0], station, start, end});
        start = end;
    }
    db.executeScript(QStringLiteral("COMMIT"));
}

void logOn(reportengine::Report& report)
{
    for (const auto& table : report.Database().Tables())
        table->SetLogOnInfo(QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"), QStringLiteral("sa"), QString());
    for (const auto& section : report.Sections())
        for (const auto& object : section->ReportObjects())
            if (auto subreport = std::dynamic_pointer_cast<reportengine::SubreportObject>(object))
                logOn(*subreport->OpenSubreport());
}

}  // namespace

ReportFixture::ReportFixture() : database(program.file(QStringLiteral("Dados/Vorna.db")))
{
    QDir(program.path()).mkpath(QStringLiteral("Dados"));
    QDir(program.path()).mkpath(QStringLiteral("Relatorios"));
    schema::buildDemoPlant(database, firstDay());
    bookEveryOperation(database, firstDay());
}

QString ReportFixture::writeLayout(const QString& name, const QByteArray& xml) const
{
    const QString path = program.file(QStringLiteral("Relatorios/%1.rpt").arg(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(xml);
    return path;
}

std::shared_ptr<reportengine::Report> ReportFixture::open(const QString& path) const
{
    auto report = reportengine::Application().OpenReport(path);
    logOn(*report);
    return report;
}

std::shared_ptr<reportengine::Report> ReportFixture::openLayout(const QString& name, const QByteArray& xml) const
{
    return open(writeLayout(name, xml));
}

QString ReportFixture::pdfText(reportengine::Report& report, const QString& fileName) const
{
    const QString path = program.file(fileName);
    report.ExportOptions().FormatType = reportengine::ExportFormat::PDF;
    report.ExportOptions().DiskFileName = path;
    report.Export(false);
    return pdfToText(path);
}

QStringList ReportFixture::csvRows(reportengine::Report& report) const
{
    const QString path = program.file(QStringLiteral("out.csv"));
    report.ExportOptions().FormatType = reportengine::ExportFormat::CSV;
    report.ExportOptions().DiskFileName = path;
    report.Export(false);
    return csvFileRows(path);
}

void ReportFixture::execute(const QString& sql) const
{
    schema::SqliteDatabase(database).executeScript(sql);
}

QStringList csvFileRows(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("<no file>")};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeFirst();
    return lines;
}

QString pdfToText(const QString& path)
{
    return pdfPages(path).join(QLatin1Char('\f'));
}

void expectMatches(const QString& text, const QStringList& patterns)
{
    for (const QString& pattern : patterns)
        EXPECT_TRUE(QRegularExpression(pattern).match(text).hasMatch()) << qPrintable(pattern + "\n---\n" + text);
}

QByteArray layoutXml(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report version=\"1\">\n"
           "<page paper=\"9\" orientation=\"1\" left=\"567\" right=\"567\" top=\"567\" bottom=\"567\"/>\n" +
           body + "\n</report>\n";
}

}  // namespace test
