#include "scheduling/store/QueuedWorkOrders_p.h"

#include "ado/Recordset.h"
#include "scheduling/Records.h"

namespace scheduling {

namespace {

QString existsColumn(WorkOrderCheck check, const QString& name)
{
    return QStringLiteral("CASE WHEN EXISTS(SELECT * FROM ") + checkTables(check) + QStringLiteral(" Where ") +
           checkFilter(check, QStringLiteral("f.nrserv")) + QStringLiteral(") THEN 1 ELSE 0 END AS ") + name;
}

// The work order's entry in what is kept, read for the whole queue at the first ask of the run.
template <class Value, class Read>
std::optional<Value> kept(std::optional<QHash<std::int32_t, Value>>& byWorkOrder, const Read& read, std::int32_t NrServ)
{
    if (!byWorkOrder)
        byWorkOrder = read();
    const auto found = byWorkOrder->constFind(NrServ);
    if (found == byWorkOrder->constEnd())
        return std::nullopt;
    return *found;
}

}  // namespace

QString checkTables(WorkOrderCheck check)
{
    return check == WorkOrderCheck::PositionWithoutOperation
               ? QStringLiteral("cadpos with(nolock) left join cadseq  with(nolock) on cadpos.auto=cadseq.posicao")
               : QStringLiteral(
                     "cadseq with(nolock) inner join cadposto with(nolock) on cadseq.posto= cadposto.codigo");
}

QString checkFilter(WorkOrderCheck check, const QString& nrServ)
{
    return check == WorkOrderCheck::PositionWithoutOperation
               ? QStringLiteral("cadseq.auto is null and cadpos.nrserv = ") + nrServ
               : QStringLiteral("cadposto.inativo<>0 and cadseq.concluido=0 and cadseq.nrserv=") + nrServ;
}

QHash<std::int32_t, QStringList> QueuedWorkOrders::readStations() const
{
    const auto rows =
        query(m_banco, QStringLiteral("SELECT s.nrserv, s.posto FROM cadseq as s with(nolock) inner join "
                                      "cadfilavorna as f with(nolock) on f.nrserv = s.nrserv group by s.nrserv, "
                                      "s.posto"));
    QHash<std::int32_t, QStringList> byWorkOrder;
    QList<std::int32_t> withoutStation;  // left to their own read, which fails as it should
    for (; hasRow(*rows); rows->MoveNext()) {
        const std::int32_t nrServ = vb::CLng(column(*rows, QStringLiteral("nrserv")));
        const vb::Variant posto = column(*rows, QStringLiteral("posto"));
        if (posto.isNull())
            withoutStation << nrServ;
        else
            byWorkOrder[nrServ] << vb::CStr(posto);
    }
    for (const std::int32_t nrServ : withoutStation)
        byWorkOrder.remove(nrServ);
    return byWorkOrder;
}

QHash<std::int32_t, WorkOrderRow> QueuedWorkOrders::readWorkOrderRows() const
{
    const auto rows =
        query(m_banco, QStringLiteral("SELECT f.nrserv AS Fila, CadOS.NrServ, CadOS.dtEntr, CadOS.situacao, "
                                      "CadOS.OS_PCP FROM cadfilavorna as f with(nolock) inner join CadOS "
                                      "with(nolock) on CadOS.nrserv = f.nrserv"));
    QHash<std::int32_t, WorkOrderRow> byWorkOrder;
    for (; hasRow(*rows); rows->MoveNext()) {
        const auto value = [&rows](const char* name) { return column(*rows, QString::fromLatin1(name)); };
        const std::int32_t nrServ = vb::CLng(value("Fila"));
        if (!byWorkOrder.contains(nrServ))
            byWorkOrder.insert(nrServ, {value("NrServ"), value("dtEntr"), value("situacao"), value("OS_PCP")});
    }
    return byWorkOrder;
}

QHash<std::int32_t, QueuedWorkOrders::Answers> QueuedWorkOrders::readQueue() const
{
    const auto rows =
        query(m_banco, QStringLiteral("SELECT f.nrserv, ") +
                           existsColumn(WorkOrderCheck::PositionWithoutOperation, QStringLiteral("SemOperacao")) +
                           QStringLiteral(", ") +
                           existsColumn(WorkOrderCheck::InactiveStation, QStringLiteral("PostoInativo")) +
                           QStringLiteral(" FROM cadfilavorna as f with(nolock)"));
    QHash<std::int32_t, Answers> answers;
    for (; hasRow(*rows); rows->MoveNext())
        answers.insert(vb::CLng(column(*rows, QStringLiteral("nrserv"))),
                       {vb::CBool(column(*rows, QStringLiteral("SemOperacao"))),
                        vb::CBool(column(*rows, QStringLiteral("PostoInativo")))});
    return answers;
}

std::optional<bool> QueuedWorkOrders::check(WorkOrderCheck check, std::int32_t NrServ)
{
    const std::optional<Answers> answers = kept(
        m_checkAnswers, [this] { return readQueue(); }, NrServ);
    if (!answers)
        return std::nullopt;
    return check == WorkOrderCheck::PositionWithoutOperation ? answers->positionWithoutOperation
                                                             : answers->inactiveStation;
}

std::optional<QStringList> QueuedWorkOrders::stations(std::int32_t NrServ)
{
    return kept(
        m_stations, [this] { return readStations(); }, NrServ);
}

std::optional<WorkOrderRow> QueuedWorkOrders::workOrderRow(std::int32_t NrServ)
{
    return kept(
        m_workOrderRows, [this] { return readWorkOrderRows(); }, NrServ);
}

}  // namespace scheduling
