// Record sets on tables and fields whose names hold ] and blanks: rows read, added, changed and deleted.

#include "AdoFixture.h"

using namespace ADODB;

namespace {

class QuotedNamesTest : public test::AdoFixture {};

TEST_F(QuotedNamesTest, RowsOfANameWithClosingBracketAreWrittenBack)
{
    cn->Execute("CREATE TABLE [a]]b] (Id int IDENTITY(1,1) PRIMARY KEY, [x]]y] varchar(10), [Data de Início] int)");
    const auto rs = open("SELECT * FROM [a]]b]", adUseServer, adOpenDynamic, adLockOptimistic);
    rs->AddNew();
    rs->Fields("x]y").setValue("um");
    rs->Fields("Data de Início").setValue(1);
    rs->Update();
    EXPECT_EQ(vb::Variant(1), rs->Fields("Id").Value());
    rs->Fields("x]y").setValue("dois");
    rs->Update();
    const auto read = cn->Execute("SELECT [x]]y], [Data de Início] FROM [a]]b]");
    ASSERT_FALSE(read->adoEOF());
    EXPECT_EQ(vb::Variant(QString("dois")), read->Fields("x]y").Value());
    EXPECT_EQ(vb::Variant(1), read->Fields("Data de Início").Value());
    const auto listed = open("SELECT id, [X]]Y] FROM [a]]b] WHERE Id = 1", adUseServer, adOpenDynamic, adLockOptimistic);
    EXPECT_EQ("X]Y", listed->Fields(1).Name());
    listed->Fields("x]y").setValue("tres");
    listed->Update();
    EXPECT_EQ(vb::Variant(QString("tres")), cn->Execute("SELECT [x]]y] FROM [a]]b]")->Fields(0).Value());
    rs->Delete();
    EXPECT_TRUE(cn->Execute("SELECT * FROM [a]]b]")->adoEOF());
}

}  // namespace
