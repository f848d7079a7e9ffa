// The driver's direct printing: text on the program's printer without the report engine.
#include "reports/ClsRelatorio_Vinculado.h"

#include "desktop/Printer.h"

namespace {

constexpr int millimetres = 6;
constexpr short lineStep = 4;
const QChar carriageReturn(13);

}  // namespace

void ClsRelatorio_Vinculado::ConfiguraImpressora(long Altura, long Largura)
{
    desktop::Printer& printer = desktop::printer();
    printer.setScaleMode(millimetres);
    printer.setScaleLeft(0);
    printer.setScaleTop(0);
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontSize(10);
    if (Altura != 0)
        printer.setHeight(Altura);
    if (Largura != 0)
        printer.setWidth(Largura);
}

void ClsRelatorio_Vinculado::Imprime(short x, short Y, const QString& Texto)
{
    desktop::Printer& printer = desktop::printer();
    printer.setCurrentX(x);
    printer.setCurrentY(Y);
    printer.PrintLine(Texto);
}

short ClsRelatorio_Vinculado::ImprimeTexto(short X1, short X2, short XFim, short Y, const QString& Texto)
{
    desktop::Printer& printer = desktop::printer();
    // Positions below are 1-based, as the text is walked character by character.
    const QString T = Texto.trimmed() + QLatin1Char(' ');
    auto at = [&T](int position) { return position >= 1 && position <= T.size() ? T[position - 1] : QChar(); };
    short x = X1;
    short y = Y;
    double W = XFim - X1;
    int p = 1;
    while (p < T.size()) {
        int n = 0;
        QString L;
        while (printer.TextWidth(L) < W && at(p + n) != carriageReturn && p + n < T.size()) {
            ++n;
            L = T.mid(p - 1, n);
        }
        if (!L.trimmed().isEmpty()) {
            const int grown = n;
            while (!L.endsWith(QLatin1Char(' ')) && at(p + n) != carriageReturn && p + n < T.size()) {
                if (n < 2) {
                    n = grown;
                    L = T.mid(p - 1, n);
                    break;
                }
                --n;
                L = T.mid(p - 1, n);
            }
        }
        // No room on the line: nothing fits and the text would never advance.
        if (n == 0 && at(p) != carriageReturn)
            break;
        printer.setCurrentX(x);
        printer.setCurrentY(y);
        printer.PrintLine(L);
        if (at(p + n) == carriageReturn)
            n += 2;
        p += n;
        y = short(y + lineStep);
        x = X2;
        W = XFim - X2;
    }
    return short(y - lineStep);
}
