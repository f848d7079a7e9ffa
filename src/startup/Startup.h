#pragma once
// The start-up: the connection chooser, the chosen section of Util/Config.ini, the scheduling switches and
// the one database connection of BancoAtual(), with the offer to create a missing database.

namespace Modulo {

// Returns when the connection is settled (open, or refused by the data-access object, which has told the
// user); every fatal refusal tells the user and ends the program (endProgram).
void Inicializa();

}  // namespace Modulo
