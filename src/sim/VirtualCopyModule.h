#pragma once
// A virtual copy module: 4 KiB of memory per storage group, answering the 0xFA frames as the
// device does. It serves in-process under a port name of its own (e.g. "SIM-COPY") and on a
// pseudo-terminal (n350-sim --copy-module --pty).
//
// Commands move it through its states: after power-up only a connect (0x00) is answered; once
// connected it answers the status (0x10), takes writes, stores them (0x30), opens a read (0x50)
// and ends either (0x60); a write or read left unfinished is abandoned by the next one. Register
// reads are answered only inside a read. Replies echo the
// request: a command whole, a write its first seven bytes, a read its header with the count
// and the byte count. A frame it cannot take (damaged, out of its memory, out of turn) gets no
// reply.

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "sim/StreamPeer.h"
#include "sim/WireTime.h"

namespace pv::sim {

class VirtualCopyModule : public StreamPeer {
public:
    static constexpr std::size_t kGroupBytes = 4096;

    enum class Fault {
        None,
        Unplugged,  // the wire is gone: nothing reaches the module
        BadCrc,     // every reply with its CRC spoiled
    };
    // The fault starts after `afterReplies` more good replies and lasts until cleared.
    void setFault(Fault kind, int afterReplies = 0);

    // The memory of a storage group (4096 bytes; 0xFF where nothing was written).
    std::vector<std::uint8_t> memory(int group) const;
    // Whether a write to the group was stored (0x30) since it began.
    bool stored(int group) const;
    // Frames received, good or not.
    std::uint64_t framesSeen() const;
    // Power cycle: forgets that a master connected (memory stays).
    void powerCycle();

    std::vector<pv::serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& frame) override;
    bool connected() const override;
    void onOpen(int baud, int dataBits, int parity, float stopBits) override;
    void setWireTime(int baud, std::chrono::microseconds turnaround) override;
    void setConnected(bool connected) override;

private:
    enum class State { Off, Idle, Writing, Stored, Reading };
    std::vector<std::uint8_t> answer(const std::vector<std::uint8_t>& frame);
    std::vector<std::uint8_t>& groupMemory(int group);

    mutable std::mutex mutex_;
    std::map<int, std::vector<std::uint8_t>> memory_;
    std::map<int, bool> stored_;
    State state_ = State::Off;
    Fault fault_ = Fault::None;
    int faultAfter_ = 0;
    bool plugged_ = true;
    WireTime wire_;
    std::uint64_t frames_ = 0;
};

}  // namespace pv::sim
