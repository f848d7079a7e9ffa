#include "core/DBFunc.h"

#include "runtime/Err.h"
#include "support/FakeUiServices.h"

#include <gtest/gtest.h>

TEST(DBFuncFieldList, AddRules)
{
    DBFunc db;
    const auto posto = db.Add("Posto", "A", false);
    db.Add("Vazio", "   ");
    db.Add("Ausente");
    db.Add("Nome", "  d'Ávila ");
    db.Add("Cru", "  d'Ávila ", true, true, false);
    EXPECT_FALSE(db.Add("POSTO", "B", true));

    ASSERT_EQ(db.Count(), 5);
    EXPECT_EQ(db.Item(1), posto);
    EXPECT_EQ(posto->Valor(), vb::Variant("B"));
    EXPECT_FALSE(posto->Atualiza);
    EXPECT_TRUE(db.Item("vazio")->Valor().isNull());
    EXPECT_TRUE(db.Item(3)->Valor().isNull());
    EXPECT_EQ(db.Item("Nome")->Valor(), vb::Variant("d`Ávila"));
    EXPECT_EQ(db.Item("Cru")->Valor(), vb::Variant("  d'Ávila "));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());

    db.Remove(1);
    EXPECT_EQ(db.Item(1)->Campo, "Vazio");
    db.RemoveAll();
    db.RemoveAll();
    EXPECT_THROW(db.Remove(1), vb::VbError);

    DBFuncCol flag;
    flag.Tipo = 11;
    flag.setValor(vb::Variant::Null());
    EXPECT_EQ(flag.Valor(), vb::Variant(false));
}
