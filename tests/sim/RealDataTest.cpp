// The virtual drives built from the shipped data files: every model, every parameter.

#include <gtest/gtest.h>

#include "SimTestUtil.h"
#include "project/ModelTable.h"
#include "project/ParamTable.h"

namespace pv::sim::test {
namespace {

TEST(RealData, EveryModelTakesBackEveryValueItHolds) {
    VirtualBus bus(PARVOLT_DATA_DIR);
    ASSERT_TRUE(bus.dataLoaded());
    pv::ParamTable table;
    ASSERT_TRUE(table.LoadParamDefinitions(std::string(PARVOLT_DATA_DIR) + "/N350PARAM.DAT"));
    int station = 1;
    for (const auto& model : ModelTable()) {
        VirtualDrive& drive = bus.addStation(station, model.code);
        EXPECT_EQ(readOne(bus, station, 0x0D00), model.code & 0xFF) << model.name;
        const auto registers = drive.parameterRegisters();
        ASSERT_GT(registers.size(), 800u);
        for (const auto& [address, value] : registers) {
            const int group = address >> 8, index = address & 0xFF;
            const pv::ParamRecord* rec = table.record(group, index);
            const bool readOnlyRow = rec && pv::readOnly(rec->attr) && address != drive::kRegPassword;
            // 13-07 and 13-08 are commands, not stored values: writing them back means more.
            if (address == drive::kRegPassword || address == drive::kRegRestore) continue;
            const Bytes reply = replyOf(bus, writeFrame(station, address, value));
            ASSERT_FALSE(reply.empty());
            EXPECT_EQ(exceptionOf(reply), readOnlyRow ? 2 : 0)
                << model.name << " " << codeOfRegister(address) << " = " << value;
        }
        station = station % kMaxStation + 1;
    }
}

TEST(RealData, RestoreFactorySettingBringsBackTheModelsValues) {
    VirtualBus bus(PARVOLT_DATA_DIR);
    VirtualDrive& d = bus.addStation(1, 0x35024);
    VirtualDrive& fresh = bus.addStation(2, 0x35024);
    EXPECT_EQ(readOne(bus, 1, drive::kRegLock), 2);  // delivered unlocked
    ASSERT_TRUE(d.setValue("00-14", "55.5"));
    ASSERT_TRUE(d.setValue("01-02", "120.00"));
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegRestore, 2))), 0);
    EXPECT_TRUE(VirtualDrive::differences(d, fresh).empty());
    EXPECT_EQ(readOne(bus, 1, drive::kRegRestore), 0);

    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegRestore, 5))), 0);  // 3-wire, 50 Hz
    EXPECT_EQ(d.valueOf("01-02"), "50.00");
    EXPECT_EQ(d.valueOf("00-04"), "2");
    EXPECT_EQ(VirtualDrive::differences(d, fresh), (std::vector<std::string>{"00-04", "01-02"}));
}

TEST(RealData, StrictDrivesJudgeTheWriteRulesToo) {
    VirtualBus bus(PARVOLT_DATA_DIR);
    bus.addStation(1, 0x35021);
    const std::uint16_t zeroServoGain = 0x001D;  // 00-29: not used in V/F, SLV, ... modes
    EXPECT_EQ(exceptionOf(replyOf(bus, writeFrame(1, zeroServoGain, 10))), 0);
    bus.setStrictRules(true);
    EXPECT_EQ(exceptionOf(replyOf(bus, writeFrame(1, zeroServoGain, 11))), 3);
    EXPECT_EQ(readOne(bus, 1, zeroServoGain), 10);
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegControlMode, 3))), 0);  // SV
    EXPECT_EQ(exceptionOf(replyOf(bus, writeFrame(1, zeroServoGain, 11))), 0);
    // Ranges stay the drive's own in either case.
    EXPECT_EQ(exceptionOf(replyOf(bus, writeFrame(1, zeroServoGain, 51))), 3);
}

TEST(RealData, MonitorParametersShowTheRunningDrive) {
    VirtualBus bus(PARVOLT_DATA_DIR);
    auto clock = std::make_shared<ManualClock>();
    bus.setClock(clock);
    VirtualDrive& d = bus.addStation(1, 0x35003);
    ASSERT_TRUE(d.setValue("00-14", "10.0"));
    ASSERT_TRUE(d.setValue("01-02", "60.00"));
    // 01-02 raw 6000 is above 3000: the command travels in 0.1 Hz.
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegFrequencyCommand, 450))), 0);
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegCommandWord, drive::kCmdRun | 0x0040))), 0);
    clock->advance(std::chrono::seconds(5));
    EXPECT_EQ(d.valueOf("00-08"), "45.00");
    EXPECT_EQ(d.valueOf("12-16"), "45.00");
    EXPECT_EQ(d.valueOf("12-17"), "30.00");  // half way up the 10 s ramp to 60 Hz
    EXPECT_EQ(d.valueOf("12-22"), "900.0");
    EXPECT_EQ(d.valueOf("12-72"), "1");  // S1
    EXPECT_EQ(d.valueOf("12-87"), "1");
    EXPECT_EQ(d.valueOf("12-43"), "1");  // running, not yet at speed
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegCommandWord, 0))), 0);
    ASSERT_EQ(exceptionOf(replyOf(bus, writeFrame(1, drive::kRegCommandWord, drive::kCmdRun))), 0);
    EXPECT_EQ(d.valueOf("12-87"), "2");
}

}  // namespace
}  // namespace pv::sim::test
