// Identity columns: how CREATE TABLE declares them, how they number rows, and IDENTITY_INSERT.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class IdentityTest : public test::ServerFixture {
protected:
    std::vector<long> ids(const QString& table)
    {
        std::vector<long> values;
        for (const auto& row : rows("SELECT Id FROM " + table + " ORDER BY Name").rows)
            values.push_back(row[0].toLong());
        return values;
    }
};

TEST_F(IdentityTest, KeyDeclaredInlineOrByConstraint)
{
    plant->execute("CREATE TABLE I (Id int IDENTITY(1,1) PRIMARY KEY, Name varchar(20))");
    plant->execute("CREATE TABLE J (Id int IDENTITY(1,1) NOT NULL, Name varchar(20), CONSTRAINT PK_J PRIMARY KEY (Id))");
    plant->execute("CREATE TABLE K (Id int NOT NULL IDENTITY PRIMARY KEY CLUSTERED, Name varchar(20))");
    for (const char* table : {"I", "J", "K"}) {
        plant->execute(QStringLiteral("INSERT INTO %1 (Name) VALUES ('a'); INSERT INTO %1 VALUES ('b')").arg(table));
        EXPECT_EQ((std::vector<long>{1, 2}), ids(table)) << table;
        EXPECT_EQ(2, scalar(QStringLiteral("SELECT @@IDENTITY")).toLong());
    }
    EXPECT_EQ(2744, errorOf("CREATE TABLE Two (A int IDENTITY, B int IDENTITY)"));
}

TEST_F(IdentityTest, SeedAndIncrement)
{
    plant->execute("CREATE TABLE S (Id int IDENTITY(100,5) PRIMARY KEY, Name varchar(20))");
    plant->execute("CREATE TABLE D (Id int IDENTITY(10,-3), Name varchar(20))");  // no key
    plant->execute("CREATE TABLE H (Id bigint IDENTITY(1000,1) PRIMARY KEY, Name varchar(20))");
    for (const char* table : {"H", "D", "S"})
        plant->execute(QStringLiteral("INSERT INTO %1 (Name) VALUES ('a'), ('b'); INSERT INTO %1 (Name) SELECT 'c'").arg(table));
    EXPECT_EQ(110, scalar("SELECT @@IDENTITY").toLong());
    EXPECT_EQ((std::vector<long>{100, 105, 110}), ids("S"));
    EXPECT_EQ((std::vector<long>{10, 7, 4}), ids("D"));
    EXPECT_EQ((std::vector<long>{1000, 1001, 1002}), ids("H"));
    // Rows deleted keep their numbers used.
    plant->execute("DELETE FROM S; INSERT INTO S (Name) VALUES ('d')");
    EXPECT_EQ(115, scalar("SELECT Id FROM S").toLong());
}

TEST_F(IdentityTest, ExplicitValuesNeedIdentityInsert)
{
    plant->execute("CREATE TABLE I (Id int IDENTITY(1,1) PRIMARY KEY, Name varchar(20))");
    plant->execute("CREATE TABLE S (Id int IDENTITY(100,5) PRIMARY KEY, Name varchar(20))");
    try {
        plant->execute("INSERT INTO I (Id, Name) VALUES (7, 'x')");
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(544, e.number());
        EXPECT_EQ("Cannot insert explicit value for identity column in table 'I' when IDENTITY_INSERT is set to OFF.",
                  e.message());
    }
    EXPECT_EQ(0, scalar("SELECT count(*) FROM I").toLong());
    plant->execute("SET IDENTITY_INSERT I ON; INSERT INTO I (Id, Name) VALUES (7, 'x'); SET IDENTITY_INSERT I OFF");
    plant->execute("INSERT INTO I (Name) VALUES ('y')");
    EXPECT_EQ((std::vector<long>{7, 8}), ids("I"));
    plant->execute("SET IDENTITY_INSERT S ON");
    EXPECT_EQ(545, errorOf("INSERT INTO S (Name) VALUES ('y')"));
    EXPECT_EQ(8101, errorOf("INSERT INTO S VALUES (1, 'y')"));
    EXPECT_EQ(8107, errorOf("SET IDENTITY_INSERT I ON"));
    plant->execute("INSERT INTO S (Id, Name) VALUES (200, 'a'); SET IDENTITY_INSERT S OFF; INSERT INTO S (Name) VALUES ('b')");
    EXPECT_EQ((std::vector<long>{200, 205}), ids("S"));
    EXPECT_EQ(8106, errorOf("CREATE TABLE P (A int); SET IDENTITY_INSERT P ON"));
}

TEST_F(IdentityTest, CatalogShowsTheIdentityColumnOnly)
{
    plant->execute("CREATE TABLE D (Code varchar(5) PRIMARY KEY, Id int IDENTITY(10,-3), Name varchar(20))");
    int identities = 0;
    for (const auto& c : plant->columns("D")) {
        EXPECT_EQ(c.name == "Id", c.identity) << c.name.toStdString();
        identities += c.identity;
    }
    EXPECT_EQ(1, identities);
    const std::vector<QString> tables = plant->tables();
    EXPECT_TRUE(std::find(tables.begin(), tables.end(), "sys_identity_columns") == tables.end());
    EXPECT_EQ(0, scalar("SELECT count(*) FROM sys.tables WHERE name = 'sys_identity_columns'").toLong());
}

}  // namespace

namespace {

TEST_F(IdentityTest, StatementsAfterTheCreateInOneBatchKnowTheTable)
{
    const BatchResult r = plant->execute(
        "CREATE TABLE I (Id int IDENTITY(100,5) PRIMARY KEY, Name varchar(20)); INSERT INTO I VALUES ('a'); "
        "INSERT INTO I (Name) VALUES ('b'); SELECT Id FROM I ORDER BY Id");
    ASSERT_EQ(1u, r.rowsets.size());
    ASSERT_EQ(2u, r.rowsets[0].rows.size());
    EXPECT_EQ(105, r.rowsets[0].rows[1][0].toLong());
    EXPECT_EQ(544, errorOf("CREATE TABLE J (Id int IDENTITY PRIMARY KEY, Name varchar(20)); "
                           "INSERT INTO J (Id, Name) VALUES (5, 'x')"));
    EXPECT_EQ(0, scalar("SELECT count(*) FROM J").toLong());
}

}  // namespace

namespace {

TEST_F(IdentityTest, TruncateStartsTheNumberingAgain)
{
    plant->execute("CREATE TABLE S (Id int IDENTITY(100,5) PRIMARY KEY, Name varchar(20)); "
                   "CREATE TABLE K (Id int IDENTITY(7,1) PRIMARY KEY, Name varchar(20)); "
                   "CREATE TABLE P (Id int IDENTITY PRIMARY KEY, Name varchar(20))");
    for (const char* table : {"S", "K", "P"})
        plant->execute(QStringLiteral("INSERT INTO %1 (Name) VALUES ('a'), ('b'); TRUNCATE TABLE %1; "
                                      "INSERT INTO %1 (Name) VALUES ('c')").arg(table));
    EXPECT_EQ(100, scalar("SELECT Id FROM S").toLong());
    EXPECT_EQ(7, scalar("SELECT Id FROM K").toLong());
    EXPECT_EQ(1, scalar("SELECT Id FROM P").toLong());
    plant->execute("DELETE FROM P; INSERT INTO P (Name) VALUES ('d')");
    EXPECT_EQ(2, scalar("SELECT Id FROM P").toLong());  // DELETE keeps the numbering going
}

}  // namespace
