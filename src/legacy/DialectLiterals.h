#pragma once
// SQL pieces of the older classes in the dialect of the data-access object's connection, read from its
// TipoBanco as DBFunc's own builders are (1 Access, anything else SQL Server).

#include "runtime/Date.h"

#include <QString>

class DBFunc;

namespace legacy {

// A moment to the minute: #mm/dd/yyyy hh:nn# on Access, 'yyyy-mm-dd hh:nn' on SQL Server.
QString momentLiteral(const DBFunc& banco, vb::Date moment);

// The Boolean truth: True on Access, 1 on SQL Server.
QString trueLiteral(const DBFunc& banco);

}  // namespace legacy
