#include "reportengine/EngineErrors.h"
#include "reportengine/ReportDocument_p.h"
#include "reportengine/ReportExport_p.h"
#include "reportengine/SpreadsheetValues.h"
#include "reportengine/StagedFile_p.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <optional>
#include <xlsxwriter.h>

namespace reportengine {

namespace {

struct DetailColumn {
    const ObjectSpec* object;
    QString heading;
};

std::vector<DetailColumn> detailColumns(const LayoutSpec& layout)
{
    std::vector<DetailColumn> columns;
    for (const auto& section : layout.sections)
        if (section->area == Area::Details && !section->suppress)
            for (const ObjectSpec& object : section->objects)
                if (object.kind == ObjectKind::Field) {
                    QString heading = object.name;
                    if (heading.isEmpty()) {
                        heading = object.source;
                        heading.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
                        heading = heading.section(QLatin1Char('.'), -1);
                    }
                    columns.push_back({&object, heading});
                }
    std::stable_sort(columns.begin(), columns.end(), [](const DetailColumn& a, const DetailColumn& b) {
        return a.object->box.x() < b.object->box.x();
    });
    return columns;
}

// Each detail record's values, one call per record.
template <class Row>
void forEachRecord(ReportDocument& document, const std::vector<DetailColumn>& columns, Row&& row)
{
    ReportRun& run = document.mainRun();
    std::vector<vb::Variant> values(columns.size());
    for (int r = 0; r < run.recordCount(); ++r) {
        run.setRecord(r);
        for (std::size_t c = 0; c < columns.size(); ++c)
            values[c] = run.value(run.compiled().objectFormula(*columns[c].object));
        row(r, values);
    }
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

void exportCsv(ReportDocument& document, const QString& path)
{
    StagedFile staged(path);
    QFile file(staged.path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        raiseExportFailed(path, file.errorString());
    QTextStream out(&file);
    const auto columns = detailColumns(document.mainRun().compiled().layout);
    QStringList line;
    for (const DetailColumn& column : columns)
        line << csvField(column.heading);
    out << line.join(QLatin1Char(';')) << '\n';
    forEachRecord(document, columns, [&](int, const std::vector<vb::Variant>& values) {
        line.clear();
        for (std::size_t c = 0; c < columns.size(); ++c)
            line << csvField(formattedText(values[c], columns[c].object->format));
        out << line.join(QLatin1Char(';')) << '\n';
    });
    out.flush();
    file.close();
    if (file.error() != QFile::NoError)
        raiseExportFailed(path, file.errorString());
    staged.commit();
}

void exportWorkbook(ReportDocument& document, const QString& path)
{
    StagedFile staged(path);
    // Freed without writing when the export fails part way.
    std::unique_ptr<lxw_workbook, void (*)(lxw_workbook*)> workbook(
        workbook_new(QFile::encodeName(staged.path()).constData()), lxw_workbook_free);
    if (!workbook)
        raiseExportFailed(path, QStringLiteral("a planilha não pôde ser criada"));
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), nullptr);
    lxw_format* bold = workbook_add_format(workbook.get());
    format_set_bold(bold);
    lxw_format* dateFormat = workbook_add_format(workbook.get());
    format_set_num_format(dateFormat, "dd/mm/yyyy hh:mm");
    // A cell the workbook cannot hold (a text past its length) fails the export rather than go missing.
    auto check = [&](lxw_error result, lxw_row_t row, lxw_col_t col) {
        if (result != LXW_NO_ERROR)
            raiseExportFailed(path, QStringLiteral("linha %1, coluna %2: %3")
                                        .arg(row + 1)
                                        .arg(col + 1)
                                        .arg(QString::fromUtf8(lxw_strerror(result))));
    };
    const auto columns = detailColumns(document.mainRun().compiled().layout);
    for (std::size_t c = 0; c < columns.size(); ++c)
        check(worksheet_write_string(sheet, 0, lxw_col_t(c), spreadsheetText(columns[c].heading).constData(), bold),
              0, lxw_col_t(c));
    forEachRecord(document, columns, [&](int r, const std::vector<vb::Variant>& values) {
        const auto row = lxw_row_t(r + 1);
        for (std::size_t c = 0; c < values.size(); ++c) {
            const vb::Variant& v = values[c];
            const auto col = lxw_col_t(c);
            if (v.isNull() || v.isEmpty())
                continue;
            const std::optional<double> day = v.isDate() ? spreadsheetDayNumber(v.toDate()) : std::nullopt;
            if (day)
                check(worksheet_write_number(sheet, row, col, *day, dateFormat), row, col);
            else if (v.isNumberKind() && v.type() != vb::VarType::Boolean)
                check(worksheet_write_number(sheet, row, col, v.toDouble(), nullptr), row, col);
            else
                check(worksheet_write_string(sheet, row, col,
                                             spreadsheetText(formattedText(v, columns[c].object->format)).constData(),
                                             nullptr),
                      row, col);
        }
    });
    const lxw_error error = workbook_close(workbook.release());
    if (error != LXW_NO_ERROR)
        raiseExportFailed(path, QString::fromUtf8(lxw_strerror(error)));
    staged.commit();
}

}  // namespace reportengine
