#include "scheduling/load/RunningOperations_p.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "core/StringBuilder.h"
#include "scheduling/placement/PlacementEngine_p.h"
#include "scheduling/store/Moments_p.h"
#include "scheduling/store/UnscheduledOperations_p.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"

using scheduling::column;
using scheduling::hasRow;

namespace modMonta {

namespace {

QString runningOperationsSql()
{
    StringBuilder sql;
    sql.defineCaracter(Modulo::vbCrLf);
    sql.append(QStringLiteral("Select CadSeq.Auto,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,"));
    if (Modulo::Refugo)
        sql.append(QStringLiteral(
            " (    CadPos.Quant - cadseq.qtdapontada -    isnull((select sum(r.qtdrejeitada)  from cadsolrefugo as r "
            "where r.situacao=1 and r.programa in(select s.auto from cadseq as s where s.posicao = cadpos.auto and "
            "s.sequencia<=cadseq.sequencia)),0) -     isnull((select sum(p.qtd)  from cadsolrefugo as p where "
            "p.situacao=0 and p.programa = cadseq.auto),0) )as QuantRestante,"));
    else
        sql.append(QStringLiteral(" (    CadPos.Quant - cadseq.qtdapontada)as QuantRestante,"));
    sql.append(QStringLiteral(" CadSeq.TempoUnitario,CadSeq.Posto,CadSeq.NaoTrocarPosto,"
                              "isnull(cados.datainiciominimo,cados.data)as DataInicioMinimo"));
    sql.append(scheduling::positionOperationsFrom());
    sql.append(QStringLiteral("inner join cadfilavorna with(nolock) on cadpos.nrserv = cadfilavorna.nrserv"));
    sql.append(QStringLiteral("inner join cadexe with(nolock) on cadseq.auto=cadexe.programa"));
    sql.append(QStringLiteral("inner join cados with(nolock) on cadpos.nrserv=cados.nrserv"));
    sql.append(QStringLiteral("Where CadSeq.Auto Not in(select seqauto from cadprogvorna)"));
    sql.append(QStringLiteral("and cadseq.concluido=0"));
    sql.append(QStringLiteral("and cadexe.executando=1"));
    sql.append(QStringLiteral("And cadpos.concluido = 0"));
    sql.append(QStringLiteral("Order by cadfilavorna.ordem"));
    return sql.Texto();
}

}  // namespace

void MontaProgramasEmExecucao()
{
    const auto programas = scheduling::query(runningOperationsSql());
    for (; hasRow(*programas); programas->MoveNext()) {
        const auto value = [&programas](const char* name) { return column(*programas, QString::fromLatin1(name)); };
        const std::int32_t seqAuto = vb::CLng(value("Auto"));
        const std::int32_t nrServ = vb::CLng(value("NrServ"));
        QString posto = vb::CStr(value("Posto"));
        // No successor is named, so a waiting time of the station goes to the parent position's first operation.
        const bool placed = AlocaPrograma(seqAuto, -1, 0, 0, true, nrServ, vb::CDbl(value("TempoPreparo")),
                                          vb::CDbl(value("Quant")), vb::CDbl(value("QuantRestante")),
                                          vb::CDbl(value("TempoUnitario")), posto, vb::CBool(value("NaoTrocarPosto")),
                                          true, scheduling::dateOrZero(value("DataInicioMinimo")));
        if (!placed)
            Modulo::GravaLog(QStringLiteral("O programa ") + scheduling::number(seqAuto) + QStringLiteral(" da O.S.: ") +
                             scheduling::number(nrServ) +
                             QStringLiteral(", que esta em execução falhou ao ser inserido no vorna."));
    }
}

}  // namespace modMonta
