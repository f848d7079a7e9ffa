// The pending error and the exception that carries it.

#include "runtime/Err.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace vb;

TEST(ErrTest, PlatformTexts)
{
    EXPECT_EQ(errorText(5), "Invalid procedure call or argument");
    EXPECT_EQ(errorText(6), "Overflow");
    EXPECT_EQ(errorText(9), "Subscript out of range");
    EXPECT_EQ(errorText(11), "Division by zero");
    EXPECT_EQ(errorText(13), "Type mismatch");
    EXPECT_EQ(errorText(53), "File not found");
    EXPECT_EQ(errorText(75), "Path/File access error");
    EXPECT_EQ(errorText(76), "Path not found");
    EXPECT_EQ(errorText(91), "Object variable or With block variable not set");
    EXPECT_EQ(errorText(94), "Invalid use of Null");
    EXPECT_EQ(errorText(438), "Object doesn't support this property or method");
    EXPECT_EQ(errorText(1000), "Application-defined or object-defined error");
}

TEST(ErrTest, VbErrorTakesThePlatformTextWhenNoneIsGiven)
{
    VbError e(ErrNo::TypeMismatch);
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.description(), "Type mismatch");
    EXPECT_STREQ(e.what(), "Error 13: Type mismatch");

    VbError own(1000, "Modulo", "Falhou");
    EXPECT_EQ(own.number(), 1000);
    EXPECT_EQ(own.source(), "Modulo");
    EXPECT_EQ(own.description(), "Falhou");
}

TEST(ErrTest, RaiseThrows)
{
    try {
        vb::raise(ErrNo::DivisionByZero, "Teste");
        FAIL() << "raise returned";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 11);
        EXPECT_EQ(e.source(), "Teste");
        EXPECT_EQ(e.description(), "Division by zero");
    }
}

TEST(ErrTest, ErrObjectSetClearRaise)
{
    Err.Clear();
    EXPECT_EQ(Err.Number, 0);
    Err.Set(VbError(94, "X"));
    EXPECT_EQ(Err.Number, 94);
    EXPECT_EQ(Err.Source, "X");
    EXPECT_EQ(Err.Description, "Invalid use of Null");
    Err.Clear();
    EXPECT_EQ(Err.Number, 0);
    EXPECT_TRUE(Err.Source.isEmpty());
    EXPECT_TRUE(Err.Description.isEmpty());

    EXPECT_THROW(Err.Raise(5), VbError);
    EXPECT_EQ(Err.Number, 5);
    EXPECT_EQ(Err.Description, "Invalid procedure call or argument");
    Err.Clear();
}

TEST(ErrTest, SetFromCurrentException)
{
    try {
        vb::raise(76);
    } catch (...) {
        Err.SetFromCurrentException();
    }
    EXPECT_EQ(Err.Number, 76);
    EXPECT_EQ(Err.Description, "Path not found");

    try {
        throw std::runtime_error("boom");
    } catch (...) {
        Err.SetFromCurrentException();
    }
    EXPECT_EQ(Err.Number, 5);
    EXPECT_EQ(Err.Description, "boom");

    try {
        throw 42;
    } catch (...) {
        Err.SetFromCurrentException();
    }
    EXPECT_EQ(Err.Number, 5);
    EXPECT_EQ(Err.Description, "Invalid procedure call or argument");
    Err.Clear();
}

TEST(ErrTest, PendingErrorIsPerThread)
{
    Err.Clear();
    Err.Set(VbError(13));
    long seenByOther = -1;
    std::thread other([&] { seenByOther = Err.Number; });
    other.join();
    EXPECT_EQ(seenByOther, 0);
    EXPECT_EQ(Err.Number, 13);
    Err.Clear();
}
