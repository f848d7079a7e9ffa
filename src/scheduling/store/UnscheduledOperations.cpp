#include "scheduling/store/UnscheduledOperations_p.h"

#include "ado/Recordset.h"
#include "core/StartupSettings.h"
#include "core/StringBuilder.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <QHash>
#include <QSet>

namespace scheduling {

namespace {

// positionColumn leads the columns; where picks the positions.
QString unscheduledOperationsSql(const QString& positionColumn, const QString& where, const QString& orderBy)
{
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("Select ") + positionColumn +
               QStringLiteral("CadSeq.Auto,cadseq.sequencia,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,"));
    sql.append(QStringLiteral("("));
    if (Modulo::Refugo) {
        sql.append(QStringLiteral("   CadPos.Quant - cadseq.QtdApontada -"));
        sql.append(QStringLiteral("   isnull((select sum(r.qtdrejeitada)  from cadsolrefugo as r with(nolock) where "
                                  "r.situacao=1 and r.programa in(select s.auto from cadseq as s with(nolock) where "
                                  "s.posicao = cadpos.auto and s.sequencia<=cadseq.sequencia)),0) - "));
        sql.append(QStringLiteral("   isnull((select sum(p.qtd)  from cadsolrefugo as p with(nolock) where "
                                  "p.situacao=0 and p.programa = cadseq.auto),0)"));
    } else {
        sql.append(QStringLiteral("   CadPos.Quant - cadseq.QtdApontada "));
    }
    sql.append(QStringLiteral(")as QuantRestante,"));
    sql.append(QStringLiteral("CadSeq.TempoUnitario,CadSeq.Posto,CadSeq.NaoTrocarPosto,"
                              "isnull(cados.datainiciominimo,cados.data)as DataInicioMinimo,cadseq.InicioMinimo, "));
    sql.append(QStringLiteral(" isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = "
                              "CadPos.Auto and SeqA.Sequencia < CadSeq.Sequencia order by seqa.sequencia desc),0)"
                              "as AutoAnt,"));
    sql.append(QStringLiteral(" isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = "
                              "CadPos.Auto and SeqA.Sequencia > CadSeq.Sequencia order by seqa.sequencia),0)"
                              "as AutoProx,"));
    sql.append(QStringLiteral(" (Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = CadPos.Auto "
                              "order by seqa.sequencia) as AutoPrimeira "));
    sql.append(positionOperationsFrom());
    sql.append(QStringLiteral("inner join cados with(nolock) on cadpos.nrserv =cados.nrserv"));
    sql.append(QStringLiteral("left join cadprogvorna with(nolock) on cadseq.auto = cadprogvorna.seqauto"));
    sql.append(where);
    sql.append(QStringLiteral("and cadprogvorna.seqauto is null"));
    sql.append(QStringLiteral("and cadseq.concluido=0"));
    sql.append(QStringLiteral("and isnull(cadseq.apont2,'')<>'O'"));
    sql.append(QStringLiteral("And cadpos.concluido = 0"));
    sql.append(orderBy);
    return sql.Texto();
}

UnscheduledOperation rowOf(ADODB::Recordset& rows)
{
    const auto value = [&rows](const char* name) { return column(rows, QString::fromLatin1(name)); };
    return {value("Auto"),          value("NrServ"),         value("TempoPreparo"),     value("Quant"),
            value("QuantRestante"), value("TempoUnitario"),  value("Posto"),            value("NaoTrocarPosto"),
            value("DataInicioMinimo"), value("InicioMinimo"), value("AutoAnt"),         value("AutoProx"),
            value("AutoPrimeira")};
}

// Kept for the run, a push to a later operation needs no read of its row.
void rememberMinimumStarts(ScheduleRun& run, const std::vector<UnscheduledOperation>& operations)
{
    for (const UnscheduledOperation& op : operations)
        run.minimumStarts.read(vb::CLng(op.Auto), op.InicioMinimo);
}

}  // namespace

std::vector<UnscheduledOperation> unscheduledOperations(DBFunc& banco, ScheduleRun* run, std::int32_t PosAuto)
{
    if (run) {
        KeptOperations& kept = run->unscheduledOperations;
        if (const auto found = kept.find(PosAuto); found != kept.end()) {
            std::vector<UnscheduledOperation> operations = std::move(*found);
            kept.erase(found);
            return operations;
        }
    }
    const auto rows =
        query(banco, unscheduledOperationsSql(QString(), QStringLiteral("Where CADPOS.AUTO = ") + number(PosAuto),
                                              QStringLiteral("Order By cadseq.Sequencia")));
    std::vector<UnscheduledOperation> operations;
    for (; hasRow(*rows); rows->MoveNext())
        operations.push_back(rowOf(*rows));
    if (run)
        rememberMinimumStarts(*run, operations);
    return operations;
}

void keepUnscheduledOperations(ScheduleRun& run, std::int32_t NrServ)
{
    KeptOperations& kept = run.unscheduledOperations;
    kept.clear();
    const auto rows = query(run.banco(), unscheduledOperationsSql(QStringLiteral("CadPos.Auto as PosAuto,"),
                                                     QStringLiteral("Where CADPOS.NRSERV = ") + number(NrServ),
                                                     QStringLiteral("Order By CadPos.Auto,cadseq.Sequencia")));
    QSet<std::int32_t> unordered;  // equal or missing Sequencia: the position's own read decides their order
    vb::Variant previous;
    for (; hasRow(*rows); rows->MoveNext()) {
        const std::int32_t posAuto = vb::CLng(column(*rows, QStringLiteral("PosAuto")));
        const vb::Variant sequencia = column(*rows, QStringLiteral("sequencia"));
        std::vector<UnscheduledOperation>& operations = kept[posAuto];
        if (sequencia.isNull() ||
            (!operations.empty() && (previous.isNull() || vb::CDbl(previous) == vb::CDbl(sequencia))))
            unordered.insert(posAuto);
        previous = sequencia;
        operations.push_back(rowOf(*rows));
    }
    for (const std::int32_t posAuto : unordered)
        kept.remove(posAuto);
    for (const auto& operations : std::as_const(kept))
        rememberMinimumStarts(run, operations);
}

QString positionOperationsFrom()
{
    return QStringLiteral("From CadPos with(nolock) Inner Join CadSeq with(nolock) On CadPos.Auto = CadSeq.Posicao");
}

}  // namespace scheduling
