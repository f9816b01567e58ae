#pragma once
// Texts of the project document, its file and the New/Open/Save commands.

namespace pv::text {

inline constexpr const char* kCannotOpenFile = "Can not open file.";
inline constexpr const char* kVersionTooNew =
    "The software version is too old, can't open the file! please download the latest version!";
inline constexpr const char* kCannotSaveFile = "Can not save this file.";
// Reasons added on a line of their own below "Can not open file." / "Can not save this file.".
// Filled with the path and what it is ("a FIFO", "a folder", ...).
inline constexpr const char* kNotRegularFile = "%s is %s, not a regular file.";
inline constexpr const char* kKindFolder = "a folder";
inline constexpr const char* kKindFifo = "a FIFO (named pipe)";
inline constexpr const char* kKindDevice = "a device";
inline constexpr const char* kKindSocket = "a socket";
inline constexpr const char* kKindOther = "a special file";
// Filled with the path and the largest size read, in bytes.
inline constexpr const char* kFileTooLarge = "%s is larger than %zu bytes.";
// Filled with the link and the path it names.
inline constexpr const char* kDanglingLink = "%s is a link to %s, which does not exist.";
inline constexpr const char* kFileReadOnly = "The file is read-only.";
// A file whose sections end early or whose length fields exceed their widths.
inline constexpr const char* kProjectFileDamaged =
    "The project file is damaged and can not be opened.";
inline constexpr const char* kModifiedSaveQuestion = "The file has been modified,save it or not?";
inline constexpr const char* kSaveFileQuestion = "Save file?";
inline constexpr const char* kAutoRefreshRunning =
    "PC software is under auto-refresh,Please stop auto-refresh first!";
// Save refuses a ladder program in which a T, C, G, F, AS or MD coil stands twice (shown in the
// "Error" dialog with the coil's name).
inline constexpr const char* kCoilReused = "%s\nReused";
inline constexpr const char* kProjectFileFilter = "Project File(%s)|%s||";
inline constexpr const char* kProjectFilePattern = "*.nf3";
inline constexpr const char* kProjectFileExtension = "nf3";

// Status-bar texts.
inline constexpr const char* kNewFileName = "New File";
inline constexpr const char* kPlcStop = "STOP";
inline constexpr const char* kLinkOnline = "Online";
inline constexpr const char* kLinkUnlinked = "Unlink";

// "Model Select" dialog program choices.
inline constexpr const char* kProgramInverterParameter = "Inverter parameter";
inline constexpr const char* kProgramPlcLadder = "PLC Ladder";

// parvolt-cli project commands (printf formats).
inline constexpr const char* kCliUnknownModel =
    "Unknown model '%s' (parvolt-cli models lists them).";
inline constexpr const char* kCliNoDefinitions =
    "The parameter definitions (N350PARAM.DAT) are not in %s.";
inline constexpr const char* kCliUnknownParam = "%s: no such parameter in this project.";
inline constexpr const char* kCliBadCode = "'%s' is not a parameter code GG-NN.";
inline constexpr const char* kCliReadOnlyParam = "%s is read-only.";
inline constexpr const char* kCliValueOutOfRange = "%s: %s is out of range %s.";
// A value inside the bounds that a rule of the parameter refuses: the rule's own reason.
inline constexpr const char* kCliValueRefusedByRule = "%s: %s";
inline constexpr const char* kCliBadOption = "%s: '%s' is not one of its options (%s).";
inline constexpr const char* kCliUnknownGroup = "%s: no such group in this project.";
inline constexpr const char* kCliReadStopped = "Stopped by Ctrl-C; nothing saved.";
inline constexpr const char* kCliWriteStopped =
    "Stopped by Ctrl-C after %d transactions; what was written stays.";

}  // namespace pv::text
