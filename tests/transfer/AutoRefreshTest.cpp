// Auto refresh driven the way the desktop's link thread drives it: a loop calling runOnePass on
// a timer, and stop() from another thread.
#include "comm/AutoRefresh.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "TransferFixture.h"

namespace pv::test {
namespace {

class AutoRefreshTest : public TransferTest {};

TEST_F(AutoRefreshTest, PassReadsGroupsZeroToTwentyThreeWithoutProgress) {
    auto ctx = context();
    comm::AutoRefresh refresh(ctx);
    int refreshed = 0;
    ctx.refreshViews = [&] { ++refreshed; };
    prompts.stationAnswers.push_back(2);
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Skipped);  // not started yet
    ASSERT_TRUE(refresh.start());
    EXPECT_EQ(refresh.station(), 2);
    drive(2).setValue("00-14", "44.4");
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Read);
    EXPECT_EQ(doc.table.record(0, 14)->readValue, "44.4");
    EXPECT_FALSE(doc.table.record(23, 0) && doc.table.record(23, 0)->defined &&
                 doc.table.record(23, 0)->readValue.empty());
    EXPECT_EQ(refreshed, 1);
    EXPECT_TRUE(prompts.texts("progress").empty());
    refresh.stop();
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Skipped);
}

TEST_F(AutoRefreshTest, StartFailsWhenTheDriveDoesNotAnswer) {
    linkState.stations = {9};
    auto ctx = context();
    comm::AutoRefresh refresh(ctx);
    EXPECT_FALSE(refresh.start());
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Skipped);
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"TimeOut !"});
}

TEST_F(AutoRefreshTest, FailedPassShowsItsTextAndTurnsOff) {
    auto ctx = context();
    comm::AutoRefresh refresh(ctx);
    ASSERT_TRUE(refresh.start());
    bus->faults(1).set(sim::FaultKind::BadCrc);
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Failed);
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"CRC parity error !"});
    bus->clearFaults();
    EXPECT_EQ(refresh.runOnePass(), comm::AutoRefresh::Pass::Skipped);
}

TEST_F(AutoRefreshTest, StopEndsTheRunningPassAtItsNextTransactionAndNothingFollows) {
    auto ctx = context();
    comm::AutoRefresh refresh(ctx);
    ASSERT_TRUE(refresh.start());
    // Hold the bus in the middle of a pass until stop() has been asked for.
    std::mutex m;
    std::condition_variable cv;
    bool inPass = false, stopAsked = false;
    peer->beforeReply = [&](std::size_t) {
        std::unique_lock lock(m);
        if (!inPass) {
            inPass = true;
            cv.notify_all();
            cv.wait_for(lock, std::chrono::seconds(5), [&] { return stopAsked; });
        }
    };
    std::atomic<bool> quit{false};
    std::atomic<int> skipped{0}, stoppedPasses{0};
    std::thread linkThread([&] {
        while (!quit) {
            const auto pass = refresh.runOnePass();
            if (pass == comm::AutoRefresh::Pass::Skipped) ++skipped;
            if (pass == comm::AutoRefresh::Pass::Stopped) ++stoppedPasses;
            std::this_thread::yield();
        }
    });
    {
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(5), [&] { return inPass; }));
    }
    refresh.stop();
    {
        std::lock_guard lock(m);
        stopAsked = true;
    }
    cv.notify_all();
    // The held transaction ends the pass; the loop then only skips.
    while (skipped == 0) std::this_thread::yield();
    EXPECT_EQ(stoppedPasses, 1);
    const auto framesAtStop = peer->requests().size();
    // The loop keeps calling; nothing more goes on the wire.
    const int skippedAtStop = skipped;
    while (skipped < skippedAtStop + 50) std::this_thread::yield();
    quit = true;
    linkThread.join();
    EXPECT_EQ(peer->requests().size(), framesAtStop);
    EXPECT_EQ(refresh.passes(), 0);
}

}  // namespace
}  // namespace pv::test
