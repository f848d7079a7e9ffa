#include "scheduling/LoadQueue.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/Modulo.h"
#include "core/StringBuilder.h"
#include "runtime/Err.h"
#include "runtime/UiServices.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"

namespace modMonta {

namespace {

// Lines each followed by CR LF, as the queue's statements are sent.
QString linesOf(std::initializer_list<QString> lines)
{
    StringBuilder text;
    text.defineCaracter(Modulo::vbCrLf);
    for (const QString& line : lines)
        text.append(line);
    return text.Texto();
}

}  // namespace

void AdicionaFila(int NrServ)
{
    // The next Ordem is taken inside the batch: several users may append at once.
    const QString batch = linesOf({QStringLiteral("declare @m as int"),
                                   QStringLiteral("Select @m = isnull(Max(Ordem),0) + 1 from CadFilaVorna"),
                                   QStringLiteral("insert into cadfilavorna (nrserv,ordem)values(%1,@m)").arg(NrServ)});
    if (BancoAtual().ExecutaComando(batch, false))
        return;
    // The queue takes a work order once: a refused insert means it is queued already.
    if (BancoAtual().Delete(QStringLiteral("cadfilavorna"), QStringLiteral("nrserv=%1").arg(NrServ)))
        BancoAtual().ExecutaComando(batch, true);
}

void RenumeraFila()
{
    vb::Ui().SetMousePointer(vb::vbHourglass);
    try {
        BancoAtual().ExecutaComando(linesOf({QStringLiteral("update cadfilavorna set ordem = a.linha"),
                                             QStringLiteral("from cadfilavorna inner join"),
                                             QStringLiteral("("),
                                             QStringLiteral("   SELECT f.ordem,f.auto, ROW_NUMBER() OVER"),
                                             QStringLiteral("      ("),
                                             QStringLiteral("         ORDER BY f.ordem"),
                                             QStringLiteral("      ) as Linha"),
                                             QStringLiteral("   FROM cadfilavorna as f"),
                                             QStringLiteral(") as a"),
                                             QStringLiteral("on cadfilavorna.auto = a.auto")}),
                                    true);
    } catch (...) {
        vb::Err.SetFromCurrentException();
    }
    vb::Ui().SetMousePointer(vb::vbDefault);
    Modulo::TrataErro();
}

void RemoveOSVorna(int NrServ)
{
    scheduling::deleteWorkOrderBookings(BancoAtual(), scheduling::ScheduleRun::current(), NrServ);
    BancoAtual().ExecutaComando(QStringLiteral("delete from cadfilavorna where nrserv = %1").arg(NrServ));
}

}  // namespace modMonta
