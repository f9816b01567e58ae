// How the virtual bus answers request frames: reads, writes, exception codes, broadcasts and
// frames a drive must ignore.

#include <gtest/gtest.h>

#include "SimTestUtil.h"

namespace pv::sim::test {
namespace {

constexpr std::uint32_t k2P5 = 0x35001, k201 = 0x35002, k401 = 0x35021;

class FrameHandling : public ::testing::Test {
protected:
    TestDataDir data;
    VirtualBus bus{data.path()};
    void SetUp() override {
        ASSERT_TRUE(bus.dataLoaded());
        bus.addStation(1, k2P5);
        bus.addStation(2, k401);
    }
};

TEST_F(FrameHandling, AnswersReadWithValuesHighByteFirst) {
    // 13-00 capacity and 13-01 version in one request, as identification reads them.
    EXPECT_EQ(replyOf(bus, readFrame(2, 0x0D00, 2)), withCrc({2, 3, 4, 0x00, 0x21, 0x00, 135}));
    EXPECT_EQ(readOne(bus, 1, 0x252F), 0x0740);
    EXPECT_EQ(readOne(bus, 1, 0x0D00), 0x01);
}

struct ExceptionCase {
    const char* what;
    Bytes request;
    int expected;  // exception code, 0 for a normal reply
};

TEST_F(FrameHandling, RefusesWithTheRightExceptionCode) {
    const std::vector<ExceptionCase> cases = {
        {"unknown function", withCrc({1, 4, 0, 0, 0, 1}), 1},
        {"function 1", withCrc({1, 1, 0, 0, 0, 8}), 1},
        {"unknown register", readFrame(1, 0x0001, 1), 2},
        {"run over an undefined register", readFrame(1, 0x0000, 3), 2},
        {"unused command register", readFrame(1, 0x2503, 1), 2},
        {"read of zero registers", readFrame(1, 0x0000, 0), 4},
        {"read of 33 registers", readFrame(1, 0xA000, 33), 4},
        {"read of 32 registers", readFrame(1, 0xA000, 32), 0},
        {"write above range", writeFrame(1, 0x0102, 30001), 3},
        {"write at top of range", writeFrame(1, 0x0102, 30000), 0},
        {"option beyond its list", writeFrame(1, 0x0000, 7), 3},
        {"signed value below range", writeFrame(1, 0x0014, static_cast<std::uint16_t>(-101)), 3},
        {"signed value in range", writeFrame(1, 0x0014, static_cast<std::uint16_t>(-100)), 0},
        {"hex gap of 01-00", writeFrame(1, 0x0100, 0x10), 3},
        {"hex lone maximum FF", writeFrame(1, 0x0100, 0xFF), 0},
        {"read-only capacity", writeFrame(1, 0x0D00, 5), 2},
        {"read-only monitor", writeFrame(1, 0x0C00, 5), 2},
        {"read-only status block", writeFrame(1, 0x2520, 1), 2},
        {"drive type word", writeFrame(1, 0x252F, 0x0740), 2},
        {"unknown register write", writeFrame(1, 0x0001, 0), 2},
        {"outputs beyond three bits", writeFrame(1, 0x2507, 8), 3},
        {"many: one value out of range", writeManyFrame(1, 0x000E, {100, 60001}), 3},
        {"many: count 33", writeManyFrame(1, 0xA000, std::vector<std::uint16_t>(33, 0)), 4},
        {"hidden group register", writeFrame(1, 0x1931, 77), 0},
        {"beyond the hidden group", writeFrame(1, 0x1932, 77), 2},
        {"PLC run state above 1", writeFrame(1, 0xA600, 2), 3},
    };
    for (const auto& c : cases) {
        const Bytes reply = replyOf(bus, c.request);
        ASSERT_FALSE(reply.empty()) << c.what;
        EXPECT_EQ(exceptionOf(reply), c.expected) << c.what;
        if (c.expected != 0) {
            EXPECT_EQ(reply[1], c.request[1] | 0x80) << c.what;
        }
    }
}

TEST_F(FrameHandling, WriteOneEchoesAndStores) {
    const Bytes req = writeFrame(1, 0x000E, 123);
    EXPECT_EQ(replyOf(bus, req), req);
    EXPECT_EQ(readOne(bus, 1, 0x000E), 123);
    EXPECT_EQ(bus.station(1)->valueOf("00-14"), "12.3");
}

TEST_F(FrameHandling, WriteManyAnswersWithHeaderAndIsAllOrNothing) {
    EXPECT_EQ(replyOf(bus, writeManyFrame(1, 0x000E, {200, 300})),
              withCrc({1, 16, 0x00, 0x0E, 0x00, 0x02}));
    EXPECT_EQ(readOne(bus, 1, 0x000F), 300);
    // 00-14 fits but 00-15 does not: neither changes.
    EXPECT_EQ(exceptionOf(replyOf(bus, writeManyFrame(1, 0x000E, {400, 0}))), 3);
    EXPECT_EQ(readOne(bus, 1, 0x000E), 200);
}

TEST_F(FrameHandling, IgnoresDamagedFramesAndAbsentStations) {
    Bytes bad = readFrame(1, 0x0D00, 1);
    bad.back() ^= 1;
    EXPECT_TRUE(bus.onFrame(bad).empty());
    EXPECT_TRUE(bus.onFrame(readFrame(9, 0x0D00, 1)).empty());
    EXPECT_TRUE(bus.onFrame(withCrc({1})).empty());
    // A function-06 request of the wrong length cannot be parsed, so it is not answered.
    EXPECT_TRUE(bus.onFrame(withCrc({1, 6, 0, 0x0E, 0})).empty());
}

TEST_F(FrameHandling, BroadcastWritesEveryDriveAndIsNotAnswered) {
    EXPECT_TRUE(bus.onFrame(writeFrame(0, 0xA000, 0x1234)).empty());
    EXPECT_TRUE(bus.onFrame(writeManyFrame(0, 0xA001, {5, 6})).empty());
    for (int st : {1, 2}) {
        EXPECT_EQ(valuesOf(replyOf(bus, readFrame(st, 0xA000, 3))),
                  (std::vector<std::uint16_t>{0x1234, 5, 6}));
    }
    // A broadcast read does nothing.
    EXPECT_TRUE(bus.onFrame(readFrame(0, 0x0D00, 1)).empty());
}

TEST_F(FrameHandling, ModelDefaultsFollowTheCapacity) {
    bus.addStation(3, k201);
    EXPECT_EQ(bus.station(3)->valueOf("00-14"), "10.0");
    EXPECT_EQ(bus.station(2)->valueOf("00-14"), "20.0");
    EXPECT_EQ(bus.station(1)->valueOf("01-00"), "F");
    EXPECT_EQ(bus.station(1)->valueOf("01-02"), "60.00");
}

TEST_F(FrameHandling, ComparesParametersOfTwoDrives) {
    bus.addStation(3, k2P5);
    VirtualDrive& a = *bus.station(1);
    VirtualDrive& b = *bus.station(3);
    EXPECT_TRUE(VirtualDrive::differences(a, b).empty());
    ASSERT_TRUE(b.setValue("00-15", "7.5"));
    ASSERT_TRUE(b.setValue("26-03", "9"));
    EXPECT_EQ(VirtualDrive::differences(a, b), (std::vector<std::string>{"00-15", "26-03"}));
    EXPECT_FALSE(b.setValue("01-02", "300.01"));
    EXPECT_FALSE(b.setValue("99-99", "1"));
    // The capacity differs between models but is not a parameter anyone writes.
    EXPECT_TRUE(VirtualDrive::differences(*bus.station(2), *bus.station(2)).empty());
}

TEST(VirtualBusWithoutData, StillIdentifiesItself) {
    VirtualBus bus("/nonexistent-folder");
    EXPECT_FALSE(bus.dataLoaded());
    bus.addStation(4, 0x35005);
    EXPECT_EQ(readOne(bus, 4, 0x252F), 0x0740);
    EXPECT_EQ(readOne(bus, 4, 0x0D00), 5);
    EXPECT_EQ(readOne(bus, 4, 0x0D01), 135);
    EXPECT_EQ(readOne(bus, 4, 0x0D06), 1);
}

}  // namespace
}  // namespace pv::sim::test
