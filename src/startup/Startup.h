#pragma once
// The start-up: the connection chooser, the chosen section of Util/Config.ini, the scheduling switches and
// the one database connection of BancoAtual(), with the offer to create a missing database.

namespace Modulo {

// Returns when the connection is open on a database with the plant's tables; every failure tells the user
// once and ends the program (endProgram): a connection the data-access object refused (it has told why), a
// negative TimeOut, a database without the plant's tables.
void Inicializa();

}  // namespace Modulo
