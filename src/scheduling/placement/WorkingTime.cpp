#include "scheduling/placement/WorkingTime_p.h"

#include "ado/Recordset.h"
#include "core/InformationLog.h"
#include "core/StringBuilder.h"
#include "core/BancoAtual.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <algorithm>

using scheduling::column;
using scheduling::hasRow;
using scheduling::minuteText;
using scheduling::quotedText;

namespace modMonta {

bool CalculaFimCalendario(const QString& Posto, vb::Date Inicio, vb::Date& Fim, double& Duracao)
{
    if (Inicio > Fim)
        Fim = vb::DateAdd(QStringLiteral("n"), Duracao, Inicio);
    if (Fim > DataLimite)
        modCalendario::MontaCalendario(vb::DateAdd(QStringLiteral("m"), modCalendario::MesesCalendario, Fim));

    // Held for the whole computation: a calendar rebuilt meanwhile does not pull the periods away.
    const auto calendario = modCalendario::CalendariosPostos.PostoCalendario(Posto);
    const std::vector<clsPeriodo>& periodos = calendario->cPeri;
    Duracao = vb::Int(Duracao);
    if (periodos.empty())
        return false;

    // The periods never overlap, so their ends ascend with their starts.
    const auto first = std::partition_point(periodos.begin(), periodos.end(),
                                            [Inicio](const clsPeriodo& p) { return p.Fim() <= Inicio; });
    if (first == periodos.end())
        return false;
    // Minutes into the first period and the free minutes before it. A start before the period (in a break,
    // at night) counts from the period's start: the time before it is not working time.
    const double offset = std::max(0.0, double(vb::DateDiff(QStringLiteral("n"), first->Inicio(), Inicio)));
    const double base = first->TempoTotal - first->Tempo(QStringLiteral("n"));

    for (auto period = first; period != periodos.end(); ++period) {
        const double cumulated = period->TempoTotal - base;
        if (offset + Duracao <= cumulated) {
            const vb::Date end = vb::DateAdd(QStringLiteral("n"), -(cumulated - offset - Duracao), period->Fim());
            if (end > Fim)
                return false;
            Fim = end;
            return true;
        }
    }
    return false;
}

bool IntervaloLivre(const QString& Posto, vb::Date Inicio, vb::Date Fim)
{
    // The working-time test needs no query: done first, it spares the bookings read for most refusals.
    if (!DentroCalendario(Posto, Inicio, Fim))
        return false;
    if (scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current())
        return !run->bookings.overlaps(Posto, Inicio, Fim);

    const QString inicio = quotedText(minuteText(Inicio));
    const QString fim = quotedText(minuteText(Fim));
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("SELECT CadProgVorna.Auto"));
    sql.append(QStringLiteral("FROM CadProgVorna with(nolock)"));
    sql.append(QStringLiteral("WHERE Posto = ") + quotedText(Posto));
    sql.append(QStringLiteral("AND ((Inicio >= %1 AND Fim <= %2) OR (Inicio < %2 AND Fim > %1))").arg(inicio, fim));
    return !hasRow(*scheduling::query(sql.Texto()));
}

namespace {

// Whether a period that starts no later than `limit` holds the moment. The periods never overlap, so only
// the last one that starts at or before the moment, and those before it that end right at the moment, can.
bool inPeriod(const std::vector<clsPeriodo>& periodos, vb::Date moment, vb::Date limit)
{
    for (auto p = std::partition_point(periodos.begin(), periodos.end(),
                                       [moment](const clsPeriodo& q) { return q.Inicio() <= moment; });
         p != periodos.begin();) {
        --p;
        if (p->Fim() < moment)
            return false;
        if (p->Inicio() <= limit)
            return true;
    }
    return false;
}

}  // namespace

bool DentroCalendario(const QString& Posto, vb::Date A, vb::Date B)
{
    // Periods that start after B are not looked at, for A either.
    const auto calendario = modCalendario::CalendariosPostos.PostoCalendario(Posto);
    return inPeriod(calendario->cPeri, A, B) && inPeriod(calendario->cPeri, B, B);
}

vb::Date ProximoInicioCalendario(const QString& Posto, vb::Date Momento)
{
    const auto calendario = modCalendario::CalendariosPostos.PostoCalendario(Posto);
    const auto next = std::partition_point(calendario->cPeri.begin(), calendario->cPeri.end(),
                                           [Momento](const clsPeriodo& p) { return p.Inicio() < Momento; });
    return next == calendario->cPeri.end() ? Momento : next->Inicio();
}

void ProximoTempoLivre(const QString& Posto, vb::Date Limite, vb::Date& Momento, bool Maior)
{
    const std::optional<scheduling::NextWorkingRows> proximo = scheduling::nextWorkingRows(BancoAtual(), scheduling::ScheduleRun::current(), Posto, Momento);
    if (!proximo) {
        Modulo::GravaLog(QStringLiteral("nao tem tempo futuro!!"));
        return;
    }
    const vb::Variant& ini1 = proximo->ini1;
    const vb::Variant& ini2 = proximo->ini2;
    if (ini1.isNull() || ini2.isNull()) {
        // No working row after Momento: the calendar must reach further first.
        if (modCalendario::MontaCalendario(
                vb::DateAdd(QStringLiteral("m"), modCalendario::MesesCalendario, DataLimite)))
            modCalendario::MontaCalendarioPostos();
        return;
    }
    const vb::Date primeiro = vb::CDate(ini1);
    const vb::Date segundo = vb::CDate(ini2);
    Momento = Maior ? std::max(primeiro, segundo) : std::min(primeiro, segundo);
    if (Limite > Momento)
        Momento = Limite;
}

}  // namespace modMonta
