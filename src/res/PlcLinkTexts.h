#pragma once
// Texts of the ladder program on a drive (transfer, run, monitor) and of Find/Replace. The coil
// check's "%s\nReused" stays with the program model's texts (ProjectTexts.h).

namespace pv::res {

// Progress captions of reading the program.
inline constexpr const char* kReadPlcProgress = "Read PLC...";
inline constexpr const char* kReadTimerProgress = "Read Timer Function...";
inline constexpr const char* kReadCounterProgress = "Read Counter Function...";
inline constexpr const char* kReadAnalogProgress = "Read Analog Function...";
inline constexpr const char* kReadFProgress = "Read F Function...";
inline constexpr const char* kReadAsProgress = "Read AS Function...";
inline constexpr const char* kReadMdProgress = "Read MD Function...";
// Progress captions of writing it (counters go under the timers' caption).
inline constexpr const char* kWritePlcProgress = "Write PLC...";
inline constexpr const char* kWriteTimerProgress = "Write Timer...";
inline constexpr const char* kWriteAnalogProgress = "Write Analog...";
inline constexpr const char* kWriteFProgress = "Write F";
inline constexpr const char* kWriteAsProgress = "Write AS...";
inline constexpr const char* kWriteMdProgress = "Write MD...";

inline constexpr const char* kPlcRunningStopFirst =
    "Running.\r\nStop first and then write.\r\nContinue?";
inline constexpr const char* kPlcStoppedSetRunning = "The machine is stopped.Set Running?";
inline constexpr const char* kPlcIsRunning = "PLC is running\nPlease stop machine first.";
inline constexpr const char* kNotPlcStation = "Station %d communication type not PLC.";
inline constexpr const char* kReadProgramFromInverter = "Read program from Inverter?";
inline constexpr const char* kSimulatorStopping = "Simulator is being stop.";

}  // namespace pv::res

namespace pv::res {

// Find and Replace in the ladder.
inline constexpr const char* kInputErrorHead = "Input '";
inline constexpr const char* kInputErrorTail = "' Data Error";
inline constexpr const char* kTypeNotSupported = "this type not support %c";
inline constexpr const char* kSearchNotFoundHead = "Search Contact/Coil '";
inline constexpr const char* kSearchNotFoundTail = "' not find.";
inline constexpr const char* kSearchMessageCaption = "Search message";
inline constexpr const char* kCannotReplace = "Can not to replace '%s' to '%s' !\r\nContinue?";
inline constexpr const char* kReplaceQuestion = "Replace '%s' to '%s' ?";
inline constexpr const char* kReplaceMessageCaption = "Replace Message";

}  // namespace pv::res
