#pragma once
// What a plant sets about its reports in Util/Config.ini, section [Relatorios]: the server missing layouts are
// downloaded from, and the contact texts that end the messages of a failed download and of a missing layout.
//   ServidorDownload=<host>[:<port>]   (default localhost; port 501 unless given)
//   Suporte=<support telephone>        (ends "... entrar em contato com o setor de suporte <Suporte>.")
//   Fornecedor=<vendor and telephone>  (ends "... Entre em contato com a <Fornecedor>.")

#include <QString>

namespace ReportServer {

// The address a layout is downloaded from: http://<host>:501/tarvelo/Relatorios/Originais/<name>.rpt
QString layoutUrl(const QString& reportName);
QString supportContact();
QString vendorContact();

}  // namespace ReportServer
