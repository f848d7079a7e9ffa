#include "reportengine/Report.h"

#include "reportengine/Formula_p.h"
#include "reportengine/ReportDocument_p.h"
#include "reportengine/ReportExport_p.h"
#include "reportengine/StagedFile_p.h"

#include <QPainter>
#include <QPrinter>

namespace reportengine {

namespace {

std::function<bool(QPrinter&)>& printPrompt()
{
    static std::function<bool(QPrinter&)> prompt;
    return prompt;
}

const QString FilePort = QStringLiteral("FILE:");

}  // namespace

Report::Report(std::shared_ptr<LayoutSpec> layout, Report* parent)
    : m_layout(std::move(layout)), m_parent(parent), m_sections(EngineError::UnknownSection, QStringLiteral("A seção")),
      m_parameters(EngineError::UnknownParameter, QStringLiteral("O parâmetro")),
      m_formulas(EngineError::UnknownItem, QStringLiteral("A fórmula")),
      m_sqlExpressions(EngineError::UnknownItem, QStringLiteral("A expressão SQL")), m_sortFields(*m_layout, *this)
{
    for (TableSpec& table : m_layout->tables)
        m_database.Tables().add(std::make_shared<DatabaseTable>(table, *this));
    for (ParameterSpec& parameter : m_layout->parameters)
        m_parameters.add(std::make_shared<ParameterFieldDefinition>(*this, parameter));
    for (NamedText& formula : m_layout->formulas)
        m_formulas.add(std::make_shared<FormulaFieldDefinition>(*this, formula));
    for (NamedText& expression : m_layout->sqlExpressions)
        m_sqlExpressions.add(std::make_shared<SQLExpressionFieldDefinition>(*this, expression));
    for (const auto& subreport : m_layout->subreports)
        m_subreports.push_back(std::make_shared<Report>(subreport, this));
    buildCollections();
}

Report::~Report() = default;

void Report::buildCollections()
{
    m_sections.clear();
    for (const auto& section : m_layout->sections)
        m_sections.add(std::make_shared<Section>(section, *this));
}

QString Report::Name() const
{
    return m_parent ? m_layout->name : m_layout->file;
}

std::shared_ptr<Report> Report::OpenSubreport(const QString& name)
{
    for (const auto& subreport : m_subreports)
        if (subreport->m_layout->name.compare(name, Qt::CaseInsensitive) == 0)
            return subreport;
    raiseEngine(EngineError::UnknownSubreport,
                QStringLiteral("O relatório %1 não tem o sub-relatório %2").arg(Name(), name));
}

void Report::layoutChanged()
{
    m_document.reset();
    m_cancelled = false;
    if (m_parent)
        m_parent->layoutChanged();
}

void Report::SelectPrinter(const QString& driverName, const QString& deviceName, const QString& portName)
{
    m_layout->printer = {driverName, deviceName, portName};
}

QString Report::PrinterName() const
{
    return m_layout->printer.device;
}

int Report::PaperOrientation() const
{
    return m_layout->page.orientation;
}

void Report::setPaperOrientation(int orientation)
{
    m_layout->page.orientation = orientation;
    layoutChanged();
}

int Report::PaperSize() const
{
    return m_layout->page.paperSize;
}

void Report::setPaperSize(int paperSize)
{
    PageSpec& page = m_layout->page;
    paperDimensions(paperSize, page.width, page.height);
    page.paperSize = paperSize;
    layoutChanged();
}

void Report::DeleteGroup(int group)
{
    auto& groups = m_layout->groups;
    if (group < 1 || group > int(groups.size()))
        raiseEngine(EngineError::UnknownGroup,
                    QStringLiteral("O relatório %1 não tem o grupo %2").arg(Name()).arg(group));
    groups.erase(groups.begin() + (group - 1));
    auto& sections = m_layout->sections;
    std::erase_if(sections, [group](const auto& s) {
        return (s->area == Area::GroupHeader || s->area == Area::GroupFooter) && s->group == group;
    });
    for (const auto& section : sections)
        if (section->group > group)
            --section->group;
    buildCollections();
    layoutChanged();
}

int Report::FormulaSyntax() const
{
    return m_layout->formulaSyntax;
}

void Report::setFormulaSyntax(int syntax)
{
    m_layout->formulaSyntax = syntax;
}

QString Report::RecordSelectionFormula() const
{
    return m_layout->selection;
}

void Report::setRecordSelectionFormula(const QString& formula)
{
    Formula(formula, QStringLiteral("de seleção de registros"));
    m_layout->selection = formula;
    layoutChanged();
}

QString Report::SQLQueryString() const
{
    return m_layout->sqlQuery.isEmpty() ? generatedQuery(*m_layout) : m_layout->sqlQuery;
}

void Report::setSQLQueryString(const QString& sql)
{
    m_layout->sqlQuery = sql;
    layoutChanged();
}

ReportDocument* Report::document()
{
    if (!m_document && !m_cancelled) {
        auto document = std::make_unique<ReportDocument>(*m_layout);
        bool cancel = false;
        if (!document->hasRecords())
            emit NoData(&cancel);
        if (cancel)
            m_cancelled = true;
        else
            m_document = std::move(document);
    }
    return m_document.get();
}

int Report::PageCount()
{
    ReportDocument* run = document();
    return run ? run->pageCount() : 0;
}

QSize Report::pageSizeTwips() const
{
    return orientedPageSize(m_layout->page);
}

void Report::paintPage(QPainter& painter, int index)
{
    if (ReportDocument* run = document())
        run->paintPage(painter, index);
}

std::vector<GroupTreeEntry> Report::groupTree()
{
    ReportDocument* run = document();
    return run ? run->groupTree() : std::vector<GroupTreeEntry>{};
}

void Report::paintAll(QPrinter& printer)
{
    ReportDocument* run = document();
    if (!run)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        raiseEngine(EngineError::PrintFailed,
                    QStringLiteral("Não foi possível imprimir em %1")
                        .arg(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName()));
    const double scale = printer.resolution() / 1440.0;
    painter.scale(scale, scale);
    for (int page = 0; page < run->pageCount(); ++page) {
        if (page > 0)
            printer.newPage();
        run->paintPage(painter, page);
    }
    painter.end();
}

void Report::Export(bool)
{
    const reportengine::ExportOptions& options = m_exportOptions;
    if (options.DestinationType != DiskFileDestination)
        raiseEngine(EngineError::UnknownExportFormat,
                    QStringLiteral("Destino de exportação desconhecido: %1").arg(options.DestinationType));
    ReportDocument* run = document();
    if (!run)
        return;
    switch (options.FormatType) {
    case ExportFormat::PDF:
        exportPdf(*run, options.DiskFileName);
        return;
    case ExportFormat::Workbook:
        exportWorkbook(*run, options.DiskFileName);
        return;
    case ExportFormat::CSV:
        exportCsv(*run, options.DiskFileName);
        return;
    }
    raiseEngine(EngineError::UnknownExportFormat,
                QStringLiteral("Formato de exportação desconhecido: %1").arg(options.FormatType));
}

void Report::setUpPrinter(QPrinter& printer, int copies) const
{
    const PrinterSpec& spec = m_layout->printer;
    if (spec.port.startsWith(FilePort, Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(spec.port.mid(FilePort.size()));
    } else if (!spec.device.isEmpty())
        printer.setPrinterName(spec.device);
    const QSize size = pageSizeTwips();
    printer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(m_layout->page.width / 20.0, m_layout->page.height / 20.0), QPageSize::Point),
                    size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    printer.setFullPage(true);
    printer.setCopyCount(std::max(1, copies));
}

void Report::PrintOut(bool promptUser, int numberOfCopies)
{
    if (!document())
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, numberOfCopies);
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid())
        raiseEngine(EngineError::PrintFailed,
                    QStringLiteral("A impressora %1 não está disponível").arg(printer.printerName()));
    if (promptUser && printPrompt() && !printPrompt()(printer))
        return;
    const QString file = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    if (file.isEmpty()) {
        paintAll(printer);
        return;
    }
    // A print into a file replaces the file only once it is whole.
    StagedFile staged(file, EngineError::PrintFailed);
    printer.setOutputFileName(staged.path());
    try {
        paintAll(printer);
    } catch (const vb::VbError& error) {
        if (error.number() != EngineError::PrintFailed)
            throw;
        raiseEngine(EngineError::PrintFailed, QStringLiteral("Não foi possível imprimir em %1").arg(file));
    }
    staged.commit();
}

void Report::setPrintPrompt(std::function<bool(QPrinter&)> prompt)
{
    printPrompt() = std::move(prompt);
}

}  // namespace reportengine
