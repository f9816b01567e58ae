#pragma once
// What a transfer needs to know about the open project and the program around it. The desktop's
// main frame and the command line each keep these facts and hand a copy to every transfer; what a
// transfer learns in return comes back in its outcome, never written into the caller's state.

#include <cstdint>

namespace pv::comm {

struct ProjectFacts {
    std::uint32_t modelCode = 0;      // the project's model, 0x35000 + capacity code
    bool highFrequencyMode = false;   // the cached 01-01 flag: frequencies in 0.01 Hz above 300 Hz
    bool autoRefreshRunning = false;  // Read and Write refuse while it runs
    // The drive's PLC program was not written from this project since the link was set up: a
    // program read from it brings no comments or symbols of ours.
    bool plcProgramForeign = true;
};

}  // namespace pv::comm
