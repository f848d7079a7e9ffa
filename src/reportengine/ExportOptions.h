#pragma once
// Where and how Report::Export writes: FormatType (ExportFormat's codes), DestinationType (1, a disk file)
// and DiskFileName.

#include <QString>

namespace reportengine {

namespace ExportFormat {
constexpr int PDF = 1;
constexpr int Workbook = 2;  // the detail records as an .xlsx workbook
constexpr int CSV = 3;       // the detail records as text separated by ";"
}  // namespace ExportFormat

constexpr int DiskFileDestination = 1;

struct ExportOptions {
    int FormatType = ExportFormat::PDF;
    int DestinationType = DiskFileDestination;
    QString DiskFileName;
};

}  // namespace reportengine
