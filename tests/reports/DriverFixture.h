#pragma once
// The report driver over the demo plant: BancoAtual() connected to it, the layout Ordens (work orders by
// client, with parameters, a formula, an SQL expression, a group and three subreports) written into
// Relatorios/, [Relatorios] of Util/Config.ini naming a download server that answers nobody and the contact
// texts, and the previews a test leaves open closed after it.

#include "reports/FrmViewer.h"
#include "support/report/ReportFixture.h"

#include <QStringList>

class DriverFixture : public test::ReportFixture {
protected:
    DriverFixture();
    ~DriverFixture() override;

    // The Ordens layout with `replace` made in its text (first -> second, in order).
    static QByteArray ordersLayout(const QList<std::pair<QByteArray, QByteArray>>& replace = {});
    // [Relatorios] ServidorDownload of Util/Config.ini.
    void setDownloadServer(const QString& server) const;
    // The previews open now, in no particular order.
    static QList<FrmViewer*> previews();
    // The one preview opened since `before` was taken; a test failure (and nullptr) otherwise.
    static FrmViewer* openedSince(const QList<FrmViewer*>& before);
    // The one preview open; a test failure (and nullptr) otherwise.
    static FrmViewer* onlyPreview();
    // The message boxes shown so far, as "<style>|<prompt>".
    static QStringList boxes();
};
