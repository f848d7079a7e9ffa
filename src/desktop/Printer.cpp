#include "desktop/Printer.h"

#include "desktop/DocumentOpener.h"
#include "desktop/Printer_p.h"
#include "runtime/Err.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageSize>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace desktop {

namespace {

constexpr int ScaleTwips = 1;
constexpr int ScaleMillimetres = 6;
constexpr double TwipsPerInch = 1440;
constexpr double TwipsPerMillimetre = TwipsPerInch / 25.4;
// PDF pages keep the unprintable border of a common printer, so that they look as the paper would.
constexpr double PdfMarginMillimetres = 6.35;

const QString PdfWriterName = QStringLiteral("PDF");

constexpr long InvalidPropertyValue = 380;
// The largest font the platform's printer takes, and a paper far beyond any printer's.
constexpr double LargestFontPoints = 2160;
constexpr double LargestPaperTwips = 1000000;
constexpr long PrinterError = 482;

QStringList linesOf(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')))
        return {text};
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines.split(QLatin1Char('\n'));
}

void makePdf(QPrinter& device)
{
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setPageSize(QPageSize(QPageSize::A4));
    const double m = PdfMarginMillimetres;
    device.setPageMargins(QMarginsF(m, m, m, m), QPageLayout::Millimeter);
}

}  // namespace

QPrinter& Printer::Private::device()
{
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!pdfPath.isEmpty() || QPrinterInfo::defaultPrinter().isNull())
            makePdf(*printer);
        if (!pdfPath.isEmpty())
            printer->setOutputFileName(pdfPath);
        printer->setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
        fontMetrics.reset();
    }
    return *printer;
}

void Printer::Private::beginDocument()
{
    if (painter)
        return;
    QPrinter& target = device();
    if (pdfPath.isEmpty() && target.outputFormat() == QPrinter::PdfFormat) {
        QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/vorna-impressao-XXXXXX"));
        folder.setAutoRemove(false);
        openAtEnd = folder.filePath(QStringLiteral("Impressao.pdf"));
        target.setOutputFileName(openAtEnd);
    }
    auto opened = std::make_unique<QPainter>();
    if (!opened->begin(&target))
        vb::raiseError(PrinterError, QStringLiteral("Printer"), QStringLiteral("Printer error"));
    painter = std::move(opened);
    page = 1;
    painterFontStale = true;
}

void Printer::Private::fontChanged()
{
    fontMetrics.reset();
    painterFontStale = true;
}

QFontMetricsF& Printer::Private::metrics()
{
    if (!fontMetrics)
        fontMetrics.emplace(font, &device());
    return *fontMetrics;
}

double Printer::Private::twipsPerUnit() const
{
    return scaleMode == ScaleMillimetres ? TwipsPerMillimetre : 1.0;
}

double Printer::Private::pixelsPerTwip()
{
    return device().resolution() / TwipsPerInch;
}

void Printer::Private::beginDrawing()
{
    beginDocument();
    if (pageAsked) {
        printer->newPage();
        pageAsked = false;
    }
}

void Printer::Private::drawLine(const QString& line)
{
    if (line.isEmpty())
        return;
    beginDrawing();
    const double lineHeight = metrics().lineSpacing() / pixelsPerTwip();
    if (y > top && y - top + lineHeight > device().height() / pixelsPerTwip()) {
        printer->newPage();
        ++page;
        x = left;
        y = top;
    }
    if (painterFontStale) {
        painter->setFont(font);
        painterFontStale = false;
    }
    const double scale = pixelsPerTwip();
    painter->drawText(QPointF((x - left) * scale, (y - top) * scale + metrics().ascent()), line);
    x += metrics().horizontalAdvance(line) / scale;
}

Printer::Printer() : d(std::make_unique<Private>()) {}

Printer::~Printer()
{
    if (d->painter)
        d->painter->end();
}

void Printer::setPdfOutput(const QString& path)
{
    d->pdfPath = path;
    if (!d->painter)
        d->printer.reset();
}

QString Printer::pdfOutput() const
{
    return d->pdfPath;
}

int Printer::ScaleMode() const
{
    return d->scaleMode;
}

void Printer::setScaleMode(int mode)
{
    if (mode != ScaleTwips && mode != ScaleMillimetres)
        vb::raiseError(InvalidPropertyValue, QStringLiteral("Printer"));
    d->scaleMode = mode;
    d->left = d->top = 0;
}

double Printer::ScaleLeft() const
{
    return d->left / d->twipsPerUnit();
}

void Printer::setScaleLeft(double left)
{
    d->left = left * d->twipsPerUnit();
}

double Printer::ScaleTop() const
{
    return d->top / d->twipsPerUnit();
}

void Printer::setScaleTop(double top)
{
    d->top = top * d->twipsPerUnit();
}

int Printer::Orientation() const
{
    return d->orientation;
}

void Printer::setOrientation(int orientation)
{
    if (orientation != 1 && orientation != 2)
        vb::raiseError(InvalidPropertyValue, QStringLiteral("Printer"));
    d->orientation = orientation;
    d->device().setPageOrientation(orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QString Printer::FontName() const
{
    return d->font.family();
}

void Printer::setFontName(const QString& name)
{
    d->font.setFamily(name);
    d->fontChanged();
}

double Printer::FontSize() const
{
    return d->font.pointSizeF();
}

void Printer::setFontSize(double points)
{
    if (!(points > 0 && points <= LargestFontPoints))
        vb::raiseError(InvalidPropertyValue, QStringLiteral("Printer"));
    d->font.setPointSizeF(points);
    d->fontChanged();
}

bool Printer::FontBold() const
{
    return d->font.bold();
}

void Printer::setFontBold(bool bold)
{
    d->font.setBold(bold);
    d->fontChanged();
}

bool Printer::FontItalic() const
{
    return d->font.italic();
}

void Printer::setFontItalic(bool italic)
{
    d->font.setItalic(italic);
    d->fontChanged();
}

double Printer::CurrentX() const
{
    return d->x / d->twipsPerUnit();
}

void Printer::setCurrentX(double x)
{
    d->x = x * d->twipsPerUnit();
}

double Printer::CurrentY() const
{
    return d->y / d->twipsPerUnit();
}

void Printer::setCurrentY(double y)
{
    d->y = y * d->twipsPerUnit();
}

void Printer::Private::setPaper(double width, double height)
{
    if (!(width > 0 && width <= LargestPaperTwips && height > 0 && height <= LargestPaperTwips))
        vb::raiseError(InvalidPropertyValue, QStringLiteral("Printer"));
    QPrinter& target = device();
    const QSizeF points(width / 20, height / 20);
    const bool landscape = target.pageLayout().orientation() == QPageLayout::Landscape;
    target.setPageSize(QPageSize(landscape ? points.transposed() : points, QPageSize::Point));
    fontMetrics.reset();
}

double Printer::Height() const
{
    return d->device().pageLayout().fullRect(QPageLayout::Point).height() * 20;
}

void Printer::setHeight(double twips)
{
    d->setPaper(Width(), twips);
}

double Printer::Width() const
{
    return d->device().pageLayout().fullRect(QPageLayout::Point).width() * 20;
}

void Printer::setWidth(double twips)
{
    d->setPaper(twips, Height());
}

QString Printer::DriverName() const
{
    return d->pdfPath.isEmpty() ? QPrinterInfo::defaultPrinter().makeAndModel() : PdfWriterName;
}

QString Printer::DeviceName() const
{
    return d->pdfPath.isEmpty() ? QPrinterInfo::defaultPrinter().printerName() : PdfWriterName;
}

QString Printer::Port() const
{
    return d->pdfPath.isEmpty() ? QString() : QStringLiteral("FILE:") + d->pdfPath;
}

int Printer::PrinterCount() const
{
    return int(QPrinterInfo::availablePrinterNames().size()) + (d->pdfPath.isEmpty() ? 0 : 1);
}

double Printer::ScaleWidth() const
{
    return d->device().width() / d->pixelsPerTwip() / d->twipsPerUnit();
}

double Printer::ScaleHeight() const
{
    return d->device().height() / d->pixelsPerTwip() / d->twipsPerUnit();
}

int Printer::Page() const
{
    return d->page;
}

double Printer::TextWidth(const QString& text) const
{
    double widest = 0;
    for (const QString& line : linesOf(text))
        widest = std::max(widest, d->metrics().horizontalAdvance(line));
    return widest / d->pixelsPerTwip() / d->twipsPerUnit();
}

double Printer::TextHeight(const QString& text) const
{
    return linesOf(text).size() * d->metrics().lineSpacing() / d->pixelsPerTwip() / d->twipsPerUnit();
}

void Printer::Print(const QString& text)
{
    d->beginDocument();
    const QStringList lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            d->x = d->left;
            d->y += d->metrics().lineSpacing() / d->pixelsPerTwip();
        }
        d->drawLine(lines[i]);
    }
}

void Printer::PrintLine(const QString& text)
{
    Print(text);
    d->x = d->left;
    d->y += d->metrics().lineSpacing() / d->pixelsPerTwip();
}

void Printer::Line(double x1, double y1, double x2, double y2)
{
    d->beginDrawing();
    const double scale = d->pixelsPerTwip() * d->twipsPerUnit();
    d->painter->setPen(QPen(Qt::black, 0));
    const double left = d->left / d->twipsPerUnit();
    const double top = d->top / d->twipsPerUnit();
    d->painter->drawLine(QPointF((x1 - left) * scale, (y1 - top) * scale), QPointF((x2 - left) * scale, (y2 - top) * scale));
    setCurrentX(x2);
    setCurrentY(y2);
}

void Printer::NewPage()
{
    d->beginDrawing();
    d->pageAsked = true;
    ++d->page;
    d->x = d->left;
    d->y = d->top;
}

void Printer::EndDoc()
{
    if (!d->painter)
        return;
    d->painter->end();
    d->painter.reset();
    d->pageAsked = false;
    d->page = 1;
    d->x = d->left;
    d->y = d->top;
    if (!d->openAtEnd.isEmpty())
        openDocument(std::exchange(d->openAtEnd, QString()));
}

Printer& printer()
{
    // Made on first use and gone with the application object, before the fonts it uses.
    static std::unique_ptr<Printer> programPrinter;
    if (!programPrinter) {
        programPrinter = std::make_unique<Printer>();
        qAddPostRoutine([] { programPrinter.reset(); });
    }
    return *programPrinter;
}

}  // namespace desktop
