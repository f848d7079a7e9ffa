#include "legacy/clsCarrega.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/StringBuilder.h"
#include "legacy/clsOS.h"
#include "legacy/colPostos.h"
#include "scheduling/Records.h"

using scheduling::column;
using scheduling::query;

namespace {

std::uint8_t CByte(const vb::Variant& value)
{
    const std::int32_t number = vb::CLng(value);
    if (number < 0 || number > 255)
        vb::raiseError(vb::ErrNo::Overflow);
    return std::uint8_t(number);
}

// The positions whose code begins with p1's: the position and its descendants. SQL Server has no & and
// no * wildcard; a prefix comparison says the same there.
QString descendantCondition(const DBFunc& banco)
{
    if (banco.TipoBanco == 1)
        return "hierarquia like p1.Hierarquia & '*')";
    return "left(hierarquia, len(p1.Hierarquia)) = p1.Hierarquia)";
}

}  // namespace

void clsCarrega::Carrega(std::int32_t Empresa, const clsPeriodo& Periodo, std::shared_ptr<colPostos>& Postos)
{
    const auto rows = query("Select Codigo,Descricao,Empresa,Tipo From CadPosto Where Empresa = "
                            + QString::number(Empresa) + " Order By Codigo");
    if (rows->adoEOF())
        return;
    Postos = std::make_shared<colPostos>();
    Postos->Empresa = Empresa;
    for (; !rows->adoEOF(); rows->MoveNext())
        Postos->Add(vb::CStr(column(*rows, "Codigo")), vb::CStr(column(*rows, "Descricao")),
                    CByte(column(*rows, "Tipo")), Periodo);
}

void clsCarrega::InserirOS(std::int32_t NrServ, const std::shared_ptr<colPostos>&)
{
    CalculaEtapas(NrServ);
    const auto os = std::make_shared<clsOS>();
    os->NrServ = NrServ;
    os->CarregaOS();
    // Released: its positions let it go.
    os->Posicoes.Clear();
}

void clsCarrega::CalculaEtapas(std::int32_t NrServ)
{
    DBFunc& banco = BancoAtual();
    banco.BenginTrans();
    try {
        StringBuilder sql;
        sql.defineCaracter(" ");
        sql.append("Select p1.auto,");
        sql.append("((SELECT max(len(hierarquia) - len(p1.hierarquia)) as filhos");
        sql.append("from cadpos where nrserv = p1.nrserv and " + descendantCondition(banco));
        sql.append("/");
        sql.append("((Select Len(hierarquia) from cadpos where nrserv = p1.nrserv and pai=0 ) + 1)) as Etapa");
        sql.append("From CadPos p1 Where p1.nrserv = " + QString::number(NrServ));

        const auto rows = query(sql.Texto());
        for (; !rows->adoEOF(); rows->MoveNext())
            banco.ExecutaComando("update cadpos set etapa = " + vb::CStr(column(*rows, "Etapa"))
                                 + " where auto = " + vb::CStr(column(*rows, "auto")));
    } catch (...) {
        banco.RollBackTrans();
        throw;
    }
    banco.CommitTrans();
}
