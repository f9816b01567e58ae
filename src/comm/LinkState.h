#pragma once
// What the program knows about its link to the drives: whether it is linked, to which stations,
// and what the first station turned out to be.

#include <cstdint>
#include <string>
#include <vector>

namespace pv::comm {

struct LinkState {
    bool linked = false;
    bool tcpIp = false;  // opened on the port "TCPIP"
    std::vector<int> stations;
    std::uint32_t modelCode = 0;
    int voltageClass = 0;                      // 2 (200 V) or 4 (400 V)
    std::vector<int> versions;                 // 13-01 of each identified station, in station order
    std::vector<std::uint32_t> stationModels;  // model code of each identified station
    int modelClass = 0;  // 5 once the first station reported the drive type 0x0740

    // Forgets everything the link established (Disconnect).
    void unlink();
};

// The status-bar panes a link sets: 1 software version, 3 link state, 4 model name, 5 station.
struct LinkPanes {
    std::string version;
    std::string link;
    std::string model;
    std::string station;
};


}  // namespace pv::comm
