// The virtual drive's request handling: any bytes on the bus are ignored or answered with a
// reply that fits the request (its station, its function or the exception of it, a CRC that
// checks), and the drives keep answering afterwards.
//
// Input: a first byte (bit 0: strict write rules), then steps, each a flags byte and a
// length-prefixed piece. Flags bit 0: the piece is a PDU handed to station 1 directly; else a
// frame on the bus, given a good CRC when bit 1 is set (so that the drive behind the check is
// reached). Bit 2: the drive's clock moves on by the piece's first byte in 100 ms steps first.

#include <algorithm>
#include <memory>

#include "FuzzSupport.h"
#include "serial/Crc16.h"
#include "sim/SimClock.h"
#include "sim/VirtualBus.h"

namespace {

using pv::fuzz::InputCursor;

constexpr std::uint32_t kModels[] = {0x35004, 0x35028};

pv::sim::VirtualBus& Bus() {
    static pv::sim::VirtualBus* bus = [] {
        auto* b = new pv::sim::VirtualBus(pv::fuzz::DataFolder());
        b->disableWireTime();
        return b;
    }();
    return *bus;
}

// A reply PDU answers `function`: the function itself, or its exception with a code.
void CheckReplyPdu(std::uint8_t function, const std::uint8_t* pdu, std::size_t len) {
    PV_FUZZ_CHECK(len >= 2);
    if (pdu[0] == (function | 0x80)) {
        PV_FUZZ_CHECK(len == 2 && pdu[1] >= 1 && pdu[1] <= 4);
        return;
    }
    PV_FUZZ_CHECK(pdu[0] == function);
    if (function == 3) PV_FUZZ_CHECK(len == 2u + pdu[1] && pdu[1] % 2 == 0);
    if (function == 6 || function == 16) PV_FUZZ_CHECK(len == 5);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PV_FUZZ_CHECK(Bus().dataLoaded());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputCursor in(data, size);
    auto& bus = Bus();
    // Fresh drives on a clock of their own: nothing carries over from the input before.
    auto clock = std::make_shared<pv::sim::ManualClock>();
    bus.setClock(clock);
    bus.setConnected(true);
    bus.clearFaults();
    bus.setStrictRules(in.byte() & 1);
    for (int s = 1; s <= 2; ++s) bus.addStation(s, kModels[s - 1]);

    while (!in.empty()) {
        const std::uint8_t flags = in.byte();
        if (flags & 4) clock->advance(std::chrono::milliseconds(100) * in.byte());
        const auto piece = in.piece();
        std::vector<std::uint8_t> bytes(piece.begin(), piece.end());
        if (flags & 1) {
            if (bytes.empty()) continue;
            const auto reply = bus.station(1)->handle(bytes.data(), bytes.size());
            if (!reply.empty()) CheckReplyPdu(bytes[0], reply.data(), reply.size());
            continue;
        }
        if ((flags & 2) && bytes.size() >= 2) {
            bytes.resize(bytes.size() - 2);
            const std::uint16_t crc = pv::serial::crc16(bytes.data(), bytes.size());
            bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
        }
        std::vector<std::uint8_t> reply;
        for (const auto& chunk : bus.onFrame(bytes))
            reply.insert(reply.end(), chunk.bytes.begin(), chunk.bytes.end());
        if (reply.empty()) continue;
        PV_FUZZ_CHECK(bytes.size() >= 4 && bytes[0] >= 1 && bytes[0] <= 2);
        PV_FUZZ_CHECK(reply.size() >= 5 && reply[0] == bytes[0]);
        PV_FUZZ_CHECK(pv::serial::frameCrcOk(reply.data(), reply.size()));
        CheckReplyPdu(bytes[1], reply.data() + 1, reply.size() - 3);
    }
    // Whatever came before, a drive still answers a plain read.
    const std::uint8_t read[] = {3, 0x00, 0x00, 0x00, 0x01};
    const auto reply = bus.station(1)->handle(read, sizeof read);
    PV_FUZZ_CHECK(!reply.empty());
    return 0;
}
