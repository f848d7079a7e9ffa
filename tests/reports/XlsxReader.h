#pragma once
// A workbook seen through a real reader: python3 with openpyxl opens the file and reports the first
// sheet's cells (value, openpyxl's data type, number format) and column widths.

#include <QJsonValue>
#include <QMap>
#include <QString>

namespace test {

struct SheetCell {
    QJsonValue value;  // numbers, texts, dates and times as ISO texts
    QString type;      // "n" number, "s" text, "d" date or time
    QString format;
};

struct Sheet {
    QMap<QString, SheetCell> cells{};  // by reference ("A1"), only cells with a value or a format
    QMap<QString, double> widths{};  // by column letters
    int maxRow = 0;
    QString error{};  // what went wrong when the file could not be read
};

Sheet readSheet(const QString& path);

}  // namespace test
