#pragma once
// The demo plant in a temporary program folder (Dados/Vorna.db, from 02/03/2026) with every operation booked
// on its station one after the other, layouts written into Relatorios/, reports opened and logged on as the
// program does, and exported PDFs read back with pdftotext.

#include "reportengine/Application.h"
#include "support/PdfReader.h"
#include "support/ProgramFolder.h"

#include <QDate>
#include <gtest/gtest.h>

namespace test {

class ReportFixture : public testing::Test {
protected:
    ReportFixture();

    static QDate firstDay() { return QDate(2026, 3, 2); }
    // Writes Relatorios/<name>.rpt and returns its path.
    QString writeLayout(const QString& name, const QByteArray& xml) const;
    // Opens a layout file and logs every table of it and of its subreports on to the demo plant.
    std::shared_ptr<reportengine::Report> open(const QString& path) const;
    std::shared_ptr<reportengine::Report> openLayout(const QString& name, const QByteArray& xml) const;
    // Exports the report as PDF into the program folder and returns the text pdftotext -layout reads.
    QString pdfText(reportengine::Report& report, const QString& fileName = QStringLiteral("out.pdf")) const;
    // Exports the detail records as CSV and returns its lines after the heading.
    QStringList csvRows(reportengine::Report& report) const;
    // Runs a statement on the demo plant's file.
    void execute(const QString& sql) const;

    ProgramFolder program;
    QString database;
};

// The lines of a CSV export after its heading; "<no file>" when there is none.
QStringList csvFileRows(const QString& path);

// The text of a PDF as pdftotext -layout extracts it, pages separated by form feeds.
QString pdfToText(const QString& path);

// Every pattern (a regular expression) matches somewhere in the text.
void expectMatches(const QString& text, const QStringList& patterns);

// A layout document around the given body: <report version="1"> with an A4 page.
QByteArray layoutXml(const QByteArray& body);

}  // namespace test
