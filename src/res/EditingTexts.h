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

namespace pv::res {

// The group dialogs.
inline constexpr const char* kGroupDialogTitle = "N350 Parameter";
inline constexpr const char* kTransmitGroup = "Transmit Group";
inline constexpr const char* kSmallKeyboard = "Small Keyboard";
inline constexpr const char* kWriteRowTip = "Write this value to the drive now";
inline constexpr const char* kCmdUserParameter = "User Parameter";
inline constexpr const char* kCmdCompare = "Compare";
inline constexpr const char* kTipCompare = "List the parameters whose factory, set or read values differ";
inline constexpr const char* kUserParamPage1 = " 00-41 - 00-50 ";
inline constexpr const char* kUserParamPage2 = "    00-51 - 00-56    ";
inline constexpr const char* kUserParamRange = "00-01~23-79";
inline constexpr const char* kUserParamNote = "(13-06=1,only in LCD)";

// Compare: the choice dialog, the window and the text file.
inline constexpr const char* kCompareChoiceCaption = "参数比较选择";
inline constexpr const char* kCompareChoiceGroup = "比较内容选择";
inline constexpr const char* kCompareModeTexts[3] = {"出厂值和编辑值比较", "出厂值和读取值比较",
                                                     "编辑值和读取值比较"};
inline constexpr const char* kCompareOk = "确定";
inline constexpr const char* kCompareCancel = "取消";
inline constexpr const char* kCompareWindowCaption = "比较";
inline constexpr const char* kCompareClose = "关闭";
inline constexpr const char* kCompareSave = "保存";
inline constexpr const char* kComparePrint = "打印";
inline constexpr const char* kCompareColumnCode = "Code";
inline constexpr const char* kCompareColumnName = "Parameter Name";
inline constexpr const char* kCompareColumnDefault = "Default";
inline constexpr const char* kCompareColumnSet = "Set value";
inline constexpr const char* kCompareColumnRead = "Read value";
inline constexpr const char* kCompareFileName = "N350 Compare Text";
// Filled with "*.txt" twice.
inline constexpr const char* kCompareFileFilter = "Text File(%s)|%s||";
inline constexpr const char* kComparePrintTitle = "pdoc";

// Write with a read-back: the parameters the drive then holds differently from what was sent.
inline constexpr const char* kTransferChangedOnly = "Only parameters that differ from the drive";
inline constexpr const char* kTransferVerify = "Verify: read back what was written";
inline constexpr const char* kVerifyDiffers = "The drive holds these parameters differently:";

}  // namespace pv::res
