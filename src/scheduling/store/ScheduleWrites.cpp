#include "scheduling/store/ScheduleWrites_p.h"

#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "runtime/Format.h"
#include "scheduling/Records.h"
#include "scheduling/SqlLiterals.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <QStringList>

namespace scheduling {

void insertBooking(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, const QString& Posto, vb::Date Inicio,
                   vb::Date Fim)
{
    if (!banco.ExecutaComando(QStringLiteral("Insert InTo CadProgVorna (SeqAuto,Posto,Inicio,Fim)Values(") +
                              number(SeqAuto) + QLatin1Char(',') + quotedText(Posto) + QLatin1Char(',') +
                              quotedText(minuteText(Inicio)) + QLatin1Char(',') + quotedText(minuteText(Fim)) +
                              QLatin1Char(')')))
        throw ScheduleNotStored{};
    if (run)
        run->bookingInserted(SeqAuto, Posto, Inicio, Fim);
}

bool deleteSchedule(DBFunc& banco, ScheduleRun* run)
{
    const bool deleted = banco.ExecutaComando(QStringLiteral("delete from cadprogvorna"));
    if (run) {
        if (deleted)
            run->bookingsDeleted();
        else
            run->bookingsChanged();  // maybe partly
    }
    return deleted;
}

void deleteWorkOrderBookings(DBFunc& banco, ScheduleRun* run, std::int32_t NrServ)
{
    banco.ExecutaComando(
        QStringLiteral("delete from cadprogvorna where seqauto in (select auto from cadseq where nrserv = %1)")
            .arg(NrServ));
    if (run)
        run->bookingsChanged();
}

void setLeadTimeEnd(DBFunc& banco, ScheduleRun* run, std::int32_t bookingAuto, std::int32_t SeqAuto, vb::Date Fim)
{
    banco.RemoveAll();
    banco.Add(QStringLiteral("Fim"), Fim);
    banco.Update(QStringLiteral("CadProgVorna"), QStringLiteral("Auto=") + number(bookingAuto));
    if (run)
        run->bookingsChanged();
    banco.Add(QStringLiteral("Termino"), Fim);
    banco.Update(QStringLiteral("CadSeq"), QStringLiteral("Auto=") + number(SeqAuto));
}

void clearMinimumStarts(DBFunc& banco, ScheduleRun* run, std::int32_t NrServ)
{
    banco.Update2(QStringLiteral("cadseq"), QStringLiteral("InicioMinimo=null"),
                  QStringLiteral("InicioMinimo is not null and NrServ = ") + number(NrServ));
    if (run)
        run->minimumStartsCleared();
}

void pushMinimumStart(DBFunc& banco, ScheduleRun* run, std::int32_t SeqAuto, vb::Date InicioMinimo)
{
    banco.RemoveAll();
    banco.Add(QStringLiteral("InicioMinimo"), InicioMinimo);
    const bool written = banco.Update(QStringLiteral("CadSeq"), QStringLiteral("Auto = ") + number(SeqAuto));
    if (run)
        run->minimumStartPushed(SeqAuto, written ? std::optional<vb::Date>(InicioMinimo) : std::nullopt);
}

void writeOperationTimes(DBFunc& banco, std::int32_t SeqAuto, vb::Date Inicio, vb::Date Fim)
{
    banco.ExecutaComando(QStringLiteral("Update CadSeq Set Data = '") +
                         vb::Format(Inicio, QStringLiteral("yyyy-mm-dd")) + QStringLiteral("' ,Inicio = '") +
                         minuteText(Inicio) + QStringLiteral("', Termino = '") + minuteText(Fim) +
                         QStringLiteral("' WHERE AUTO = ") + number(SeqAuto));
}

void copyScheduledTimes(DBFunc& banco, std::optional<std::int32_t> NrServ)
{
    QString sql = QStringLiteral("update cadseq set Data = cast(floor(cast(cadprogvorna.inicio as float))as datetime), "
                                 "inicio = cadprogvorna.inicio,termino = cadprogvorna.fim from cadseq inner join "
                                 "cadprogvorna on cadseq.auto=cadprogvorna.seqauto");
    if (NrServ)
        sql += QStringLiteral(" where cadseq.nrserv = ") + number(*NrServ);
    banco.ExecutaComando(sql);
}

bool insertShiftOccurrence(DBFunc& banco, ScheduleRun* run, int Turno, const QString& Posto, vb::Date Inicio,
                           vb::Date InicioIntervalo, vb::Date FimIntervalo, vb::Date Fim)
{
    const QString inicio = minuteText(Inicio);
    QStringList lines{QStringLiteral(" insert into cadcale2"),
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
                          .arg(inicio, minuteText(InicioIntervalo), minuteText(FimIntervalo), minuteText(Fim)),
                      QStringLiteral(" From cadpostotur INNER JOIN CADPOSTO ON CADPOSTOTUR.POSTO= CADPOSTO.CODIGO    "),
                      QStringLiteral(" where cadposto.inativo=0 and CADPOSTOTUR.Turno = %1").arg(Turno)};
    if (!Posto.isEmpty())
        lines << QStringLiteral(" and CadPostoTur.Posto = ") + quotedText(Posto);
    lines << QStringLiteral(" and cadposto.Codigo not in") << QStringLiteral(" (")
          << QStringLiteral("    select Posto from CadCale2 where cadcale2.Turno =%1 and Inicio = '%2'")
                 .arg(QString::number(Turno), inicio)
          << QStringLiteral(" )");
    const bool stored = banco.ExecutaComando(lines.join(Modulo::vbCrLf));
    if (run)
        run->calendarRowsWritten();
    return stored;
}

vb::Variant insertShiftRow(DBFunc& banco, ScheduleRun* run, int Turno, const QString& Posto, vb::Date Inicio,
                           vb::Date InicioIntervalo, vb::Date FimIntervalo, vb::Date Fim)
{
    banco.Add(QStringLiteral("Turno"), Turno);
    banco.Add(QStringLiteral("Posto"), Posto);
    banco.Add(QStringLiteral("Inicio"), Inicio);
    banco.Add(QStringLiteral("InicioIntervalo"), InicioIntervalo);
    banco.Add(QStringLiteral("FimIntervalo"), FimIntervalo);
    banco.Add(QStringLiteral("Fim"), Fim);
    const vb::Variant novo = banco.Insert(QStringLiteral("CadCale2"), QStringLiteral("Auto"));
    if (run)
        run->calendarRowsWritten();
    return novo;
}

void storeCalendarLimit(DBFunc& banco, ScheduleRun* run, vb::Date DataFinal)
{
    const auto parametros = query(banco, QStringLiteral("select ultcale from cadparbex"));
    banco.RemoveAll();
    banco.Add(QStringLiteral("ultcale"), DataFinal);
    if (hasRow(*parametros))
        banco.Update(QStringLiteral("cadparbex"), QStringLiteral("1=1"));
    else
        banco.Insert(QStringLiteral("cadparbex"));
    if (run)
        run->calendarLimitStored();
}

}  // namespace scheduling
