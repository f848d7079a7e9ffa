#include "core/DBFunc.h"

#include <gtest/gtest.h>

TEST(DBFuncDialect, ServerTextUnlessAccess)
{
    DBFunc db;
    const vb::Date moment(vb::DateSerial(2026, 12, 5).serial + vb::TimeSerial(7, 5, 9).serial);
    for (int kind : {0, 2}) {
        db.TipoBanco = kind;
        EXPECT_EQ(db.Formata("c.Data", "DD/MM/YYYY"), " CONVERT(CHAR(10),c.Data,103) ");
        EXPECT_EQ(db.Formata("c.Data", "mm/dd/yy"), " CONVERT(CHAR(8),c.Data,3) ");
        EXPECT_EQ(db.Formata("c.Data", "hh:nn"), " CONVERT(CHAR(5), c.Data, 108) ");
        EXPECT_EQ(db.Formata("x", "0.0000"), " CAST(x AS DECIMAL(18,4)) ");
        EXPECT_EQ(db.Formata("x", "0."), " CAST(x AS DECIMAL(18,0)) ");
        EXPECT_EQ(db.Formata("x", "#,##0"), "");
        EXPECT_EQ(db.FormataData(moment), " '2026-12-05' ");
        EXPECT_EQ(db.FormataHora(vb::TimeSerial(19, 0, 0)), " '19:00:00' ");
        EXPECT_EQ(db.CondicaoZub("a = 'O'Hara'", "1", "0"), " CASE WHEN a = 'O'Hara' THEN 1 ELSE 0 END ");
        EXPECT_EQ(db.DateDiffZUB("minute", "a", "b"), " DateDiff(minute,a,b) ");
        EXPECT_EQ(db.IntZub("x"), " Round(x,0) ");
        EXPECT_EQ(db.NowZub(), "GetDate()");
    }
    db.TipoBanco = 1;
    EXPECT_EQ(db.Formata("c.Data", "DD/MM/YYYY"), " Format(c.Data,'DD/MM/YYYY') ");
    EXPECT_EQ(db.FormataData(moment), " #12/05/2026# ");
    EXPECT_EQ(db.FormataHora(moment), " #07:05:09# ");
    EXPECT_EQ(db.CondicaoZub("a", "1", "0"), " IIF(a,1,0) ");
    EXPECT_EQ(db.DateDiffZUB("n", "a", "b"), " DateDiff('n',a,b) ");
    EXPECT_EQ(db.IntZub("x"), " Int(x) ");
    EXPECT_EQ(db.NowZub(), "Now()");
}
