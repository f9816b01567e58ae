#pragma once
// Writing whole parameter groups to one drive: the group's values in parameter order with
// function 16, one register per frame, several consecutive registers in one frame where the
// drive needs them to change together (the V/F curve points). Parameters the drive refuses for
// its control mode, firmware or frame are left out, as are read-only ones. A failure stops the
// group with its words in the last error text (reporter 2); what was written before stays.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/GroupReader.h"
#include "editing/WriteRules.h"
#include "project/ParamTable.h"
#include "serial/CSerial.h"

namespace pv::comm {

// One function-16 frame: the first index of the group and the values of consecutive registers.
struct WriteFrame {
    int first = 0;
    std::vector<std::uint16_t> values;
    bool operator==(const WriteFrame&) const = default;
};

struct GroupWritePlan {
    std::vector<WriteFrame> frames;
    std::vector<int> leftOut;  // indexes of defined parameters the rules keep back
};

struct GroupWriteContext {
    editing::DriveFacts facts;          // the drive as it will be once 00-00 is written
    editing::DisplaySettings settings;  // resolution the value texts are written in
};

// The frames that write `texts` (one text per index of the group, normally the set values) as
// group `group`. False when a value cannot be sent: `error` then holds the reason (the reserved
// curve values of 01-00 keep their own text, text that is no number gives "Data error !").
bool PlanGroupWrite(const ParamGroup& records, int group, const std::vector<std::string>& texts,
                    const GroupWriteContext& context, GroupWritePlan& plan, std::string& error);

// A set value that no register of its parameter can hold.
struct UnsendableValue {
    int group = 0;
    int index = 0;
    std::string text;
};

// The first set value among `groups` that a group writer would send but cannot represent
// (beyond 16 bits, not a number of the row's kind); nullopt when every value can be sent.
// Checked before a Write sends anything, so that a damaged project leaves the drive untouched
// instead of half written.
std::optional<UnsendableValue> FindUnsendableValue(const ParamTable& table,
                                                   const std::vector<int>& groups,
                                                   const editing::DisplaySettings& settings);

class GroupWriter {
public:
    GroupWriter(serial::CSerial& link, int station) : link_(link), station_(station) {}

    // Writes the set values of `group` of `table`.
    TransferStatus writeGroup(const ParamTable& table, int group, const GroupWriteContext& context,
                              std::string& lastError, const CancelCheck& cancelled = {});
    // Writes the given texts as group `group` (Transmit Group sends the page values).
    TransferStatus writeValues(const ParamGroup& records, int group,
                               const std::vector<std::string>& texts,
                               const GroupWriteContext& context, std::string& lastError,
                               const CancelCheck& cancelled = {});
    // One frame of one or more registers; false with reporter 2's text in lastError.
    bool sendFrame(int group, std::uint16_t firstRegister, const std::uint16_t* values,
                   std::size_t count, std::string& lastError);

    // Sends only the planned frames `keep` accepts (writing only what differs from the drive);
    // an empty filter sends every frame.
    using FrameFilter = std::function<bool(int group, const WriteFrame& frame)>;
    void setFrameFilter(FrameFilter keep) { keep_ = std::move(keep); }

    // Set after a group 1 write that chose a custom V/F curve (01-00 = F or FF) and then sent
    // 01-02: whether the drive now runs in high-frequency mode (01-02 above 300.0 Hz).
    std::optional<bool> highFrequencyMode() const { return highFrequencyMode_; }
    // Parameters left out by the last group written (indexes).
    const std::vector<int>& leftOut() const { return leftOut_; }
    int transactions() const { return transactions_; }

private:
    serial::CSerial& link_;
    int station_;
    int transactions_ = 0;
    std::optional<bool> highFrequencyMode_;
    std::vector<int> leftOut_;
    FrameFilter keep_;
};

}  // namespace pv::comm
