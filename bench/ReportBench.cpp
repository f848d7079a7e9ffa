// Prints how long the report engine takes for 10,000 bookings of the machine-load layout (two group levels,
// station and day, with their summaries): reading the records, laying out every page, exporting the PDF and
// painting one page for the preview at 150 %.

#include "reportengine/Application.h"
#include "reportengine/DataReader_p.h"
#include "reportengine/LayoutReader_p.h"
#include "schema/DemoPlant.h"
#include "schema/SqliteDatabase.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int Bookings = 10000;

// Bookings of the demo plant's operations, one after the other on each station, day after day.
void addBookings(const QString& path)
{
    schema::SqliteDatabase db(path);
    const auto operations = db.rows(QStringLiteral("SELECT Auto, Posto FROM CadSeq ORDER BY Auto"));
    db.executeScript(QStringLiteral("BEGIN"));
    const QDateTime first(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC);
    for (int n = 0; n < Bookings; ++n) {
        const QVariantList& operation = operations[n % operations.size()];
        const QDateTime start = first.addSecs(qint64(n / operations.size()) * 45 * 60);
        db.run(QStringLiteral("INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (?, ?, ?, ?)"),
               {operation[0], operation[1], start, start.addSecs(40 * 60)});
    }
    db.executeScript(QStringLiteral("COMMIT"));
}

double elapsedMs(QElapsedTimer& timer)
{
    const double ms = timer.nsecsElapsed() / 1e6;
    timer.restart();
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    test::ProgramFolder folder;
    QDir().mkpath(folder.file(QStringLiteral("Dados")));
    const QString database = folder.file(QStringLiteral("Dados/Vorna.db"));
    schema::buildDemoPlant(database, QDate(2026, 3, 2));
    addBookings(database);
    const QString layoutPath = QStringLiteral(VORNA_SOURCE_DIR "/app/Relatorios/VornaMaquina.rpt");

    QElapsedTimer timer;
    timer.start();
    double read = 0;
    {
        reportengine::LayoutSpec layout = reportengine::readLayout(layoutPath);
        for (auto& table : layout.tables)
            table.logOn = {QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"), {}, {}, true};
        reportengine::ConnectionPool connections;
        const auto records = reportengine::readRecords(layout, connections);
        read = elapsedMs(timer);
        std::printf("read:                          %8.1f ms  (%zu records)\n", read, records.rows.size());
    }

    auto report = reportengine::Application().OpenReport(layoutPath);
    for (const auto& table : report->Database().Tables())
        table->SetLogOnInfo(QStringLiteral("sqlite:Dados"), QStringLiteral("Vorna"));
    report->ParameterFields().Item(1).AddCurrentValue(vb::DateSerial(2026, 1, 1));
    report->ParameterFields().Item(2).AddCurrentValue(vb::DateSerial(2027, 1, 1));
    report->ParameterFields().Item(3).AddCurrentValue(QString());
    timer.restart();
    const int pages = report->PageCount();
    const double readAndLayout = elapsedMs(timer);
    std::printf("select, sort, group, lay out:  %8.1f ms  (%d pages, %zu group headers; %.1f ms with the read)\n",
                readAndLayout - read, pages, report->groupTree().size(), readAndLayout);

    report->ExportOptions().DiskFileName = folder.file(QStringLiteral("carga.pdf"));
    timer.restart();
    report->Export(false);
    std::printf("PDF export:                    %8.1f ms\n", elapsedMs(timer));

    const double scale = 1.5 * 96 / 1440.0;
    const QSize twips = report->pageSizeTwips();
    QImage image(qRound(twips.width() * scale), qRound(twips.height() * scale), QImage::Format_ARGB32_Premultiplied);
    for (int round = 0; round < 3; ++round) {
        image.fill(Qt::white);
        timer.restart();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        report->paintPage(painter, pages / 2 + round);
        painter.end();
        std::printf("one page painted at 150 %%:     %8.1f ms\n", elapsedMs(timer));
    }
    return 0;
}
