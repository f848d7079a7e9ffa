#include "core/Modulo.h"

#include "runtime/App.h"
#include "support/ProgramFolder.h"

#include <gtest/gtest.h>

TEST(GeneralRoutines, ValorNumericoGivesZeroForAnythingNotNumeric)
{
    EXPECT_EQ(Modulo::ValorNumerico("1,5"), 1.5);
    EXPECT_EQ(Modulo::ValorNumerico(7), 7.0);
    for (const vb::Variant& v : {vb::Variant(""), vb::Variant::Null(), vb::Variant("abc"), vb::Variant("12abc")})
        EXPECT_EQ(Modulo::ValorNumerico(v), 0.0);
}

TEST(GeneralRoutines, FormataDuracaoChoosesTheUnitThenRoundsToOneDecimal)
{
    const std::pair<double, const char*> cases[] = {{90, "1,5h"}, {120, "2h"},  {45, "45m"},   {2880, "2d"},
                                                    {59.99, "60m"}, {60, "1h"}, {1439, "24h"}, {1440, "1d"},
                                                    {12.34, "12,3m"}};
    for (const auto& [minutes, text] : cases)
        EXPECT_EQ(Modulo::FormataDuracao(minutes), text) << minutes;
}

TEST(GeneralRoutines, AlinhaTextoCutsThenPads)
{
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 0), "abc  ");
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 1), "  abc");
    EXPECT_EQ(Modulo::AlinhaTexto("ab", 5, 2), "  ab");   // half of 3 missing, halves to even
    EXPECT_EQ(Modulo::AlinhaTexto("ab", 7, 2), "  ab");   // half of 5
    for (int alignment : {0, 1, 2})
        EXPECT_EQ(Modulo::AlinhaTexto("abcdef", 3, alignment), "abc") << alignment;
    EXPECT_EQ(Modulo::AlinhaTexto("abc", 5, 3), "");
}

TEST(GeneralRoutines, CaminhoAppHasNoTrailingSlash)
{
    test::ProgramFolder folder;
    EXPECT_EQ(Modulo::CaminhoApp(), folder.path());
    vb::App::setPath("/");
    EXPECT_EQ(Modulo::CaminhoApp(), "");
}
