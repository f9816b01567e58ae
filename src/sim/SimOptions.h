#pragma once
// The command line of n350-sim, parsed into what the program sets up.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/FaultPlan.h"
#include "sim/VirtualAdapters.h"
#include "sim/WireTime.h"

namespace pv::sim {

struct FaultSetting {
    int station = 0;
    FaultKind kind = FaultKind::None;
    int arg = -1;
    FaultMode mode = FaultMode::Always;
    int count = 1;
};

struct SimOptions {
    bool help = false;
    bool pty = false;
    std::string link;
    int tcpPort = -1;  // -1: no TCP
    std::string bind = "127.0.0.1";
    std::vector<int> stations{1};
    std::uint32_t model = 0x35001;
    std::map<int, std::uint32_t> stationModels;
    int version = 135;
    int baud = 9600;
    LineFormat format;
    long turnaroundUs = 0;
    bool wireTime = false;
    bool strictRules = false;
    std::vector<FaultSetting> faults;
    std::string dataDir;  // empty: the program's data folder
    // The pseudo-terminal serves a virtual copy module instead of the bus (at 9600 8N1 unless
    // set otherwise), with this fault from its `copyFaultAfter`-th reply on.
    bool copyModule = false;
    std::string copyFault;  // "", "unplugged" or "badcrc"
    int copyFaultAfter = 0;
    // Virtual network adapters in front of the bus (TCP at each one's address, port tcpPort or
    // 10001), answering discovery on adapterPort.
    std::vector<AdapterSetting> adapters;
    int adapterPort = 30718;

    std::uint32_t modelOf(int station) const;
};

// False with `error` (the texts of res/SimTexts.h) for anything it cannot take.
bool parseSimOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error);
// "1,3,5-12" -> 1, 3, 5..12; stations 1..32, each once.
bool parseStations(const std::string& text, std::vector<int>& out, std::string& error);
bool parseFault(const std::string& text, FaultSetting& out);

}  // namespace pv::sim
