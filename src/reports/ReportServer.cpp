#include "reports/ReportServer.h"

#include "core/Modulo.h"
#include "runtime/Ini.h"

namespace ReportServer {

namespace {

QString setting(const QString& key, const QString& defaultValue)
{
    const QString value =
        vb::ReadIniValue(QStringLiteral("Relatorios"), key, Modulo::CaminhoApp() + QStringLiteral("/Util/Config.ini"))
            .trimmed();
    return value.isEmpty() ? defaultValue : value;
}

}  // namespace

QString layoutUrl(const QString& reportName)
{
    QString server = setting(QStringLiteral("ServidorDownload"), QStringLiteral("localhost"));
    if (!server.contains(QLatin1Char(':')))
        server += QStringLiteral(":501");
    return QStringLiteral("http://%1/tarvelo/Relatorios/Originais/%2.rpt").arg(server, reportName);
}

QString supportContact()
{
    return setting(QStringLiteral("Suporte"), QStringLiteral("(00) 0000-0000"));
}

QString vendorContact()
{
    return setting(QStringLiteral("Fornecedor"), QStringLiteral("Zub pelo telefone (00) 0000-0000"));
}

}  // namespace ReportServer
