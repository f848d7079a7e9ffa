// The thread wrapper on real threads: created running or suspended, parked and resumed from outside,
// terminated and released.

#include "core/clsThreading.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A start routine that counts for as long as it runs; it only touches its own atomic and sleeps.
struct Counter {
    std::atomic<long> ticks{0};
    std::function<void()> routine()
    {
        return [this] {
            for (;;) {
                ticks.fetch_add(1);
                std::this_thread::sleep_for(1ms);
            }
        };
    }
};

// Whether the counter moves within five seconds.
bool advances(const Counter& counter)
{
    const long start = counter.ticks.load();
    for (int i = 0; i < 500; ++i) {
        if (counter.ticks.load() > start + 2)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// Whether the counter stays put for a tenth of a second.
bool standsStill(const Counter& counter)
{
    const long start = counter.ticks.load();
    std::this_thread::sleep_for(100ms);
    return counter.ticks.load() == start;
}

bool threadExists(std::int32_t id)
{
    return QDir("/proc/self/task/" + QString::number(id)).exists();
}

}  // namespace

TEST(Threading, SecondThreadLeavesTheFirstAloneUntilTerminated)
{
    Counter first;
    Counter second;
    clsThreading thread;
    thread.CreateNewThread(first.routine());
    const pthread_t handle = thread.ThreadHandle();
    const std::int32_t id = thread.ThreadID();
    ASSERT_NE(id, 0);
    EXPECT_TRUE(threadExists(id));
    EXPECT_TRUE(thread.Enabled());
    EXPECT_TRUE(advances(first));

    thread.CreateNewThread(second.routine());
    EXPECT_EQ(thread.ThreadHandle(), handle);
    EXPECT_EQ(thread.ThreadID(), id);
    EXPECT_TRUE(advances(first));
    EXPECT_EQ(second.ticks.load(), 0);

    // Its nice value, as the system reports it.
    thread.setPriority(7);
    EXPECT_EQ(thread.Priority(), 7);

    thread.TerminateCurrentThread();
    EXPECT_FALSE(threadExists(id));
    EXPECT_TRUE(standsStill(first));
    EXPECT_EQ(thread.Priority(), 7);

    thread.CreateNewThread(second.routine());
    EXPECT_NE(thread.ThreadID(), id);
    EXPECT_TRUE(advances(second));
}

TEST(Threading, SuspendedThreadRunsOnlyOnceEnabled)
{
    Counter counter;
    clsThreading thread;
    thread.CreateNewThread(counter.routine(), 0, false);
    EXPECT_FALSE(thread.Enabled());
    EXPECT_TRUE(threadExists(thread.ThreadID()));
    EXPECT_TRUE(standsStill(counter));
    EXPECT_EQ(counter.ticks.load(), 0);

    thread.setEnabled(true);
    EXPECT_TRUE(advances(counter));

    // Parked wherever it stands, without its help, and let go again.
    thread.setEnabled(false);
    EXPECT_TRUE(standsStill(counter));
    EXPECT_TRUE(standsStill(counter));
    thread.setEnabled(true);
    EXPECT_TRUE(advances(counter));
    // Let go and parked again at once, wherever the wake found it.
    for (int i = 0; i < 20; ++i) {
        thread.setEnabled(true);
        thread.setEnabled(false);
    }
    EXPECT_TRUE(standsStill(counter));

    // A parked thread can be terminated too.
    thread.setEnabled(false);
    const std::int32_t id = thread.ThreadID();
    thread.TerminateCurrentThread();
    EXPECT_FALSE(threadExists(id));
}

TEST(Threading, ReleaseEndsTheThread)
{
    Counter running;
    Counter suspended;
    std::int32_t runningId = 0;
    std::int32_t suspendedId = 0;
    {
        clsThreading one;
        one.CreateNewThread(running.routine());
        runningId = one.ThreadID();
        clsThreading other;
        other.CreateNewThread(suspended.routine(), 0, false);
        suspendedId = other.ThreadID();
        EXPECT_TRUE(advances(running));
    }
    EXPECT_FALSE(threadExists(runningId));
    EXPECT_FALSE(threadExists(suspendedId));
    EXPECT_TRUE(standsStill(running));
    EXPECT_EQ(suspended.ticks.load(), 0);
}
