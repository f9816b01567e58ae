#pragma once
// Texts of the live drive windows: Monitor Control, Monitor Status, the keypad and the graph
// monitor. Each text is used verbatim; printf-style fields are filled by the caller.

namespace pv::res::monitor {

// Monitor Control: captions of the toggles, filled with the input number (1..8).
inline constexpr const char* kCommOnFormat = "Comm S%d ON";
inline constexpr const char* kCommOffFormat = "Comm S%d OFF";
inline constexpr const char* kDriveModeOn = "Drive Mode ON";
inline constexpr const char* kDriveModeOff = "Drive Mode OFF";

// Keypad.
inline constexpr const char* kRunSourceError = "Run source error.";
inline constexpr const char* kFrequencySourceError = "Frequency source error.";
inline constexpr const char* kWriteRunError = "Write RUN error.";
inline constexpr const char* kWriteFwdRevError = "Write FWD/REV error.";
inline constexpr const char* kSetFrequencyFailed = "Set frequency failed.";
inline constexpr const char* kCommSeqLabel = "COMM. SEQ (00-02)";
inline constexpr const char* kCommRefLabel = "COMM. REF (00-05)";

// Graph monitor.
inline constexpr const char* kGraphTitle = "Graph Monitor";
inline constexpr const char* kGraphAreaTitle = "Oscillograph";
inline constexpr const char* kMaxNotAboveMin = "The value of Max should bigger than Min.";
inline constexpr const char* kPictureNotExist = "Picture file not exist.";
inline constexpr const char* kImportFileError = "The importing file is error!";
inline constexpr const char* kGraphSheet = "GraphData";
inline constexpr const char* kGraphWorkbookName = "N350 GraphData.xlsx";
inline constexpr const char* kMinLabel = "Min";
inline constexpr const char* kMaxLabel = "Max";
inline constexpr const char* kIndexColumn = "Index";
inline constexpr const char* kTimeColumn = "Time";

}  // namespace pv::res::monitor

namespace pv::res::monitor::ui {

// Menu commands.
inline constexpr const char* kCmdMonitorStatus = "Monitor &Status...";
inline constexpr const char* kCmdMonitorControl = "Monitor &Control...";
inline constexpr const char* kCmdGraph = "&Graph Monitor...";
inline constexpr const char* kCmdKeypad = "&Keypad...";
inline constexpr const char* kTipMonitorStatus = "Status";
inline constexpr const char* kTipMonitorControl = "Control";
inline constexpr const char* kTipGraph = "Graph";
inline constexpr const char* kTipKeypad = "Keypad";
inline constexpr const char* kMenuMonitor = "&Monitor";

// Monitor Control.
inline constexpr const char* kControlTitle = "Monitor Control";
inline constexpr const char* kStationNum = "Station Num";
inline constexpr const char* kRun = "RUN";
inline constexpr const char* kStop = "STOP";
inline constexpr const char* kFwd = "FWD";
inline constexpr const char* kRev = "REV";
inline constexpr const char* kFaultReset = "Fault Reset";
inline constexpr const char* kFreqSetting = "Freq. Setting";
inline constexpr const char* kSet = "Set";
inline constexpr const char* kDoSetting = "DO Setting";
inline constexpr const char* kDo1 = "DO1";
inline constexpr const char* kR2 = "R2";
inline constexpr const char* kR1 = "R1";
inline constexpr const char* kOff = "OFF";
inline constexpr const char* kOn = "ON";
inline constexpr const char* kShowStatus = "Show Status";
inline constexpr const char* kGraph = "Graph";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kCommandGroup = "Command";
inline constexpr const char* kCommGroup = "Communication inputs";
inline constexpr const char* kRefreshStopped = "Refresh stopped; reopen the window to refresh again.";

// Monitor Status.
inline constexpr const char* kStatusTitle = "Monitor Status";
inline constexpr const char* kStatusPage = "Status";
inline constexpr const char* kTerminalPage = "Terminal";
inline constexpr const char* kStart = "Start";
inline constexpr const char* kStopPolling = "Stop";
inline constexpr const char* kShowControl = "Show Control";
inline constexpr const char* kStatusRows[] = {
    "Status word",     "Fault code",         "Terminals",       "Setting frequency",
    "Output frequency", "Output voltage",    "DC voltage",      "Output current",
    "0x2528",          "0x2529",             "0x252A",          "0x252B",
    "Torque",          "Motor speed"};
inline constexpr const char* kStateRunning = "Running";
inline constexpr const char* kStateStopped = "Stopped";
inline constexpr const char* kStateReverse = "Reverse";
inline constexpr const char* kStateForward = "Forward";
inline constexpr const char* kStateFault = "Fault";
inline constexpr const char* kStateAtSpeed = "At speed";
inline constexpr const char* kInputs = "Inputs";
inline constexpr const char* kOutputs = "Outputs";

// Keypad.
inline constexpr const char* kKeypadTitle = "KeyPad";
inline constexpr const char* kStation = "Station";
inline constexpr const char* kFreqSet = "FREQ.SET";
inline constexpr const char* kFunction = "Function";
inline constexpr const char* kMonitorLine = "Monitor %1";

// Graph monitor.
inline constexpr const char* kSetMenu = "Set...";
inline constexpr const char* kStartMenu = "Start";
inline constexpr const char* kStopMenu = "Stop";
inline constexpr const char* kPauseMenu = "Pause";
inline constexpr const char* kDimTimeMenu = "Dim Time...";
inline constexpr const char* kExportMenu = "Export...";
inline constexpr const char* kImportMenu = "Import...";
inline constexpr const char* kSaveBmpMenu = "Save(*.BMP)";
inline constexpr const char* kSavePngMenu = "Save(*.PNG)";
inline constexpr const char* kAutoscaleMenu = "Autoscale";
inline constexpr const char* kResetViewMenu = "Show Latest";
inline constexpr const char* kChannelTitle = "Channel Settings";
inline constexpr const char* kChannelLabel = "Channel %1";
inline constexpr const char* kItem = "Item";
inline constexpr const char* kMax = "Max";
inline constexpr const char* kMin = "Min";
inline constexpr const char* kSetTimeTitle = "Set Time";
inline constexpr const char* kTimeInterval = "Time Interval:";
inline constexpr const char* kMinuteUnit = "(*1 Minute)";
inline constexpr const char* kSecondUnit = "(*1 Second)";
inline constexpr const char* kValueAxis = "Value";
inline constexpr const char* kTimeAxis = "Time (s)";
inline constexpr const char* kGraphHint =
    "Right button: commands. Wheel: zoom. Drag: pan. Click: cursor. Double click: follow.";
inline constexpr const char* kSamplesStatus = "%1 samples, %2 s";
inline constexpr const char* kImportFilter = "Import File (*.csv *.xlsx *.xls)";
inline constexpr const char* kBmpFilter = "(*.bmp) (*.bmp)";
inline constexpr const char* kPngFilter = "(*.png) (*.png)";

}  // namespace pv::res::monitor::ui
