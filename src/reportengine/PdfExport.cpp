#include "reportengine/EngineErrors.h"
#include "reportengine/ReportDocument_p.h"
#include "reportengine/ReportExport_p.h"
#include "reportengine/StagedFile_p.h"

#include <QPainter>
#include <QPdfWriter>

namespace reportengine {

void raiseExportFailed(const QString& path, const QString& reason)
{
    raiseEngine(EngineError::ExportFailed,
                QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, reason));
}

void exportPdf(ReportDocument& document, const QString& path)
{
    StagedFile file(path);
    {
        QPdfWriter writer(file.path());
        writer.setResolution(1440);
        writer.setCreator(QStringLiteral("Vorna Máquina"));
        const QSize size = document.pageSize();
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(size.width() / 20.0, size.height() / 20.0), QPageSize::Point),
                                         QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            raiseExportFailed(path, QStringLiteral("o PDF não pôde ser iniciado"));
        for (int page = 0; page < document.pageCount(); ++page) {
            if (page > 0)
                writer.newPage();
            document.paintPage(painter, page);
        }
        if (!painter.end())
            raiseExportFailed(path, QStringLiteral("o PDF não pôde ser terminado"));
    }
    file.commit();
}

}  // namespace reportengine
