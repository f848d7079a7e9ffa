#include "reports/SpreadsheetWriter.h"

#include "reportengine/SpreadsheetValues.h"
#include "runtime/Err.h"

#include <xlsxwriter.h>

#include <algorithm>

namespace reports {

namespace {

// Excel's widest column, in characters.
constexpr int WidestColumn = 255;
// Room around the text, as the spreadsheet's own fitting leaves.
constexpr int ColumnPadding = 2;

void check(lxw_error result)
{
    if (result != LXW_NO_ERROR)
        vb::raiseError(vb::ErrNo::PathFileAccessError, QStringLiteral("xlsxwriter"),
                       QString::fromUtf8(lxw_strerror(result)));
}

}  // namespace

SpreadsheetWriter::~SpreadsheetWriter()
{
    if (m_workbook)
        workbook_close(m_workbook);
}

void SpreadsheetWriter::create(const QString& path)
{
    m_workbook = workbook_new(path.toUtf8().constData());
    if (!m_workbook)
        vb::raiseError(vb::ErrNo::PathFileAccessError, QStringLiteral("xlsxwriter"), path);
    m_sheet = workbook_add_worksheet(m_workbook, nullptr);
}

lxw_worksheet& SpreadsheetWriter::sheet()
{
    if (!m_sheet)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet, QStringLiteral("xlsxwriter"));
    return *m_sheet;
}

lxw_format* SpreadsheetWriter::format(const QString& numberFormat)
{
    lxw_format*& made = m_formats[numberFormat];
    if (!made) {
        made = workbook_add_format(m_workbook);
        format_set_num_format(made, numberFormat.toUtf8().constData());
    }
    return made;
}

void SpreadsheetWriter::widen(int column, int length)
{
    if (size_t(column) >= m_longest.size())
        m_longest.resize(size_t(column) + 1, 0);
    m_longest[size_t(column)] = std::max(m_longest[size_t(column)], length);
}

void SpreadsheetWriter::writeText(int row, int column, const QString& text, const QString& numberFormat)
{
    lxw_format* look = numberFormat.isEmpty() ? nullptr : format(numberFormat);
    check(worksheet_write_string(&sheet(), lxw_row_t(row), lxw_col_t(column),
                                 reportengine::spreadsheetText(text).constData(), look));
    widen(column, int(text.size()));
}

void SpreadsheetWriter::writeNumber(int row, int column, double value, const QString& numberFormat,
                                    int shownLength)
{
    check(worksheet_write_number(&sheet(), lxw_row_t(row), lxw_col_t(column), value, format(numberFormat)));
    widen(column, shownLength);
}

void SpreadsheetWriter::writeBlank(int row, int column, const QString& numberFormat)
{
    check(worksheet_write_blank(&sheet(), lxw_row_t(row), lxw_col_t(column), format(numberFormat)));
}

void SpreadsheetWriter::close()
{
    lxw_worksheet& target = sheet();
    for (size_t column = 0; column < m_longest.size(); ++column) {
        if (m_longest[column] > 0)
            worksheet_set_column(&target, lxw_col_t(column), lxw_col_t(column),
                                 std::min(m_longest[column] + ColumnPadding, WidestColumn), nullptr);
    }
    lxw_workbook* workbook = std::exchange(m_workbook, nullptr);
    m_sheet = nullptr;
    check(workbook_close(workbook));
}

}  // namespace reports
