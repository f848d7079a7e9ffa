#pragma once
// The start-up: the connection chooser, the chosen section of Util/Config.ini, the scheduling switches and
// the one database connection of BancoAtual(), with the offer to create a missing database.

#include <functional>

namespace Modulo {

// Returns when the connection is open on a database with the plant's tables; every failure tells the user
// once and ends the program (endProgram): a connection the data-access object refused (it has told why), a
// negative TimeOut, a database without the plant's tables.
void Inicializa();

}  // namespace Modulo

namespace startup {

// Creates the chosen connection's database (the Modulo::...Ini settings) on its server; false when it failed
// and the data-access object has told the user.
bool createChosenDatabase();

// What the start-up runs when the user asks for the missing database: createChosenDatabase unless the program
// installs a routine that also fills the new database. An empty routine restores the default.
void setDatabaseCreation(std::function<bool()> creation);

}  // namespace startup
