// The keyed collections of the older classes: positions by Auto, operations with or without a key.

#include "legacy/clsOS.h"
#include "legacy/colSequencia.h"
#include "legacy/colTurnos.h"
#include "runtime/Err.h"
#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

using test::errorNumber;

TEST(KeyedCollections, PositionsAreKeyedByAutoAndRefuseADuplicate)
{
    const auto order = std::make_shared<clsOS>();
    clsOS& os = *order;
    const auto first = os.Posicoes.Add(order, 10, "D-10", 2.5, 1);
    os.Posicoes.Add(order, 7, "D-7", 1, 0);
    EXPECT_EQ(first->OS, order);
    EXPECT_EQ(first->Desenho, "D-10");
    EXPECT_EQ(first->Quant, 2.5);
    EXPECT_EQ(first->Etapa, 1);

    try {
        os.Posicoes.Add(order, 10, "outra", 1, 0);
        FAIL() << "a second position with Auto 10 was accepted";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.number(), 457);
        EXPECT_EQ(e.description(), "This key is already associated with an element of this collection");
    }
    ASSERT_EQ(os.Posicoes.Count(), 2);
    EXPECT_EQ(os.Posicoes.Item(10), first);
    EXPECT_EQ(os.Posicoes.Item(7)->Desenho, "D-7");
    EXPECT_EQ(errorNumber([&] { os.Posicoes.Item(8); }), vb::ErrNo::InvalidProcedureCall);

    os.Posicoes.Remove(10);
    QStringList left;
    for (const auto& posicao : os.Posicoes)
        left << posicao->Desenho;
    EXPECT_EQ(left, QStringList{"D-7"});
    os.Posicoes.Clear();
    EXPECT_EQ(os.Posicoes.Count(), 0);
}

TEST(KeyedCollections, APositionKeepsItsWorkOrderAlive)
{
    std::weak_ptr<clsOS> gone;
    std::shared_ptr<clsPosicao> kept;
    {
        const auto order = std::make_shared<clsOS>();
        order->NrServ = 4711;
        kept = order->Posicoes.Add(order, 1, "D-1", 1, 0);
        order->Posicoes.Add(order, 2, "D-2", 1, 0);
        gone = order;
    }
    ASSERT_FALSE(gone.expired()) << "the positions hold their work order";
    EXPECT_EQ(kept->OS->NrServ, 4711);
    EXPECT_EQ(kept->OS->Posicoes.Count(), 2);

    // Removing the position held here from its collection leaves it holding its work order.
    kept->OS->Posicoes.Remove(1);
    EXPECT_EQ(kept->OS->NrServ, 4711);
    // Emptying the positions lets the work order go once the last position held here goes.
    kept->OS->Posicoes.Clear();
    EXPECT_FALSE(gone.expired());
    kept.reset();
    EXPECT_TRUE(gone.expired());
}

TEST(KeyedCollections, OperationsWithoutAKeyAreReachedByPositionOnly)
{
    colSequencia sequencias;
    const auto semChave = sequencias.Add(10, nullptr, 30, 5);
    const auto comChave = sequencias.Add(20, nullptr, 40, 0, "Op20");
    EXPECT_EQ(semChave->TempoProgramado, 30);
    EXPECT_EQ(semChave->TempoPreparo, 5);

    EXPECT_EQ(sequencias.Item(1), semChave);
    EXPECT_EQ(sequencias.Item("op20"), comChave);  // keys compare without case
    EXPECT_EQ(sequencias.Item(2), comChave);
    EXPECT_EQ(errorNumber([&] { sequencias.Item(""); }), vb::ErrNo::InvalidProcedureCall);
    EXPECT_EQ(errorNumber([&] { sequencias.Item(3); }), vb::ErrNo::SubscriptOutOfRange);
    EXPECT_EQ(errorNumber([&] { sequencias.Add(30, nullptr, 0, 0, "OP20"); }), 457);
    // Any number of operations without a key.
    sequencias.Add(40, nullptr, 0, 0);
    EXPECT_EQ(sequencias.Count(), 3);

    sequencias.Remove(1);
    EXPECT_EQ(sequencias.Item(1), comChave);
    sequencias.Remove("OP20");
    EXPECT_EQ(sequencias.Item(1)->Sequencia, 40);
}

TEST(KeyedCollections, PeriodsArePositionalFromOne)
{
    colTurnos turnos;
    turnos.Add(clsPeriodo(vb::Date(2), vb::Date(3)));
    turnos.Add(clsPeriodo(vb::Date(1), vb::Date(2)));
    EXPECT_EQ(turnos.Item(1).Inicio(), vb::Date(2));
    turnos.Ordena();
    EXPECT_EQ(turnos.Item(1).Inicio(), vb::Date(1));
    EXPECT_EQ(errorNumber([&] { turnos.Item(0); }), vb::ErrNo::SubscriptOutOfRange);
    turnos.Remove(1);
    ASSERT_EQ(turnos.Count(), 1);
    EXPECT_EQ(turnos.Item(1).Inicio(), vb::Date(2));
    EXPECT_EQ(errorNumber([&] { turnos.Remove(2); }), vb::ErrNo::SubscriptOutOfRange);
}
