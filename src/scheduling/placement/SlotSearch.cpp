#include "scheduling/placement/SlotSearch_p.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/StringBuilder.h"
#include "runtime/UiServices.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/placement/WorkingTime_p.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/StationList_p.h"

#include <optional>

using scheduling::column;
using scheduling::hasRow;
using scheduling::minuteText;
using scheduling::quotedText;

namespace modMonta {

namespace {

using scheduling::Booking;
using scheduling::BookingsFrom;

// The station's bookings that start or end at or after the moment, by start.
BookingsFrom bookingsFrom(DBFunc& banco, scheduling::ScheduleRun* run, const QString& Posto, vb::Date moment)
{
    if (run)
        return run->bookings.from(Posto, moment);
    const QString from = quotedText(minuteText(moment));
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("SELECT Inicio,Fim"));
    sql.append(QStringLiteral("FROM CadProgVorna with(nolock)"));
    sql.append(QStringLiteral("WHERE posto = ") + quotedText(Posto));
    sql.append(QStringLiteral("AND (Inicio >= ") + from);
    sql.append(QStringLiteral("OR Fim >= ") + from + QLatin1Char(')'));
    sql.append(QStringLiteral("order by inicio"));
    const auto rows = scheduling::query(banco, sql.Texto());
    BookingsFrom bookings;
    for (; hasRow(*rows); rows->MoveNext())
        bookings.before.push_back(scheduling::booking(vb::CDate(column(*rows, QStringLiteral("Inicio"))),
                                                      vb::CDate(column(*rows, QStringLiteral("Fim")))));
    return bookings;
}

QString stationDescription(scheduling::ScheduleRun* run, const QString& Posto)
{
    const vb::Variant descricao = scheduling::stationListValue(run, Posto, QStringLiteral("descricao"));
    return descricao.isNull() ? QString() : vb::CStr(descricao);
}

// One search; the caller's Encontrado and Fim are written as it goes.
class Search {
public:
    Search(DBFunc& banco, scheduling::ScheduleRun* run, const QString& posto, vb::Date inicio, double duracao,
           bool& encontrado, vb::Date& fim)
        : m_banco(banco), m_run(run), m_posto(posto), m_requested(inicio), m_duracao(duracao), m_encontrado(encontrado), m_fim(fim)
    {
    }

    vb::Date run(bool executando)
    {
        m_encontrado = false;
        if (!executando) {
            const BookingsFrom bookings = bookingsFrom(m_banco, m_run, m_posto, m_requested);
            if (!bookings.empty())
                return amongBookings(bookings);
        }
        return withoutBookings(executando);
    }

private:
    vb::Date amongBookings(const BookingsFrom& bookings)
    {
        const Booking& first = bookings[0];
        const long long before = vb::DateDiff(QStringLiteral("n"), m_requested, first.inicio);
        if (before > 0 && before >= m_duracao && fits(m_requested, first.inicio))
            return found(m_requested);

        for (std::size_t i = 0; i + 1 < bookings.size(); ++i) {
            const Booking& booking = bookings[i];
            const Booking& next = bookings[i + 1];
            if (double(next.startMinute - booking.endMinute) < m_duracao)
                continue;
            if (booking.fim < MomentoAtual)
                return failed(QStringLiteral("Inicio menor que momento atual."));
            vb::Date start = booking.fim;
            moveIntoWorkingTime(start);
            if (fits(start, next.inicio))
                return found(start);
        }

        const Booking& last = bookings[bookings.size() - 1];
        if (last.fim < MomentoAtual)
            return failed(QStringLiteral("Data inicio menor que o momento atual."));
        vb::Date start = last.fim;
        m_requested = last.fim;
        moveIntoWorkingTime(start);
        if (const std::optional<vb::Date> taken = extendedHorizon(start))
            return *taken;
        return attempts(start, 10, false, false,
                        QStringLiteral("Falha: Processo em loop, o sistema tentou mais de 10 vezes alocar após a "
                                       "ultima operação no Posto "));
    }

    vb::Date withoutBookings(bool executando)
    {
        const vb::Date start = m_requested;
        if (const std::optional<vb::Date> taken = extendedHorizon(start))
            return *taken;
        return attempts(start, 50, executando, true,
                        QStringLiteral("Falha: Processo em loop, mais de 50 tentativas na alocação de tempo no Posto "));
    }

    // The job fits between start and limit, in working time and clear of bookings: its end goes to Fim.
    bool fits(vb::Date start, vb::Date limit)
    {
        vb::Date end = limit;
        if (!CalculaFimCalendario(m_posto, start, end, m_duracao) || !IntervaloLivre(m_posto, start, end))
            return false;
        m_fim = end;
        return true;
    }

    void moveIntoWorkingTime(vb::Date& start)
    {
        if (!DentroCalendario(m_posto, start, vb::DateAdd(QStringLiteral("n"), 1, start)))
            ProximoTempoLivre(m_posto, m_requested, start, false);
    }

    // A job longer than half the time left before the calendar limit: the calendars are extended and the
    // start is taken as it is.
    std::optional<vb::Date> extendedHorizon(vb::Date start)
    {
        if (2 * m_duracao <= double(vb::DateDiff(QStringLiteral("n"), start, DataLimite)))
            return std::nullopt;
        const vb::Date finalDate = vb::DateAdd(QStringLiteral("m"), 2, vb::DateAdd(QStringLiteral("n"), 2 * m_duracao, start));
        if (!modCalendario::MontaCalendario(finalDate))
            return failed(QStringLiteral("Falha: nao conseguiu montar o calendario"));
        m_fim = DataLimite;
        CalculaFimCalendario(m_posto, start, m_fim, m_duracao);
        return found(start);
    }

    // Tries the start up to `limit` times, moving it to the station's next working moment after each miss.
    // When a move leaves the start where it was, the next one takes the later of the candidate moments.
    // The station and its description complete the failure line; they are looked up only on failure.
    vb::Date attempts(vb::Date start, int limit, bool ignoreBookings, bool letEventsRun, const QString& failurePrefix)
    {
        vb::Date previous;
        bool stuck = false;
        for (int attempt = 1; attempt <= limit; ++attempt) {
            if (letEventsRun)
                vb::Ui().DoEvents();
            m_fim = DataLimite;
            const bool fitsInTime = CalculaFimCalendario(m_posto, start, m_fim, m_duracao);
            if (fitsInTime && (ignoreBookings || IntervaloLivre(m_posto, start, m_fim)))
                return found(start);

            if (start == previous)
                start = vb::DateAdd(QStringLiteral("n"), 1, start);
            ProximoTempoLivre(m_posto, m_requested, start, false);
            if (!IntervaloLivre(m_posto, start, m_fim)) {
                const vb::Date beforeMove = start;
                ProximoTempoLivre(m_posto, m_requested, start, stuck);
                stuck = start == beforeMove;
            }
            previous = start;
        }
        return failed(failurePrefix + m_posto + QStringLiteral(" - ") + stationDescription(m_run, m_posto));
    }

    vb::Date found(vb::Date start)
    {
        m_encontrado = true;
        return start;
    }

    vb::Date failed(const QString& reason)
    {
        Modulo::GravaLog(reason);
        m_encontrado = false;
        return vb::Date();
    }

    DBFunc& m_banco;
    scheduling::ScheduleRun* m_run;
    const QString& m_posto;
    vb::Date m_requested;
    double m_duracao;
    bool& m_encontrado;
    vb::Date& m_fim;
};

}  // namespace

vb::Date AlocaTempoPosto(const QString& Posto, vb::Date Inicio, double Duracao, bool& Encontrado, vb::Date& Fim,
                         bool Executando)
{
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    if (run)
        ++run->slotSearches;
    return Search(BancoAtual(), run, Posto, Inicio, Duracao, Encontrado, Fim).run(Executando);
}

}  // namespace modMonta
