#include "comm/Passwords.h"

#include <cstdlib>
#include <initializer_list>

#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "res/CommTexts.h"
#include "res/TransferTexts.h"

namespace pv::comm {

namespace {

// One function-06 write of a password value. `reporter1`: the Write command's unlock
// classifies the reply with reporter 1; the password commands with the ErrType text and
// "Communication Error." for any other answer.
bool writePassword(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t value,
                   bool reporter1) {
    if (!reporter1) return WriteSingle(ctx, station, reg, value);
    return WriteReported(ctx.link, ctx.prompts, station, reg, value);
}

bool readState(TransferContext& ctx, int station, const PasswordTarget& t, bool& active) {
    std::uint16_t state = 0;
    if (!ReadSingle(ctx, station, t.stateRegister, state)) return false;
    active = state == kPasswordActive;
    return true;
}

// An entry that passed the dialog's checks and the range, as a register value.
std::optional<std::uint16_t> checkedValue(TransferContext& ctx, const PasswordTarget& t,
                                          const std::string& text) {
    if (auto problem = PasswordTextProblem(text)) {
        ctx.prompts.message(*problem);
        return std::nullopt;
    }
    if (auto problem = PasswordRangeProblem(t, text)) {
        ctx.prompts.message(*problem);
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(std::strtoul(text.c_str(), nullptr, 10));
}

// Every entry passes the dialog's own checks; the first one that does not is shown.
bool entriesValid(TransferContext& ctx, std::initializer_list<const std::string*> entries) {
    for (const std::string* s : entries)
        if (auto problem = PasswordTextProblem(*s)) {
            ctx.prompts.message(*problem);
            return false;
        }
    return true;
}

bool twoEntriesMatch(TransferContext& ctx, const std::string& a, const std::string& b) {
    if (a == b) return true;
    ctx.prompts.message(res::kPasswordMismatch);
    return false;
}

// Enters `value` and reads the state again: "Password Error." when still active.
bool enterPassword(TransferContext& ctx, int station, const PasswordTarget& t, std::uint16_t value,
                   bool reporter1) {
    if (!writePassword(ctx, station, t.writeRegister, value, reporter1)) return false;
    bool active = true;
    if (!readState(ctx, station, t, active)) return false;
    if (active) {
        ctx.prompts.message(res::kPasswordError);
        return false;
    }
    return true;
}

}  // namespace

PasswordTarget PasswordTarget::parameter() {
    return {drive::kRegPassword, drive::kRegPassword, 9999, res::kParamPasswordRange};
}

PasswordTarget PasswordTarget::plc() {
    return {drive::kRegPlcPassword1, drive::kRegPlcPassword3, 65535, res::kPlcPasswordRange};
}

std::optional<std::string> PasswordTextProblem(const std::string& text) {
    if (text.empty()) return std::string(res::kPasswordNull);
    for (char c : text)
        if (c < '0' || c > '9') return std::string(res::kPasswordNotDecimal);
    return std::nullopt;
}

std::optional<std::string> PasswordRangeProblem(const PasswordTarget& target,
                                                const std::string& text) {
    // Long digit strings are beyond every range; compare without overflowing.
    std::size_t first = text.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "0" : text.substr(first);
    if (digits.size() > 9 || std::strtoul(digits.c_str(), nullptr, 10) > target.maximum)
        return std::string(res::kBeyondRange) + target.rangeText;
    return std::nullopt;
}

CommandResult RunSetPassword(TransferContext& ctx, const PasswordTarget& t) {
    const auto station = ctx.prompts.chooseStation(StationDialog::Select, ctx.linkState.stations);
    if (!station) return CommandResult::Refused;
    bool active = false;
    if (!readState(ctx, *station, t, active)) return CommandResult::Failed;

    std::uint16_t newValue = 0;
    if (!active) {
        const auto entry = ctx.prompts.password(PasswordDialog::Set);
        if (!entry) return CommandResult::Refused;
        if (!entriesValid(ctx, {&entry->first, &entry->second}) ||
            !twoEntriesMatch(ctx, entry->first, entry->second))
            return CommandResult::Refused;
        const auto v = checkedValue(ctx, t, entry->first);
        if (!v) return CommandResult::Refused;
        newValue = *v;
    } else {
        const auto entry = ctx.prompts.password(PasswordDialog::Alter);
        if (!entry) return CommandResult::Refused;
        if (!entriesValid(ctx, {&entry->current, &entry->first, &entry->second}) ||
            !twoEntriesMatch(ctx, entry->first, entry->second))
            return CommandResult::Refused;
        const auto old = checkedValue(ctx, t, entry->current);
        if (!old) return CommandResult::Refused;
        const auto v = checkedValue(ctx, t, entry->first);
        if (!v) return CommandResult::Refused;
        if (!enterPassword(ctx, *station, t, *old, false)) return CommandResult::Failed;
        newValue = *v;
    }
    // The drive takes a password written twice in a row.
    for (int i = 0; i < 2; ++i)
        if (!writePassword(ctx, *station, t.writeRegister, newValue, false))
            return CommandResult::Failed;
    return CommandResult::Done;
}

CommandResult RunClearPassword(TransferContext& ctx, const PasswordTarget& t) {
    const auto station = ctx.prompts.chooseStation(StationDialog::Select, ctx.linkState.stations);
    if (!station) return CommandResult::Refused;
    bool active = false;
    if (!readState(ctx, *station, t, active)) return CommandResult::Failed;
    if (!active) {
        ctx.prompts.message(res::kNoPasswordToClear);
        return CommandResult::Refused;
    }
    const auto entry = ctx.prompts.password(PasswordDialog::Enter);
    if (!entry) return CommandResult::Refused;
    const auto v = checkedValue(ctx, t, entry->current);
    if (!v) return CommandResult::Refused;
    return enterPassword(ctx, *station, t, *v, false) ? CommandResult::Done : CommandResult::Failed;
}

bool UnlockParameterPassword(TransferContext& ctx, int station) {
    const PasswordTarget t = PasswordTarget::parameter();
    bool active = false;
    if (!readState(ctx, station, t, active)) return false;
    if (!active) return true;
    if (!ctx.prompts.question(res::kPasswordActiveQuestion)) return false;
    const auto entry = ctx.prompts.password(PasswordDialog::Enter);
    if (!entry) return false;
    const auto v = checkedValue(ctx, t, entry->current);
    if (!v) return false;
    return enterPassword(ctx, station, t, *v, true);
}

}  // namespace pv::comm
