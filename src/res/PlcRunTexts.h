#pragma once
// Texts of running the ladder program from the desktop: the Run/Stop/Quit/Monitor/Simulator
// commands, the simulator's header, and the Input Status and Analog tools.

namespace pv::text {

inline constexpr const char* kCmdPlcRun = "Run";
inline constexpr const char* kCmdPlcStop = "Stop";
inline constexpr const char* kCmdPlcQuit = "Quit";
inline constexpr const char* kCmdPlcMonitor = "Monitor";
inline constexpr const char* kCmdPlcSimulator = "Simulator";
inline constexpr const char* kCmdInputStatusTool = "Input Status Tool";
inline constexpr const char* kCmdAnalogTool = "Analog Tool";
inline constexpr const char* kTipPlcRun =
    "Run the ladder: monitor the linked drive's PLC, or simulate without a drive";
inline constexpr const char* kTipPlcStop = "Stop the drive's PLC (or the simulator)";
inline constexpr const char* kTipPlcQuit = "Leave Monitor or Simulate mode; the drive's PLC keeps running";
inline constexpr const char* kTipPlcMonitor = "Watch the drive's PLC live on the ladder";
inline constexpr const char* kTipPlcSimulator = "Run the program in the simulator, without a drive";
inline constexpr const char* kPlcRunStatus = "RUN";

// The simulator's line in the ladder header.
inline constexpr const char* kSimulatorHeader = "Scan %1 ms (last %2 \u00b5s)      Timer resolution %3 ms";
inline constexpr const char* kMonitorHeader = "Refresh %1 ms";
inline constexpr const char* kMonitorPlcStopped = "PLC stopped";
// Timers whose time base is finer than the simulator's scan.
inline constexpr const char* kTimersTooFine =
    "%1: the time base is finer than the simulator's %2 ms scan.\n"
    "These timers advance in steps of the scan here; on the drive they keep their own pace.";

// The tools.
inline constexpr const char* kInputStatusCaption = "Input Status Tool";
inline constexpr const char* kInputsGroup = "Inputs";
inline constexpr const char* kRelaysGroup = "Auxiliary relays";
inline constexpr const char* kAnalogCaption = "Analog Tool";
inline constexpr const char* kAnalogHz = "Hz (0.01~400.00)";
inline constexpr const char* kAnalogVolt = "V (0.00~10.00)";
inline constexpr const char* kAnalogAmp = "A (0.1~999.9)";
inline constexpr const char* kAnalogPercent = "% (0.1~200.0)";

}  // namespace pv::text

namespace pv::text {

// The Find and Replace dialogs of the ladder.
inline constexpr const char* kCmdFind = "Find...";
inline constexpr const char* kCmdFindNext = "Find Next";
inline constexpr const char* kCmdReplace = "Replace...";
inline constexpr const char* kFindCaption = "Find";
inline constexpr const char* kReplaceCaption = "Replace";
inline constexpr const char* kFindWhat = "Find what (e.g. I1, t03, AS1, D):";
inline constexpr const char* kReplaceWith = "Replace with:";
inline constexpr const char* kDirection = "Direction";
inline constexpr const char* kDirectionUp = "Up";
inline constexpr const char* kDirectionDown = "Down";

}  // namespace pv::text

namespace pv::text {

// The ladder printout and its title block.
inline constexpr const char* kCmdPrintTitle = "Print Title...";
inline constexpr const char* kPrintTitleCaption = "Print Title";
inline constexpr const char* kTitleTitle = "Title:";
inline constexpr const char* kTitleCompany = "Company:";
inline constexpr const char* kTitleAuthor = "Author:";
inline constexpr const char* kTitleVersion = "Version:";
inline constexpr const char* kTitleDate = "Date:";
inline constexpr const char* kTitleNote = "Note:";
inline constexpr const char* kBlockTitle = "TITLE";
inline constexpr const char* kBlockCompany = "COMPANY";
inline constexpr const char* kBlockAuthor = "AUTHOR";
inline constexpr const char* kBlockNote = "NOTE";
inline constexpr const char* kBlockVersion = "VERSION";
inline constexpr const char* kBlockDate = "DATE";
inline constexpr const char* kBlockPage = "PAGE";
inline constexpr const char* kPrintLine = "Line";
inline constexpr const char* kPrintProgram = "Program";
inline constexpr const char* kPrintFunction = "Function";
inline constexpr const char* kPrintFunBlock = "Fun-Block";
inline constexpr const char* kPrintLabel = "Label";
inline constexpr const char* kPrintMode = "Mode";
inline constexpr const char* kPrintPreset = "Preset Value";
inline constexpr const char* kPrintUsed = "Used";
inline constexpr const char* kKindTimerName = "Timer";
inline constexpr const char* kKindCounterName = "Counter";
inline constexpr const char* kKindAnalogName = "Analog";
inline constexpr const char* kKindAddSubName = "Add/Sub";
inline constexpr const char* kKindMulDivName = "Mul/Div";
inline constexpr const char* kKindControlName = "Control";
inline constexpr const char* kYes = "YES";
inline constexpr const char* kNo = "NO";
inline constexpr const char* kFieldDir = "Dir:";
inline constexpr const char* kFieldReset = "Reset:";
inline constexpr const char* kFieldSet = "Set:";
inline constexpr const char* kFieldSeg = "Seg:";
inline constexpr const char* kFieldAddTime = "AddTime:";
inline constexpr const char* kFieldDecTime = "DecTime:";
inline constexpr const char* kFieldFwdRev = "FWD/REV:";
inline constexpr const char* kFieldTerminal = "Terminal:";
inline constexpr const char* kFieldAddV1 = "Add_V1:";
inline constexpr const char* kFieldAddV2 = "Add_V2:";
inline constexpr const char* kFieldSubV3 = "Sub_V3:";
inline constexpr const char* kFieldMulV1 = "Mul_V1:";
inline constexpr const char* kFieldMulV2 = "Mul_V2:";
inline constexpr const char* kFieldDivV3 = "Div_V3:";
inline constexpr const char* kFieldErrorCoil = "Error Coil:";
inline constexpr const char* kLadderPrintTitle = "Ladder";

}  // namespace pv::text
