#pragma once
// The serial ports of this machine, as the settings dialogs list them: on-board ports that have
// real hardware behind them, USB serial adapters and USB modems (CDC-ACM), sorted.

#include <string>
#include <vector>

namespace pv::comm {

// Device paths such as "/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0": ttyS first, then ttyUSB,
// then ttyACM, each in the order of its number. `sysClassTty` and `devDir` are the system's
// folders unless a test points them elsewhere.
std::vector<std::string> ListSerialPorts(const std::string& sysClassTty = "/sys/class/tty",
                                         const std::string& devDir = "/dev");

// Fills `names` with the ports (and "TCPIP" after them when `withTcpIp`), returning the index to
// select: 0 when there is at least one entry, -1 when there is none.
int FillPortList(std::vector<std::string>& names, bool withTcpIp);

}  // namespace pv::comm
