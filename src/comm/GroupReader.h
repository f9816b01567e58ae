#pragma once
// Reading whole parameter groups of one drive into the read values of a project: one function-03
// request per run of the group's run table, each value formatted by its parameter's display
// format. A failed transaction stops the group with its words in the last error text; what was
// read before stays.

#include <cstdint>
#include <functional>
#include <string>

#include "editing/ParamRow.h"
#include "project/ParamTable.h"
#include "serial/CSerial.h"

namespace pv::comm {

enum class TransferStatus { Done, Failed, Cancelled };

// Polled between transactions; true ends the transfer cleanly after the current one.
using CancelCheck = std::function<bool()>;

class GroupReader {
public:
    GroupReader(serial::CSerial& link, int station) : link_(link), station_(station) {}

    // Reads `group` of `table` into the records' read values. `settings` gives the display
    // resolution of frequency rows; a parameter read first because others depend on it
    // (00-63) updates it before the rest of the group is formatted. On Failed `lastError`
    // holds the reason (reporter 3).
    TransferStatus readGroup(ParamTable& table, int group, editing::DisplaySettings& settings,
                             std::string& lastError, const CancelCheck& cancelled = {});

    // Transactions made so far.
    int transactions() const { return transactions_; }

private:
    serial::CSerial& link_;
    int station_;
    int transactions_ = 0;
};

// The resolution the values of a transfer are shown and sent in: high-frequency mode when the
// frame says so or the project's own maximum frequency (01-02) is above 300.0 Hz, limits in
// hertz when the project's 00-63 is not 0 (a read takes the drive's 00-63 before the limits).
// Read and Write use the same rule, so a project read from a drive writes back the same
// register values.
editing::DisplaySettings TransferSettings(const ParamTable& table, bool frameHighFrequency);

}  // namespace pv::comm
