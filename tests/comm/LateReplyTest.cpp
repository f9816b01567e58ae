// The virtual drive's timing faults against the program's channel: a reply that comes after its
// time-out is never taken for the answer to the next request.

#include <gtest/gtest.h>

#include <memory>

#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

TEST(LateReply, NeverAnswersTheNextRequest) {
    const sim::FaultKind kinds[] = {sim::FaultKind::Late, sim::FaultKind::Delay};
    for (auto kind : kinds) {
        SCOPED_TRACE(std::string(sim::faultKindName(kind)));
        auto bus = std::make_shared<sim::VirtualBus>(PARVOLT_DATA_DIR);
        bus->addStation(1, 0x35021).setVersion(135);
        serial::setVirtualPeer(bus);
        CDriveSerial link;  // default 500 ms time-out, against which the faults are timed
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
        bus->faults(1).set(kind);
        std::uint8_t reply[ReadReplyLength(1)];
        EXPECT_EQ(serial::ErrTimeOut, ReadRegisters(link, 1, drive::kRegVersion, 1, reply));
        // Same station, function and length: only the value tells the two replies apart.
        ASSERT_EQ(serial::ErrNone, ReadRegisters(link, 1, drive::kRegCapacity, 1, reply));
        EXPECT_EQ(0x21, ReplyRegister(reply, 0));
        ASSERT_EQ(serial::ErrNone, ReadRegisters(link, 1, drive::kRegVersion, 1, reply));
        EXPECT_EQ(135, ReplyRegister(reply, 0));
        serial::setVirtualPeer(nullptr);
    }
}

}  // namespace
}  // namespace pv::comm
