#include "core/StringBuilder.h"

#include <gtest/gtest.h>

TEST(StringBuilder, JoinsPiecesWithTheChosenSeparator)
{
    StringBuilder sql;
    EXPECT_EQ(sql.Texto(), "");
    EXPECT_FALSE(sql.UsaCaracter());

    sql.append("Select *");
    sql.append("From CadOS");
    EXPECT_EQ(sql.Texto(), "Select *From CadOS");

    StringBuilder spaced;
    spaced.defineCaracter(" ");
    EXPECT_TRUE(spaced.UsaCaracter());
    spaced.append("Select *");
    spaced.append("From CadOS");
    EXPECT_EQ(spaced.Texto(), "Select * From CadOS ");

    spaced.append("");
    EXPECT_EQ(spaced.Texto(), "Select * From CadOS  ");
}

TEST(StringBuilder, SwitchAndClearKeepTheSeparator)
{
    StringBuilder entry;
    entry.defineCaracter("\r\n");
    entry.append("a");
    entry.setUsaCaracter(false);
    entry.append("b");
    entry.setUsaCaracter(true);
    entry.append("c");
    EXPECT_EQ(entry.Texto(), "a\r\nbc\r\n");

    entry.Limpa();
    EXPECT_EQ(entry.Texto(), "");
    EXPECT_TRUE(entry.UsaCaracter());
    entry.append("d");
    EXPECT_EQ(entry.Texto(), "d\r\n");
}
