#pragma once
// Texts of the ladder editor, its element dialogs and the program text.

namespace pv::text {

// Editor questions and refusals.
inline constexpr const char* kDeleteLineQuestion = "Delete the line %.3d.\n?";
inline constexpr const char* kDeleteLineCaption = "MESSAGE:";
inline constexpr const char* kPasteBeyondRange = "The content of paste beyond the range.";
inline constexpr const char* kErrorCaption = "Error";

// View header.
inline constexpr const char* kPcMode = "PC Mode";
inline constexpr const char* kModeProgram = "Program";
inline constexpr const char* kModeMonitor = "Monitor";
inline constexpr const char* kModeSimulate = "Simulate";
inline constexpr const char* kCapacity = "Capacity";
inline constexpr const char* kFreeSpace = "free space.";

// Program text (parvolt-cli ladder --set, Export/Import Ladder Text). Filled with the line
// number and what is wrong.
inline constexpr const char* kTextLineError = "line %d: %s";
inline constexpr const char* kTextBadRow = "a ladder row needs its number and 16 cells";
inline constexpr const char* kTextBadRowNumber = "row number out of 000..079 or repeated";
inline constexpr const char* kTextBadCell = "cell \"%s\" is not a contact, wire or blank";
inline constexpr const char* kTextBadGap = "gap character '%c' is not one of ' ', '_', '-', 'v', '^', '|'";
inline constexpr const char* kTextBadCoil = "coil \"%s\" is not understood";
inline constexpr const char* kTextBadBlock = "block setting \"%s\" is not understood";
inline constexpr const char* kTextBadHex = "raw row needs 64 hexadecimal digits";
inline constexpr const char* kTextTooManyComments = "more than 120 comment lines";
inline constexpr const char* kTextUnknownLine = "not a row, comment or block line";

}  // namespace pv::text
