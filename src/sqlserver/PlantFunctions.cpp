#include "sqlserver/PlantFunctions.h"

namespace sqlserver {

QString reportedQuantityExpression(const QString& operation)
{
    return QStringLiteral("ifnull((SELECT q.QtdApontada FROM CadSeq AS q WHERE q.Auto = (%1)), 0)").arg(operation);
}

QString dependenciesQuery(const QString& position, const QString& sequence)
{
    return QStringLiteral(
               "(SELECT 'PROG_ANT' AS Tipo, s.Auto AS Programa_anterior, "
               "(ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) AS Concluido, b.Fim AS Fim, "
               "(b.Auto IS NOT NULL OR ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) AS Agendado "
               "FROM CadSeq AS s INNER JOIN CadPos AS c ON c.Auto = s.Posicao "
               "LEFT JOIN CadProgVorna AS b ON b.SeqAuto = s.Auto "
               "WHERE s.Posicao = (%1) AND s.Sequencia = (SELECT max(e.Sequencia) FROM CadSeq AS e "
               "WHERE e.Posicao = (%1) AND e.Sequencia < (%2)) "
               "UNION ALL "
               "SELECT 'POS_ANT', s.Auto, "
               "(ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0), b.Fim, "
               "(b.Auto IS NOT NULL OR ifnull(s.Concluido, 0) <> 0 OR ifnull(c.Concluido, 0) <> 0) "
               "FROM CadPos AS c INNER JOIN CadSeq AS s ON s.Posicao = c.Auto "
               "LEFT JOIN CadProgVorna AS b ON b.SeqAuto = s.Auto "
               "WHERE c.Pai = (%1) AND s.Sequencia = (SELECT max(l.Sequencia) FROM CadSeq AS l "
               "WHERE l.Posicao = c.Auto))")
        .arg(position, sequence);
}

}  // namespace sqlserver
