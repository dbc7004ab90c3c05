// The kept threads a frame hands its bands and halves to: work runs away
// from the asking thread, failures come back through the future, a worker
// asking for more work is not left waiting for itself, and nothing queued
// is dropped when the workers go.
#include "FrameWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr auto kPatience = std::chrono::seconds(10);

TEST(FrameWorkers, WorkRunsOnAnotherThreadAndItsFailureReachesTheAsker)
{
    FrameWorkers workers(2);
    std::thread::id ranOn;
    std::future<void> done = workers.run([&] { ranOn = std::this_thread::get_id(); });
    ASSERT_EQ(done.wait_for(kPatience), std::future_status::ready);
    done.get();
    EXPECT_NE(ranOn, std::this_thread::get_id());

    std::future<void> failed = workers.run([] { throw std::runtime_error("band failed"); });
    EXPECT_THROW(failed.get(), std::runtime_error);
}

TEST(FrameWorkers, AWorkerAskingForWorkRunsItItselfInsteadOfWaitingForItself)
{
    FrameWorkers one(1);
    bool innerRan = false;
    std::future<void> outer = one.run([&] {
        std::future<void> inner = one.run([&] { innerRan = true; });
        inner.get();
    });
    ASSERT_EQ(outer.wait_for(kPatience), std::future_status::ready) << "the only worker waited for itself";
    EXPECT_TRUE(innerRan);
}

TEST(FrameWorkers, WorkAskedFromManyThreadsAllRunsAndQueuedWorkOutlivesTheWorkers)
{
    std::atomic<int> ran{0};
    std::vector<std::future<void>> futures;
    std::mutex futuresMutex;
    {
        FrameWorkers workers(2);
        std::vector<std::thread> askers;
        askers.reserve(4);
        for (int asker = 0; asker < 4; ++asker)
            askers.emplace_back([&] {
                for (int i = 0; i < 250; ++i) {
                    std::future<void> done = workers.run([&] { ++ran; });
                    const std::lock_guard lock(futuresMutex);
                    futures.push_back(std::move(done));
                }
            });
        for (std::thread& asker : askers)
            asker.join();
    }
    EXPECT_EQ(ran.load(), 1000);
    for (std::future<void>& done : futures)
        EXPECT_EQ(done.wait_for(std::chrono::seconds(0)), std::future_status::ready);
}

} // namespace
