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

TEST_F(ReplyClassificationTest, SingleAndGroupReadTexts) {
    struct Case {
        FaultKind fault;
        int arg;
        const char* singleRead;  // reporter 4
        const char* groupRead;   // reporter 3
    };
    const Case cases[] = {
        {FaultKind::None, -1, "", ""},
        {FaultKind::WrongFunction, -1, "Communication Error.", "Data error !"},
        {FaultKind::Exception, 2, "Communication Error.", "Data error !"},
        {FaultKind::BadCrc, -1, "CRC parity error !", "CRC parity error !"},
        {FaultKind::Drop, -1, "TimeOut !", "TimeOut !"},
        {FaultKind::Truncated, -1, "Data error !", "Data error !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(sim::faultKindName(c.fault)));
        bus->clearFaults();
        if (c.fault != FaultKind::None) bus->faults(1).set(c.fault, sim::FaultMode::Once, c.arg);
        std::uint8_t reply[ReadReplyLength(2)];
        const auto result = ReadRegisters(link, 1, drive::kRegCapacity, 2, reply);
        EXPECT_EQ(c.singleRead, SingleReadText(result, reply[1]));
        std::string lastError;
        EXPECT_EQ(c.groupRead[0] == '\0', StoreReadReply(lastError, result, reply[1], drive::kFuncRead));
        EXPECT_EQ(c.groupRead, lastError);
    }
}

TEST_F(ReplyClassificationTest, SingleWriteTexts) {
    struct Case {
        FaultKind fault;
        int arg;
        const char* shown;  // reporter 1; "" on success
    };
    const Case cases[] = {
        {FaultKind::None, -1, ""},
        {FaultKind::Exception, 2, "Station NO: 1 address error"},
        {FaultKind::Exception, 3, "Station NO: 1 data error"},
        // Another function code: byte 2 (here the register's high byte 0x25) is read as the
        // exception code, which no code table entry has.
        {FaultKind::WrongFunction, -1, "Station NO: 1 Data error !"},
        {FaultKind::BadCrc, -1, "Station NO: 1 CRC parity error !"},
        {FaultKind::Drop, -1, "Station NO: 1 TimeOut !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(sim::faultKindName(c.fault)) + " " + std::to_string(c.arg));
        bus->clearFaults();
        if (c.fault != FaultKind::None) bus->faults(1).set(c.fault, sim::FaultMode::Once, c.arg);
        std::uint8_t request[kWriteRequestLength];
        BuildWriteFrame(1, drive::kRegFrequencyCommand, 0, request);
        std::uint8_t reply[kWriteReplyLength] = {};
        const auto result = link.CommandSend(request, sizeof request, reply, sizeof reply);
        EXPECT_EQ(c.shown, WriteReplyText(result, reply[1], reply[2], 1, drive::kFuncWrite));
    }
}

// The checked single transactions each tell a failure their own way: shown at once, stored for
// the caller, or reported with the station.
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
        {FaultKind::BadCrc, -1, "CRC parity error !", "CRC parity error !", "CRC parity error !",
         "Station NO: 1 CRC parity error !"},
        {FaultKind::Drop, -1, "TimeOut !", "TimeOut !", "TimeOut !", "Station NO: 1 TimeOut !"},
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
