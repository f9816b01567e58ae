#pragma once
// The process-wide virtual wire: whoever serves a virtual drive in this process registers it
// here, and a channel opened on the port name "SIM" talks to it.

#include <memory>

#include "serial/VirtualPeer.h"

namespace pv::serial {

// Registers the peer that "SIM" links reach (nullptr unregisters it). Links already open keep
// the peer they were opened with.
void setVirtualPeer(std::shared_ptr<VirtualPeer> peer);
std::shared_ptr<VirtualPeer> virtualPeer();

}  // namespace pv::serial
