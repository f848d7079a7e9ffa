#pragma once
// Runs the steps of a batch on a session: statements with the batch's variables and the literals taken out
// of its text (StatementShape) bound as parameters, assignments converted to the variables' declared types, IF, blocks, the extended-property procedures,
// transactions, CREATE DATABASE and ALTER COLUMN.

#include "sqlserver/Batch.h"
#include "sqlserver/Session.h"
#include "sqlserver/StatementShape.h"

namespace sqlserver {

class SessionImpl;

BatchResult runBatch(SessionImpl& session, const Batch& batch, const std::vector<Literal>& literals);

}  // namespace sqlserver
