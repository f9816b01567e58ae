#pragma once
// Writing from a group dialog to a drive: the write button of one row (the drive's state and the
// write rules checked just before one function-06 request) and Transmit Group (the page values
// of the whole group with the group writer). Both run against a link and Prompts, so the
// desktop's dialog, `parvolt-cli put` and the tests share every step and every text.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editing/PageModel.h"
#include "editing/WriteRules.h"
#include "project/CM240Doc.h"
#include "res/Prompts.h"
#include "serial/CSerial.h"

namespace pv::comm {

struct PageWriteContext {
    PageWriteContext(serial::CSerial* l, Prompts& p, CM240Doc& d, std::string& error)
        : link(l), prompts(p), doc(d), lastError(error) {}

    serial::CSerial* link;  // nullptr while no drive is linked
    Prompts& prompts;
    CM240Doc& doc;           // its edited marks are cleared under the table lock
    std::string& lastError;  // the last communication error text
    std::vector<int> stations;  // offered by the station question
    // What the dialog has learnt of the drive (the firmware version stays for the pages that do
    // not read it again).
    editing::DriveFacts facts;
    std::function<void()> refreshViews;  // the parameter list shows the edited marks
};

enum class PageWriteResult {
    Written,       // "Write successful !" was shown
    NotConnected,  // "It is not connect with inverter."
    Refused,       // a rule or the drive's state refused it; its text was shown
    OutOfRange,    // "Beyond the range !" was shown: the edit keeps the focus
    Cancelled,     // the station question was cancelled
    Failed,        // a transaction failed; its text was shown
};

// The write button of row `r` of page `page`: not linked, read-only rows of the identification,
// monitor and fault pages, the station, the drive's state and the rules in the drive's order,
// the range, then one function-06 write and "Write successful !". On success the row remembers
// the written text and the parameter's edited mark is cleared.
PageWriteResult RunSingleWrite(PageWriteContext& ctx, editing::PageModel& model, int page, int r);

struct TransmitOutcome {
    PageWriteResult result = PageWriteResult::Cancelled;
    std::optional<editing::PageLocation> badRow;  // the row out of range (OutOfRange)
    int transactions = 0;
};

// Transmit Group: the station, the drive's model code and version, the range checks of every
// page, then the group write of the page values. `stateChecks` adds the running and 13-06 lock
// checks (the user-parameter pages make them).
TransmitOutcome RunTransmitGroup(PageWriteContext& ctx, const editing::PageModel& model,
                                 bool stateChecks = false);

}  // namespace pv::comm
