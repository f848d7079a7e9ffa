#include "ParameterReadersFixture.h"

#include "core/HttpDownload.h"
#include "runtime/Err.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/LocalServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

// A proxy that asks for Basic credentials and answers every authorised request with the URL it was asked for.
const char* proxyProgram = R"(
import base64, http.server
class Proxy(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        expected = 'Basic ' + base64.b64encode(b'planejador:segredo').decode()
        if self.headers.get('Proxy-Authorization') != expected:
            self.send_response(407)
            self.send_header('Proxy-Authenticate', 'Basic realm="fabrica"')
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        body = ('via proxy ' + self.path).encode()
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(('127.0.0.1', 0), Proxy)
print('port', server.server_address[1])
server.serve_forever()
)";

class Download : public ParameterDatabase {
protected:
    void SetUp() override
    {
        ParameterDatabase::SetUp();
        QDir(folder.path()).mkpath("Relatorios");
        for (int i = 0; i < 256; ++i)
            layout.append(char(i));
        ASSERT_TRUE(test::writeFile(served.path() + "/Roteiro.rpt", layout));
        server = std::make_unique<test::LocalServer>(test::fileServerArguments(served.path()));
    }
    void TearDown() override
    {
        server.reset();
        ParameterDatabase::TearDown();
    }

    QString destination(const QString& name) const { return folder.file("Relatorios/" + name); }

    void setProxy(const QString& host, int port, const QString& user, const QString& password)
    {
        plant->setCadParValue("Proxy", host);
        plant->setCadParValue("PortaProxy", port);
        plant->setCadParValue("UserProxy", user);
        plant->setCadParValue("Password", password);
    }

    QTemporaryDir served;
    QByteArray layout;
    std::unique_ptr<test::LocalServer> server;
};

}  // namespace

TEST_F(Download, Status200ReplacesTheFileAnyOtherLeavesNone)
{
    ASSERT_TRUE(test::writeFile(destination("Roteiro.rpt"), "an older layout, longer than nothing at all"));
    EXPECT_TRUE(Modulo::DownloadHttp(server->url("Roteiro.rpt"), destination("Roteiro.rpt")));
    EXPECT_EQ(test::readFile(destination("Roteiro.rpt")), layout);

    EXPECT_FALSE(Modulo::DownloadHttp(server->url("Falta.rpt"), destination("Falta.rpt")));
    EXPECT_FALSE(QFile::exists(destination("Falta.rpt")));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());

    // The save behind it raises to its caller when the file cannot be written.
    EXPECT_THROW(Modulo::SalvaArquivoBinario("x", folder.file("SemPasta/Bytes.bin")), vb::VbError);
}

TEST_F(Download, ThreeOfTheFourProxySettingsConnectDirectly)
{
    test::LocalServer proxy({"-c", proxyProgram});
    const QString elsewhere = "http://relatorios.invalid/tarvelo/Relatorios/Originais/Roteiro.rpt";

    // The password is missing: the proxy is not used, the local server answers itself.
    setProxy("127.0.0.1", proxy.port(), "planejador", "");
    EXPECT_TRUE(Modulo::DownloadHttp(server->url("Roteiro.rpt"), destination("Direto.rpt")));
    EXPECT_EQ(test::readFile(destination("Direto.rpt")), layout);

    // All four: the request goes through the proxy with its credentials, even for a host nobody resolves.
    setProxy("127.0.0.1", proxy.port(), "planejador", "segredo");
    EXPECT_TRUE(Modulo::DownloadHttp(elsewhere, destination("Proxy.rpt")));
    EXPECT_EQ(test::readFile(destination("Proxy.rpt")), "via proxy " + elsewhere.toLatin1());

    // A port of 0 counts as missing too.
    setProxy("127.0.0.1", 0, "planejador", "segredo");
    EXPECT_TRUE(Modulo::DownloadHttp(server->url("Roteiro.rpt"), destination("Porta.rpt")));
    EXPECT_EQ(test::readFile(destination("Porta.rpt")), layout);
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(Download, FailuresAreReportedAndGiveFalse)
{
    const int freePort = server->port();
    server.reset();

    EXPECT_FALSE(Modulo::DownloadHttp(QStringLiteral("http://127.0.0.1:%1/Roteiro.rpt").arg(freePort),
                                      destination("Roteiro.rpt")));
    EXPECT_FALSE(Modulo::DownloadHttp("endereco sem protocolo", destination("Roteiro.rpt")));
    EXPECT_FALSE(QFile::exists(destination("Roteiro.rpt")));

    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, "Erro: -2147012867 - A connection with the server could not be established");
    EXPECT_EQ(boxes[1].prompt, "Erro: -2147012891 - The URL is invalid");
    EXPECT_EQ(boxes[0].style, vb::vbCritical);
    EXPECT_TRUE(QFile::exists(folder.file("Util/Erro.txt")));
}
