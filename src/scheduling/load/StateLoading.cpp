#include "scheduling/SchedulerState.h"

#include "core/ParameterReaders.h"
#include "core/StartupSettings.h"
#include "runtime/App.h"
#include "runtime/UserSettings.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/StationCalendars.h"

namespace scheduling {

void loadSchedulerState()
{
    Modulo::Refugo = vb::CBool(Modulo::LeParametroBex(QStringLiteral("Refugo"), QStringLiteral("0")));
    modMonta::CarregaPostos();
    modCalendario::MontaCalendarioPostos();
    modMonta::DivideVorna = vb::CBool(vb::GetSetting(vb::App::Title, QStringLiteral("Configuracao"),
                                                     QStringLiteral("DivideVorna"), QStringLiteral("0")));
    modMonta::CarregaPostos();
}

void clearSchedulerState()
{
    modMonta::DataLimite = vb::Date();
    modMonta::ProximoInicio = vb::Date();
    modMonta::MomentoAtual = vb::Date();
    modMonta::DivideVorna = false;
    modMonta::PostosCarregados.reset();
    modCalendario::CalendariosPostos = clsColCalendario();
    modCalendario::PostosAlterados.clear();
    modCalendario::MesesCalendario = 6;
    Modulo::Refugo = false;
}

}  // namespace scheduling
