#pragma once
// A report opened from its layout file: the object model its callers edit (tables and their log-on,
// sections, parameters, formulas, selection, sorting, paper, printer) and what it produces: pages painted
// through QPainter, an export to a file, a print. The records are read and laid out on first need and again
// after any change. A report with no records raises NoData once per run; a cancel there leaves the run
// without pages, and Export and PrintOut then write nothing.

#include "reportengine/DatabaseTable.h"
#include "reportengine/ExportOptions.h"
#include "reportengine/GroupTreeEntry.h"
#include "reportengine/ItemList.h"
#include "reportengine/Section.h"
#include "reportengine/SortFields.h"
#include "runtime/Variant.h"

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>

class QPainter;
class QPrinter;

namespace reportengine {

struct LayoutSpec;
class ReportDocument;

// PaperOrientation codes.
constexpr int DefaultPaperOrientation = 0;
constexpr int Portrait = 1;
constexpr int Landscape = 2;
// PaperSize codes the engine knows; 256 keeps the layout's own width and height.
constexpr int PaperLetter = 1;
constexpr int PaperLegal = 5;
constexpr int PaperA4 = 9;
constexpr int PaperUser = 256;

class Report : public QObject, public vb::Object {
    Q_OBJECT

public:
    // Use Application::OpenReport.
    Report(std::shared_ptr<LayoutSpec> layout, Report* parent);
    ~Report() override;

    // The layout file's path (a subreport: its name).
    QString Name() const;

    reportengine::Database& Database() { return m_database; }
    ItemList<Section>& Sections() { return m_sections; }
    ItemList<ParameterFieldDefinition>& ParameterFields() { return m_parameters; }
    ItemList<FormulaFieldDefinition>& FormulaFields() { return m_formulas; }
    ItemList<SQLExpressionFieldDefinition>& SQLExpressionFields() { return m_sqlExpressions; }
    SortFields& RecordSortFields() { return m_sortFields; }
    reportengine::ExportOptions& ExportOptions() { return m_exportOptions; }

    // The subreport of that name (UnknownSubreport when there is none); the same object on every call.
    std::shared_ptr<Report> OpenSubreport(const QString& name);

    // The printer PrintOut uses (the layout's own until then; an empty device is the system's default).
    // A port "FILE:<path>" prints into a PDF file at that path.
    void SelectPrinter(const QString& driverName, const QString& deviceName, const QString& portName);
    QString PrinterName() const;

    int PaperOrientation() const;
    void setPaperOrientation(int orientation);
    int PaperSize() const;
    // 1, 5 and 9 take their paper's dimensions; 256 keeps the current ones.
    void setPaperSize(int paperSize);

    // Removes group `group` (1-based) with its header and footer; sections taken before are renumbered.
    void DeleteGroup(int group);

    int FormulaSyntax() const;
    void setFormulaSyntax(int syntax);
    QString RecordSelectionFormula() const;
    // Parses the formula at once: one that does not parse raises FormulaSyntax and is not taken.
    void setRecordSelectionFormula(const QString& formula);
    // The query the records are read with: the layout's, until set.
    QString SQLQueryString() const;
    void setSQLQueryString(const QString& sql);

    // Writes the report as ExportOptions say. The engine asks nothing: the prompt flag is accepted for the
    // callers' sake and the file is written as set.
    void Export(bool promptUser = true);
    // Prints every page on the selected printer. With `promptUser` the print prompt (setPrintPrompt) is
    // asked first and may change the printer or cancel.
    void PrintOut(bool promptUser = true, int numberOfCopies = 1);

    // What a viewer shows. Reading them runs the report when needed.
    int PageCount();
    QSize pageSizeTwips() const;
    // Paints page `index` (0-based) with the painter's coordinates in twips from the paper's corner.
    void paintPage(QPainter& painter, int index);
    std::vector<GroupTreeEntry> groupTree();
    // Paints every page onto a printer or PDF writer already set up, scaling twips to its resolution.
    void paintAll(QPrinter& printer);

    // Called by the object model's parts when they change the layout: the next use runs the report again.
    void layoutChanged();

    // A dialog that the desktop offers for PrintOut's prompt; false cancels the print.
    static void setPrintPrompt(std::function<bool(QPrinter&)> prompt);

signals:
    // No record passed the selection. Set *cancel to true to stop the run.
    void NoData(bool* cancel);

private:
    ReportDocument* document();
    void buildCollections();
    void setUpPrinter(QPrinter& printer, int copies) const;

    std::shared_ptr<LayoutSpec> m_layout;
    Report* m_parent;
    reportengine::Database m_database;
    ItemList<Section> m_sections;
    ItemList<ParameterFieldDefinition> m_parameters;
    ItemList<FormulaFieldDefinition> m_formulas;
    ItemList<SQLExpressionFieldDefinition> m_sqlExpressions;
    SortFields m_sortFields;
    reportengine::ExportOptions m_exportOptions;
    std::vector<std::shared_ptr<Report>> m_subreports;
    std::unique_ptr<ReportDocument> m_document;
    bool m_cancelled = false;
};

}  // namespace reportengine
