// Errors in batches: TRY/CATCH (nested), the ERROR_ functions, THROW and re-THROW, RAISERROR with its
// substitutions and severities, @@ERROR, and which errors end the statement or the batch outside TRY.

#include "ServerFixture.h"

using namespace sqlserver;

namespace {

class BatchErrorsTest : public test::ServerFixture {
protected:
    BatchErrorsTest() { plant->execute("CREATE TABLE K (id int PRIMARY KEY, v varchar(10) NOT NULL)"); }

    std::vector<vb::Variant> firstRow(const QString& sql) const
    {
        const Rowset r = rows(sql);
        return r.rows.empty() ? std::vector<vb::Variant>{} : r.rows[0];
    }
    ServerError failure(const QString& sql) const
    {
        try {
            plant->execute(sql);
        } catch (const ServerError& e) {
            return e;
        }
        ADD_FAILURE() << "no error: " << sql.toStdString();
        return ServerError(0, QString());
    }
};

TEST_F(BatchErrorsTest, CatchTakesTheErrorAndTheBatchGoesOn)
{
    const std::vector<vb::Variant> row = firstRow("BEGIN TRY\n  SELECT CAST('x' AS int) AS x\nEND TRY\nBEGIN CATCH\n"
                                                  "  SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_SEVERITY(), ERROR_STATE(), "
                                                  "ERROR_LINE(), ERROR_PROCEDURE()\nEND CATCH");
    ASSERT_EQ(6u, row.size());
    EXPECT_EQ(vb::Variant(245), row[0]);
    EXPECT_EQ(vb::Variant("Conversion failed when converting the varchar value 'x' to data type int."), row[1]);
    EXPECT_EQ(vb::Variant(16), row[2]);
    EXPECT_EQ(vb::Variant(1), row[3]);
    EXPECT_EQ(vb::Variant(2), row[4]);
    EXPECT_TRUE(row[5].isNull());
    // Outside CATCH the functions are NULL; after the CATCH the batch goes on.
    const BatchResult result = plant->execute("BEGIN TRY INSERT INTO K VALUES (1, NULL) END TRY BEGIN CATCH END CATCH "
                                              "SELECT ERROR_NUMBER(), 'after'");
    ASSERT_EQ(1u, result.rowsets.size());
    EXPECT_TRUE(result.rowsets[0].rows[0][0].isNull());
    EXPECT_EQ(vb::Variant("after"), result.rowsets[0].rows[0][1]);
}

TEST_F(BatchErrorsTest, ErrorLineCountsFromTheBatchsFirstLine)
{
    EXPECT_EQ(vb::Variant(4), scalar("CREATE TABLE #n (x int)\n"
                                     "BEGIN TRY\n"
                                     "  INSERT INTO #n VALUES (1)\n"
                                     "  SELECT 1/0\n"
                                     "END TRY BEGIN CATCH SELECT ERROR_LINE() END CATCH"));
    EXPECT_EQ(vb::Variant(8134), scalar("BEGIN TRY SELECT 1/0 END TRY BEGIN CATCH SELECT ERROR_NUMBER() END CATCH"));
}

TEST_F(BatchErrorsTest, KeyViolationsCarryTheirSeverity)
{
    plant->execute("INSERT INTO K VALUES (1, 'a')");
    const std::vector<vb::Variant> row = firstRow("BEGIN TRY INSERT INTO K VALUES (1, 'b') END TRY BEGIN CATCH "
                                                  "SELECT ERROR_NUMBER(), ERROR_SEVERITY(), @@ERROR END CATCH");
    EXPECT_EQ(vb::Variant(2627), row.at(0));
    EXPECT_EQ(vb::Variant(14), row.at(1));
    EXPECT_EQ(vb::Variant(2627), row.at(2));
}

TEST_F(BatchErrorsTest, NestedTryCatch)
{
    const std::vector<vb::Variant> row = firstRow(
        "DECLARE @inner int, @outer int, @after int\n"
        "BEGIN TRY\n"
        "  BEGIN TRY SELECT CAST('x' AS int) END TRY\n"
        "  BEGIN CATCH\n"
        "    SET @inner = ERROR_NUMBER()\n"
        "    BEGIN TRY THROW 50001, 'again', 3 END TRY BEGIN CATCH SET @outer = ERROR_NUMBER() END CATCH\n"
        "    SET @after = ERROR_NUMBER()\n"
        "    THROW\n"
        "  END CATCH\n"
        "END TRY\n"
        "BEGIN CATCH SELECT @inner, @outer, @after, ERROR_NUMBER(), ERROR_LINE() END CATCH");
    const std::vector<vb::Variant> expected = {vb::Variant(245), vb::Variant(50001), vb::Variant(245), vb::Variant(245),
                                               vb::Variant(3)};
    EXPECT_EQ(expected, row);
}

TEST_F(BatchErrorsTest, ThrowEndsTheBatchOutsideTry)
{
    const ServerError e = failure("THROW 51000, 'The record does not exist.', 1; SELECT 1");
    EXPECT_EQ(51000, e.number());
    EXPECT_EQ("The record does not exist.", e.message());
    EXPECT_EQ(35100, errorOf("THROW 100, 'low', 1"));
    EXPECT_EQ(10704, errorOf("THROW"));
    // Re-thrown, the error keeps its number and text.
    EXPECT_EQ(245, errorOf("BEGIN TRY SELECT CAST('x' AS int) END TRY BEGIN CATCH THROW; END CATCH"));
    const std::vector<vb::Variant> row = firstRow("BEGIN TRY THROW 50005, 'mine', 7 END TRY BEGIN CATCH "
                                                  "SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_SEVERITY(), ERROR_STATE() END CATCH");
    const std::vector<vb::Variant> expected = {vb::Variant(50005), vb::Variant("mine"), vb::Variant(16), vb::Variant(7)};
    EXPECT_EQ(expected, row);
}

TEST_F(BatchErrorsTest, RaiserrorFormatsAndRaises)
{
    const std::vector<vb::Variant> row = firstRow(
        "BEGIN TRY RAISERROR('Order %d of %s: %5s|%-4d|%04d|%x|%X|%u|%%', 16, 2, 42, 'ACME', 'ab', 7, 12, 255, 255, 3) "
        "END TRY BEGIN CATCH SELECT ERROR_NUMBER(), ERROR_MESSAGE(), ERROR_SEVERITY(), ERROR_STATE() END CATCH");
    const std::vector<vb::Variant> expected = {vb::Variant(50000), vb::Variant("Order 42 of ACME:    ab|7   |0012|ff|FF|3|%"),
                                               vb::Variant(16), vb::Variant(2)};
    EXPECT_EQ(expected, row);
    // Outside TRY the statement fails and the batch goes on; the batch then reports the error.
    plant->execute("CREATE TABLE Log (m varchar(20))");
    const ServerError e = failure("RAISERROR('bad %s', 11, 1, 'thing'); INSERT INTO Log VALUES ('went on')");
    EXPECT_EQ(50000, e.number());
    EXPECT_EQ("bad thing", e.message());
    EXPECT_EQ(vb::Variant("went on"), scalar("SELECT m FROM Log"));
    // Severity 10 or less is a message, not caught; a number without a message is 18054.
    EXPECT_EQ(vb::Variant(0), scalar("BEGIN TRY RAISERROR('note', 10, 1) END TRY BEGIN CATCH SELECT 1 END CATCH SELECT @@ERROR"));
    EXPECT_EQ(vb::Variant(50000), scalar("RAISERROR('note', 10, 1) WITH SETERROR SELECT @@ERROR"));
    EXPECT_EQ(18054, errorOf("RAISERROR(50001, 16, 1)"));
    EXPECT_EQ(vb::Variant("Order 7 is late"), scalar("SELECT FORMATMESSAGE('Order %d is %s', 7, 'late')"));
    EXPECT_EQ(2754, errorOf("RAISERROR('x', 20, 1)"));
    EXPECT_EQ(50000, errorOf("RAISERROR('x', 20, 1) WITH LOG"));
}

TEST_F(BatchErrorsTest, AtAtErrorIsTheLastStatementsError)
{
    plant->execute("INSERT INTO K VALUES (1, 'a')");
    // The statement fails, the batch goes on, and @@ERROR tells; the next statement clears it.
    try {
        plant->execute("CREATE TABLE E (n int); INSERT INTO K VALUES (1, 'b'); INSERT INTO E SELECT @@ERROR; INSERT INTO E SELECT @@ERROR");
        ADD_FAILURE();
    } catch (const ServerError& e) {
        EXPECT_EQ(2627, e.number());
    }
    const Rowset r = rows("SELECT n FROM E ORDER BY n DESC");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant(2627), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(0), r.rows[1][0]);
    EXPECT_EQ(vb::Variant(0), scalar("SELECT 1 SELECT @@ERROR") == vb::Variant(1) ? vb::Variant(0) : vb::Variant(1));
}

TEST_F(BatchErrorsTest, ConversionErrorsEndTheBatch)
{
    plant->execute("CREATE TABLE Log (m varchar(20))");
    EXPECT_EQ(245, errorOf("INSERT INTO Log VALUES ('one'); SELECT CAST('x' AS int); INSERT INTO Log VALUES ('two')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM Log"));
}

TEST_F(BatchErrorsTest, MissingObjectsAreCaughtOnlyByACallingScope)
{
    // As SQL Server documents: a name resolved when the statement compiles is not caught at its own level.
    EXPECT_EQ(208, errorOf("BEGIN TRY SELECT * FROM NoSuchTable END TRY BEGIN CATCH SELECT 'caught' END CATCH"));
    EXPECT_EQ(vb::Variant(208), scalar("BEGIN TRY EXEC('SELECT * FROM NoSuchTable') END TRY BEGIN CATCH SELECT ERROR_NUMBER() END CATCH"));
}

TEST_F(BatchErrorsTest, XactAbortEndsTheBatchAndDoomsTheTransaction)
{
    plant->execute("INSERT INTO K VALUES (1, 'a')");
    // Outside TRY: the key violation ends the batch and rolls the transaction back.
    EXPECT_EQ(2627, errorOf("SET XACT_ABORT ON BEGIN TRAN INSERT INTO K VALUES (2, 'b') INSERT INTO K VALUES (1, 'c') "
                            "INSERT INTO K VALUES (3, 'd') COMMIT"));
    EXPECT_EQ(0, plant->transactionCount());
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM K"));
    // In TRY the transaction is doomed: XACT_STATE() is -1, COMMIT fails, ROLLBACK ends it.
    const std::vector<vb::Variant> row = firstRow("SET XACT_ABORT ON BEGIN TRY BEGIN TRAN INSERT INTO K VALUES (1, 'c') "
                                                  "END TRY BEGIN CATCH SELECT XACT_STATE() ROLLBACK END CATCH");
    EXPECT_EQ(vb::Variant(-1), row.at(0));
    EXPECT_EQ(3930, errorOf("SET XACT_ABORT ON BEGIN TRY BEGIN TRAN INSERT INTO K VALUES (1, 'c') END TRY "
                            "BEGIN CATCH COMMIT END CATCH"));
    EXPECT_EQ(3998, errorOf("SET XACT_ABORT ON BEGIN TRY BEGIN TRAN INSERT INTO K VALUES (1, 'c') END TRY "
                            "BEGIN CATCH END CATCH"));
    EXPECT_EQ(0, plant->transactionCount());
    // Off again: the batch goes on after a key violation.
    plant->execute("SET XACT_ABORT OFF");
    EXPECT_EQ(2627, errorOf("INSERT INTO K VALUES (1, 'c') INSERT INTO K VALUES (5, 'e')"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT COUNT(*) FROM K"));
}

TEST_F(BatchErrorsTest, TransactionsInCatch)
{
    plant->execute("INSERT INTO K VALUES (1, 'a')");
    const std::vector<vb::Variant> row = firstRow(
        "BEGIN TRY BEGIN TRAN INSERT INTO K VALUES (2, 'b') INSERT INTO K VALUES (1, 'c') COMMIT END TRY\n"
        "BEGIN CATCH SELECT XACT_STATE(), @@TRANCOUNT IF @@TRANCOUNT > 0 ROLLBACK END CATCH");
    const std::vector<vb::Variant> expected = {vb::Variant(1), vb::Variant(1)};
    EXPECT_EQ(expected, row);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT COUNT(*) FROM K"));
    EXPECT_EQ(0, plant->transactionCount());
    EXPECT_EQ(vb::Variant(0), scalar("SELECT XACT_STATE()"));
}

}  // namespace
