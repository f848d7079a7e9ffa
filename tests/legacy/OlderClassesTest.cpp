// The loader and the work order of the older classes, on both connection kinds.

#include "LegacyDatabase.h"

#include "legacy/clsCarrega.h"
#include "legacy/clsOS.h"
#include "legacy/colPostos.h"
#include "runtime/Err.h"
#include "support/ErrorNumber.h"

#include <QStringList>

using test::ConnectionKind;

namespace {

const QDate monday(2026, 3, 2);

class OlderClasses : public testing::TestWithParam<ConnectionKind> {
protected:
    // Position Auto -> Etapa, as "auto:etapa" in Auto order.
    QStringList stages(int workOrder)
    {
        QStringList texts;
        for (const QVariantList& row : db.file().rows("SELECT Auto, Etapa FROM CadPos WHERE NrServ = ? ORDER BY Auto",
                                                      {workOrder}))
            texts << row[0].toString() + ":" + row[1].toString();
        return texts;
    }

    int position(int workOrder, int parent, const QString& hierarchy, const QString& drawing = "X")
    {
        return db.plant().addPosition(
            {.workOrder = workOrder, .parent = parent, .stage = 9, .hierarchy = hierarchy, .drawing = drawing});
    }

    test::LegacyDatabase db{GetParam()};
};

}  // namespace

TEST_P(OlderClasses, StagesAreTheHeightOfEachSubtreeInsideOneTransaction)
{
    db.plant().addWorkOrder({.number = 5});
    const int root = position(5, 0, "001");
    const int child = position(5, root, "001.001");
    const int grandchild = position(5, child, "001.001.001");
    const int leaf = position(5, root, "001.002");
    db.plant().addWorkOrder({.number = 6});
    const int other = position(6, 0, "001");

    clsCarrega().InserirOS(5, nullptr);
    EXPECT_EQ(stages(5), QStringList({QString("%1:2").arg(root), QString("%1:1").arg(child),
                                      QString("%1:0").arg(grandchild), QString("%1:0").arg(leaf)}));
    EXPECT_EQ(stages(6), QStringList{QString("%1:9").arg(other)});
    EXPECT_FALSE(BancoAtual().TransacaoAtiva());

    // A position without a code has no stage: the error reaches the caller and the transaction is not left
    // open. On the server nothing of the work order is kept; Access has no caller transaction to undo.
    db.plant().execute("UPDATE CadPos SET Etapa = 9");
    const int uncoded = position(5, leaf, "");
    db.plant().execute("UPDATE CadPos SET Hierarquia = NULL WHERE Hierarquia = ''");
    EXPECT_EQ(test::errorNumber([] { clsCarrega().InserirOS(5, nullptr); }), vb::ErrNo::InvalidUseOfNull);
    EXPECT_FALSE(BancoAtual().TransacaoAtiva());
    const QString kept = GetParam() == ConnectionKind::Server ? "9" : "2";
    EXPECT_EQ(stages(5).first(), QString("%1:%2").arg(root).arg(kept));
    EXPECT_EQ(stages(5).last(), QString("%1:9").arg(uncoded));
}

TEST_P(OlderClasses, WorkOrderLoadsItsDeliveryDateAndPositionsInStageOrder)
{
    db.plant().addWorkOrder({.number = 7, .delivery = QDateTime(monday, QTime(15, 30))});
    db.plant().addPosition({.workOrder = 7, .stage = 2, .quantity = 3, .drawing = "Base"});
    const int top = db.plant().addPosition({.workOrder = 7, .stage = 0, .quantity = 1.5, .drawing = "Tampa"});
    db.plant().addWorkOrder({.number = 8});  // no delivery date
    db.plant().addPosition({.workOrder = 9, .stage = 1, .drawing = "Solta"});  // no work order 9

    const auto order = std::make_shared<clsOS>();
    clsOS& os = *order;
    os.NrServ = 7;
    os.CarregaOS();
    EXPECT_EQ(os.DataEntrega, test::at(monday, 15, 30));
    ASSERT_EQ(os.Posicoes.Count(), 2);
    const auto first = *os.Posicoes.begin();
    EXPECT_EQ(first, os.Posicoes.Item(top));  // by its Auto
    EXPECT_EQ(first->Desenho, "Tampa");
    EXPECT_EQ(first->Quant, 1.5);
    EXPECT_EQ(first->OS, order);
    EXPECT_EQ(os.Posicoes.KeyedCollection::Item(2)->Etapa, 2);  // by position
    os.Posicoes.Clear();

    const auto semData = std::make_shared<clsOS>();
    semData->NrServ = 8;
    semData->CarregaOS();
    EXPECT_EQ(semData->DataEntrega, vb::Today());

    // A position read after its work order was let go still reads it.
    std::shared_ptr<clsPosicao> solta;
    {
        const auto ausente = std::make_shared<clsOS>();
        ausente->NrServ = 9;
        ausente->CarregaOS();
        EXPECT_TRUE(ausente->DataEntrega.isZero());
        ASSERT_EQ(ausente->Posicoes.Count(), 1);
        solta = *ausente->Posicoes.begin();
    }
    EXPECT_EQ(solta->Desenho, "Solta");
    EXPECT_EQ(solta->OS->NrServ, 9);
    solta->OS->Posicoes.Clear();
}

TEST_P(OlderClasses, StationsOfACompanyEachWithItsPeriods)
{
    db.plant().addStation({.code = "TOR02", .description = "Torno 2", .group = 7, .company = 1});
    db.plant().addStation({.code = "FRE01", .description = "Fresa", .group = 3, .company = 1});
    db.plant().addStation({.code = "OUT01", .company = 2});
    db.plant().addCalendarRow({.station = "TOR02", .start = QDateTime(monday, QTime(8, 0)),
                               .breakStart = QDateTime(monday, QTime(12, 0)),
                               .breakEnd = QDateTime(monday, QTime(13, 0)), .end = QDateTime(monday, QTime(17, 0))});
    const clsPeriodo semana(test::at(monday, 0), test::at(monday.addDays(6), 0));

    auto postos = std::make_shared<colPostos>();
    const auto anteriores = postos;
    clsCarrega carrega;
    carrega.Carrega(3, semana, postos);
    EXPECT_EQ(postos, anteriores);

    carrega.Carrega(1, semana, postos);
    ASSERT_NE(postos, anteriores);
    EXPECT_EQ(postos->Empresa, 1);
    ASSERT_EQ(postos->Count(), 2);
    const auto fresa = postos->Item(1);
    EXPECT_EQ(fresa->Codigo, "FRE01");
    EXPECT_EQ(fresa->Descricao, "Fresa");
    EXPECT_EQ(fresa->Tipo, 3);
    ASSERT_TRUE(fresa->Turnos);
    EXPECT_EQ(fresa->Turnos->Count(), 0);
    const auto torno = postos->Item("TOR02");
    EXPECT_EQ(torno->Tipo, 7);
    ASSERT_TRUE(torno->Turnos);
    EXPECT_EQ(torno->Turnos->Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(BothConnections, OlderClasses, testing::Values(ConnectionKind::Server, ConnectionKind::Access),
                         test::kindName);
