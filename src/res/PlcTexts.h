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
inline constexpr const char* kTextBadGap =
    "gap character '%c' is not one of ' ', '_', '-', 'v', '^', '|'";
inline constexpr const char* kTextBadCoil = "coil \"%s\" is not understood";
inline constexpr const char* kTextBadBlock = "block setting \"%s\" is not understood";
inline constexpr const char* kTextBadHex = "raw row needs 64 hexadecimal digits";
inline constexpr const char* kTextTooManyComments = "more than 120 comment lines";
inline constexpr const char* kTextUnknownLine = "not a row, comment or block line";

}  // namespace pv::text

namespace pv::text {

// Element dialogs.
inline constexpr const char* kEditContactCaption = "Edit Contact";
inline constexpr const char* kContactNumber = "Contact Number";
inline constexpr const char* kContactType = "Contact Type";
inline constexpr const char* kStr = "STR";
inline constexpr const char* kStrNot = "STR NOT";
inline constexpr const char* kKindInput = "Input";
inline constexpr const char* kKindOutput = "Output";
inline constexpr const char* kKindAuxiliary = "Auxiliary";
inline constexpr const char* kKindTimer = "Timer";
inline constexpr const char* kKindCounter = "Counter";
inline constexpr const char* kKindAnalog = "Analog comparison";
inline constexpr const char* kKindOperation = "Operation control";
inline constexpr const char* kKindDifferential = "Differential";
inline constexpr const char* kKindLine = "Line";
inline constexpr const char* kKindBlank = "Blank";

inline constexpr const char* kEditCoilCaption = "Edit Contact/Coil";
inline constexpr const char* kSelectCoilNo = "Select Coil No.";
inline constexpr const char* kOutputType = "Output Type";
inline constexpr const char* kOutPlain = "-[";
inline constexpr const char* kOutSet = "Set";
inline constexpr const char* kOutReset = "Reset";
inline constexpr const char* kOutPulse = "P";
inline constexpr const char* kMode = "Mode";
inline constexpr const char* kTimeBase = "Time Base:";
inline constexpr const char* kPresetValue = "Preset Value:";
inline constexpr const char* kPresetType = "Preset Type:";
inline constexpr const char* kCurrentValue = "Current Value:";
inline constexpr const char* kCurrentValueLower = "Current value:";
inline constexpr const char* kResetInput = "Reset Input";
inline constexpr const char* kContact = "Contact";
inline constexpr const char* kTModeSelect = "T Mode select:";
inline constexpr const char* kTMode = "T Mode:";
inline constexpr const char* kTFormOn = "1~6,7(on)";
inline constexpr const char* kTFormOff = "7(off)";
inline constexpr const char* kOnTime = "On";
inline constexpr const char* kOffTime = "Off";
inline constexpr const char* kDirectionSet = "Direction Set";
inline constexpr const char* kSelect = "Select:";
inline constexpr const char* kUpperLimit = "Upper limit:";
inline constexpr const char* kLowerLimit = "Lower limit:";
inline constexpr const char* kSetFreq = "Set Freq.:";
inline constexpr const char* kSegFreq = "Seg Freq.:";
inline constexpr const char* kAccTime = "Acc Time:";
inline constexpr const char* kDecTime = "Dec Time:";
inline constexpr const char* kHz = "Hz";
inline constexpr const char* kSecond = "Second";
inline constexpr const char* kFwdRev = "FWD/REV";
inline constexpr const char* kTerminal = "Terminal";
inline constexpr const char* kAsFormula = "AS=Value1+Value2-Value3";
inline constexpr const char* kMdFormula = "MD=Value1*Value2/Value3";
inline constexpr const char* kValue1 = "Value1";
inline constexpr const char* kPlusValue2 = "+ Value2";
inline constexpr const char* kMinusValue3 = "- Value3";
inline constexpr const char* kTimesValue2 = "* Value2";
inline constexpr const char* kDivValue3 = "/ Value3";
inline constexpr const char* kErrorCoil = "Error Coil";
inline constexpr const char* kCompared = "Value";
inline constexpr const char* kNone = "None";
inline constexpr const char* kConstant = "Constant";
inline constexpr const char* kNoCurrentValue = "----";
inline constexpr const char* kTimerModes[] = {"On-delay timer mode 1",  "On-delay timer mode 2",
                                              "Off-delay timer mode 1", "Off-delay timer mode 2",
                                              "Flash timer mode 1",     "Flash timer mode 2",
                                              "Flash timer mode 3"};
inline constexpr const char* kCounterModes[] = {
    "Without overtaking and without power down retain current value",
    "With overtaking and without power down retain current value",
    "Without overtaking and with power down retain current value",
    "With overtaking and with power down retain current value"};
inline constexpr const char* kComparatorModes[] = {"Value <= Lower limit", "Value >= Upper limit",
                                                   "Lower lim<=Value<=Upper lim"};
// Time bases of a timer (low nibble of its mode byte): the unit of one preset count.
inline constexpr const char* kTimeBases[] = {"0.01 s", "0.1 s", "1 s"};

inline constexpr const char* kEditCommentsCaption = "Edit Comments";
inline constexpr const char* kCommentLineLabel = "Line %1:";

inline constexpr const char* kSymbolCaption = "Contact/Coil Symbol";
inline constexpr const char* kElemType = "Elem Type:";
inline constexpr const char* kShowElement = "Contact/Coil";
inline constexpr const char* kShowSymbol = "Symbol";
inline constexpr const char* kShowBoth = "Both";
inline constexpr const char* kDisplayEnable = "Display Enable";
inline constexpr const char* kSymbolColumnElement = "Element";
inline constexpr const char* kSymbolColumnText = "Symbol";

}  // namespace pv::text

namespace pv::text {

// Ladder window: context menu, toolbar and commands.
inline constexpr const char* kLadderTitle = "PLC Ladder";
inline constexpr const char* kCmdStart = "Start";
inline constexpr const char* kCmdEnd = "End";
inline constexpr const char* kCmdCut = "Cu&t";
inline constexpr const char* kCmdCopy = "&Copy";
inline constexpr const char* kCmdPaste = "&Paste";
inline constexpr const char* kCmdUndo = "&Undo";
inline constexpr const char* kCmdRedo = "&Redo";
inline constexpr const char* kCmdDelete = "&Delete";
inline constexpr const char* kCmdInsertRow = "&Insert Row";
inline constexpr const char* kCmdInsertComment = "Insert Co&mment Line...";
inline constexpr const char* kCmdClearComments = "C&lear Comments";
inline constexpr const char* kCmdSymbol = "&Symbol...";
inline constexpr const char* kTipSymbol = "Symbol";
inline constexpr const char* kCmdLadderView = "&Ladder View";
inline constexpr const char* kTipLadder = "LADDER";
inline constexpr const char* kCmdExportLadderText = "Export Ladder &Text...";
inline constexpr const char* kCmdImportLadderText = "Import Ladder Te&xt...";
inline constexpr const char* kExportLadderCaption = "Export Ladder Text";
inline constexpr const char* kImportLadderCaption = "Import Ladder Text";
inline constexpr const char* kLadderTextFilter = "Ladder text (*.txt);;All Files (*)";
inline constexpr const char* kLadderToolbar = "Ladder";
inline constexpr const char* kCmdZoomIn = "Zoom &In";
inline constexpr const char* kCmdZoomOut = "Zoom &Out";
inline constexpr const char* kCmdZoomReset = "&Actual Size";
inline constexpr const char* kSettingsZoom = "Ladder/zoom";
inline constexpr const char* kSettingsSymbolDisplay = "Ladder/symbolDisplay";
inline constexpr const char* kSettingsSymbolEnabled = "Ladder/symbolEnabled";
// Tool tips of the ladder toolbar: what the tool places, and its key.
inline constexpr const char* kToolTip = "%1 (%2)";
inline constexpr const char* kToolWire = "Horizontal wire";
inline constexpr const char* kToolLink = "Vertical link";
inline constexpr const char* kToolDelete = "Delete";
inline constexpr const char* kToolInsertRow = "Insert row";
inline constexpr const char* kToolComment = "Comment line";
inline constexpr const char* kToolContactCoil = "Contact/Coil %1";
inline constexpr const char* kToolDifferential = "Differential contact";
inline constexpr const char* kToolCoil = "Coil %1";
inline constexpr const char* kCapacityRows = "%1 rows";
// The element legend beside the ladder: each kind's numbers with a mark under those in use.
inline constexpr const char* kCmdLegend = "Used";
inline constexpr const char* kTipLegend = "Show the elements the program uses";
inline constexpr const char* kLegendUsed = "*: Used";
inline constexpr const char* kSettingsLegend = "Ladder/legend";

}  // namespace pv::text
