#pragma once
// The process-wide virtual wires: whoever serves a virtual device in this process registers it
// here under a port name, and a channel opened on that name talks to it. The virtual drive bus
// answers on "SIM", a virtual copy module on a name of its own (e.g. "SIM-COPY").

#include <memory>
#include <string>
#include <vector>

#include "serial/VirtualPeer.h"

namespace pv::serial {

// Registers the peer that "SIM" links reach (nullptr unregisters it). Links already open keep
// the peer they were opened with.
void setVirtualPeer(std::shared_ptr<VirtualPeer> peer);
std::shared_ptr<VirtualPeer> virtualPeer();

// The same for any port name (matched without regard to case); nullptr unregisters it.
void setVirtualPeer(const std::string& portName, std::shared_ptr<VirtualPeer> peer);
std::shared_ptr<VirtualPeer> virtualPeer(const std::string& portName);
// The names that reach a registered peer, in the order they were registered.
std::vector<std::string> virtualPortNames();

}  // namespace pv::serial
