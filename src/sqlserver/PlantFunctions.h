#pragma once
// The database functions of the plant's database, as SQLite subqueries over its tables. The arguments are
// SQL expressions, each used in parentheses.

#include <QString>

namespace sqlserver {

// dbo.GET_QTD_APONTADA_PROGRAMA(operation): the quantity reported as produced for operation CadSeq.Auto.
QString reportedQuantityExpression(const QString& operation);

// dbo.GET_DEPENDENCIAS_SEQUENCIA(position, sequence): a table of the operations that operation `sequence`
// of position CadPos.Auto `position` waits for, columns Tipo, Programa_anterior, Concluido, Fim, Agendado:
//  - "PROG_ANT": the position's previous operation (the highest Sequencia below `sequence`);
//  - "POS_ANT": the last operation (highest Sequencia) of each child position (CadPos.Pai = position).
// Concluido: the operation or its position is finished. Fim: the end of its booking in CadProgVorna.
// Agendado: it has a booking, or it is finished (a finished operation is never booked again, so nothing
// would otherwise ever release the operations that wait for it).
QString dependenciesQuery(const QString& position, const QString& sequence);

}  // namespace sqlserver
