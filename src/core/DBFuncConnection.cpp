// DBFunc's connection: opening, creating the database, closing.

#include "core/DBFunc.h"

#include "ado/AdoErrors.h"
#include "ado/Catalog.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/DBParametro.h"
#include "core/Modulo.h"
#include "runtime/App.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"

#include <array>

namespace {

const QString builtInPassword = QStringLiteral("tavelino4728");

QString networkLibrary(int index)
{
    static const std::array<QString, 5> libraries{"dbnmpntw", "dbmssocn", "dbmsspxn", "dbmsvinn", "dbmsrpcn"};
    return index >= 0 && index < int(libraries.size()) ? libraries[std::size_t(index)] : QString();
}

}  // namespace

DBFunc::DBFunc() = default;

DBFunc::~DBFunc()
{
    if (!m_fechaAoTerminar)
        return;
    try {
        FechaConexao();
    } catch (...) {
        // Released at the end of the process: a connection that will not close is dropped all the same.
    }
}

ADODB::Connection& DBFunc::connection() const
{
    if (!m_cn)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    return *m_cn;
}

int DBFunc::AbreConexao(int vTipoBanco, bool Automatico, int vTipoConexao, const QString& vServidor,
                        const QString& vBancoDados, const QString& vUsuario, const QString& vSenha,
                        bool FechaConexaoAuto, std::int16_t TempoEspera, int TimeOut)
{
    if (m_cn)
        return 1;
    vb::ErrObject caught;
    long serverError = 0;
    try {
        m_fechaAoTerminar = FechaConexaoAuto;
        if (Automatico) {
            const QString ini = Modulo::CaminhoApp() + '/' + vb::App::Title + ".ini";
            TipoConexao = GetIni("Conexao", "TipoConexao", ini).toLong();
            servidor = GetIni("Conexao", "Servidor", ini).toString();
            BancoDados = GetIni("Conexao", "BancoDados", ini).toString();
            Usuario = "sa";
            Senha = builtInPassword;
        } else {
            TipoConexao = vTipoConexao;
            servidor = vServidor;
            BancoDados = vBancoDados;
            Usuario = vUsuario;
            Senha = vSenha;
        }

        auto cn = std::make_shared<ADODB::Connection>();
        cn->setCommandTimeout(TimeOut);
        cn->setConnectionTimeout(TempoEspera);
        cn->setCursorLocation(ADODB::adUseServer);
        if (vTipoBanco == 0) {
            cn->setProvider("SQLOLEDB");
            cn->Open("Network Library=" + networkLibrary(TipoConexao) + ";Data Source=" + servidor +
                         ";Initial Catalog=" + BancoDados,
                     Usuario, Senha);
        } else if (vTipoBanco == 1) {
            servidor = "Access";
            cn->Open("Driver={Microsoft Access Driver (*.mdb)};Dbq=" + BancoDados + ";Uid=Admin;Pwd=" + Senha + ";",
                     QString(), QString());
        } else {
            vb::Ui().MsgBox("Tipo de Banco de Dados não encontrado.", vb::vbExclamation);
            return 0;
        }

        m_cn = cn;
        TipoBanco = vTipoBanco;
        m_parametro = std::make_shared<DBParametro>();
        m_parametro->setVariavelADODBConnection(m_cn);
        return 1;
    } catch (const ADODB::ProviderError& e) {
        caught.Set(e);
        serverError = e.nativeError();
    } catch (...) {
        caught.SetFromCurrentException();
    }
    m_cn.reset();
    // Only a database that does not exist may lead to the offer to create it; any other failure of the
    // provider's (a file that is no database, a folder that is missing, a login refused) is told with the
    // server's own number.
    if (caught.Number == ADODB::hresult::GeneralFailure && serverError == ADODB::MissingDatabase)
        return 2;
    vb::Ui().MsgBox("Erro: " + QString::number(serverError != 0 ? serverError : caught.Number) + " - " +
                        caught.Description,
                    vb::vbCritical);
    return 0;
}

bool DBFunc::CriaBanco(int Tipo, const QString& vServidor, const QString& vBancoDados, const QString& vUsuario,
                       const QString& vSenha)
{
    ADOX::Catalog catalog;
    // Every step is tried; the result tells whether one of them failed, and the failure stays pending in Err.
    vb::Err.Clear();
    vb::ErrObject failure;
    const auto attempt = [&failure](const auto& step) {
        try {
            step();
        } catch (...) {
            failure.SetFromCurrentException();
        }
    };
    if (Tipo != 1) {
        if (AbreConexao(0, false, 1, vServidor, "Master", vUsuario, vSenha, true, 60, 30) == 1) {
            // A bracketed name ends at "]": one inside the name is doubled, as the server reads it.
            attempt([&] { connection().Execute("Create Database [" + QString(vBancoDados).replace("]", "]]") + "]"); });
            attempt([&] { FechaConexao(); });
        }
    } else {
        attempt([&] { catalog.Create("Provider=Microsoft.Jet.OLEDB.3.51;Data Source=" + vBancoDados); });
    }
    if (failure.Number != 0)
        vb::Err = failure;
    return failure.Number == 0;
}

void DBFunc::FechaConexao()
{
    if (m_cn) {
        m_cn->Close();
        m_cn.reset();
    }
}

void DBFunc::setVariavelADODBConnection(std::shared_ptr<ADODB::Connection> connection)
{
    m_cn = std::move(connection);
}
