#include "core/StringBuilder.h"

#include <gtest/gtest.h>

TEST(StringBuilder, EachPieceIsFollowedByTheSeparatorWhileItIsOn)
{
    StringBuilder plain;
    EXPECT_EQ(plain.Texto(), "");
    plain.append("Select *");
    plain.append("From CadOS");
    EXPECT_EQ(plain.Texto(), "Select *From CadOS");

    StringBuilder entry;
    entry.defineCaracter("\r\n");
    entry.append("a");
    entry.append("");
    EXPECT_EQ(entry.Texto(), "a\r\n\r\n");
    entry.Limpa();
    entry.append("b");
    entry.setUsaCaracter(false);
    entry.append("c");
    EXPECT_EQ(entry.Texto(), "b\r\nc");
}
