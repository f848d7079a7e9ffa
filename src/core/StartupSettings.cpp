#include "core/StartupSettings.h"

namespace Modulo {

QString SecaoConexao;
QString TipoBancoIni;
QString ServidorIni;
QString BancoIni;
QString SenhaIni;
QString UsuarioIni;
QString TimeOutIni;
bool PorTempo = false;
bool ModoSequencia = false;
bool Refugo = false;

}  // namespace Modulo
