#include "scheduling/SchedulerState.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/StationList_p.h"

using scheduling::column;
using scheduling::hasRow;
using scheduling::opened;

namespace modMonta {

vb::Date DataLimite;
vb::Date ProximoInicio;
vb::Date MomentoAtual;
bool DivideVorna = false;
std::shared_ptr<ADODB::Recordset> PostosCarregados;

void CarregaPostos()
{
    PostosCarregados = BancoAtual().CarregaRecordset(
        QStringLiteral("select cadposto.Codigo,isnull(CadPosto.RendMaq,0) as RendMaq,"
                       "isnull(CadPosto.QtdInterSeq,0)as QtdInterSeq,CadPosto.Tipo as Grupo,"
                       "isnull(CadGruMaq.Tipo,0) as Tipo,cadposto.descricao from cadposto with(nolock) "
                       "inner join cadgrumaq with(nolock) on cadposto.tipo =cadgrumaq.codigo "
                       "where cadposto.inativo=0 order by cadposto.codigo"),
        true);
}

void LeDataLimite()
{
    const auto parametros = scheduling::query(QStringLiteral("select ultcale from cadparbex with(nolock)"));
    if (hasRow(*parametros)) {
        const vb::Variant ultcale = column(*parametros, QStringLiteral("ultcale"));
        if (!ultcale.isNull())
            DataLimite = vb::CDate(ultcale);
    }
    Modulo::GravaLog(QStringLiteral("Data Limite: ") + vb::Format(DataLimite, QStringLiteral("dd/mm/yyyy")));
}

void LeProximoInicio()
{
    MomentoAtual = BancoAtual().DataHora();
    if (MomentoAtual < ProximoInicio)
        return;
    // Shift starts and break ends of every station, switched off or not.
    const std::shared_ptr<ADODB::Connection> connection = BancoAtual().VariavelADODBConnection();
    if (!connection)
        vb::raiseError(vb::ErrNo::ObjectVariableNotSet);
    const auto next = opened(connection->Execute(QStringLiteral(
        "select isnull(min(d.i),getdate()) as proximoinicio from(select inicio as i from cadcale2 with(nolock) "
        "where inicio>getdate()union all select fimintervalo as i from cadcale2 with(nolock) "
        "where fimintervalo>getdate() )as d")));
    ProximoInicio = vb::CDate(column(*next, QStringLiteral("proximoinicio")));
}

}  // namespace modMonta

namespace Modulo {

int TipoGrupoPosto(const QString& Posto)
{
    const vb::Variant tipo = scheduling::stationListValue(scheduling::ScheduleRun::current(), Posto, QStringLiteral("Tipo"));
    if (tipo.isEmpty() || tipo.isNull())
        return 0;
    return vb::CLng(vb::Variant(vb::Val(vb::CStr(tipo))));
}

}  // namespace Modulo

namespace scheduling {

vb::Variant stationListValue(ScheduleRun* run, const QString& Posto, const QString& name)
{
    const auto postos = opened(modMonta::PostosCarregados);
    if (run) {
        if (const auto known = run->lookups.stationValue(postos.get(), Posto, name))
            return *known;
    }
    const vb::Variant value = BancoAtual().FindFirst(*postos, QStringLiteral("Codigo = ") + quotedText(Posto))
                                  ? column(*postos, name)
                                  : vb::Variant();
    if (run)
        run->lookups.rememberStationValue(postos.get(), Posto, name, value);
    return value;
}

}  // namespace scheduling
