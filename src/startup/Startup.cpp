#include "startup/Startup.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "startup/FrmSelBanco.h"
#include "desktop/ProgramEnd.h"
#include "desktop/WindowRoutines.h"
#include "runtime/Err.h"
#include "runtime/Ini.h"
#include "runtime/UiServices.h"
#include "scheduling/CalendarGeneration.h"

#include <QFile>

#include <algorithm>

namespace Modulo {

namespace {

const QString builtInPassword = QStringLiteral("brumaleto6093");

std::function<bool()>& databaseCreation()
{
    static std::function<bool()> creation;
    return creation;
}

// A number is rounded (halves to even) and brought into 6..60; anything else keeps the current value,
// brought into 6..60 as well. Rounding as a Double first keeps a huge value from overflowing.
int calendarMonths(const QString& text, int current)
{
    const double months = vb::IsNumeric(text) ? vb::Round(vb::CDbl(text)) : double(current);
    return int(std::clamp(months, 6.0, 60.0));
}

[[noreturn]] void refuse(const QString& message, int style)
{
    vb::Ui().MsgBox(message, style);
    endProgram();
}

int openConnection(int commandTimeout)
{
    return BancoAtual().AbreConexao(0, false, 1, ServidorIni, BancoIni, UsuarioIni, SenhaIni, true, 60,
                                    commandTimeout);
}

// Opens the database, offering to create it when the server reports it missing. False when the creation
// or the connection to the new database failed.
bool connectOrCreate(int commandTimeout)
{
    const int opened = openConnection(commandTimeout);
    if (opened == 0)
        endProgram();  // the data-access object has told why
    if (opened == 1)
        return true;

    vb::Ui().MsgBox(QStringLiteral("Banco de Dados SQLSERVER não localizado!"), vb::vbInformation);
    const int answer = vb::Ui().MsgBox(
        QStringLiteral("Deseja criar um Banco de Dados Vazio. Esta operação poderá levar alguns minutos."),
        vb::vbYesNo | vb::vbQuestion);
    if (answer != vb::vbYes)
        refuse(QStringLiteral("O programa não pode continuar sem o Banco de Dados. Contate Vendedor ou Suporte "
                              "Técnico."),
               vb::vbCritical);

    const bool created = databaseCreation() ? databaseCreation()() : startup::createChosenDatabase();
    if (!created)
        return false;
    BancoAtual().setVariavelADODBConnection(nullptr);
    return openConnection(30) != 0;
}

// True when the connection is settled; false when the database could not be created or reached after its
// creation (the error box follows).
bool readSettingsAndConnect()
{
    const QString iniPath = CaminhoApp() + QStringLiteral("/Util/Config.ini");
    if (QFile::exists(iniPath) && !QFile(iniPath).open(QIODevice::ReadOnly))
        vb::raiseError(vb::ErrNo::PermissionDenied);
    // One reading for the chooser's list and the chosen section's keys.
    const vb::IniFile config(iniPath);
    SecaoConexao.clear();
    {
        FrmSelBanco chooser(config);
        CentralizaForm(&chooser, 1, false);
        vb::Ui().DoEvents();
        if (chooser.endRequested())
            endProgram();
    }

    SecaoConexao = QStringLiteral("Conexao") + (SecaoConexao == QLatin1String("0") ? QString() : SecaoConexao);
    const auto ini = [&](const char* key) { return config.value(SecaoConexao, QString::fromLatin1(key)); };
    TipoBancoIni = ini("TipoBanco");
    ServidorIni = ini("Servidor");
    BancoIni = ini("Banco");
    SenhaIni = ini("Senha");
    UsuarioIni = ini("Usuario");
    TimeOutIni = ini("TimeOut");
    PorTempo = ini("PorTempo") == QLatin1String("1");
    ModoSequencia = ini("ModoSequencia") == QLatin1String("1");
    modCalendario::MesesCalendario = calendarMonths(ini("NrMesesCalendario"), modCalendario::MesesCalendario);

    if (TipoBancoIni.isEmpty() || BancoIni.isEmpty() || ServidorIni.isEmpty())
        refuse(QStringLiteral("Definir parâmetros no arquivo CONFIG.INI (TipoBanco\\Servidor\\Banco)!"),
               vb::vbInformation);
    BancoAtual().TipoBanco = vb::CLng(TipoBancoIni);
    if (BancoAtual().TipoBanco != 0)
        refuse(QStringLiteral("Tipo de banco de dados inválido!"), vb::vbInformation);

    if (SenhaIni.isEmpty())
        SenhaIni = builtInPassword;
    if (UsuarioIni.isEmpty())
        UsuarioIni = QStringLiteral("sa");
    if (TimeOutIni.isEmpty())
        TimeOutIni = QStringLiteral("60");
    const std::int32_t timeOut = vb::CLng(TimeOutIni);
    if (timeOut < 0)
        refuse(QStringLiteral("TimeOut inválido no arquivo CONFIG.INI: ") + TimeOutIni, vb::vbInformation);

    if (!connectOrCreate(timeOut))
        return false;
    // The plant's tables are what the program reads first: a database without them would fail later, unclear.
    if (BancoAtual().RecordCount(QStringLiteral("sys.tables"), QStringLiteral("name = 'CadParBex'")) == 0)
        refuse(QStringLiteral("O Banco de Dados %1 do servidor %2 não contém as tabelas do programa.")
                   .arg(BancoIni, ServidorIni),
               vb::vbCritical);
    return true;
}

}  // namespace

void Inicializa()
{
    try {
        if (readSettingsAndConnect())
            return;
    } catch (const std::exception&) {
        vb::Err.SetFromCurrentException();
    }
    vb::Ui().MsgBox(QStringLiteral("Erro: ") + QString::number(vb::Err.Number) + QStringLiteral(" - ") +
                    vb::Err.Description);
    vb::Err.Clear();
    endProgram();
}

}  // namespace Modulo

namespace startup {

bool createChosenDatabase()
{
    return BancoAtual().CriaBanco(0, Modulo::ServidorIni, Modulo::BancoIni, Modulo::UsuarioIni, Modulo::SenhaIni);
}

void setDatabaseCreation(std::function<bool()> creation)
{
    Modulo::databaseCreation() = std::move(creation);
}

}  // namespace startup
