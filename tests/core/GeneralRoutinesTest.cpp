#include "core/Modulo.h"

#include "runtime/App.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

TEST(ValorNumerico, NumbersAndNumericTextOnly)
{
    EXPECT_EQ(Modulo::ValorNumerico(""), 0.0);
    EXPECT_EQ(Modulo::ValorNumerico(vb::Variant::Null()), 0.0);
    EXPECT_EQ(Modulo::ValorNumerico(vb::Variant()), 0.0);
    EXPECT_EQ(Modulo::ValorNumerico("abc"), 0.0);
    EXPECT_EQ(Modulo::ValorNumerico("12abc"), 0.0);
    EXPECT_EQ(Modulo::ValorNumerico("1,5"), 1.5);
    EXPECT_EQ(Modulo::ValorNumerico(" -12 "), -12.0);
    EXPECT_EQ(Modulo::ValorNumerico(7), 7.0);
    EXPECT_EQ(Modulo::ValorNumerico(2.25), 2.25);
}

TEST(FormataDuracao, UnitByMagnitudeOneDecimalNoZeroDecimal)
{
    EXPECT_EQ(Modulo::FormataDuracao(90), "1,5h");
    EXPECT_EQ(Modulo::FormataDuracao(120), "2h");
    EXPECT_EQ(Modulo::FormataDuracao(45), "45m");
    EXPECT_EQ(Modulo::FormataDuracao(2880), "2d");
    EXPECT_EQ(Modulo::FormataDuracao(0), "0m");
    EXPECT_EQ(Modulo::FormataDuracao(12.34), "12,3m");
    // 59.99 stays in minutes although it rounds up to 60.
    EXPECT_EQ(Modulo::FormataDuracao(59.99), "60m");
    EXPECT_EQ(Modulo::FormataDuracao(60), "1h");
    EXPECT_EQ(Modulo::FormataDuracao(100), "1,7h");
    EXPECT_EQ(Modulo::FormataDuracao(1439), "24h");
    EXPECT_EQ(Modulo::FormataDuracao(1440), "1d");
    EXPECT_EQ(Modulo::FormataDuracao(2160), "1,5d");
}

TEST(AlinhaTexto, CutsThenPads)
{
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 0), "abc  ");
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 1), "  abc");
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 2), " abc");
    // Half the missing blanks, halves to even: 1.5 -> 2, 2.5 -> 2.
    EXPECT_EQ(Modulo::AlinhaTexto("ab", 5, 2), "  ab");
    EXPECT_EQ(Modulo::AlinhaTexto("ab", 7, 2), "  ab");
    for (int alignment : {0, 1, 2})
        EXPECT_EQ(Modulo::AlinhaTexto("abcdef", 3, alignment), "abc") << alignment;
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 0, 0), "");
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 3), "");
}

TEST(CaminhoApp, ProgramFolderWithoutTrailingSlash)
{
    test::ProgramFolder folder;
    EXPECT_EQ(Modulo::CaminhoApp(), folder.path());
    EXPECT_FALSE(Modulo::CaminhoApp().endsWith('/'));

    vb::App::setPath("/");
    EXPECT_EQ(Modulo::CaminhoApp(), "");
}
