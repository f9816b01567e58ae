#pragma once
// The Read command: every parameter group of one station into the read values of the project,
// with the guards, questions, progress and texts the drive program shows. TransferContext is
// what every transfer command works on; the desktop fills it from its main frame, the command
// line from its flags.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/GroupReader.h"
#include "comm/LinkState.h"
#include "comm/ProjectFacts.h"
#include "comm/Transactions.h"
#include "project/CM240Doc.h"
#include "res/Prompts.h"
#include "serial/CSerial.h"

namespace pv::comm {

struct TransferContext {
    TransferContext(serial::CSerial& l, Prompts& p, CM240Doc& d, const ProjectFacts& f,
                    const LinkState& ls, std::string& error)
        : link(l), prompts(p), doc(d), project(f), linkState(ls), lastError(error) {}

    serial::CSerial& link;
    Prompts& prompts;
    CM240Doc& doc;  // read values are written under the document's table lock
    ProjectFacts project;
    const LinkState& linkState;
    std::string& lastError;  // the last communication error text

    std::function<void()> refreshViews;
    std::function<void()> stopPlcSimulator;  // Read step 1, when the simulator runs
    // "Save file?" answered Yes: save the project before reading. False ends the command.
    std::function<bool()> saveProject;
    // Write: read the drive first and send only the parameters whose value differs, and/or read
    // back what was written and list what the drive holds differently.
    bool changedOnly = false;
    bool verify = false;
};

enum class CommandResult {
    Done,       // finished; the success text was shown
    Refused,    // a guard or a question ended it before anything was transferred
    Cancelled,  // the user cancelled; what was transferred stays
    Failed,     // a transaction failed; its text was shown
};

struct ReadOutcome {
    CommandResult result = CommandResult::Refused;
    int station = 0;
    std::uint32_t driveModel = 0;    // 0x35000 + 13-00 of the drive
    std::uint16_t driveVersion = 0;  // raw 13-01
    int transactions = 0;
    bool plcProgramRead = false;  // the document's ladder program was replaced (wholly or in part)
};

// Read steps 1 to 7: refuse under auto refresh, ask the station (dialog "Read"), identify the
// drive, ask what to read and "Save file?", read groups 0..23 (and 25..28 when the hidden
// parameters are chosen) with progress, and say "Read Successfully !".
ReadOutcome RunReadCommand(TransferContext& ctx);

// The steps of Read that every reader of a whole drive shares. The identification: drive type
// (classified like a group read), software version and model code into `out`; a failure was
// shown and false is returned.
bool IdentifyReadStation(TransferContext& ctx, int station, ReadOutcome& out);
// The groups with progress ("Read %02d-XX parameter group..."): 00..23 with `parameters`,
// 25..28 with `hidden`; the first failure is shown. Then the drive's version goes to the
// document and the views are refreshed.
CommandResult ReadParameterGroups(TransferContext& ctx, int station, bool parameters, bool hidden,
                                  ReadOutcome& out);
// The same for a list of groups.
CommandResult ReadGroupList(TransferContext& ctx, int station, const std::vector<int>& groups,
                            ReadOutcome& out);
// Read for Compare: the Read command without the transfer selection, "Save file?" and the
// closing message: the station ("Read" dialog), the identification and groups 00..23.
ReadOutcome ReadAllForCompare(TransferContext& ctx);

// The transactions of comm/Transactions.h on the context's link, told to its prompts.
// A single function-03 read shown at once on failure (reporter 4).
bool ReadSingle(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t& value);
// A single function-03 read classified like a group read (reporter 3): the text goes to
// lastError and is shown.
bool ReadStored(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t& value);
// A single function-06 write shown at once on failure: the ErrType text, or "Communication
// Error." for an answer that is not the echo of the write.
bool WriteSingle(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t value);

}  // namespace pv::comm
