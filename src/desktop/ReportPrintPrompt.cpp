#include "desktop/ReportPrintPrompt.h"

#include "reportengine/Report.h"

#include <QApplication>
#include <QPrintDialog>

namespace desktop {

void installReportPrintPrompt()
{
    reportengine::Report::setPrintPrompt([](QPrinter& printer) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    });
}

}  // namespace desktop
