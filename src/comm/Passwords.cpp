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

// The first refusal among `entries`: the dialog's own checks of every field, the match of the
// two new entries (`pair`), then the target's range.
std::optional<std::string> entryProblem(const PasswordTarget& t,
                                        std::initializer_list<const std::string*> entries,
                                        const std::string* pair = nullptr) {
    for (const std::string* e : entries)
        if (auto problem = PasswordTextProblem(*e)) return problem;
    if (pair && pair[0] != pair[1]) return std::string(res::kPasswordMismatch);
    for (const std::string* e : entries)
        if (auto problem = PasswordRangeProblem(t, *e)) return problem;
    return std::nullopt;
}

// What each dialog refuses before it closes, so that a typing mistake is put right in the
// dialog instead of ending the command.
PasswordCheck checkFor(PasswordDialog kind, const PasswordTarget& t) {
    return [kind, t](const PasswordEntry& e) -> std::optional<std::string> {
        const std::string pair[2] = {e.first, e.second};
        switch (kind) {
            case PasswordDialog::Enter:
                return entryProblem(t, {&e.current});
            case PasswordDialog::Set:
                return entryProblem(t, {&e.first, &e.second}, pair);
            case PasswordDialog::Alter:
                return entryProblem(t, {&e.current, &e.first, &e.second}, pair);
        }
        return std::nullopt;
    };
}

// An entry the dialog's check passed, as a register value.
std::uint16_t valueOf(const std::string& text) {
    return static_cast<std::uint16_t>(std::strtoul(text.c_str(), nullptr, 10));
}

std::optional<PasswordEntry> askPassword(TransferContext& ctx, PasswordDialog kind,
                                         const PasswordTarget& t) {
    return ctx.prompts.password(kind, checkFor(kind, t));
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
        const auto entry = askPassword(ctx, PasswordDialog::Set, t);
        if (!entry) return CommandResult::Refused;
        newValue = valueOf(entry->first);
    } else {
        const auto entry = askPassword(ctx, PasswordDialog::Alter, t);
        if (!entry) return CommandResult::Refused;
        if (!enterPassword(ctx, *station, t, valueOf(entry->current), false))
            return CommandResult::Failed;
        newValue = valueOf(entry->first);
    }
    // The drive takes a password written twice in a row.
    for (int i = 0; i < 2; ++i)
        if (!writePassword(ctx, *station, t.writeRegister, newValue, false))
            return CommandResult::Failed;
    ctx.prompts.message(res::kPasswordSet);
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
    const auto entry = askPassword(ctx, PasswordDialog::Enter, t);
    if (!entry) return CommandResult::Refused;
    if (!enterPassword(ctx, *station, t, valueOf(entry->current), false))
        return CommandResult::Failed;
    ctx.prompts.message(res::kPasswordCleared);
    return CommandResult::Done;
}

bool UnlockParameterPassword(TransferContext& ctx, int station) {
    const PasswordTarget t = PasswordTarget::parameter();
    bool active = false;
    if (!readState(ctx, station, t, active)) return false;
    if (!active) return true;
    if (!ctx.prompts.question(res::kPasswordActiveQuestion)) return false;
    const auto entry = askPassword(ctx, PasswordDialog::Enter, t);
    if (!entry) return false;
    return enterPassword(ctx, station, t, valueOf(entry->current), true);
}

}  // namespace pv::comm
