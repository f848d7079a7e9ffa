// The connection string grammar: pairs, quoting, synonyms, malformed text and unknown keys.

#include "ado/AdoErrors.h"
#include "ado/ConnectionString.h"

#include <gtest/gtest.h>

using ADODB::ConnectionString;

namespace {

TEST(ConnectionStringTest, ReadsPairsWithSynonymsQuotesAndBraces)
{
    const ConnectionString s(
        " Provider = SQLOLEDB ;Network Library=;Server=sqlite:data;DATABASE='Pla;nt';"
        "Driver={Microsoft Access Driver (*.mdb)};PWD=\"a\"\"b\";;");
    EXPECT_EQ("SQLOLEDB", s.value("provider"));
    EXPECT_EQ("sqlite:data", s.value("Data Source"));
    EXPECT_EQ("Pla;nt", s.value("Initial Catalog"));
    EXPECT_EQ("Microsoft Access Driver (*.mdb)", s.value("Driver"));
    EXPECT_EQ("a\"b", s.value("Password"));
    EXPECT_TRUE(s.contains("Network Library"));
    EXPECT_EQ("", s.value("Network Library"));
    EXPECT_FALSE(s.contains("User ID"));
    EXPECT_TRUE(s.unknownKey().isEmpty());
    EXPECT_TRUE(ConnectionString::sameKey("uid", "User ID"));
    EXPECT_FALSE(ConnectionString::sameKey("uid", "Password"));
    EXPECT_EQ("B", ConnectionString("Data Source=A;Server=B").value("Data Source"));  // the last one wins
}

TEST(ConnectionStringTest, RefusesMalformedTextAndNamesUnknownKeys)
{
    for (const char* text : {"Provider=SQLOLEDB;garbage", "=x", "Data Source='open", "Dbq='a' b"}) {
        try {
            ConnectionString{text};
            FAIL() << text;
        } catch (const vb::VbError& e) {
            EXPECT_EQ(ADODB::hresult::BadInitString, e.number()) << text;
        }
    }
    EXPECT_EQ("Servr", ConnectionString("Provider=SQLOLEDB;Servr=x;Initial Catalog=y").unknownKey());
}

}  // namespace
