// LIKE patterns and the text functions, with the values SQL Server documents for them.

#include "ServerFixture.h"

#include "sqlserver/LikePattern.h"

using namespace sqlserver;

namespace {

class TextFunctionsTest : public test::ServerFixture {
protected:
    QString text(const QString& expression) const { return scalar("SELECT " + expression).toString(); }
    int number(const QString& expression) const { return int(scalar("SELECT " + expression).toLong()); }
    bool isNull(const QString& expression) const { return scalar("SELECT " + expression).isNull(); }
    int matches(const QString& condition) const
    {
        return int(scalar("SELECT CASE WHEN " + condition + " THEN 1 ELSE 0 END").toLong());
    }
};

TEST(LikePatternTest, SetsRangesEscapesAndCase)
{
    EXPECT_TRUE(LikePattern(u"[a-c]%").matches(u"Banana"));
    EXPECT_FALSE(LikePattern(u"[^a-c]%").matches(u"banana"));
    EXPECT_TRUE(LikePattern(u"[^a-c]%").matches(u"dado"));
    EXPECT_TRUE(LikePattern(u"50[%]").matches(u"50%"));
    EXPECT_FALSE(LikePattern(u"50[%]").matches(u"500"));
    EXPECT_TRUE(LikePattern(u"a!_b", u'!').matches(u"a_b"));
    EXPECT_FALSE(LikePattern(u"a!_b", u'!').matches(u"axb"));
    EXPECT_TRUE(LikePattern(u"_b_").matches(u"ABC"));
    EXPECT_FALSE(LikePattern(u"a").matches(u"á"));
    EXPECT_TRUE(LikePattern(u"abc").matches(u"abc  "));  // the text's trailing blanks are ignored
    EXPECT_FALSE(LikePattern(u"abc ").matches(u"abc"));  // the pattern's count
    EXPECT_TRUE(LikePattern(u"abc ").matches(u"abc "));
    EXPECT_FALSE(LikePattern(u"abc_").matches(u"abc"));
    EXPECT_TRUE(LikePattern(u"%a%b%").matches(u"xxAyyBzz"));
    EXPECT_EQ(3, LikePattern(u"%[0-9]%").position(u"ab1c"));
    EXPECT_EQ(0, LikePattern(u"%z%").position(u"abc"));
}

TEST_F(TextFunctionsTest, Like)
{
    plant->execute("CREATE TABLE Nomes (Nome varchar(20))");
    plant->execute("INSERT INTO Nomes VALUES ('Ana'), ('beto'), ('Carla'), ('davi'), ('50%'), ('a_b')");
    EXPECT_EQ(vb::Variant(4), scalar("SELECT COUNT(*) FROM Nomes WHERE Nome LIKE '[a-c]%'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM Nomes WHERE Nome NOT LIKE '[a-c]%'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Nomes WHERE Nome LIKE '%[%]'"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Nomes WHERE Nome LIKE 'a!_%' ESCAPE '!'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM Nomes WHERE Nome LIKE 'A%'"));
    EXPECT_EQ(1, matches("'ação' LIKE 'AÇ%'"));
    EXPECT_EQ(0, matches("'acao' LIKE 'aç%'"));
    EXPECT_EQ(1, matches("'abc' LIKE 'ab_'"));
    EXPECT_EQ(0, matches("NULL LIKE '%'"));
    EXPECT_EQ(1, scalar("DECLARE @p varchar(10) = 'b%'; SELECT COUNT(*) FROM Nomes WHERE Nome LIKE @p").toLong());
}

TEST_F(TextFunctionsTest, StringAgg)
{
    plant->execute("CREATE TABLE Partes (Grupo int, Nome varchar(10))");
    plant->execute("INSERT INTO Partes VALUES (1, 'a'), (1, NULL), (1, 'b'), (2, NULL)");
    EXPECT_EQ(vb::Variant("a, b"), scalar("SELECT STRING_AGG(Nome, ', ') FROM Partes WHERE Grupo = 1"));
    EXPECT_TRUE(scalar("SELECT STRING_AGG(Nome, ', ') FROM Partes WHERE Grupo = 2").isNull());
}

TEST_F(TextFunctionsTest, DataLengthCountsTwoBytesForUnicodeTexts)
{
    EXPECT_EQ(4, number("DATALENGTH(N'ab')"));
    EXPECT_EQ(2, number("DATALENGTH('ab')"));
    EXPECT_EQ(6, number("DATALENGTH(N'ab' + 'c')"));
    plant->execute("CREATE TABLE Textos (n nvarchar(10), c nchar(4), v varchar(10))");
    plant->execute("INSERT INTO Textos VALUES ('abc', 'x', 'abc')");
    EXPECT_EQ(6, number("DATALENGTH(n) FROM Textos"));
    EXPECT_EQ(8, number("DATALENGTH(c) FROM Textos"));
    EXPECT_EQ(3, number("DATALENGTH(v) FROM Textos"));
    EXPECT_EQ(4, number("DATALENGTH(CAST('ab' AS nvarchar(10)))"));
    EXPECT_EQ(vb::Variant(4), scalar("DECLARE @n nvarchar(10) = 'ab' SELECT DATALENGTH(@n)"));
}

TEST_F(TextFunctionsTest, CaseLengthAndPieces)
{
    EXPECT_EQ("AÇÃO", text("UPPER('ação')"));
    EXPECT_EQ("ação", text("LOWER('AÇÃO')"));
    EXPECT_EQ("STRAßE", text("UPPER(N'straße')"));
    EXPECT_EQ(3, number("LEN('abc   ')"));
    EXPECT_EQ(5, number("LEN('  abc')"));
    EXPECT_EQ(6, number("DATALENGTH('abc   ')"));
    EXPECT_EQ(6, number("DATALENGTH('abc', 'nvarchar(10)')"));  // the type the translator knows, when it does
    EXPECT_EQ(3, number("DATALENGTH('abc', 'varchar(10)')"));
    EXPECT_EQ(4, number("DATALENGTH(12, 'int')"));
    EXPECT_EQ(8, number("DATALENGTH(1.5, 'float')"));
    EXPECT_EQ(8, number("DATALENGTH(GETDATE())"));
    EXPECT_TRUE(isNull("LEN(NULL)"));
    EXPECT_EQ("bcd", text("SUBSTRING('abcdef', 2, 3)"));
    EXPECT_EQ("a", text("SUBSTRING('abc', -1, 3)"));
    EXPECT_EQ("", text("SUBSTRING('abc', 5, 2)"));
    EXPECT_EQ(537, errorOf("SELECT SUBSTRING('abc', 1, -1)"));
    EXPECT_EQ(174, errorOf("SELECT SUBSTRING('abc', 1)"));
    EXPECT_EQ("ab", text("LEFT('abc', 2)"));
    EXPECT_EQ("bc", text("RIGHT('abc', 2)"));
    EXPECT_EQ(536, errorOf("SELECT LEFT('abc', -1)"));
    EXPECT_EQ("cba", text("REVERSE('abc')"));
    EXPECT_EQ("aXYZef", text("STUFF('abcdef', 2, 3, 'XYZ')"));
    EXPECT_TRUE(isNull("STUFF('abc', 5, 1, 'x')"));
    EXPECT_EQ("abcabc", text("REPLICATE('abc', 2)"));
    EXPECT_TRUE(isNull("REPLICATE('abc', -1)"));
    EXPECT_EQ("<  >", text("'<' + SPACE(2) + '>'"));
    EXPECT_EQ("abc  ", text("LTRIM('  abc  ')"));
    EXPECT_EQ("  abc", text("RTRIM('  abc  ')"));
    EXPECT_EQ("abc", text("TRIM('  abc  ')"));
    EXPECT_EQ("#     test", text("TRIM('.,! ' FROM '#     test    .')"));
    EXPECT_EQ("2*(3+4)/(7-2)", text("TRANSLATE('2*[3+4]/{7-2}', '[]{}', '()()')"));
    EXPECT_EQ(9828, errorOf("SELECT TRANSLATE('abc', 'ab', 'x')"));
    EXPECT_EQ("S530", text("SOUNDEX('Smith')"));
    EXPECT_EQ("S530", text("SOUNDEX('Smythe')"));
    EXPECT_EQ("A261", text("SOUNDEX('Ashcraft')"));
    EXPECT_EQ(4, number("DIFFERENCE('Smith', 'Smythe')"));
}

TEST_F(TextFunctionsTest, SearchAndReplaceIgnoreCase)
{
    EXPECT_EQ(3, number("CHARINDEX('C', 'abcabc')"));
    EXPECT_EQ(6, number("CHARINDEX('c', 'abcabc', 4)"));
    EXPECT_EQ(3, number("CHARINDEX('c', 'abcabc', -5)"));
    EXPECT_EQ(0, number("CHARINDEX('z', 'abc')"));
    EXPECT_EQ(0, number("CHARINDEX('a', 'á')"));
    EXPECT_EQ(3, number("PATINDEX('%[0-9]%', 'ab12')"));
    EXPECT_EQ(2, number("PATINDEX('%BC%', 'abcd')"));
    EXPECT_EQ(0, number("PATINDEX('%z%', 'abcd')"));
    EXPECT_EQ("xbcxBC", text("REPLACE('abcABC', 'a', 'x')"));
    EXPECT_EQ("abc", text("REPLACE('abc', '', 'x')"));
    EXPECT_TRUE(isNull("REPLACE('abc', NULL, 'x')"));
}

TEST_F(TextFunctionsTest, ConcatenationAndCodes)
{
    EXPECT_EQ("ab1", text("CONCAT('a', NULL, 'b', 1)"));
    EXPECT_EQ("", text("CONCAT(NULL, NULL)"));
    EXPECT_EQ(189, errorOf("SELECT CONCAT('a')"));
    EXPECT_EQ("a-b-c", text("CONCAT_WS('-', 'a', NULL, 'b', 'c')"));
    EXPECT_EQ(65, number("ASCII('Abc')"));
    EXPECT_EQ(128, number("ASCII('€')"));
    EXPECT_TRUE(isNull("ASCII('')"));
    EXPECT_EQ("A", text("CHAR(65)"));
    EXPECT_TRUE(isNull("CHAR(256)"));
    EXPECT_EQ("€", text("CHAR(128)"));
    EXPECT_EQ(u8"\u20AC", text("NCHAR(8364)"));
    EXPECT_EQ(231, number("UNICODE('ç')"));
    EXPECT_EQ("[a]]b]", text("QUOTENAME('a]b')"));
    EXPECT_EQ("'it''s'", text("QUOTENAME('it''s', '''')"));
    EXPECT_EQ("(x)", text("QUOTENAME('x', '(')"));
    EXPECT_TRUE(isNull("QUOTENAME('x', 'z')"));
}

TEST_F(TextFunctionsTest, StrOfNumbers)
{
    EXPECT_EQ("       124", text("STR(123.5)"));
    EXPECT_EQ(" 123.5", text("STR(123.45, 6, 1)"));
    EXPECT_EQ("123.5", text("STR(123.456, 5, 2)"));
    EXPECT_EQ("**", text("STR(123, 2)"));
    EXPECT_EQ("  -3.14", text("STR(-3.14159, 7, 2)"));
    EXPECT_TRUE(isNull("STR(NULL)"));
}

TEST_F(TextFunctionsTest, FormatNumbers)
{
    EXPECT_EQ("1,234.50", text("FORMAT(1234.5, 'N2', 'en-US')"));
    EXPECT_EQ("1.234,50", text("FORMAT(1234.5, 'N2', 'pt-BR')"));
    EXPECT_EQ("1,234.50", text("FORMAT(1234.5, 'N2')"));
    EXPECT_EQ("1,235", text("FORMAT(1234.5, 'N0')"));
    EXPECT_EQ("$1,234.50", text("FORMAT(1234.5, 'C', 'en-US')"));
    EXPECT_EQ("R$ 1.234,50", text("FORMAT(1234.5, 'C', 'pt-BR')"));
    EXPECT_EQ("12.35 %", text("FORMAT(0.12345, 'P')"));
    EXPECT_EQ("00042", text("FORMAT(42, 'D5')"));
    EXPECT_EQ("1234.50", text("FORMAT(1234.5, 'F')"));
    EXPECT_EQ("1,234.50", text("FORMAT(1234.5, '#,##0.00')"));
    EXPECT_EQ("0.50", text("FORMAT(0.5, '0.00')"));
    EXPECT_EQ("(555) 123-4567", text("FORMAT(5551234567, '(###) ###-####')"));
    EXPECT_EQ("2.35", text("FORMAT(2.345, 'N2')"));
    EXPECT_EQ("-1,234.57", text("FORMAT(-1234.567, 'N2')"));
    EXPECT_EQ("FF", text("FORMAT(255, 'X')"));
    EXPECT_EQ(9818, errorOf("SELECT FORMAT(1, 'N', 'xx-nowhere')"));
}

TEST_F(TextFunctionsTest, FormatDates)
{
    const QString date = "CAST('2026-03-05 14:07:09' AS datetime)";
    EXPECT_EQ("05/03/2026", text("FORMAT(" + date + ", 'dd/MM/yyyy')"));
    EXPECT_EQ("2026-03-05 14:07", text("FORMAT(" + date + ", 'yyyy-MM-dd HH:mm')"));
    EXPECT_EQ("3/5/2026", text("FORMAT(" + date + ", 'd', 'en-US')"));
    EXPECT_EQ("05/03/2026", text("FORMAT(" + date + ", 'd', 'pt-BR')"));
    EXPECT_EQ("Thursday, March 5, 2026", text("FORMAT(" + date + ", 'D', 'en-US')"));
    EXPECT_EQ("quinta-feira, 5 de março de 2026", text("FORMAT(" + date + ", 'D', 'pt-BR')"));
    EXPECT_EQ("02:07 PM", text("FORMAT(" + date + ", 'hh:mm tt')"));
    EXPECT_EQ("Mar 2026", text("FORMAT(" + date + ", 'MMM yyyy')"));
}

}  // namespace
