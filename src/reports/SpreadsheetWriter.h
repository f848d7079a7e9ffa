#pragma once
// One worksheet of a new .xlsx file, written with libxlsxwriter: cells by 0-based row and column, number
// formats by their text, column widths fitted to the longest text written in each column. Texts read back
// as written (see reportengine/SpreadsheetValues.h). Failures raise
// vb::VbError (75 with libxlsxwriter's text; 91 without a workbook).

#include <QHash>
#include <QString>

#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace reports {

class SpreadsheetWriter {
public:
    SpreadsheetWriter() = default;
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter&) = delete;
    SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

    void create(const QString& path);
    // An empty numberFormat leaves the cell's format alone.
    void writeText(int row, int column, const QString& text, const QString& numberFormat = {});
    // shownLength: the characters the formatted number shows, for the column's width.
    void writeNumber(int row, int column, double value, const QString& numberFormat, int shownLength);
    void writeBlank(int row, int column, const QString& numberFormat);
    // Sets every written column to its longest text and writes the file.
    void close();

private:
    lxw_worksheet& sheet();
    lxw_format* format(const QString& numberFormat);
    void widen(int column, int length);

    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QHash<QString, lxw_format*> m_formats;
    std::vector<int> m_longest;
};

}  // namespace reports
