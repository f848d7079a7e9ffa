#include "reports/RecordsetListing.h"

#include "ado/Constants.h"
#include "ado/Recordset.h"
#include "core/Modulo.h"
#include "core/ParameterReaders.h"
#include "desktop/Printer.h"
#include "reports/Listing.h"
#include "runtime/Date.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"

#include <pwd.h>
#include <unistd.h>

namespace Modulo {

namespace {

using reports::ListedColumn;

// Room between two columns, and under a rule (twips).
constexpr double ColumnGap = 100;
constexpr double RuleGap = 30;
// A row is the last of its page when less than this is left under it.
constexpr double PageFoot = 1000;
constexpr int RightAligned = 1;

// The user's name on this workstation: the login name of the account that runs the program.
QString loginName()
{
    if (const passwd* account = getpwuid(geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
    return qEnvironmentVariable("USER");
}

QString cellText(const ListedColumn& column, const vb::Variant& value)
{
    if (value.isNull())
        return {};
    if (column.type == ADODB::adDouble || column.type == ADODB::adCurrency) {
        if (column.numberFormat == QStringLiteral("Currency"))
            return QStringLiteral("R$ ") + vb::Format(value, QStringLiteral("#,##0.00"));
        if (column.numberFormat.left(5) == QStringLiteral("#,##0"))
            return vb::Format(value, column.numberFormat);
        return value.toString();
    }
    if (reports::isDateType(column.type)) {
        const bool datePart = value.toString().contains(QLatin1Char('/'));
        return vb::Format(value, datePart ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("hh:mm"));
    }
    return value.toString();
}

// The longest start of the text strictly narrower than the width ("" when not even one character is).
QString cutToWidth(const desktop::Printer& printer, const QString& text, double width)
{
    for (qsizetype k = text.size(); k >= 1; --k) {
        if (printer.TextWidth(text.left(k)) < width)
            return text.left(k);
    }
    return {};
}

// A caption or a cell from the current x: right-aligned ones end at the column's right edge, the others are
// cut to its width when wider; the next column starts one gap after the edge.
void printInColumn(desktop::Printer& printer, const ListedColumn& column, const QString& text, bool cut)
{
    const double left = printer.CurrentX();
    if (column.alignment == RightAligned) {
        printer.setCurrentX(left + column.width - printer.TextWidth(text));
        printer.Print(text);
    } else {
        printer.Print(cut && printer.TextWidth(text) > column.width ? cutToWidth(printer, text, column.width) : text);
    }
    printer.setCurrentX(left + column.width + ColumnGap);
}

// A rule across the page at the current y; the next line starts under it at x = 0.
void rule(desktop::Printer& printer)
{
    const double y = printer.CurrentY();
    printer.Line(0, y, printer.ScaleWidth(), y);
    printer.setCurrentY(y + RuleGap);
    printer.setCurrentX(0);
}

bool userLineWanted()
{
    try {
        const vb::Variant company = LeParametro(QStringLiteral("Empresa"), QStringLiteral("0"));
        return vb::IsNumeric(company) && vb::CDbl(company) == 42;
    } catch (const vb::VbError&) {
        return false;
    }
}

void printPageHeader(reports::StepRunner& run, desktop::Printer& printer, const std::vector<ListedColumn>& columns,
                     const QString& title, const QString& subtitle)
{
    run([&] {
        printer.setFontBold(true);
        printer.setFontSize(12);
        printer.setCurrentX(0);
        printer.Print(title);
    });
    run([&] {
        const vb::Date now = vb::Now();
        const QString stamp = vb::Format(now, QStringLiteral("DD/MM/YYYY")) + QStringLiteral("   ")
                              + vb::Format(now, QStringLiteral("HH:MM")) + QStringLiteral("   Pág: ")
                              + QString::number(printer.Page());
        printer.setCurrentX(printer.ScaleWidth() - printer.TextWidth(stamp));
        printer.PrintLine(stamp);
    });
    run([&] {
        printer.setFontBold(false);
        printer.setFontSize(9);
    });
    QString block = subtitle;
    if (userLineWanted())
        block += (block.isEmpty() ? QString() : vbCrLf) + QStringLiteral("Usuário: ") + loginName();
    run([&] {
        if (!block.isEmpty())
            printer.PrintLine(block);
        printer.PrintLine();
    });
    run([&] {
        printer.setFontItalic(true);
        printer.setFontBold(true);
    });
    for (const ListedColumn& column : columns)
        run([&] { printInColumn(printer, column, column.caption, false); });
    run([&] {
        printer.PrintLine();
        rule(printer);
        printer.setFontItalic(false);
        printer.setFontBold(false);
    });
}

}  // namespace

void ImprimeRecordset(desktop::DataGrid& Grade, ADODB::Recordset& Registros, const QString& Titulo,
                      const QString& Subtitulo, short Orientacao, const QString& Rodape)
{
    if (reports::noRecords(Registros)) {
        vb::Ui().MsgBox(QStringLiteral("Não existe informação disponível para imprimir."), vb::vbExclamation);
        return;
    }
    reports::StepRunner run;
    vb::Ui().SetMousePointer(vb::vbHourglass);
    desktop::Printer& printer = desktop::printer();
    run([&] { printer.setFontBold(false); });
    run([&] { printer.setScaleMode(1); });
    run([&] { printer.setOrientation(Orientacao); });
    run([&] {
        printer.setFontName(QStringLiteral("Arial"));
        printer.setFontSize(9);
    });
    std::vector<ListedColumn> columns;
    run([&] { columns = reports::listedColumns(Grade, Registros, run); });

    run([&] { Registros.MoveFirst(); });
    int headerPage = 0;
    while (!reports::pastLastRecord(Registros)) {
        if (printer.Page() != headerPage) {
            printPageHeader(run, printer, columns, Titulo, Subtitulo);
            headerPage = printer.Page();
        }
        for (const ListedColumn& column : columns) {
            QString text;
            run([&] { text = cellText(column, reports::columnValue(Registros, column)); });
            run([&] { printInColumn(printer, column, text, true); });
        }
        run([&] {
            printer.PrintLine();
            rule(printer);
            if (printer.CurrentY() + PageFoot >= printer.ScaleHeight())
                printer.NewPage();
        });
        if (!run([&] { Registros.MoveNext(); }))
            break;
    }

    if (!Rodape.isEmpty()) {
        run([&] {
            printer.PrintLine();
            printer.setFontBold(true);
            printer.PrintLine(Rodape);
        });
    }
    run([&] { printer.EndDoc(); });
    vb::Ui().SetMousePointer(vb::vbDefault);
}

}  // namespace Modulo
