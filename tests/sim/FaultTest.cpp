// What each injected fault does to the bytes and timing of a reply, how often it fires, and the
// wire-time emulation that benchmarks rely on.

#include <gtest/gtest.h>

#include <thread>

#include "SimTestUtil.h"
#include "serial/Crc16.h"

namespace pv::sim::test {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

class Faults : public ::testing::Test {
protected:
    VirtualBus bus{"/nonexistent-folder"};
    const Bytes request = readFrame(1, 0x0D00, 2);
    Bytes normal;
    void SetUp() override {
        bus.addStation(1, 0x35021);
        bus.addStation(2, 0x35021);
        normal = replyOf(bus, request);
        ASSERT_EQ(normal.size(), 9u);
    }
    std::vector<pv::serial::ReplyChunk> withFault(FaultKind kind, int arg = -1) {
        bus.faults(1).set(kind, FaultMode::Once, arg);
        return bus.onFrame(request);
    }
};

TEST_F(Faults, EachKindShapesTheReply) {
    EXPECT_TRUE(withFault(FaultKind::Drop).empty());

    auto c = withFault(FaultKind::BadCrc);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].bytes.size(), normal.size());
    EXPECT_TRUE(std::equal(normal.begin(), normal.end() - 2, c[0].bytes.begin()));
    EXPECT_FALSE(pv::serial::frameCrcOk(c[0].bytes.data(), c[0].bytes.size()));

    c = withFault(FaultKind::Delay);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].bytes, normal);
    EXPECT_EQ(c[0].delay, milliseconds(kDefaultDelayMs));
    EXPECT_EQ(withFault(FaultKind::Delay, 20)[0].delay, milliseconds(20));

    c = withFault(FaultKind::Late);
    EXPECT_EQ(c[0].bytes, normal);
    EXPECT_EQ(c[0].delay, milliseconds(kDefaultLateMs));

    c = withFault(FaultKind::WrongFunction);
    EXPECT_EQ(c[0].bytes.size(), normal.size());
    EXPECT_EQ(c[0].bytes[1], 4);
    EXPECT_TRUE(pv::serial::frameCrcOk(c[0].bytes.data(), c[0].bytes.size()));
    EXPECT_EQ(withFault(FaultKind::WrongFunction, 0x10)[0].bytes[1], 0x10);

    EXPECT_EQ(withFault(FaultKind::Exception, 2)[0].bytes, withCrc({1, 0x83, 2}));
    EXPECT_EQ(withFault(FaultKind::Exception)[0].bytes, withCrc({1, 0x83, 4}));

    c = withFault(FaultKind::Garbage);
    EXPECT_EQ(c[0].bytes.size(), normal.size());
    EXPECT_NE(c[0].bytes, normal);
    EXPECT_FALSE(pv::serial::frameCrcOk(c[0].bytes.data(), c[0].bytes.size()));
    EXPECT_EQ(withFault(FaultKind::Garbage, 3)[0].bytes.size(), 3u);

    EXPECT_EQ(withFault(FaultKind::Truncated)[0].bytes, Bytes(normal.begin(), normal.begin() + 4));
    EXPECT_EQ(withFault(FaultKind::Truncated, 7)[0].bytes,
              Bytes(normal.begin(), normal.begin() + 7));
    EXPECT_EQ(withFault(FaultKind::Truncated, 50)[0].bytes.size(), normal.size() - 1);

    // Every fault above fired once; the station answers normally again.
    EXPECT_EQ(replyOf(bus, request), normal);
}

TEST_F(Faults, DisconnectUnplugsTheWireUntilPluggedAgain) {
    EXPECT_TRUE(withFault(FaultKind::Disconnect).empty());
    EXPECT_FALSE(bus.connected());
    EXPECT_TRUE(bus.onFrame(readFrame(2, 0x0D00, 1)).empty());
    bus.setConnected(true);
    EXPECT_EQ(replyOf(bus, request), normal);
}

TEST_F(Faults, FiresOnceCountTimesOrAlwaysAndOnlyOnItsStation) {
    bus.faults(1).set(FaultKind::Drop, FaultMode::Count, -1, 2);
    EXPECT_FALSE(replyOf(bus, readFrame(2, 0x0D00, 1)).empty());
    EXPECT_TRUE(bus.onFrame(request).empty());
    EXPECT_TRUE(bus.faults(1).pending());
    EXPECT_TRUE(bus.onFrame(request).empty());
    EXPECT_FALSE(bus.faults(1).pending());
    EXPECT_EQ(bus.faults(1).fired(), 2);
    EXPECT_EQ(replyOf(bus, request), normal);

    bus.faults(1).set(FaultKind::Drop, FaultMode::Always);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(bus.onFrame(request).empty());
    bus.faults(1).clear();
    EXPECT_EQ(replyOf(bus, request), normal);
}

TEST_F(Faults, CanBeSetFromAnotherThreadWhileTheBusRuns) {
    std::atomic<bool> stop{false};
    std::atomic<int> silent{0};
    std::thread master([&] {
        while (!stop)
            if (bus.onFrame(request).empty()) ++silent;
    });
    bus.faults(1).set(FaultKind::Drop, FaultMode::Count, -1, 3);
    for (int i = 0; i < 100000 && bus.faults(1).pending(); ++i) std::this_thread::yield();
    stop = true;
    master.join();
    EXPECT_FALSE(bus.faults(1).pending());
    EXPECT_EQ(silent.load(), 3);
}

TEST(FaultNames, RoundTrip) {
    for (const auto k : {FaultKind::Drop, FaultKind::BadCrc, FaultKind::Delay,
                         FaultKind::WrongFunction, FaultKind::Exception, FaultKind::Late,
                         FaultKind::Garbage, FaultKind::Truncated, FaultKind::Disconnect})
        EXPECT_EQ(faultKindFromName(faultKindName(k)), k);
    EXPECT_FALSE(faultKindFromName("melt").has_value());
}

struct WireCase {
    int baud;
    LineFormat format;
    std::size_t request, reply;
    long long turnaroundUs;
    long long expectedUs;
};

TEST(WireTime, CountsRequestTurnaroundAndReplyCharacters) {
    const std::vector<WireCase> cases = {
        // 8N2 = 11 bits: 8 + 69 bytes at 9600 baud = 847 * 1e6 / 9600 = 88229.17 us.
        {9600, {8, 0, 2.0f}, 8, 69, 0, 88229},
        {9600, {8, 0, 2.0f}, 8, 69, 1500, 89729},
        // 8N1 = 10 bits: 16 bytes at 19200 = 8333.3 us.
        {19200, {8, 0, 1.0f}, 8, 8, 0, 8333},
        // 8E1 = 11 bits at 38400: 11 + 8 bytes -> 5442.7 us.
        {38400, {8, 2, 1.0f}, 11, 8, 250, 5693},
        // No character times: only the turnaround.
        {0, {8, 0, 2.0f}, 8, 69, 700, 700},
    };
    for (const auto& c : cases) {
        WireTime w;
        w.setFormat(c.format);
        w.set(c.baud, microseconds(c.turnaroundUs));
        EXPECT_EQ(w.replyDelay(c.request, c.reply).count(), c.expectedUs) << c.baud;
    }
}

TEST(WireTime, BusDelaysEachChunkByTheLineAndTheMastersFormat) {
    VirtualBus bus("/nonexistent-folder");
    bus.addStation(1, 0x35001);
    bus.onOpen(19200, 8, 0, 1.0f);  // 10 bits per character
    bus.setWireTime(19200, microseconds(400));
    const auto reply = bus.onFrame(readFrame(1, 0x0D00, 2));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].delay, microseconds(400 + 8854));  // 17 characters of 10 bits
    // A truncated reply is complete on the wire earlier.
    bus.faults(1).set(FaultKind::Truncated, FaultMode::Once, 3);
    EXPECT_EQ(bus.onFrame(readFrame(1, 0x0D00, 2))[0].delay,
              microseconds(400 + 5729));  // 11 characters
    bus.disableWireTime();
    EXPECT_EQ(bus.onFrame(readFrame(1, 0x0D00, 2))[0].delay, microseconds(0));
}

}  // namespace
}  // namespace pv::sim::test
