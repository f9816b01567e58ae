#pragma once
// What the pseudo-terminal and TCP servers serve: an in-process device (the drive bus, the copy
// module) that also lets the server set its wire timing and plug its wire back in.

#include <chrono>

#include "serial/VirtualPeer.h"

namespace pv::sim {

class StreamPeer : public pv::serial::VirtualPeer {
public:
    // Reply timing of a real line at `baud` (0: the turnaround only).
    virtual void setWireTime(int baud, std::chrono::microseconds turnaround) = 0;
    // Plugging the wire back in after an "unplugged" fault (or pulling it).
    virtual void setConnected(bool connected) = 0;
};

}  // namespace pv::sim
