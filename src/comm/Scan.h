#pragma once
// Finding out who is on a line: every station of a list is asked once for its identification
// (13-00 capacity code and 13-01 software version, one read). Unlike Connect, which stops at the
// first station that fails, the scan goes on and says for each station whether it stays silent,
// answers as a drive of a known model, or answers with something that is not such an answer.
// A silent station costs one response time-out, an answering one a single transaction.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "serial/CSerial.h"

namespace pv::comm {

enum class StationAnswer {
    Silent,   // no byte within the response time-out
    Drive,    // a valid reply naming a model the program knows
    Problem,  // something came back, but not a drive's identification (see `problem`)
};

struct StationScan {
    int station = 0;
    StationAnswer answer = StationAnswer::Silent;
    std::uint32_t modelCode = 0;  // Drive: 0x35000 + capacity code
    std::string modelName;        // Drive: "N350-2P5-H"
    int version = 0;              // Drive: 13-01 as read (drive::VersionText shows it)
    std::string problem;          // Problem: "answers but ..." in full
};

struct ScanOutcome {
    std::vector<StationScan> stations;  // one per station asked, in the order asked
    // The wire went away (adapter unplugged, simulator ended): the scan stopped there and the
    // stations after it were not asked. `failure` says why.
    bool wireLost = false;
    std::string failure;

    int answering() const;  // Drive or Problem
    int drives() const;
};

// Asks every station of `stations` on the open `link`, in order. `onStation` (may be empty) is
// called after each station with its result, for progress.
ScanOutcome ScanStations(serial::CSerial& link, const std::vector<int>& stations,
                         const std::function<void(const StationScan&)>& onStation = {});

// A station list for a scan: "1-32", "3", "1,4,7-9"; stations 1..32, each once, ranges
// ascending. False with `error` saying what is wrong with which part.
bool ParseScanStations(const std::string& text, std::vector<int>& stations, std::string& error);

}  // namespace pv::comm
