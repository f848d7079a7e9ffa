#pragma once
// The state behind desktop::Printer. Positions are kept in twips whatever the scale, so that a change of
// scale leaves the current position where it is on the paper.

#include "desktop/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <memory>
#include <optional>

namespace desktop {

struct Printer::Private {
    // The device of the next or current document, made for its destination on first need.
    QPrinter& device();
    // Opens the document unless it is open; raises 482 when the printer refuses it.
    void beginDocument();
    // Measures and draws with the font as it now is.
    void fontChanged();
    QFontMetricsF& metrics();
    double twipsPerUnit() const;
    double pixelsPerTwip();
    // Draws one line of text at the current position, first turning the page when it would pass the bottom.
    void drawLine(const QString& line);
    // Opens the document, and the page NewPage asked for, before something is drawn.
    void beginDrawing();
    // A paper of the given size in twips, kept in the device's orientation.
    void setPaper(double width, double height);

    QString pdfPath;
    int scaleMode = 1;
    int orientation = 1;
    QFont font{QStringLiteral("Arial"), 10};
    double x = 0;  // twips
    double y = 0;  // twips
    double left = 0;  // twips: the origin, as the scale names the printable area's corner
    double top = 0;   // twips
    int page = 1;
    bool pageAsked = false;
    bool painterFontStale = true;
    QString openAtEnd;  // the temporary PDF of a machine without a printer

    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
    std::optional<QFontMetricsF> fontMetrics;
};

}  // namespace desktop
