#pragma once
// Commands typed into a running n350-sim (one per line on its standard input), so faults, values
// and the wire can be changed while a program is talking to the drives.

#include <string>

#include "sim/VirtualBus.h"

namespace pv::sim {

// Runs one command line and returns the text to print (empty for an empty line).
std::string runConsoleCommand(VirtualBus& bus, const std::string& line);

}  // namespace pv::sim
