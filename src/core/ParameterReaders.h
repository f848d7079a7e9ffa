#pragma once
// The parameters of the shared database: one column of the one-row tables CadPar (the main application's)
// and CadParBex (the product family's), and the hand-over of the connection to a data control.

#include "runtime/Variant.h"

#include <QString>

class Adodc;
class DBFunc;

namespace Modulo {

// The column's value in the first row as stored, or the default (as text) when the table has no row or the
// value is Null. A missing column or table, or no connection, raises to the caller.
vb::Variant LeParametro(const QString& column, const QString& defaultValue);
vb::Variant LeParametroBex(const QString& column, const QString& defaultValue);

// Gives the data control the user, password and connection string of the data-access object's connection.
// Raises 91 when the object has no connection.
void PassaConexao(Adodc& control, const DBFunc& database);

}  // namespace Modulo
