#pragma once
// Texts of the parameter group transfer: Read, Write, the password commands and auto refresh.
// Texts shared with other subsystems stay where they were first defined: the auto-refresh refusal
// and "Save file?" (ProjectTexts.h), the model mismatch question and the transaction words
// (CommTexts.h), the drive-state refusals (EditingTexts.h).

namespace pv::res {

// Read.
inline constexpr const char* kReadCaption = "Read";
inline constexpr const char* kReadParameterProgress = "Read Parameter";
// Filled with the group number.
inline constexpr const char* kReadGroupProgress = "Read %02d-XX parameter group...";
inline constexpr const char* kReadSuccessfully = "Read Successfully !";

// Write.
inline constexpr const char* kWriteCaption = "Write";
inline constexpr const char* kModelClassMismatch =
    "The N350 model class isn't the same as the selected model class of "
    "Parvolt(200V/400V),can't be writed!";
inline constexpr const char* kWriteParameterProgress = "Write Inverter function parameter . . .";
// Filled with the group number.
inline constexpr const char* kWriteGroupProgress = "Write %02d-XX parameter group...";
inline constexpr const char* kDataMayBeLost = "The data may be lost,\ncontinue?";
inline constexpr const char* kMotorParamsNotWritten = "Motor parameters that can't be written ";
// A set value of the project that no register can hold (a damaged or hand-edited file); filled
// with the parameter code and the value text. Nothing has been sent when it is shown.
inline constexpr const char* kUnsendableSetValue =
    "%s: the project holds \"%s\", which is not a value of this parameter.\nNothing was written.";
inline constexpr const char* kColumnCode = "Code";
inline constexpr const char* kColumnParameterName = "Parameter Name";

// Passwords.
inline constexpr const char* kPasswordActiveQuestion =
    "The interver exists password,do you want to disable the password?";
inline constexpr const char* kPasswordError = "Password Error.";
inline constexpr const char* kBeyondRange = "Beyond the range";
inline constexpr const char* kParamPasswordRange = "(0~9999)!";
inline constexpr const char* kPlcPasswordRange = "(0~65535)!";
inline constexpr const char* kNoPasswordToClear = "The interver has no password!";
inline constexpr const char* kPasswordNull = "Password cann't be null.";
inline constexpr const char* kPasswordNotDecimal = "Password must be Decimal.";
inline constexpr const char* kPasswordMismatch = "The password of two times not match.";
inline constexpr const char* kPasswordSet = "The password is set.";
inline constexpr const char* kPasswordCleared = "The password is cleared.";

}  // namespace pv::res
