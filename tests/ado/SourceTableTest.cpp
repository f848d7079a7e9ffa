// The table a SELECT reads, for drivers that do not name the table of a result's columns.

#include "ado/SourceTable.h"

#include <gtest/gtest.h>

namespace {

TEST(SourceTableTest, OnlyASingleTableSelectNamesItsTable)
{
    EXPECT_EQ("CadSeq", ADODB::singleSourceTable("SELECT TOP 1 * FROM CadSeq WHERE Auto = 3"));
    EXPECT_EQ("CadSeq", ADODB::singleSourceTable("select * from dbo.[CadSeq] s with(nolock) order by 1"));
    EXPECT_EQ("Cad Par", ADODB::singleSourceTable(" select (select max(x) from y) as m from [Cad Par];"));
    for (const char* sql : {"select a.x from a inner join b on a.k = b.k", "select * from a, b",
                            "select distinct x from a", "select x, count(*) from a group by x",
                            "select x from a union select x from b", "select * from (select 1 as x) d",
                            "update a set x = 1", "select 1 as x", "select * from a; delete from b"})
        EXPECT_EQ("", ADODB::singleSourceTable(sql)) << sql;
}

}  // namespace
