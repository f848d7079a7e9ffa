#include "scheduling/placement/PlacementEngine_p.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "runtime/Format.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"
#include "scheduling/store/StationList_p.h"

using scheduling::number;
using scheduling::stationListValue;

namespace modMonta {

namespace {

double stationNumber(scheduling::ScheduleRun* run, const QString& Posto, const QString& name)
{
    const vb::Variant value = stationListValue(run, Posto, name);
    return value.isEmpty() ? 0 : Modulo::ValorNumerico(value);
}

}  // namespace

double AplicaRendimento(double Duracao, const QString& Posto)
{
    double rendimento = stationNumber(scheduling::ScheduleRun::current(), Posto, QStringLiteral("rendmaq"));
    if (rendimento <= 0)
        rendimento = 100;
    return vb::CDbl(vb::Format((100 / rendimento) * Duracao, QStringLiteral("0.000")));
}

void AplicaIntervaloSequencias(const QString& Posto, vb::Date Fim, std::int32_t SeqAuto, std::int32_t& AutoProx)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    const double hours = stationNumber(run, Posto, QStringLiteral("qtdinterseq"));
    if (hours <= 0)
        return;
    if (AutoProx == 0) {
        // The last operation of a position waits for the first one of its parent position.
        AutoProx = vb::CLng(banco.DBSeek(
            QStringLiteral("cadpos as p1 with(nolock) inner join cadseq as s1 with(nolock) on p1.auto=s1.posicao "
                           "inner join cadpos as p2 with(nolock) on p1.pai=p2.auto inner join cadseq as s2 "
                           "with(nolock) on p2.auto=s2.posicao"),
            QStringLiteral("s2.auto"), QStringLiteral("s1.auto = ") + number(SeqAuto), true, true,
            QStringLiteral("s2.sequencia")));
    }
    if (AutoProx <= 0)
        return;

    const vb::Date novoInicio = vb::DateAdd(QStringLiteral("h"), hours, Fim);
    const auto known = run ? run->minimumStarts.known(AutoProx) : std::nullopt;
    const vb::Variant atual = known ? *known
                                    : banco.DBSeek(QStringLiteral("cadseq"), QStringLiteral("InicioMinimo"),
                                                   QStringLiteral("Auto=") + number(AutoProx));
    // A later minimum start that is there already stays.
    if (vb::IsDate(atual) && vb::CDate(atual) > novoInicio)
        return;
    scheduling::pushMinimumStart(banco, run, AutoProx, novoInicio);
}

}  // namespace modMonta
