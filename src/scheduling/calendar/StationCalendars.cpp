#include "scheduling/StationCalendars.h"

#include "ado/Recordset.h"
#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "runtime/UiServices.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/Records.h"

using scheduling::column;

namespace modCalendario {

clsColCalendario CalendariosPostos;

vb::Date UltimaDataCalendario()
{
    const vb::Variant ultcale = scheduling::storedCalendarLimit(BancoAtual(), scheduling::ScheduleRun::current());
    return ultcale.isNull() ? BancoAtual().DataHora() : vb::CDate(ultcale);
}

void AtualizaCalendarioPosto(const QString& Posto)
{
    clsPeriodo janela;
    janela.setFim(UltimaDataCalendario());
    if (janela.Fim() <= vb::Date())
        return;
    // A server clock past the calendar's end is refused (logged): the window then starts at the zero date.
    janela.setInicio(vb::Date(BancoAtual().DataHora().serial - 1));
    CalendariosPostos.Add(Posto, janela);
}

void MontaCalendarioPostos()
{
    vb::ProgressWindow& progresso = vb::Ui().Progress();
    progresso.Show();
    const auto postos = scheduling::query(QStringLiteral("select codigo from cadposto with(nolock)"));
    progresso.SetValue(0);
    for (; !postos->adoEOF(); postos->MoveNext()) {
        vb::Ui().DoEvents();
        progresso.SetValue(int(BancoAtual().PercentPosition(*postos)));
        AtualizaCalendarioPosto(vb::CStr(column(*postos, QStringLiteral("codigo"))));
    }
    vb::Ui().DoEvents();
    progresso.Unload();
}

}  // namespace modCalendario
