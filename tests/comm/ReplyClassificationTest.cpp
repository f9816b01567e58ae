// A spoilt reply from a drive, all the way through the channel to the text each reporter gives:
// the channel's ErrType and the reporters' look at byte 1 together make the message.

#include <gtest/gtest.h>

#include <memory>

#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;

class ReplyClassificationTest : public ::testing::Test {
protected:
    void SetUp() override {
        bus = std::make_shared<sim::VirtualBus>(PARVOLT_DATA_DIR);
        bus->addStation(1, 0x35001);
        serial::setVirtualPeer(bus);
        link.setResponseTimeout(100ms);
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
    }
    void TearDown() override { serial::setVirtualPeer(nullptr); }

    std::shared_ptr<sim::VirtualBus> bus;
    CDriveSerial link;
};

// The checked single transactions each tell a failure their own way: shown at once, stored for
// the caller, or reported with the station. A reply of another function is not decoded: its
// byte 2 (the register's high byte) is read as an exception code no table entry has.
TEST_F(ReplyClassificationTest, CheckedTransactionsTellTheirFailuresTheirOwnWay) {
    struct Case {
        FaultKind fault;
        int arg;
        const char* readSingle;     // shown
        const char* readStored;     // stored in lastError, not shown
        const char* writeSingle;    // shown
        const char* writeReported;  // shown
    };
    const Case cases[] = {
        {FaultKind::None, -1, "", "", "", ""},
        {FaultKind::WrongFunction, -1, "Communication Error.", "Data error !",
         "Communication Error.", "Station NO: 1 Data error !"},
        {FaultKind::Exception, 2, "Communication Error.", "Data error !", "Communication Error.",
         "Station NO: 1 address error"},
        {FaultKind::Exception, 3, "Communication Error.", "Data error !", "Communication Error.",
         "Station NO: 1 data error"},
        {FaultKind::BadCrc, -1, "CRC parity error !", "CRC parity error !", "CRC parity error !",
         "Station NO: 1 CRC parity error !"},
        {FaultKind::Drop, -1, "TimeOut !", "TimeOut !", "TimeOut !", "Station NO: 1 TimeOut !"},
        {FaultKind::Truncated, -1, "Data error !", "Data error !", "Data error !",
         "Station NO: 1 Data error !"},
    };
    auto shown = [](const char* text) {
        return text[0] ? std::vector<std::string>{std::string("message: ") + text}
                       : std::vector<std::string>{};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(sim::faultKindName(c.fault)) + " " + std::to_string(c.arg));
        auto arm = [&] {
            bus->clearFaults();
            if (c.fault != FaultKind::None)
                bus->faults(1).set(c.fault, sim::FaultMode::Once, c.arg);
        };
        const bool ok = c.fault == FaultKind::None;
        std::uint16_t value = 0;
        {
            arm();
            ScriptedPrompts prompts;
            EXPECT_EQ(ok, ReadSingle(link, prompts, 1, drive::kRegCapacity, value));
            EXPECT_EQ(prompts.shown, shown(c.readSingle));
        }
        {
            arm();
            std::string lastError;
            EXPECT_EQ(ok, ReadStored(link, 1, drive::kRegCapacity, value, lastError));
            EXPECT_EQ(lastError, c.readStored);
        }
        {
            arm();
            ScriptedPrompts prompts;
            EXPECT_EQ(ok, WriteSingle(link, prompts, 1, drive::kRegFrequencyCommand, 0));
            EXPECT_EQ(prompts.shown, shown(c.writeSingle));
        }
        {
            arm();
            ScriptedPrompts prompts;
            EXPECT_EQ(ok, WriteReported(link, prompts, 1, drive::kRegFrequencyCommand, 0));
            EXPECT_EQ(prompts.shown, shown(c.writeReported));
        }
    }
}

}  // namespace
}  // namespace pv::comm
