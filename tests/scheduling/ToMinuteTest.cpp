#include "runtime/Format.h"
#include "runtime/Variant.h"
#include "scheduling/store/Moments_p.h"

#include <gtest/gtest.h>

#include <random>

// Moments are taken to the minute by their fields: the same as writing them to the minute and reading back,
// also where rounding to the second carries into the next minute, day or year, and before 1900.
TEST(ToMinute, AgreesWithItsTextReadBack)
{
    const auto throughText = [](vb::Date d) { return vb::CDate(vb::Format(d, QStringLiteral("dd/mm/yyyy hh:nn"))); };
    std::vector<double> serials{
        46000.0,   46000.5 + 59.6 / 86400, 46387.0 - 0.4 / 86400, 46387.0 - 0.6 / 86400, -1.25, -1.0 - 59.7 / 86400,
        2958465.99};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(1.0, 80000.0);
    for (int i = 0; i < 2000; ++i)
        serials.push_back(spread(random));
    for (double serial : serials)
        EXPECT_EQ(scheduling::toMinute(vb::Date(serial)), throughText(vb::Date(serial))) << serial;
}
