#include "scheduling/CalendarGeneration.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "core/Modulo.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/Format.h"
#include "runtime/UiServices.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/calendar/ShiftDates_p.h"
#include "scheduling/clsPeriodo.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

#include <QStringList>

using scheduling::column;
using scheduling::hasRow;
using scheduling::minuteText;
using scheduling::quotedText;

namespace modCalendario {

int MesesCalendario = 6;
QStringList PostosAlterados;

namespace {

// Shift and weekday numbers travel as unsigned bytes: 0..255, anything else overflows.
int byteOf(const vb::Variant& value)
{
    const std::int32_t number = vb::CLng(value);
    if (number < 0 || number > 255)
        vb::raiseError(vb::ErrNo::Overflow);
    return number;
}

vb::Date plus(vb::Date day, const vb::Variant& timeOfDay)
{
    return vb::Date(day.serial + vb::CDate(timeOfDay).serial);
}

// Where the generation of all stations starts: the limit stored so far, or the server's date when there is none.
vb::Date InicioGeracao(DBFunc& banco, scheduling::ScheduleRun* run)
{
    const vb::Variant ultcale = scheduling::storedCalendarLimit(banco, run);
    return ultcale.isNull() ? banco.Data() : vb::CDate(ultcale);
}

// Stores DataFinal as the calendar limit once the rows up to it are stored: a run stopped in between keeps
// the old limit, and the next generation (which never stores a row twice) fills what is missing.
void GravaUltimaDataCalendario(DBFunc& banco, scheduling::ScheduleRun* run, vb::Date DataFinal)
{
    scheduling::storeCalendarLimit(banco, run, DataFinal);
}

// One row per active station of the shift (only Posto when given) that has no row of the shift starting at
// that minute. False when the rows could not be stored (reported).
bool InsereTurnoCalendario(DBFunc& banco, scheduling::ScheduleRun* run, int Turno, const clsPeriodo& primeiraMetade,
                           const clsPeriodo& segundaMetade, const QString& Posto)
{
    return scheduling::insertShiftOccurrence(banco, run, Turno, Posto, primeiraMetade.Inicio(), primeiraMetade.Fim(),
                                             segundaMetade.Inicio(), segundaMetade.Fim());
}

// Writes every occurrence of the shift's weekly items from inicio up to DataFinal. False when a write failed
// (reported): the generation stops there.
bool GeraTurno(DBFunc& banco, scheduling::ScheduleRun* run, int Turno, vb::Date inicio, vb::Date DataFinal,
               const QString& Posto)
{
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("SELECT * FROM CadTur2Item with(nolock)"));
    sql.append(QStringLiteral("WHERE Turno = %1").arg(Turno));
    sql.append(QStringLiteral("AND NOT DiaInicio IS NULL"));
    sql.append(QStringLiteral("ORDER BY DiaInicio,HoraInicio"));
    const auto itens = scheduling::query(banco, sql.Texto());
    for (; !itens->adoEOF(); itens->MoveNext()) {
        vb::Ui().DoEvents();
        const std::int32_t diaInicio = vb::CLng(column(*itens, QStringLiteral("DiaInicio")));
        // Whole days are compared: a start that carries a time of day (a running job's) still reaches the
        // final date's own day, which the stored limit says is generated.
        for (vb::Date dia = inicio; vb::DateValue(dia) <= DataFinal; dia = vb::DateAdd(QStringLiteral("d"), 1, dia)) {
            if (vb::Weekday(dia) != diaInicio)
                continue;
            const vb::Date inicioTurno = plus(vb::DateValue(dia), column(*itens, QStringLiteral("HoraInicio")));
            const vb::Date inicioIntervalo =
                plus(DataDiaSemana(inicioTurno, byteOf(column(*itens, QStringLiteral("DiaInicioIntervalo")))),
                     column(*itens, QStringLiteral("HoraInicioIntervalo")));
            const vb::Date fimIntervalo =
                plus(DataDiaSemana(inicioIntervalo, byteOf(column(*itens, QStringLiteral("DiaFimIntervalo")))),
                     column(*itens, QStringLiteral("HoraFimIntervalo")));
            const vb::Date fimTurno =
                plus(DataDiaSemana(fimIntervalo, byteOf(column(*itens, QStringLiteral("DiaFim")))),
                     column(*itens, QStringLiteral("HoraFim")));
            if (!InsereTurnoCalendario(banco, run, Turno, clsPeriodo(inicioTurno, inicioIntervalo),
                                       clsPeriodo(fimIntervalo, fimTurno), Posto))
                return false;
        }
    }
    return true;
}

}  // namespace

bool MontaCalendario(vb::Date DataFinal, const QString& Posto)
{
    DBFunc& banco = BancoAtual();
    scheduling::ScheduleRun* const run = scheduling::ScheduleRun::current();
    bool montado = false;
    try {
        const bool todosPostos = Posto.isEmpty();
        if (todosPostos) {
            if (DataFinal <= UltimaDataCalendario())
                return false;
            if (DataFinal > vb::DateAdd(QStringLiteral("m"), MesesCalendario, scheduling::serverDate(banco, run))) {
                if (scheduling::firstRefusal(run, DataFinal))
                    Modulo::GravaLog(QStringLiteral("Rotina monta Calendário - Data final acima de ") +
                                     QString::number(MesesCalendario) + QStringLiteral(" meses, Data final = ") +
                                     vb::DefaultDateText(DataFinal));
                return false;
            }
        }

        vb::ProgressWindow& progresso = vb::Ui().Progress();
        progresso.Show();

        vb::Date inicio;
        if (todosPostos) {
            inicio = InicioGeracao(banco, run);
        } else {
            inicio = vb::Today();
            DataFinal = UltimaDataCalendario();
        }

        // A job still running started earlier: its station's time from then on must exist.
        const vb::Variant executando = banco.DBSeek(
            QStringLiteral("cadexe with(nolock) inner join cadposto with(nolock) on cadexe.posto=cadposto.codigo"),
            QStringLiteral("cadexe.inicio"), QStringLiteral("cadposto.inativo=0 and cadexe.executando=1"), true, false,
            QStringLiteral("cadexe.inicio"));
        if (!executando.isNull() && vb::IsDate(executando))
            inicio = vb::CDate(executando);

        const auto turnos =
            scheduling::query(banco, QStringLiteral("Select Turno From CadTur2 with(nolock) Order By Turno"));
        progresso.SetValue(0);
        for (; !turnos->adoEOF(); turnos->MoveNext()) {
            vb::Ui().DoEvents();
            progresso.SetValue(int(banco.PercentPosition(*turnos)));
            if (!GeraTurno(banco, run, byteOf(column(*turnos, QStringLiteral("Turno"))), inicio, DataFinal, Posto)) {
                progresso.Unload();
                return false;
            }
        }
        progresso.Unload();
        if (todosPostos)
            GravaUltimaDataCalendario(banco, run, DataFinal);

        if (todosPostos)
            MontaCalendarioPostos();
        else
            AtualizaCalendarioPosto(Posto);
        montado = true;
        modMonta::LeDataLimite();
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
    }
    return montado;
}

std::int32_t IncluiTurnoPosto(int Turno, const QString& Posto, vb::Date Inicio, vb::Date InicioIntervalo,
                              vb::Date FimIntervalo, vb::Date Fim)
{
    std::int32_t novo = 0;
    try {
        DBFunc& banco = BancoAtual();
        const vb::Variant existente = banco.DBSeek(
            QStringLiteral("CadCale2 with(nolock)"), QStringLiteral("Auto"),
            QStringLiteral("Turno = %1 and Posto = %2 and inicio='%3'")
                .arg(QString::number(Turno), quotedText(Posto), minuteText(Inicio)),
            true, true);
        if (vb::CDbl(existente) != 0) {
            vb::Ui().MsgBox(QStringLiteral("Esse turno já esta ativo neste horário"), vb::vbCritical);
            return 0;
        }
        novo = vb::CLng(scheduling::insertShiftRow(banco, scheduling::ScheduleRun::current(), Turno, Posto, Inicio,
                                                   InicioIntervalo, FimIntervalo, Fim));
    } catch (...) {
        vb::Err.SetFromCurrentException();
        Modulo::TrataErro();
    }
    return novo;
}

void MarcaPostoAlterado(const QString& Posto)
{
    if (!PostosAlterados.contains(Posto, Qt::CaseSensitive))
        PostosAlterados.append(Posto);
}

void AtualizaPostosAlterados()
{
    for (const QString& posto : std::as_const(PostosAlterados))
        AtualizaCalendarioPosto(posto);
    PostosAlterados.clear();
}

}  // namespace modCalendario
