// The drive's guards and moving parts: 13-06 lock, 13-07 and PLC passwords, PLC run and clear,
// the command word and the motor's ramps on a stepped clock.

#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "plc/PlcWire.h"

namespace pv::sim::test {
namespace {

using std::chrono::milliseconds;

class DriveState : public ::testing::Test {
protected:
    TestDataDir data;
    VirtualBus bus{data.path()};
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    void SetUp() override {
        bus.setClock(clock);
        bus.addStation(1, 0x35003);
    }
    int write(std::uint16_t reg, std::uint16_t v) {
        const Bytes reply = replyOf(bus, writeFrame(1, reg, v));
        return reply.empty() ? -1 : exceptionOf(reply);
    }
    std::uint16_t read(std::uint16_t reg) { return readOne(bus, 1, reg); }
};

TEST_F(DriveState, LockRefusesEveryParameterButItself) {
    EXPECT_EQ(write(0x0D06, 0), 0);
    EXPECT_EQ(read(0x0D06), 0);
    EXPECT_EQ(write(0x000E, 50), 3);
    EXPECT_EQ(write(0x1900, 1), 3);  // hidden groups are parameters too
    EXPECT_EQ(write(0x2501, 1), 0);  // commands are not parameters
    EXPECT_EQ(write(0x0D06, 1), 0);
    EXPECT_EQ(write(0x000E, 50), 0);
}

TEST_F(DriveState, ParameterPasswordSetTwiceThenEnteredToLift) {
    EXPECT_EQ(read(0x0D07), 0);
    EXPECT_EQ(write(0x0D07, 1234), 0);
    EXPECT_EQ(read(0x0D07), 0);  // one write is not yet a password
    EXPECT_EQ(write(0x0D07, 1234), 0);
    EXPECT_EQ(read(0x0D07), 2);
    EXPECT_EQ(write(0x000E, 50), 3);    // parameters refuse while it is active
    EXPECT_EQ(write(0x0D07, 1111), 0);  // a wrong entry is answered but changes nothing
    EXPECT_EQ(read(0x0D07), 2);
    EXPECT_EQ(write(0x0D07, 1234), 0);
    EXPECT_EQ(read(0x0D07), 0);
    EXPECT_EQ(write(0x000E, 50), 0);
    EXPECT_EQ(write(0x0D07, 10000), 3);  // beyond four digits
    // Powering the drive again brings the password back.
    bus.station(1)->powerCycle();
    EXPECT_EQ(read(0x0D07), 2);
}

TEST_F(DriveState, PasswordWritesMustBeInARow) {
    EXPECT_EQ(write(0x0D07, 42), 0);
    EXPECT_EQ(write(0x000E, 50), 0);
    EXPECT_EQ(write(0x0D07, 42), 0);
    EXPECT_EQ(read(0x0D07), 0);
}

TEST_F(DriveState, PlcPasswordGuardsProgramMemory) {
    EXPECT_EQ(write(0xA000, 0x0102), 0);
    EXPECT_EQ(write(0xAA01, 777), 0);
    EXPECT_EQ(write(0xAA01, 777), 0);
    EXPECT_EQ(read(0xAA03), 2);
    EXPECT_EQ(exceptionOf(replyOf(bus, readFrame(1, 0xA000, 10))), 3);
    EXPECT_EQ(write(0xAA02, 778), 3);  // a wrong entry is refused with "data error"
    EXPECT_EQ(write(0xAA02, 777), 0);
    EXPECT_EQ(read(0xAA03), 0);
    EXPECT_EQ(read(0xA000), 0x0102);
}

TEST_F(DriveState, PlcRunBlocksProgramWritesAndClearEmptiesMemory) {
    EXPECT_EQ(write(0xA2B8, 5), 0);
    EXPECT_EQ(write(0xA600, 1), 0);
    EXPECT_EQ(read(0xA600), 1);
    EXPECT_EQ(write(0xA000, 1), 3);
    EXPECT_EQ(write(0xA601, 1), 3);
    EXPECT_EQ(write(0xA600, 0), 0);
    EXPECT_EQ(write(0xA601, 1), 0);
    EXPECT_EQ(read(0xA2B8), 0);
    EXPECT_EQ(write(0xA404, 0x0102), 0);  // element states are stored as forced
    EXPECT_EQ(valuesOf(replyOf(bus, readFrame(1, 0xA401, 7))),
              (std::vector<std::uint16_t>{0, 0, 0, 0x0102, 0, 0, 0}));
}

TEST_F(DriveState, IdentificationAndSettableVersion) {
    EXPECT_EQ(read(0x252F), 0x0740);
    EXPECT_EQ(read(0x0D00), 3);
    EXPECT_EQ(read(0x0D01), 135);
    bus.station(1)->setVersion(1005);
    EXPECT_EQ(read(0x0D01), 1005);
    bus.setDefaultVersion(99);
    bus.addStation(2, 0x35021);
    EXPECT_EQ(readOne(bus, 2, 0x0D01), 99);
}

TEST_F(DriveState, MotorRampsByAccelerationAndDecelerationTimes) {
    // 00-14 = 10.0 s and 00-15 = 5.0 s from zero to 01-02 = 60.00 Hz. 01-02 raw 6000 is above
    // 3000, so the frequency command and status travel in 0.1 Hz.
    EXPECT_EQ(write(0x2502, 300), 0);  // 30.0 Hz
    EXPECT_EQ(write(0x2501, drive::kCmdRun), 0);
    EXPECT_EQ(read(0x2520) & drive::kStRunning, drive::kStRunning);
    EXPECT_EQ(read(0x2523), 300);
    clock->advance(milliseconds(2500));  // a quarter of the way to 60 Hz
    EXPECT_EQ(read(0x2524), 150);
    EXPECT_EQ(read(0x2520) & drive::kStAtSpeed, 0);
    clock->advance(milliseconds(2500));
    EXPECT_EQ(read(0x2524), 300);
    EXPECT_EQ(read(0x2520) & drive::kStAtSpeed, drive::kStAtSpeed);
    EXPECT_EQ(static_cast<std::int16_t>(read(0x252D)), 900);  // rpm of a four-pole motor
    EXPECT_EQ(bus.station(1)->valueOf("12-22"), "900.0");     // the monitor parameter agrees
    EXPECT_EQ(bus.station(1)->valueOf("12-41"), "43");        // warmer at half speed
    EXPECT_GT(read(0x2527), 0);                               // current flows
    EXPECT_EQ(read(0x2525), 1100);                            // 220 V x 30/60 Hz, in 0.1 V

    // Reverse: down through zero at the deceleration rate, then up again.
    EXPECT_EQ(write(0x2501, drive::kCmdRun | drive::kCmdReverse), 0);
    clock->advance(milliseconds(2500));  // 30 Hz -> 0 takes 2.5 s at 12 Hz/s
    EXPECT_EQ(read(0x2524), 0);
    clock->advance(milliseconds(1000));  // then 6 Hz/s upwards
    EXPECT_EQ(read(0x2524), 60);
    EXPECT_EQ(read(0x2520) & drive::kStReverse, drive::kStReverse);
    EXPECT_LT(static_cast<std::int16_t>(read(0x252D)), 0);

    // Stop: still running while it slows down.
    EXPECT_EQ(write(0x2501, drive::kCmdReverse), 0);
    clock->advance(milliseconds(250));
    EXPECT_EQ(read(0x2524), 30);
    EXPECT_EQ(read(0x2520) & drive::kStRunning, drive::kStRunning);
    clock->advance(milliseconds(250));
    EXPECT_EQ(read(0x2524), 0);
    EXPECT_EQ(read(0x2520) & drive::kStRunning, 0);
    EXPECT_EQ(read(0x2527), 0);
}

TEST_F(DriveState, CommandWordDrivesTerminalsAndFaultResetClears) {
    EXPECT_EQ(write(0x2501, 0x0040 | 0x2000 | drive::kCmdFaultReset), 0);  // S1, S8, reset
    EXPECT_EQ(read(0x2501), 0x2040);                                // the reset bit does not stay
    EXPECT_EQ(write(0x2507, 5), 0);                                 // DO1 and R1
    EXPECT_EQ(read(0x2522), 0x0581);
}

TEST(MotorModel, FrequencyAboveTheMaximumIsClamped) {
    MotorModel m;
    m.command(true, false, 80.0);
    m.advance(std::chrono::seconds(30), {60.0, 10.0, 10.0});
    EXPECT_DOUBLE_EQ(m.output(), 60.0);
    m.command(true, false, 20.0);
    m.advance(std::chrono::seconds(0), {60.0, 0.0, 0.0});
    EXPECT_DOUBLE_EQ(m.output(), 60.0);
    m.advance(std::chrono::microseconds(1), {60.0, 0.0, 0.0});  // zero ramp time: at once
    EXPECT_DOUBLE_EQ(m.output(), 20.0);
}

TEST_F(DriveState, StoredProgramRunsWhileThePlcRunsAndDrivesTheOutputs) {
    // I01 starts T01 (1.0 s); T01 switches Q01, which is the relay output R1.
    PlcProgram p;
    p.setContact(0, 0, 'I', 1);
    p.setWire(0, 1);
    p.setWire(0, 2);
    p.setCoil(0, kCoilOutput, 'T', 1);
    p.setContact(1, 0, 'T', 1);
    p.setWire(1, 1);
    p.setWire(1, 2);
    p.setCoil(1, kCoilOutput, 'Q', 1);
    p.timers[0][3] = 0x10;  // preset 0010 tenths
    p.computeUsedBlocks();
    auto store = [&](std::uint16_t first, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t k = 0; k < bytes.size(); k += 2)
            ASSERT_EQ(write(static_cast<std::uint16_t>(first + k / 2), bytes[k] << 8 | bytes[k + 1]), 0);
    };
    const plc::LineBytes line = plc::EncodeLine(p, 1);
    store(0xA000, {line.begin(), line.end()});
    store(0xA200, plc::EncodeBlock(p, plc::BlockKind::Timer, 0).bytes);
    const std::uint16_t terminals = 0x2522;

    EXPECT_EQ(write(0xA600, 1), 0);
    EXPECT_EQ(write(0xA401, 0x0100), 0);  // force I1
    clock->advance(milliseconds(500));
    EXPECT_EQ(read(0xA600), 1);
    EXPECT_EQ(read(0xA407), 0) << "00-02 is not 3: the program does not run";
    EXPECT_EQ(write(0x0002, 3), 0);
    clock->advance(milliseconds(950));
    EXPECT_EQ(read(0xA402) >> 8, 0);
    clock->advance(milliseconds(60));
    EXPECT_EQ(read(0xA401), 0x0100);
    EXPECT_EQ(read(0xA402) >> 8, 1);
    EXPECT_EQ(read(0xA407) >> 8, 1);
    EXPECT_EQ(read(terminals) >> 8 & 7, 1);
    EXPECT_EQ(write(0xA600, 0), 0);
    EXPECT_EQ(read(terminals) >> 8 & 7, 0);
}

}  // namespace
}  // namespace pv::sim::test
