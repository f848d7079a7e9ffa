#include "PlantDatabase.h"

#include "scheduling/LoadQueue.h"
#include "support/FakeUiServices.h"

#include <QSet>
#include <gtest/gtest.h>

using test::at;

namespace {

class LoadQueue : public testing::Test {
protected:
    LoadQueue()
    {
        for (int number : {101, 102, 103, 104})
            db.plant().addWorkOrder({.number = number, .date = at(QDate(2026, 3, 2), 0)});
    }

    // Work order -> Ordem, in queue order.
    QList<std::pair<int, int>> queue()
    {
        QList<std::pair<int, int>> result;
        for (const QVariantList& r : db.file().rows("SELECT NrServ, Ordem FROM CadFilaVorna ORDER BY Ordem, Auto"))
            result.append({r[0].toInt(), r[1].toInt()});
        return result;
    }

    test::PlantDatabase db;
};

using Queue = QList<std::pair<int, int>>;

}  // namespace

TEST_F(LoadQueue, AppendsAtTheEndAndMovesAQueuedWorkOrderThere)
{
    modMonta::AdicionaFila(101);
    EXPECT_EQ(queue(), Queue({{101, 1}}));
    modMonta::AdicionaFila(102);
    modMonta::AdicionaFila(103);
    EXPECT_EQ(queue(), Queue({{101, 1}, {102, 2}, {103, 3}}));

    // Queued already: the database refuses the second row, the old one goes and a new one ends the queue.
    modMonta::AdicionaFila(101);
    EXPECT_EQ(queue(), Queue({{102, 2}, {103, 3}, {101, 4}}));
    // The refused first try is not shown to the user.
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(LoadQueue, RenumberingClosesTheGapsInOrder)
{
    db.plant().execute("INSERT INTO CadFilaVorna (NrServ, Ordem) VALUES (104, 12), (101, 7), (102, 3), (103, 7)");

    modMonta::RenumeraFila();
    // The two former 7s take 2 and 3, next to each other.
    const Queue renumbered = queue();
    ASSERT_EQ(renumbered.size(), 4);
    EXPECT_EQ(renumbered[0], std::pair(102, 1));
    EXPECT_EQ(renumbered[1].second, 2);
    EXPECT_EQ(renumbered[2].second, 3);
    EXPECT_EQ(QSet<int>({renumbered[1].first, renumbered[2].first}), QSet<int>({101, 103}));
    EXPECT_EQ(renumbered[3], std::pair(104, 4));

    EXPECT_EQ(test::fakeUi().pointerChanges, QList<int>({vb::vbHourglass, vb::vbDefault}));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(LoadQueue, RemovingTakesOutBookingsAndTheQueueRow)
{
    schema::PlantBuilder& plant = db.plant();
    plant.addMachineGroup(1, "Solda", schema::WeldingGroup);
    plant.addStation({.code = "SOL01", .group = 1});
    const QDate day(2026, 3, 2);
    for (int order : {101, 102}) {
        const int position = plant.addPosition({.workOrder = order});
        const int operation = plant.addOperation({.position = position, .sequence = 1, .station = "SOL01"});
        plant.addBooking(operation, "SOL01", at(day, order - 93), at(day, order - 92));
        modMonta::AdicionaFila(order);
    }

    modMonta::RemoveOSVorna(101);
    EXPECT_EQ(queue(), Queue({{102, 2}}));
    EXPECT_EQ(db.file().value("SELECT count(*) FROM CadProgVorna").toInt(), 1);
    EXPECT_EQ(db.file().value("SELECT CadSeq.NrServ FROM CadProgVorna JOIN CadSeq ON CadSeq.Auto = SeqAuto").toInt(),
              102);
}
