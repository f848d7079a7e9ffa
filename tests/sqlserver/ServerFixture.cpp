#include "ServerFixture.h"

#include "sqlserver/ServerDates.h"
#include "support/ModelDatabase.h"

#include <QDir>

namespace test {

ServerFixture::ServerFixture() : serverFolder(program.file(QStringLiteral("Dados")))
{
    installModelDatabase();
    QDir().mkpath(serverFolder);
    sqlserver::openServerDatabase(serverFolder, QStringLiteral("Master"))->execute(QStringLiteral("Create Database [Plant]"));
    plant = connect();
}

std::unique_ptr<sqlserver::Session> ServerFixture::connect() const
{
    return sqlserver::openServerDatabase(serverFolder, QStringLiteral("Plant"));
}

sqlserver::Rowset ServerFixture::rows(const QString& sql) const
{
    sqlserver::BatchResult result = plant->execute(sql);
    EXPECT_FALSE(result.rowsets.empty()) << sql.toStdString();
    return result.rowsets.empty() ? sqlserver::Rowset{} : result.rowsets.front();
}

vb::Variant ServerFixture::scalar(const QString& sql) const
{
    const sqlserver::Rowset r = rows(sql);
    EXPECT_FALSE(r.rows.empty()) << sql.toStdString();
    return r.rows.empty() ? vb::Variant() : r.rows.front().front();
}

QString ServerFixture::table(const QString& sql) const
{
    QStringList lines;
    for (const auto& row : rows(sql).rows) {
        QStringList values;
        for (const auto& v : row)
            values << (v.isNull() ? QStringLiteral("-") : v.toString());
        lines << values.join('|');
    }
    return lines.join(',');
}

long ServerFixture::errorOf(const QString& sql) const
{
    try {
        plant->execute(sql);
    } catch (const sqlserver::ServerError& e) {
        return e.number();
    }
    return 0;
}

QString ServerFixture::messageOf(const QString& sql) const
{
    try {
        plant->execute(sql);
    } catch (const sqlserver::ServerError& e) {
        return e.message();
    }
    return {};
}

void ServerFixture::native(const QStringList& statements) const
{
    for (const QString& sql : statements)
        plant->executeNative(sql, {});
}

// Work order 100 (queue position 5, due 10/12/2026, feeds sales order 500 whose item is work order 101):
//   position 1 (root, stage 1): operation 1 seq 10 on P1, operation 2 seq 20 on T1 (lead-time group);
//   position 2 (child of 1, stage 0): operation 3 seq 10 on P2 (booked 07/12 08:00-09:00, running since
//   07/12 08:05), operation 4 seq 20 on P1 (reported 4 of 10, scrap 1 confirmed and 2 requested).
// Work order 101 (queue position 9, status 1): position 3, operation 5 seq 10 on P1.
// Work order 102 is closed (status 3) and not queued.
// Stations P1, P2 (group 1, company 1, shift 1), P3 (group 1, inactive), T1 (group 2, lead time).
// Calendar of P1 and P2: 07/12/2026 and 08/12/2026, 06:00-10:00 and 10:15-14:00.
void ServerFixture::seedPlant() const
{
    native({
        "INSERT INTO CadGruMaq (Codigo, Descricao, Tipo) VALUES (1, 'Tornos', 0), (2, 'Tratamento', 3), "
        "(3, 'Expedição', 2)",
        "INSERT INTO CadPosto (Codigo, Descricao, Tipo, Empresa, RendMaq, QtdInterSeq, inativo, vornamaquina) VALUES "
        "('P1', 'Torno 1', 1, 1, 90, 2, 0, 1), ('P2', 'Torno 2', 1, 1, NULL, NULL, 0, 0), "
        "('P3', 'Torno 3', 1, 1, 100, 0, 1, 0), ('T1', 'Forno', 2, 1, 100, 0, 0, 0)",
        "INSERT INTO CadTrat (Codigo, Descricao, LeadTime) VALUES (1, 'Têmpera', 2)",
        "INSERT INTO CadTur2 (Turno, Descricao) VALUES (1, 'Dia'), (2, 'Noite')",
        "INSERT INTO CadTur2Item (Turno, DiaInicio, HoraInicio, DiaInicioIntervalo, HoraInicioIntervalo, "
        "DiaFimIntervalo, HoraFimIntervalo, DiaFim, HoraFim) VALUES "
        "(1, 3, '1899-12-30 06:00:00', 3, '1899-12-30 10:00:00', 3, '1899-12-30 10:15:00', 3, '1899-12-30 14:00:00'), "
        "(1, 2, '1899-12-30 06:00:00', 2, '1899-12-30 10:00:00', 2, '1899-12-30 10:15:00', 2, '1899-12-30 14:00:00'), "
        "(1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)",
        "INSERT INTO CadPostoTur (Posto, Turno) VALUES ('P1', 1), ('P2', 1), ('P3', 1)",
        "INSERT INTO CadCale2 (Turno, Posto, Inicio, InicioIntervalo, FimIntervalo, Fim) VALUES "
        "(1, 'P1', '2026-12-07 06:00:00', '2026-12-07 10:00:00', '2026-12-07 10:15:00', '2026-12-07 14:00:00'), "
        "(1, 'P1', '2026-12-08 06:00:00', '2026-12-08 10:00:00', '2026-12-08 10:15:00', '2026-12-08 14:00:00'), "
        "(1, 'P2', '2026-12-07 06:00:00', '2026-12-07 10:00:00', '2026-12-07 10:15:00', '2026-12-07 14:00:00')",
        "INSERT INTO CadOS (NrServ, Descricao, Cliente, Empresa, Data, DtEntr, Situacao, DataInicioMinimo, OS_PCP) "
        "VALUES (100, 'Eixo', 1, 1, '2026-12-01 00:00:00', '2026-12-10 00:00:00', 0, NULL, 1), "
        "(101, 'Flange', 1, 1, '2026-12-02 00:00:00', '2026-12-11 00:00:00', 1, '2026-12-03 08:00:00', 0), "
        "(102, 'Bucha', 1, 1, '2026-11-02 00:00:00', '2026-11-11 00:00:00', 3, NULL, 0)",
        "INSERT INTO CadPed (NrPed, Cliente, Data, NrServPCP) VALUES (500, 1, '2026-12-01 00:00:00', 100)",
        "INSERT INTO CadPedItem (NrPed, NrServ) VALUES (500, 101)",
        "INSERT INTO CadPos (Auto, NrServ, Pai, Etapa, Quant, Concluido) VALUES (1, 100, 0, 1, 10, 0), "
        "(2, 100, 1, 0, 10, 0), (3, 101, NULL, 0, 5, 0)",
        "INSERT INTO CadSeq (Auto, NrServ, Posicao, Sequencia, Posto, TempoPreparo, TempoUnitario, Tempo, QtdApontada, "
        "Concluido, NaoTrocarPosto, LeadTime, CodTrat) VALUES "
        "(1, 100, 1, 10, 'P1', 30, 6, 6, 0, 0, 0, NULL, NULL), (2, 100, 1, 20, 'T1', 0, 0, 0, 0, 0, 1, NULL, 1), "
        "(3, 100, 2, 10, 'P2', 15, 3, 3, 0, 0, 0, NULL, NULL), (4, 100, 2, 20, 'P1', 10, 2, 2, 4, 0, 0, NULL, NULL), "
        "(5, 101, 3, 10, 'P1', 5, 1, 1, 0, 0, 0, NULL, NULL)",
        "INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (100, 5), (101, 9)",
        "INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (3, 'P2', '2026-12-07 08:00:00', "
        "'2026-12-07 09:00:00')",
        "INSERT INTO CadExe (Programa, Posto, Inicio, Fim, Executando) VALUES (3, 'P2', '2026-12-07 08:05:00', NULL, 1), "
        "(4, 'P1', '2026-12-07 06:00:00', '2026-12-07 06:30:00', 0)",
        "INSERT INTO CadSolRefugo (Programa, Situacao, Qtd, QtdRejeitada) VALUES (4, 1, 0, 1), (4, 0, 2, 0)",
        "INSERT INTO CadParBex (ultcale, Refugo, GerarOS_PCP) VALUES ('2026-12-08 00:00:00', 1, 0)",
        "INSERT INTO Parametro (Parametro, Valor) VALUES ('Empresa', '3')",
        "INSERT INTO CadScript (ID_Script, Fonte) VALUES (1, 'MsgBox 1')",
        "INSERT INTO CadCampo (Auto, Descricao) VALUES (7, 'Campo sete')",
    });
}

vb::Date dateOf(int year, int month, int day, int hour, int minute, int second)
{
    return sqlserver::joinDate(sqlserver::DateParts{year, month, day, hour, minute, second, 0});
}

}  // namespace test
