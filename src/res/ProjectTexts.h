#pragma once
// Texts of the project document, its file and the New/Open/Save commands.

namespace pv::text {

inline constexpr const char* kCannotOpenFile = "Can not open file.";
inline constexpr const char* kVersionTooNew =
    "The software version is too old, can't open the file! please download the latest version!";
inline constexpr const char* kCannotSaveFile = "Can not save this file.";
// A file whose sections end early or whose length fields exceed their widths.
inline constexpr const char* kProjectFileDamaged =
    "The project file is damaged and can not be opened.";
inline constexpr const char* kModifiedSaveQuestion = "The file has been modified,save it or not?";
inline constexpr const char* kSaveFileQuestion = "Save file?";
inline constexpr const char* kAutoRefreshRunning =
    "PC software is under auto-refresh,Please stop auto-refresh first!";
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

}  // namespace pv::text
