#include "schema/ModelFunctions.h"

namespace schema {

std::vector<sqlserver::InlineFunction> modelFunctions()
{
    return {
        {QStringLiteral("GET_QTD_APONTADA_PROGRAMA"),
         {QStringLiteral("@Operacao")},
         QStringLiteral("ifnull((SELECT q.QtdApontada FROM CadSeq AS q WHERE q.Auto = @Operacao), 0)")},
        {QStringLiteral("GET_DEPENDENCIAS_SEQUENCIA"),
         {QStringLiteral("@Posicao"), QStringLiteral("@Sequencia")},
         QStringLiteral(
             "(SELECT 'PROG_ANT' AS Tipo, s.Auto AS Programa_anterior, "
             "(ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) AS Concluido, b.Fim AS Fim, "
             "(b.Auto IS NOT NULL OR ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) AS Agendado "
             "FROM CadSeq AS s INNER JOIN CadPos AS c ON c.Auto = s.Posicao "
             "LEFT JOIN CadProgVorna AS b ON b.SeqAuto = s.Auto "
             "WHERE s.Posicao = @Posicao AND s.Sequencia = (SELECT max(e.Sequencia) FROM CadSeq AS e "
             "WHERE e.Posicao = @Posicao AND e.Sequencia < @Sequencia) "
             "UNION ALL "
             "SELECT 'POS_ANT', s.Auto, "
             "(ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0), b.Fim, "
             "(b.Auto IS NOT NULL OR ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) "
             "FROM CadPos AS c INNER JOIN CadSeq AS s ON s.Posicao = c.Auto "
             "LEFT JOIN CadProgVorna AS b ON b.SeqAuto = s.Auto "
             "WHERE c.Pai = @Posicao AND s.Sequencia = (SELECT max(l.Sequencia) FROM CadSeq AS l "
             "WHERE l.Posicao = c.Auto))")},
    };
}

}  // namespace schema
