#pragma once
// The program's printer object over QPrinter: the machine's default printer (through CUPS), or a PDF file.
// It keeps the platform's printer model: a scale (twips or millimetres) with its origin at the top-left of the
// printable area, a current position that printing moves, a font set property by property, and a document
// that the first output opens and EndDoc closes. See README.md for the choices behind it.

#include <QString>
#include <memory>

namespace desktop {

class Printer {
public:
    Printer();
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // PDF mode: the next documents are written to this file; empty sends them to the default printer. On a
    // machine without a printer a document goes to a PDF in a temporary folder, opened by openDocument at
    // EndDoc.
    void setPdfOutput(const QString& path);
    QString pdfOutput() const;

    // 1 twips, 6 millimetres; any other mode raises 380. Positions and sizes below are in this scale.
    int ScaleMode() const;
    // Also puts the origin back at the printable area's corner.
    void setScaleMode(int mode);
    // The scale's value at the printable area's left and top edges (0, 0 unless set).
    double ScaleLeft() const;
    void setScaleLeft(double left);
    double ScaleTop() const;
    void setScaleTop(double top);
    // 1 portrait, 2 landscape (others raise 380); a change in a document applies from the next page.
    int Orientation() const;
    void setOrientation(int orientation);

    QString FontName() const;
    void setFontName(const QString& name);
    double FontSize() const;  // points
    void setFontSize(double points);
    bool FontBold() const;
    void setFontBold(bool bold);
    bool FontItalic() const;
    void setFontItalic(bool italic);

    // The top-left corner of the next text.
    double CurrentX() const;
    void setCurrentX(double x);
    double CurrentY() const;
    void setCurrentY(double y);

    // The paper, in twips whatever the scale: the printer's paper until set, then a paper of that size.
    double Height() const;
    void setHeight(double twips);
    double Width() const;
    void setWidth(double twips);

    // The printer documents go to: the machine's default printer (driver: its make and model; CUPS queues have
    // no port), or in PDF mode the PDF writer, whose port "FILE:<path>" is the file.
    QString DriverName() const;
    QString DeviceName() const;
    QString Port() const;
    // How many printers there are to choose from: the machine's, and the PDF writer in PDF mode.
    int PrinterCount() const;

    // The printable area of the page.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // The page being printed; 1 when no document is open.
    int Page() const;

    // The widest line of the text, and the height of its lines, in the current font.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // Prints at the current position and stays on the line: x moves past the text. Line breaks (CR LF or
    // LF) in the text start further lines at x = 0. A line that would pass the page bottom starts a new page.
    void Print(const QString& text);
    // Prints like Print, then ends the line: x = 0 and y one line lower. Without text it only ends the line.
    void PrintLine(const QString& text = {});
    // Draws a line; the current position moves to its end.
    void Line(double x1, double y1, double x2, double y2);
    // Ends the page; the next output goes to the top of a new one (x = y = 0). Page counts the new page at
    // once, but it is opened only when something is drawn on it: a document never ends on an empty page.
    void NewPage();
    // Ends the document and sends it to the printer (or writes the PDF); nothing happens without one.
    void EndDoc();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The program's one printer object.
Printer& printer();

}  // namespace desktop
