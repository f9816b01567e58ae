#pragma once
// The parameter password (13-07, 0..9999) and the PLC password (0xAA01 with its state in 0xAA03,
// 0..65535): the four menu commands Set/Clear, and the unlock the Write command asks for. A
// password is active when its state register reads 2; the drive takes a new password when the
// same value is written twice in a row, and lifts an active one when the right value is written.

#include <cstdint>
#include <optional>
#include <string>

#include "comm/ReadCommand.h"

namespace pv::comm {

struct PasswordTarget {
    std::uint16_t writeRegister;
    std::uint16_t stateRegister;
    std::uint32_t maximum;
    const char* rangeText;  // follows "Beyond the range"

    static PasswordTarget parameter();
    static PasswordTarget plc();
};

inline constexpr std::uint16_t kPasswordActive = 2;

// The checks of the password dialogs: the text to show for an entry, or nullopt when it is a
// decimal number ("Password cann't be null.", "Password must be Decimal.").
std::optional<std::string> PasswordTextProblem(const std::string& text);
// "Beyond the range" directly followed by the target's range text, when above its maximum.
std::optional<std::string> PasswordRangeProblem(const PasswordTarget& target,
                                                const std::string& text);

// The password dialogs refuse a typing mistake (empty, not decimal, the two entries differ, beyond
// the target's range) with its text while they stay open; only a drive's answer ends a command.
//
// Set password: with no password active, the new one (dialog "Set Password") written twice;
// with one active, the old and the new one (dialog "Alter Password"). Asks for the station.
// Success says "The password is set.".
CommandResult RunSetPassword(TransferContext& ctx, const PasswordTarget& target);
// Clear password: "The interver has no password!" when none is active; else the password
// (dialog "Password") written, and "Password Error." when the drive stays locked. Success says
// "The password is cleared.".
CommandResult RunClearPassword(TransferContext& ctx, const PasswordTarget& target);

// The Write command's unlock of 13-07 on `station`: when a password is active, asks whether to
// disable it and for the password. True when the drive is unlocked; false after the refusal or
// the user's Cancel (no text for a Cancel).
bool UnlockParameterPassword(TransferContext& ctx, int station);

}  // namespace pv::comm
