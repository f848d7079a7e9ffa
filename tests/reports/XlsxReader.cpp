#include "XlsxReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace test {

namespace {

const char* const Script = R"(
import datetime, json, sys
import openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).active
cells = {}
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is None and cell.number_format == 'General':
            continue
        value = cell.value
        if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
            value = value.isoformat()
        cells[cell.coordinate] = {'value': value, 'type': cell.data_type, 'format': cell.number_format}
widths = {letters: d.width for letters, d in sheet.column_dimensions.items()}
print(json.dumps({'cells': cells, 'widths': widths, 'maxRow': sheet.max_row}))
)";

}  // namespace

Sheet readSheet(const QString& path)
{
    Sheet sheet;
    QProcess python;
    // Debian's interpreter, the one python3-openpyxl installs for (another python3 may come first on PATH).
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(Script), path});
    if (!python.waitForFinished(60000)) {
        python.kill();
        python.waitForFinished(5000);
        sheet.error = QStringLiteral("python3 did not finish");
        return sheet;
    }
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    if (python.exitCode() != 0 || read.isEmpty()) {
        sheet.error = QString::fromUtf8(python.readAllStandardError());
        return sheet;
    }
    const QJsonObject cells = read.value("cells").toObject();
    for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
        const QJsonObject fields = cell->toObject();
        sheet.cells.insert(cell.key(), {fields.value("value"), fields.value("type").toString(),
                                        fields.value("format").toString()});
    }
    const QJsonObject widths = read.value("widths").toObject();
    for (auto width = widths.begin(); width != widths.end(); ++width)
        sheet.widths.insert(width.key(), width->toDouble());
    sheet.maxRow = read.value("maxRow").toInt();
    return sheet;
}

}  // namespace test
