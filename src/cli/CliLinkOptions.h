#pragma once
// The link options every drive command of parvolt-cli shares (--port, line settings, time-out,
// and the in-process virtual drive), and opening the link they describe.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comm/DriveLink.h"

namespace pv::sim {
class VirtualBus;
}

namespace pv::cli {

struct LinkOptions {
    // A device path (/dev/ttyUSB0, COM1), "tcp:HOST[:PORT]" or "sim".
    std::string port;
    int baud = 9600;
    int dataBits = 8;
    int parity = 0;  // 0 none, 1 odd, 2 even
    float stopBits = 2.0f;
    int timeoutMs = 500;
    // The virtual drive behind "sim".
    std::string simStations = "1";
    std::string simModel = "N350-2P5-H";
    std::map<int, std::string> simStationModels;  // --sim-model S=NAME: one station's model
};

// Help lines for the options below.
extern const char* const kLinkOptionsHelp;

// Takes the link options out of `args`, leaving the command's own words. False with `error` set
// on a bad value or a missing --port.
bool ParseLinkOptions(std::vector<std::string>& args, LinkOptions& options, std::string& error);

// An open link, with the virtual drive it talks to when the port is "sim".
struct OpenLink {
    comm::DriveLink link;
    std::shared_ptr<sim::VirtualBus> bus;
    bool tcpIp = false;
    ~OpenLink();
};

// Opens the link the options describe. False with `error` set to the system's text and the
// reason ("Can't Open the Port !: /dev/ttyUSB0: No such file or directory").
bool OpenLinkFromOptions(const LinkOptions& options, OpenLink& out, std::string& error);

// Takes "--name VALUE" out of args; true when present.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value);
// Reads a number in decimal or with a 0x prefix; a register may also be written as a
// parameter code GG-NN.
bool ParseNumber(const std::string& text, long& value);
bool ParseRegister(const std::string& text, long& value);

}  // namespace pv::cli
