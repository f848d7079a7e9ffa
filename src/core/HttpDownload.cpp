#include "core/HttpDownload.h"

#include "ado/Stream.h"
#include "core/Modulo.h"
#include "core/ParameterReaders.h"
#include "runtime/Err.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QUrl>

#include <memory>

namespace Modulo {

namespace {

const QString requestSource = QStringLiteral("WinHttp.WinHttpRequest");

// How long a reply may stay silent, as the platform's request waits by default.
constexpr int ReceiveTimeoutMs = 30000;

// The platform's request reports its failures as HRESULTs of its own error codes.
[[noreturn]] void raiseRequestError(long code, const QString& description)
{
    constexpr long win32Facility = -2147024896;  // 0x80070000
    vb::raiseError(win32Facility + code, requestSource, description);
}

QUrl checkedUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        raiseRequestError(12005, QStringLiteral("The URL is invalid"));
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        raiseRequestError(12006, QStringLiteral("The URL does not use a recognized protocol"));
    return url;
}

[[noreturn]] void raiseTransferError(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ProxyNotFoundError:
        raiseRequestError(12007, QStringLiteral("The server name or address could not be resolved"));
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::OperationCanceledError:
        raiseRequestError(12002, QStringLiteral("The operation timed out"));
    default:
        raiseRequestError(12029, QStringLiteral("A connection with the server could not be established"));
    }
}

// The proxy of CadPar when every one of its four settings is given; otherwise none, not even the system's.
QNetworkProxy proxyFromParameters()
{
    const QString host = vb::CStr(LeParametro(QStringLiteral("Proxy"), QString()));
    const vb::Variant port = LeParametro(QStringLiteral("PortaProxy"), QStringLiteral("0"));
    const QString user = vb::CStr(LeParametro(QStringLiteral("UserProxy"), QString()));
    const QString password = vb::CStr(LeParametro(QStringLiteral("Password"), QString()));
    if (host.isEmpty() || user.isEmpty() || password.isEmpty() || vb::CDbl(port) == 0)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(QNetworkProxy::HttpProxy, host, quint16(vb::CLng(port)), user, password);
}

bool download(const QString& url, const QString& destination)
{
    QNetworkRequest request(checkedUrl(url));
    request.setTransferTimeout(ReceiveTimeoutMs);
    QNetworkAccessManager manager;
    manager.setProxy(proxyFromParameters());

    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    QEventLoop wait;
    QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec(QEventLoop::ExcludeUserInputEvents);

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        raiseTransferError(reply->error());
    if (status.toInt() != 200)
        return false;
    SalvaArquivoBinario(reply->readAll(), destination);
    return true;
}

}  // namespace

bool DownloadHttp(const QString& url, const QString& destination)
{
    try {
        return download(url, destination);
    } catch (const std::exception&) {
        vb::Err.SetFromCurrentException();
    }
    TrataErro();
    return false;
}

void SalvaArquivoBinario(const QByteArray& bytes, const QString& path)
{
    ADODB::Stream stream;
    stream.setType(ADODB::adTypeBinary);
    stream.Open();
    stream.Write(bytes);
    stream.SaveToFile(path, ADODB::adSaveCreateOverWrite);
}

}  // namespace Modulo
