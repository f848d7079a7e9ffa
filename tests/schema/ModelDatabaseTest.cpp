// The model database: it applies to a new file, holds the columns the scheduler uses, and keeps the
// defaults and rules the scheduler relies on.

#include "schema/ModelDatabase.h"
#include "schema/SqliteDatabase.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ModelDatabaseTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        db.executeScript(schema::modelSchemaSql());
    }

    QStringList columnsOf(const QString& table)
    {
        QStringList columns;
        for (const QVariantList& row : db.rows("SELECT name FROM pragma_table_info(?)", {table}))
            columns.append(row.at(0).toString().toLower());
        return columns;
    }

    QTemporaryDir folder;
    schema::SqliteDatabase db{folder.filePath("model.db")};
};

TEST_F(ModelDatabaseTest, HoldsTheColumnsTheSchedulerUses)
{
    const QList<QPair<QString, QString>> expected = {
        {"CadOS", "NrServ DtEntr Situacao Data DataInicioMinimo OS_PCP Cliente Empresa"},
        {"CadPos", "Auto NrServ Pai Etapa Quant Concluido Bruta Revisao Descricao Hierarquia"},
        {"CadSeq", "Auto NrServ Posicao Sequencia Posto TempoPreparo TempoUnitario Tempo QtdApontada Apont2 "
                   "Concluido NaoTrocarPosto InicioMinimo LeadTime CodTrat Data Inicio Termino DataSequencia"},
        {"CadPosto", "Codigo Descricao Tipo Empresa RendMaq QtdInterSeq inativo vornamaquina"},
        {"CadGruMaq", "Codigo Descricao Tipo"},
        {"CadTrat", "Codigo LeadTime"},
        {"CadTur2", "Turno"},
        {"CadTur2Item", "Turno DiaInicio HoraInicio DiaInicioIntervalo HoraInicioIntervalo DiaFimIntervalo "
                        "HoraFimIntervalo DiaFim HoraFim"},
        {"CadPostoTur", "Turno Posto"},
        {"CadCale2", "Auto Turno Posto Inicio InicioIntervalo FimIntervalo Fim Programado"},
        {"CadExe", "Programa Posto Inicio Fim Executando"},
        {"CadSolRefugo", "Programa Situacao Qtd QtdRejeitada"},
        {"CadFilaVorna", "Auto NrServ Ordem DataEntrega DataTermino Falhou Atrasado Adiantado"},
        {"CadProgVorna", "Auto SeqAuto Posto Inicio Fim"},
        {"CadPed", "NrPed NrServPCP PCP_PrevConclusao"},
        {"CadPedItem", "NrPed NrServ"},
        {"CadPar", "Empresa Proxy PortaProxy UserProxy Password CasasDecEnt CasasDecSai FonteMin"},
        {"CadParBex", "ultcale Refugo GerarOS_PCP"},
        {"Parametro", "Parametro Valor"},
        {"CadCampo", "Auto Descricao"},
        {"CadScript", "ID_Script Fonte"},
        {"CadCli", "Codigo"},
        {"CadEmp", "Codigo"},
        {"CadGruOS", "Codigo"},
        {"CtrlText", "Auto"},
    };
    for (const auto& [table, columns] : expected) {
        const QStringList present = columnsOf(table);
        ASSERT_FALSE(present.isEmpty()) << table.toStdString();
        for (const QString& column : columns.split(' '))
            EXPECT_TRUE(present.contains(column.toLower())) << (table + "." + column).toStdString();
    }
}

TEST_F(ModelDatabaseTest, KeepsTheDefaultsAndRulesTheSchedulerReliesOn)
{
    // A calendar row inserted without Programado is active working time, and gets an identity.
    db.run("INSERT INTO CadCale2 (Turno, Posto, Inicio, Fim) VALUES (1, 'P1', '2024-03-04 07:00:00', "
           "'2024-03-04 17:00:00')");
    db.run("INSERT INTO CadCale2 (Turno, Posto, Inicio, Fim) VALUES (1, 'P1', '2024-03-05 07:00:00', "
           "'2024-03-05 17:00:00')");
    EXPECT_EQ(db.rows("SELECT Auto, Programado FROM CadCale2 ORDER BY Auto"),
              (QList<QVariantList>{{1, 0}, {2, 0}}));

    // Identities are never handed out twice, even after the last row is deleted.
    db.run("DELETE FROM CadCale2 WHERE Auto = 2");
    EXPECT_EQ(db.run("INSERT INTO CadCale2 (Turno, Posto) VALUES (1, 'P1')"), 3);

    // A work order is queued once: a second row for it is refused.
    db.run("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (7, 1)");
    EXPECT_THROW(db.run("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (7, 2)"), std::runtime_error);
    EXPECT_EQ(db.value("SELECT count(*) FROM CadFilaVorna").toInt(), 1);

    // Station codes compare without case, as on the server.
    db.run("INSERT INTO CadPosto (Codigo, Tipo) VALUES ('LAS01', 1)");
    db.run("INSERT INTO CadSeq (NrServ, Posicao, Posto) VALUES (7, 1, 'las01')");
    EXPECT_EQ(db.value("SELECT count(*) FROM CadSeq JOIN CadPosto ON CadSeq.Posto = CadPosto.Codigo").toInt(), 1);
    EXPECT_EQ(db.value("SELECT count(*) FROM CadPosto WHERE Codigo = 'Las01'").toInt(), 1);
}

TEST(ModelSchemaText, SplitsIntoSingleStatementsAtSemicolons)
{
    QTemporaryDir folder;
    schema::SqliteDatabase db(folder.filePath("split.db"));
    int statements = 0;
    for (const QString& statement : schema::modelSchemaSql().split(';')) {
        // A piece holding only comments and blanks is not a statement.
        QStringList code;
        for (const QString& line : statement.split('\n'))
            if (!line.trimmed().startsWith("--") && !line.trimmed().isEmpty())
                code.append(line);
        if (code.isEmpty())
            continue;
        EXPECT_NO_THROW(db.run(statement)) << statement.toStdString();
        ++statements;
    }
    EXPECT_EQ(db.value("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")
                  .toInt(),
              25);
    EXPECT_GT(statements, 25);
}

}  // namespace
