#pragma once
// The database functions of the plant's databases, handed to the embedded server with the model database.

#include "sqlserver/InlineFunctions.h"

#include <vector>

namespace schema {

// dbo.GET_QTD_APONTADA_PROGRAMA(@Operacao): the quantity reported as produced for operation CadSeq.Auto.
//
// dbo.GET_DEPENDENCIAS_SEQUENCIA(@Posicao, @Sequencia): a table of the operations that operation @Sequencia of
// position CadPos.Auto @Posicao waits for, columns Tipo, Programa_anterior, Concluido, Fim, Agendado:
//  - "PROG_ANT": the position's previous operation (the highest Sequencia below @Sequencia);
//  - "POS_ANT": the last operation (highest Sequencia) of each child position (CadPos.Pai = @Posicao).
// Concluido: the operation or its position is finished. Fim: the end of its booking in CadProgVorna.
// Agendado: it has a booking, or it is finished (a finished operation is never booked again, so nothing
// would otherwise ever release the operations that wait for it).
std::vector<sqlserver::InlineFunction> modelFunctions();

}  // namespace schema
