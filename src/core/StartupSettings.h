#pragma once
// The settings the start-up reads from Util/Config.ini and the parameter tables; they keep their start-up
// values for the whole run.

#include <QString>

namespace Modulo {

// The chosen connection: the chooser leaves its index here ("" when nothing was chosen), the start-up then
// replaces it with the section name ("Conexao" or "Conexao<n>").
extern QString SecaoConexao;

// The keys of the chosen section, as text, with their defaults applied.
extern QString TipoBancoIni;
extern QString ServidorIni;
extern QString BancoIni;
extern QString SenhaIni;
extern QString UsuarioIni;
extern QString TimeOutIni;

// Timed operations take quantity times unit time plus set-up less the minutes already executed.
extern bool PorTempo;
// Scheduling by sequence instead of work order by work order.
extern bool ModoSequencia;
// CadParBex.Refugo: rejected and requested scrap come off the quantity still to make.
extern bool Refugo;

// The months of calendar kept ahead, also read at start-up, are modCalendario::MesesCalendario
// (scheduling/CalendarGeneration.h), next to the generation that uses them.

}  // namespace Modulo
