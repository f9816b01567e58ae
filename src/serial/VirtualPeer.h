#pragma once
// An in-process device on the other end of a virtual wire (the virtual drive bus implements it).
// The virtual port hands it each request frame whole and plays back the reply chunks at the
// times the peer asks for, so timing faults (late replies, delays, silence) behave as on a wire.

#include <chrono>
#include <cstdint>
#include <vector>

namespace pv::serial {

struct ReplyChunk {
    // Time from the end of the request until these bytes are all received by the master.
    std::chrono::microseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

class VirtualPeer {
public:
    virtual ~VirtualPeer() = default;
    // One frame the master put on the wire (a request, or a broadcast written raw). The returned
    // chunks are delivered in order; an empty list means silence.
    virtual std::vector<ReplyChunk> onFrame(const std::vector<std::uint8_t>& frame) = 0;
    // False once the peer has "unplugged" the wire: sends then fail.
    virtual bool connected() const = 0;
    // The master opened the line with these settings (lets the peer emulate wire time).
    virtual void onOpen(int baud, int dataBits, int parity, float stopBits) {
        (void)baud, (void)dataBits, (void)parity, (void)stopBits;
    }
};

}  // namespace pv::serial
