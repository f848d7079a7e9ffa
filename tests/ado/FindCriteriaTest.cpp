// Find's criteria: the comparisons, the value forms and how texts, numbers, dates and Null compare.

#include "ado/AdoErrors.h"
#include "ado/FindCriteria.h"
#include "runtime/Date.h"

#include <gtest/gtest.h>

using ADODB::FindCriteria;
using vb::Variant;

namespace {

TEST(FindCriteriaTest, ComparesTextsWithoutRegardToCase)
{
    const FindCriteria equal("Codigo = 'p1'");
    EXPECT_EQ("Codigo", equal.column());
    EXPECT_TRUE(equal.matches("P1"));
    EXPECT_FALSE(equal.matches("P10"));
    EXPECT_FALSE(equal.matches(Variant::Null()));
    EXPECT_TRUE(FindCriteria("[Nome Curto]<>'A'").matches("b"));
    EXPECT_EQ("Nome Curto", FindCriteria("[Nome Curto]<>'A'").column());
    EXPECT_TRUE(FindCriteria("Nome = 'D''Avila'").matches("d'avila"));
    EXPECT_TRUE(FindCriteria("Nome >= 'M'").matches("n"));
    EXPECT_FALSE(FindCriteria("Nome < 'M'").matches("n"));
}

TEST(FindCriteriaTest, LikeTakesBothWildcards)
{
    EXPECT_TRUE(FindCriteria("Descricao LIKE 'tor*'").matches("Torno CNC"));
    EXPECT_TRUE(FindCriteria("Descricao like '%CNC%'").matches("Torno cnc 2"));
    EXPECT_FALSE(FindCriteria("Descricao LIKE 'tor*'").matches("Fresa"));
    EXPECT_FALSE(FindCriteria("Descricao LIKE 'a.c'").matches("abc"));  // only * and % are wildcards
}

TEST(FindCriteriaTest, ComparesNumbersAndDatesByValue)
{
    EXPECT_TRUE(FindCriteria("Tipo = 3").matches(std::int16_t(3)));
    EXPECT_TRUE(FindCriteria("RendMaq > 87.25").matches(87.5));
    EXPECT_FALSE(FindCriteria("RendMaq > 87.25").matches(87));
    EXPECT_TRUE(FindCriteria("Codigo = 12").matches("12"));
    EXPECT_FALSE(FindCriteria("Codigo = 12").matches("P12"));
    EXPECT_TRUE(FindCriteria("Ativo = 'True'").matches(true));

    const vb::Date moment(vb::DateSerial(2026, 1, 31).serial + vb::TimeSerial(10, 30, 0).serial);
    EXPECT_TRUE(FindCriteria("Inicio = #2026-01-31 10:30#").matches(moment));
    EXPECT_TRUE(FindCriteria("Inicio > #01/31/2026#").matches(moment));
    EXPECT_FALSE(FindCriteria("Inicio < #1/31/2026#").matches(moment));
    EXPECT_TRUE(FindCriteria("Inicio = #2026-01-31 10:30:00#").matches("31/01/2026 10:30:00"));
}

TEST(FindCriteriaTest, RefusesWhatIsNotOneComparison)
{
    for (const char* text :
         {"", "Codigo", "Codigo = ", "Codigo = 'a", "Codigo = abc", "Codigo = 'a' AND Tipo = 1", "Codigo ~ 'a'"}) {
        try {
            FindCriteria{text};
            FAIL() << text;
        } catch (const vb::VbError& e) {
            EXPECT_EQ(ADODB::adErrInvalidArgument, e.number()) << text;
        }
    }
}

}  // namespace
