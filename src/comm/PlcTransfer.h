#pragma once
// The ladder program's transfer to and from the connected station: the PLC password, the
// run/stop interlock, the clear command, the 20 program lines and the function blocks the
// program uses, with progress and Cancel. The program is built on a copy and handed to the
// document under its lock, so a window drawing the ladder never sees half a line.

#include <cstdint>
#include <optional>

#include "comm/ReadCommand.h"

namespace pv::comm {

// One function-03 read of the PLC password state (0xAA03): nullopt when the transaction failed
// (its text was shown), else whether a password is set (non-zero).
std::optional<bool> QueryPlcPassword(TransferContext& ctx, int station);
// The password entry both transfers begin with: nothing to do without a password; else the
// dialog "Password" and the entry written to 0xAA02. False when the program must not move (the
// drive's refusal "Password Error.", a failed transaction, or Cancel).
bool UnlockPlcPassword(TransferContext& ctx, int station);

// Reads the station's program into the document: lines 1..20, the second-preset mask, then the
// used blocks. When `foreignProgram` (the drive's program was not written from this project)
// the symbols and comments are cleared. A failed read leaves what was decoded so far.
CommandResult ReadPlcProgram(TransferContext& ctx, int station, bool foreignProgram);

struct PlcWriteOutcome {
    CommandResult result = CommandResult::Refused;
    bool stoppedPlc = false;  // the write stopped a running PLC (the caller offers to restart it)
    int linesSent = 0;
    int blocksSent = 0;
};

// Checks and writes the document's program: password, double coils, the running PLC, "The data
// may be lost", the clear command, the non-blank lines and the used blocks that differ from the
// write's unchanged patterns. Texts are shown here; the caller says "Write successful !".
PlcWriteOutcome WritePlcProgram(TransferContext& ctx, int station);

// After a Write that stopped the PLC: "The machine is stopped.Set Running?" and, on OK, the PLC
// started again when 00-02 is 3.
void OfferPlcRestart(TransferContext& ctx, int station);

// One function-06 write of the PLC's control registers: any failure, of the transaction or of
// the echo, shows "Communication Error.".
bool WritePlcCommand(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t value);

// Starts (true) or stops the station's PLC through 0xA600. Shows "Communication Error." on
// failure.
bool SetPlcRunning(TransferContext& ctx, int station, bool running);

}  // namespace pv::comm
