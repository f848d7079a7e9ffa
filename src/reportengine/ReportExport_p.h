#pragma once
// The export formats: every page as PDF, and the detail records as a workbook or as CSV. A file that cannot
// be written raises ExportFailed naming it.

#include <QString>

namespace reportengine {

class ReportDocument;

void exportPdf(ReportDocument& document, const QString& path);
// One row per record of the details; the columns are the field objects of the details from left to right,
// headed by the object's name (or the field's name when the object has none).
void exportWorkbook(ReportDocument& document, const QString& path);
void exportCsv(ReportDocument& document, const QString& path);

// Raises ExportFailed for `path` with the reason.
[[noreturn]] void raiseExportFailed(const QString& path, const QString& reason);

}  // namespace reportengine
