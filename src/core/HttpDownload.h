#pragma once
// The download of a file over HTTP (missing report layouts) and the binary save behind it.

#include <QByteArray>
#include <QString>

namespace Modulo {

// A synchronous GET of the URL, through the proxy of CadPar when Proxy, PortaProxy, UserProxy and Password
// are all set (else directly). Status 200 saves the body to the destination and gives true; any other
// status gives false and writes nothing. Failures (a bad URL, no server, no parameters) are reported
// through TrataErro and give false.
bool DownloadHttp(const QString& url, const QString& destination);

// Writes the bytes to the file, creating or replacing it. Raises 3004 when the file cannot be written.
void SalvaArquivoBinario(const QByteArray& bytes, const QString& path);

}  // namespace Modulo
