#pragma once
// The Write command: the project's set values (and the PLC program) to one
// station, with the model and class checks, the 13-06 lock, the running check and the password
// unlock, the control-mode pre-write, "The data may be lost" question, the group order and its
// conditions, progress and texts. The drive is checked for running and unlocked before the
// control-mode pre-write, because that first write is refused by a running or locked drive.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comm/GroupWriter.h"
#include "comm/ReadCommand.h"

namespace pv::comm {

struct WriteOutcome {
    CommandResult result = CommandResult::Refused;
    int station = 0;
    bool modelMatch = true;  // cleared when the user accepted a model mismatch
    // Parameters not written because the model differs (groups 2 and 17): code and name.
    std::vector<std::pair<std::string, std::string>> notWritten;
    int transactions = 0;
    // What the Write learnt for the caller to keep: the monitor's frequency unit (1 when the
    // drive's 01-02 is above 300.0 Hz, read after the control-mode pre-write), and the
    // high-frequency mode a group 1 with a custom V/F curve set.
    std::optional<std::int32_t> frequencyUnit;
    std::optional<bool> highFrequencyMode;
    bool plcProgramWritten = false;  // the drive now holds this project's program
    // With changed-only: parameters sent. With verify: those the drive then held differently
    // from what was sent (code and name).
    int parametersSent = 0;
    std::vector<std::pair<std::string, std::string>> verifyDifferences;
};

// The whole Write command (steps 1 to 12).
WriteOutcome RunWriteCommand(TransferContext& ctx);

// The drive-state part of the parameter write: "INV is running,please stop it first." for a
// running drive, then the unlock of an active parameter password. Done when writing may go on.
CommandResult PrepareParameterWrite(TransferContext& ctx, int station);

// The groups of the parameter write on a prepared station: "The data may be lost" (unless the
// PLC program goes along), progress, then the groups in order.
// `outcome` collects transactions and the high-frequency mode.
CommandResult WriteParameters(TransferContext& ctx, int station, const GroupWriteContext& gctx,
                              bool modelMatch, bool withPlc, bool hidden, WriteOutcome& outcome);

// The groups a Write sends, in order: 0, 1, 2 (model match), 3..13, 16, 17 (model match),
// 18..22, 23 when the project defines it, and 25, 26, 28 when hidden groups go along. Never 14,
// 15 or 27.
std::vector<int> WriteGroupOrder(const ParamTable& table, bool modelMatch, bool hidden);

}  // namespace pv::comm
