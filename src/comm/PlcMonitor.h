#pragma once
// The drive side of watching a running ladder program: starting the monitor (the drive must be
// in PLC mode, the program may be read first, then the PLC is started), the one-second poll of
// the run state and the element states, and forcing an input or an auxiliary relay.

#include <optional>

#include "comm/ReadCommand.h"
#include "plc/PlcEngine.h"

namespace pv::comm {

// Starting the monitor on `station`, after the caller stopped its simulator: the double-coil
// check, 00-02 must be 3 ("Station %d communication type not PLC."), "Read program from
// Inverter?" (with "Save file?" first when `documentModified`), then 0xA600 := 1. Done when
// monitoring may begin; `programRead` tells whether the document's program was replaced.
CommandResult StartPlcMonitor(TransferContext& ctx, int station, bool documentModified,
                              bool& programRead);

// One refresh: 0xA600, then 0xA401..0xA407 while the PLC runs. A failed transaction leaves
// `ok` false (the monitor remembers it and says "Communication Error." once when it ends).
struct PlcPoll {
    bool ok = false;
    bool running = false;
    plc::StateRegisters registers{};
};
PlcPoll PollPlc(serial::CSerial& link, int station);

// Forcing on a running drive: an input I n (0xA401 := bit n-1 of the high byte, or 0), or an
// auxiliary relay M n (0xA404 read, its bit set or cleared, written back). "Communication
// Error." on any failure.
bool ForcePlcInput(TransferContext& ctx, int station, int n, bool on);
bool ForcePlcRelay(TransferContext& ctx, int station, int n, bool on);

}  // namespace pv::comm
