// Sized text and binary columns hold their length: what would be cut fails the statement with 8152.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class ColumnLengthTest : public test::ServerFixture {
protected:
    ColumnLengthTest()
    {
        plant->execute("CREATE TABLE T (Id int IDENTITY PRIMARY KEY, V varchar(20), N nvarchar(3), C char(2), "
                       "M varchar(max), B varbinary(2))");
    }
};

TEST_F(ColumnLengthTest, LongerTextsFailTheWholeStatement)
{
    try {
        plant->execute("INSERT INTO T (V) VALUES ('abcdefghijklmnopqrstuvwxyzABC')");  // 29 characters
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(8152, e.number());
        EXPECT_EQ("String or binary data would be truncated.", e.message());
    }
    EXPECT_EQ(8152, errorOf("INSERT INTO T (N) VALUES ('ab'), ('abcd')"));
    EXPECT_EQ(0, scalar("SELECT count(*) FROM T").toLong());  // the first row went with the statement
    plant->execute("INSERT INTO T (V, N, C) VALUES ('abcdefghijklmnopqrst', N'açã', 'ab')");
    EXPECT_EQ(8152, errorOf("UPDATE T SET C = 'abc'"));
    EXPECT_EQ(8152, errorOf("UPDATE T SET N = 'abcd'"));
    EXPECT_EQ("açã", scalar("SELECT N FROM T").toString());
    EXPECT_EQ(8152, errorOf("INSERT INTO T (B) VALUES (0x010203)"));
}

TEST_F(ColumnLengthTest, CharPadsAndVarcharCutsTrailingBlanks)
{
    plant->execute("INSERT INTO T (V, C, N) VALUES ('abcdefghijklmnopqrst   ', 'a', 'x ')");
    EXPECT_EQ(20, scalar("SELECT DATALENGTH(V) FROM T").toLong());
    EXPECT_EQ("a |x |", scalar("SELECT C + '|' + N + '|' FROM T").toString());
    plant->execute("UPDATE T SET C = ''");
    EXPECT_EQ("  |", scalar("SELECT C + '|' FROM T").toString());
    EXPECT_TRUE(scalar("SELECT M FROM T").isNull());
    plant->execute("CREATE TABLE #t (Id int IDENTITY(5, 5), C char(3)); INSERT INTO #t (C) VALUES ('a')");
    EXPECT_EQ("5:a  |", scalar("SELECT CAST(Id AS varchar(5)) + ':' + C + '|' FROM #t").toString());
}

TEST_F(ColumnLengthTest, TrailingBlanksAndUnsizedColumnsPass)
{
    EXPECT_EQ(0, errorOf("INSERT INTO T (V, C) VALUES ('abcdefghijklmnopqrst   ', 'a    ')"));
    EXPECT_EQ(0, errorOf(QStringLiteral("INSERT INTO T (M) VALUES ('%1')").arg(QString(9000, u'x'))));
    EXPECT_EQ(0, errorOf("INSERT INTO T (V) VALUES (NULL)"));
    EXPECT_EQ(0, errorOf("ALTER TABLE T ADD W varchar(2)"));
    EXPECT_EQ(8152, errorOf("UPDATE T SET W = 'abc'"));
}

}  // namespace
