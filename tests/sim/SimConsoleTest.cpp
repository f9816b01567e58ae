// Commands typed into a running n350-sim.

#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "sim/SimConsole.h"

namespace pv::sim::test {
namespace {

TEST(SimConsole, CommandsChangeTheRunningBus) {
    TestDataDir data;
    VirtualBus bus(data.path());
    bus.addStation(1, 0x35001);
    struct Step {
        std::string line;
        std::string reply;  // the start of the expected reply
    };
    const std::vector<Step> steps = {
        {"", ""},
        {"set 1 00-14 12.5", "ok"},
        {"get 1 00-14", "00-14 = 12.5"},
        {"set 1 00-14 9999", "refused: 00-14 9999"},
        {"get 1 77-77", "no such parameter: 77-77"},
        {"get 2 00-14", "no drive at station 2"},
        {"version 1 1005", "ok"},
        {"status 1", "station 1: stopped, forward, output 0.00 Hz, target 0.00 Hz"},
        {"trip 1 7", "ok"},
        {"trip 1 0", "not a number: 0"},
        {"trip 9 7", "no drive at station 9"},
        {"fault 1:drop@once", "ok"},
        {"fault 1:melt", "bad fault"},
        {"clear 40", "stations must be 1..32"},
        {"unplug", "ok"},
        {"frobnicate", "unknown command"},
        {"help", "fault STATION"},
    };
    for (const auto& s : steps) {
        const std::string reply = runConsoleCommand(bus, s.line);
        EXPECT_EQ(reply.substr(0, s.reply.size()), s.reply) << s.line;
        if (s.reply.empty()) {
            EXPECT_TRUE(reply.empty());
        }
    }
    EXPECT_EQ(readOne(bus, 1, 0x0D01), 0xDEAD);  // unplugged: no answer
    EXPECT_EQ(runConsoleCommand(bus, "plug"), "ok");
    EXPECT_TRUE(replyOf(bus, readFrame(1, 0x0D01, 1)).empty());  // the one drop fires
    EXPECT_EQ(readOne(bus, 1, 0x0D01), 1005);
    EXPECT_EQ(readOne(bus, 1, 0x2521), 7);  // the trip's fault code
    bus.faults(1).set(FaultKind::Drop, FaultMode::Always);
    EXPECT_EQ(runConsoleCommand(bus, "clear 1"), "ok");
    EXPECT_EQ(readOne(bus, 1, 0x0D01), 1005);
    EXPECT_EQ(readOne(bus, 1, 0x2521), 7);  // the trip's fault code
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, 0x0D07, 5))), 0);
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, 0x0D07, 5))), 0);
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, 0x0D07, 5))), 0);  // lifted
    EXPECT_EQ(runConsoleCommand(bus, "power 1"), "ok");
    EXPECT_EQ(readOne(bus, 1, 0x0D07), 2);  // active again after power-up
}

}  // namespace
}  // namespace pv::sim::test
