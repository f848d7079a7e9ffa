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
#include "scheduling/CalendarLimit.h"
#include "scheduling/Records.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/ShiftDates.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/StationCalendars.h"
#include "scheduling/WorkingRows.h"
#include "scheduling/clsPeriodo.h"

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
vb::Date InicioGeracao()
{
    const vb::Variant ultcale = scheduling::storedCalendarLimit();
    return ultcale.isNull() ? BancoAtual().Data() : vb::CDate(ultcale);
}

// Stores DataFinal as the calendar limit once the rows up to it are stored: a run stopped in between keeps
// the old limit, and the next generation (which never stores a row twice) fills what is missing.
void GravaUltimaDataCalendario(vb::Date DataFinal)
{
    DBFunc& banco = BancoAtual();
    const auto parametros = scheduling::query(QStringLiteral("select ultcale from cadparbex"));
    banco.RemoveAll();
    banco.Add(QStringLiteral("ultcale"), DataFinal);
    if (hasRow(*parametros))
        banco.Update(QStringLiteral("cadparbex"), QStringLiteral("1=1"));
    else
        banco.Insert(QStringLiteral("cadparbex"));
    scheduling::forgetStoredCalendarLimit();
}

// One row per active station of the shift (only Posto when given) that has no row of the shift starting at
// that minute. False when the rows could not be stored (reported).
bool InsereTurnoCalendario(int Turno, const clsPeriodo& primeiraMetade, const clsPeriodo& segundaMetade,
                           const QString& Posto)
{
    const QString inicio = minuteText(primeiraMetade.Inicio());
    QStringList lines{
        QStringLiteral(" insert into cadcale2"),
        QStringLiteral(" ("),
        QStringLiteral("    Turno,"),
        QStringLiteral("    Posto,"),
        QStringLiteral("    Inicio,"),
        QStringLiteral("    InicioIntervalo,"),
        QStringLiteral("    FimIntervalo,"),
        QStringLiteral("    Fim"),
        QStringLiteral(" )"),
        QStringLiteral("  Select"),
        QStringLiteral("    CADPOSTOTUR.Turno,"),
        QStringLiteral("    CADPOSTOTUR.Posto,'%1','%2','%3','%4'")
            .arg(inicio, minuteText(primeiraMetade.Fim()), minuteText(segundaMetade.Inicio()),
                 minuteText(segundaMetade.Fim())),
        QStringLiteral(" From cadpostotur INNER JOIN CADPOSTO ON CADPOSTOTUR.POSTO= CADPOSTO.CODIGO    "),
        QStringLiteral(" where cadposto.inativo=0 and CADPOSTOTUR.Turno = %1").arg(Turno)};
    if (!Posto.isEmpty())
        lines << QStringLiteral(" and CadPostoTur.Posto = ") + quotedText(Posto);
    lines << QStringLiteral(" and cadposto.Codigo not in") << QStringLiteral(" (")
          << QStringLiteral("    select Posto from CadCale2 where cadcale2.Turno =%1 and Inicio = '%2'")
                 .arg(QString::number(Turno), inicio)
          << QStringLiteral(" )");
    const bool stored = BancoAtual().ExecutaComando(lines.join(Modulo::vbCrLf));
    scheduling::forgetWorkingRows();
    return stored;
}

// Writes every occurrence of the shift's weekly items from inicio up to DataFinal. False when a write failed
// (reported): the generation stops there.
bool GeraTurno(int Turno, vb::Date inicio, vb::Date DataFinal, const QString& Posto)
{
    StringBuilder sql;
    sql.defineCaracter(QStringLiteral(" "));
    sql.append(QStringLiteral("SELECT * FROM CadTur2Item with(nolock)"));
    sql.append(QStringLiteral("WHERE Turno = %1").arg(Turno));
    sql.append(QStringLiteral("AND NOT DiaInicio IS NULL"));
    sql.append(QStringLiteral("ORDER BY DiaInicio,HoraInicio"));
    const auto itens = scheduling::query(sql.Texto());
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
            if (!InsereTurnoCalendario(Turno, clsPeriodo(inicioTurno, inicioIntervalo),
                                       clsPeriodo(fimIntervalo, fimTurno), Posto))
                return false;
        }
    }
    return true;
}

}  // namespace

bool MontaCalendario(vb::Date DataFinal, const QString& Posto)
{
    bool montado = false;
    try {
        const bool todosPostos = Posto.isEmpty();
        if (todosPostos) {
            if (DataFinal <= UltimaDataCalendario())
                return false;
            if (DataFinal > vb::DateAdd(QStringLiteral("m"), MesesCalendario, scheduling::serverDate())) {
                if (scheduling::firstRefusal(DataFinal))
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
            inicio = InicioGeracao();
        } else {
            inicio = vb::Today();
            DataFinal = UltimaDataCalendario();
        }

        // A job still running started earlier: its station's time from then on must exist.
        const vb::Variant executando = BancoAtual().DBSeek(
            QStringLiteral("cadexe with(nolock) inner join cadposto with(nolock) on cadexe.posto=cadposto.codigo"),
            QStringLiteral("cadexe.inicio"), QStringLiteral("cadposto.inativo=0 and cadexe.executando=1"), true, false,
            QStringLiteral("cadexe.inicio"));
        if (!executando.isNull() && vb::IsDate(executando))
            inicio = vb::CDate(executando);

        const auto turnos = scheduling::query(QStringLiteral("Select Turno From CadTur2 with(nolock) Order By Turno"));
        progresso.SetValue(0);
        for (; !turnos->adoEOF(); turnos->MoveNext()) {
            vb::Ui().DoEvents();
            progresso.SetValue(int(BancoAtual().PercentPosition(*turnos)));
            if (!GeraTurno(byteOf(column(*turnos, QStringLiteral("Turno"))), inicio, DataFinal, Posto)) {
                progresso.Unload();
                return false;
            }
        }
        progresso.Unload();
        if (todosPostos)
            GravaUltimaDataCalendario(DataFinal);

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
        banco.Add(QStringLiteral("Turno"), Turno);
        banco.Add(QStringLiteral("Posto"), Posto);
        banco.Add(QStringLiteral("Inicio"), Inicio);
        banco.Add(QStringLiteral("InicioIntervalo"), InicioIntervalo);
        banco.Add(QStringLiteral("FimIntervalo"), FimIntervalo);
        banco.Add(QStringLiteral("Fim"), Fim);
        novo = vb::CLng(banco.Insert(QStringLiteral("CadCale2"), QStringLiteral("Auto")));
        scheduling::forgetWorkingRows();
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
