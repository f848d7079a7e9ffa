// Prints what translating a statement costs, without the session's translation cache: tokenizing, the
// dialect's rewrites and the typing of expressions, for statements of the kinds the scheduler and the reports
// send. A session pays it once per statement shape.
//
//   translation_bench [rounds = 2000]

#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"
#include "runtime/App.h"
#include "sqlserver/DatabaseFiles.h"
#include "sqlserver/SchemaInfo.h"
#include "sqlserver/Session.h"
#include "sqlserver/Translator.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    QTemporaryDir program;
    vb::App::setPath(program.path());
    sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
    QDir(program.path()).mkpath(QStringLiteral("data"));
    sqlserver::createDatabase(program.path() + QStringLiteral("/data"), QStringLiteral("Bench"));
    const auto session = sqlserver::openServerDatabase(QStringLiteral("data"), QStringLiteral("Bench"));
    auto& schema = dynamic_cast<sqlserver::SchemaInfo&>(*session);
    const QHash<QString, QString> variables = {{QStringLiteral("@M"), QStringLiteral("int")}};

    const QStringList statements = {
        QStringLiteral("Select CadSeq.Auto,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant From CadSeq with(nolock) "
                       "Inner Join CadPos with(nolock) On CadPos.Auto = CadSeq.Posicao Where CadSeq.NrServ = :1 "
                       "Order By CadSeq.Sequencia"),
        QStringLiteral(
            "SELECT Inicio,Fim FROM CadProgVorna with(nolock) WHERE posto = :1 AND Fim > :2 ORDER BY Inicio"),
        QStringLiteral("select inicio,fimintervalo from cadcale2 with(nolock) where Programado=0 and posto = :1"),
        QStringLiteral("Select Top 1 CadSeq.Termino From CadPos with(nolock) Inner Join CadSeq with(nolock) ON "
                       "CadPos.Auto = CadSeq.Posicao Where CadPos.NrServ = :1 Order By CadSeq.Termino Desc"),
        QStringLiteral("Select @m = isnull(Max(Ordem),0) + 1 from CadFilaVorna"),
        QStringLiteral("Insert InTo CadProgVorna (SeqAuto,Posto,Inicio,Fim)Values(:1,:2,:3,:4)"),
        QStringLiteral("update cadseq set Data = cast(floor(cast(cadprogvorna.inicio as float))as datetime) from "
                       "cadseq inner join cadprogvorna on cadprogvorna.seqauto = cadseq.auto where cadseq.nrserv = :1"),
        QStringLiteral("delete from cadprogvorna where seqauto in (select auto from cadseq where nrserv = :1)"),
        QStringLiteral("select cadposto.Codigo,isnull(CadPosto.RendMaq,0) as RendMaq, CadPosto.Tipo from cadposto "
                       "with(nolock) where cadposto.inativo = :1"),
        QStringLiteral("SELECT Max(CadProgVorna.Fim) AS Fim FROM (CadPos with(nolock) INNER JOIN CadSeq with(nolock) "
                       "ON CadPos.Auto = CadSeq.Posicao) INNER JOIN CadProgVorna ON CadProgVorna.SeqAuto = CadSeq.Auto "
                       "WHERE CadPos.NrServ = :1"),
        QStringLiteral("SELECT s.NrServ, SUM(s.TempoPreparo + s.TempoExecucao * p.Quant / 60) AS Carga, "
                       "COUNT(*) AS N FROM CadSeq s INNER JOIN CadPos p ON p.Auto = s.Posicao GROUP BY s.NrServ"),
        QStringLiteral("SELECT TOP 1 Valor FROM Parametro WHERE Parametro = :1"),
    };

    std::vector<sqlserver::Tokens> tokens;
    for (const QString& sql : statements)
        tokens.push_back(sqlserver::tokenize(sql));
    std::vector<double> perStatement;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t plans = 0;
        for (int r = 0; r < rounds; ++r) {
            for (const sqlserver::Tokens& t : tokens)
                plans += sqlserver::translateStatement(t, {sqlserver::Dialect::SqlServer, schema, variables}).size();
        }
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        perStatement.push_back(spent.count() / double(rounds * statements.size()));
        if (plans == 0)
            return 1;
    }
    std::sort(perStatement.begin(), perStatement.end());
    std::printf("Translation of %lld statements of the scheduler's and the reports' kinds, %d rounds\n",
                (long long)statements.size(), rounds);
    std::printf("  microseconds per statement (median of 5): %.2f\n", perStatement[2]);
    return 0;
}
