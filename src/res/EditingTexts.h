#pragma once
// Texts of parameter editing: the refusals of the write rules and the single-write dialogs.
// Each text is used verbatim; printf-style fields are filled by the caller.

namespace pv::res {

// One refusal per control mode, indexed by the value of 00-00.
inline constexpr const char* kModeRefusal[7] = {
    "can't write in V/F mode!",  "can't write in V/F+PG mode!", "can't write in SLV mode!",
    "can't write in SV mode!",   "can't write in PMSV mode!",   "can't write in PMSLV mode!",
    "can't write in SLV2 mode!",
};

inline constexpr const char* kReadOnly = "The parameter is read only.";
inline constexpr const char* kRunning = "INV is running,please stop it first.";
inline constexpr const char* kLocked = "The parameters are locked,please check 13-06 first.";
inline constexpr const char* kNotConnected = "It is not connect with inverter.";
inline constexpr const char* kWriteSuccessful = "Write successful !";

inline constexpr const char* kVersionRetained = "The parameter is retained in the N350 version!";
// Filled with the parameter code and the range text.
inline constexpr const char* kVersionRange =
    "The value range of parameter %s is %s in the N350 version !";
inline constexpr const char* kBeyondRangeDialog = "Beyond the range !";
inline constexpr const char* kFrameReserved = "The parameter is reserved in the frame.";
inline constexpr const char* kFrame1NoAi2 = "Frame1 hasn't AI2.";

// Filled with the value in hexadecimal.
inline constexpr const char* kCurveReserved =
    "The value %.X is reserved in the parameter 01-00, can't be writed!";
// Filled with "10-00", "10-01", "Ai1", "Ai2".
inline constexpr const char* kPidSourceClash =
    "The data source of '%s' and '%s' can not be from '%s' or '%s' at the same time.";
inline constexpr const char* kPidTargetNeeds2300 = "When 23-00=1,the parameter 10-00 can be set 0.";
inline constexpr const char* kNeeds1101Zero =
    "When 11-01=0 in the inverter,the parameter can be writed!";
// Filled with the code and the number.
inline constexpr const char* kValueRetained =
    "The parameter %s's value %d is retained in the N350 version!";
// Filled with the code and the value text.
inline constexpr const char* kValueNotWritten =
    "The parameter %s value %s isn't writed in the N350 version!";
inline constexpr const char* kMustBeEven = "The value of the parameter is even.";
inline constexpr const char* kPm2226Refused =
    "while 07-32=1 or 2, or 11-02=2, or 22-25=0,the parameter can't be writed.";
// Filled with the other parameter's code and "0".
inline constexpr const char* kNeedsOtherValue =
    "The parameter cann't writed when the value of %s isn't %s.";

}  // namespace pv::res
