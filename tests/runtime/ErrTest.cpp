// The pending error and the exception that carries it.

#include "runtime/Err.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace vb;

TEST(Err, ErrorsCarryThePlatformsNumbersAndTexts)
{
    EXPECT_EQ(errorText(13), "Type mismatch");
    EXPECT_EQ(errorText(91), "Object variable or With block variable not set");
    EXPECT_EQ(errorText(1000), "Application-defined or object-defined error");
    EXPECT_STREQ(VbError(ErrNo::PathNotFound).what(), "Error 76: Path not found");
    try {
        raiseError(ErrNo::TypeMismatch, "Teste");
        FAIL() << "raiseError returned";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 13);
        EXPECT_EQ(e.source(), "Teste");
        EXPECT_EQ(e.description(), "Type mismatch");
    }
    EXPECT_EQ(VbError(1000, "Modulo", "Falhou").description(), "Falhou");
}

TEST(Err, ThePendingErrorIsSetFromAnyExceptionAndIsPerThread)
{
    EXPECT_THROW(Err.Raise(5), VbError);
    EXPECT_EQ(Err.Number, 5);
    EXPECT_EQ(Err.Description, "Invalid procedure call or argument");

    try {
        throw std::runtime_error("boom");
    } catch (...) {
        Err.SetFromCurrentException();
    }
    EXPECT_EQ(Err.Number, 5);
    EXPECT_EQ(Err.Description, "boom");

    long seenByOther = -1;
    std::thread([&] { seenByOther = Err.Number; }).join();
    EXPECT_EQ(seenByOther, 0);

    Err.Clear();
    EXPECT_EQ(Err.Number, 0);
    EXPECT_TRUE(Err.Description.isEmpty());
}
