// sp_getapplock / sp_releaseapplock: a lock held by one session (of this process or another) is refused to
// the others until it is released, its session ends or its process dies.

#include "ServerFixture.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sqlserver;

namespace {

const QString take = "DECLARE @r INT EXEC @r = sp_getapplock @Resource = 'Schedule', @LockMode = 'Exclusive', "
                     "@LockOwner = 'Session', @LockTimeout = %1 SELECT @r";
const QString release = "DECLARE @r INT EXEC @r = sp_releaseapplock @Resource = 'Schedule', @LockOwner = 'Session' "
                        "SELECT @r";

class ApplicationLockTest : public test::ServerFixture {
protected:
    static vb::Variant result(Session& session, const QString& sql)
    {
        return session.execute(sql).rowsets.at(0).rows.at(0).at(0);
    }
};

TEST_F(ApplicationLockTest, OneSessionHoldsItUntilReleaseOrItsEnd)
{
    auto first = connect();
    auto second = connect();
    EXPECT_EQ(vb::Variant(0), result(*first, take.arg(0)));
    EXPECT_EQ(vb::Variant(0), result(*first, take.arg(0)));  // held twice: released twice
    EXPECT_EQ(vb::Variant(-1), result(*second, take.arg(0)));
    EXPECT_EQ(vb::Variant(-1), result(*second, take.arg(50)));  // waits, then gives up
    EXPECT_EQ(vb::Variant(0), result(*first, release));
    EXPECT_EQ(vb::Variant(-1), result(*second, take.arg(0)));
    EXPECT_EQ(vb::Variant(0), result(*first, release));
    EXPECT_EQ(vb::Variant(0), result(*second, take.arg(0)));
    // The name is compared without case; the session's end releases it.
    EXPECT_EQ(vb::Variant(-1), result(*first, "DECLARE @r INT EXEC @r = sp_getapplock 'SCHEDULE', 'Exclusive', "
                                              "'Session', 0 SELECT @r"));
    second.reset();
    EXPECT_EQ(vb::Variant(0), result(*first, take.arg(0)));
    // A time-out that is no number is refused as SQL Server refuses it.
    try {
        plant->execute("EXEC sp_getapplock 'Schedule', 'Shared', 'Session', 'Session'");
        FAIL() << "took a text for a time-out";
    } catch (const ServerError& e) {
        EXPECT_EQ(8114, e.number());
    }
    // Releasing what is not held is SQL Server's 1223.
    try {
        plant->execute(release);
        FAIL() << "released a lock it did not hold";
    } catch (const ServerError& e) {
        EXPECT_EQ(1223, e.number());
        EXPECT_TRUE(e.message().contains("Resource: 'Schedule'"));
    }
}

TEST_F(ApplicationLockTest, TransactionLocksEndWithTheTransactionAndSharedLocksShare)
{
    auto other = connect();
    const QString inTransaction = "DECLARE @r INT EXEC @r = sp_getapplock 'Schedule', 'Exclusive', 'Transaction', 0 "
                                  "SELECT @r";
    EXPECT_EQ(vb::Variant(-999), result(*plant, inTransaction));  // no transaction
    plant->beginTransaction();
    EXPECT_EQ(vb::Variant(0), result(*plant, inTransaction));
    EXPECT_EQ(vb::Variant(-1), result(*other, take.arg(0)));
    plant->commitTransaction();
    EXPECT_EQ(vb::Variant(0), result(*other, take.arg(0)));
    result(*other, release);
    const QString shared = "DECLARE @r INT EXEC @r = sp_getapplock 'Schedule', 'Shared', 'Session', 0 SELECT @r";
    EXPECT_EQ(vb::Variant(0), result(*plant, shared));
    EXPECT_EQ(vb::Variant(0), result(*other, shared));
    EXPECT_EQ(vb::Variant(-1), result(*connect(), take.arg(0)));

    // A session never waits for itself, whichever owner holds the lock.
    auto third = connect();
    EXPECT_EQ(vb::Variant(0), result(*third, "DECLARE @r INT EXEC @r = sp_getapplock 'Mine', 'Exclusive', 'Session' "
                                             "SELECT @r"));
    third->beginTransaction();
    EXPECT_EQ(vb::Variant(0), result(*third, "DECLARE @r INT EXEC @r = sp_getapplock 'Mine', 'Exclusive' SELECT @r"));
    third->rollbackTransaction();
    EXPECT_EQ(vb::Variant(-1), result(*other, "DECLARE @r INT EXEC @r = sp_getapplock 'MINE', 'Shared', 'Session', 0 "
                                              "SELECT @r"));
}

TEST_F(ApplicationLockTest, TheKernelReleasesTheLockOfAProcessThatDies)
{
    int ready[2];
    ASSERT_EQ(0, pipe(ready));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        auto session = connect();
        const char answer = result(*session, take.arg(0)).toLong() == 0 ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        sleep(60);  // killed long before
        _exit(0);
    }
    close(ready[1]);
    pollfd wait{ready[0], POLLIN, 0};
    char answer = 0;
    const bool answered = poll(&wait, 1, 30000) == 1 && read(ready[0], &answer, 1) == 1;
    close(ready[0]);
    if (answered && answer == 'y') {
        EXPECT_EQ(vb::Variant(-1), result(*plant, take.arg(0)));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_TRUE(answered) << "the child never answered";
    ASSERT_EQ('y', answer);
    EXPECT_EQ(vb::Variant(0), result(*plant, take.arg(0)));
}

}  // namespace
