#pragma once
// Texts of the desktop program's own windows: menus, toolbar, status bar, workspace tree, list
// headings, the printout and the link and transfer dialogs. Texts that workflows show through
// Prompts, and the status texts the core sets, live with their subsystem (ProjectTexts, ...).

#include <array>

namespace pv::ui_text {

inline constexpr const char* kProductName = "Parvolt";
inline constexpr const char* kAboutProduct = "N350-Parvolt V1.35";
inline constexpr const char* kAboutCaption = "About Parvolt";
inline constexpr const char* kAboutCompany =
    "Engineering tool for N350 AC drives.\nParameter projects, Modbus RTU transfers and the "
    "drive's ladder PLC.";
inline constexpr const char* kHelpMissing = "Can not find this file.";
inline constexpr const char* kHelpFile = "help/index.html";
inline constexpr const char* kHelpCaption = "Parvolt Help";
inline constexpr const char* kSettingsOrganisation = "Parvolt";
inline constexpr const char* kSettingsApplication = "Parvolt";
inline constexpr const char* kRecentSection = "M240 File List";
inline constexpr const char* kRecentKey = "M240File%1";
inline constexpr const char* kWindowGeometryKey = "Window/geometry";
inline constexpr const char* kWindowStateKey = "Window/state";
inline constexpr const char* kProjectFilter = "N350 Project (*.nf3);;All Files (*)";
inline constexpr const char* kPdfFilter = "PDF (*.pdf)";
inline constexpr const char* kOpenCaption = "Open";
inline constexpr const char* kSaveAsCaption = "Save As";
inline constexpr const char* kExportPdfCaption = "Export to PDF";
inline constexpr const char* kProjectSuffix = "nf3";

// Menus.
inline constexpr const char* kMenuFile = "&File";
inline constexpr const char* kMenuEdit = "&Edit";
inline constexpr const char* kMenuView = "&View";
inline constexpr const char* kMenuOperation = "&Operation";
inline constexpr const char* kMenuWindow = "&Window";
inline constexpr const char* kMenuHelp = "&Help";
inline constexpr const char* kCmdNew = "&New";
inline constexpr const char* kCmdOpen = "&Open...";
inline constexpr const char* kCmdSave = "&Save";
inline constexpr const char* kCmdSaveAs = "Save &As...";
inline constexpr const char* kCmdPrint = "&Print...";
inline constexpr const char* kCmdPrintPreview = "Print Pre&view";
inline constexpr const char* kCmdPrintSetup = "P&rint Setup...";
inline constexpr const char* kCmdExportPdf = "Export to P&DF...";
inline constexpr const char* kCmdExit = "E&xit";
inline constexpr const char* kCmdConnect = "&Connect...";
inline constexpr const char* kCmdRead = "&Read";
inline constexpr const char* kCmdWrite = "&Write";
inline constexpr const char* kCmdAutoRefresh = "Auto &Refresh";
inline constexpr const char* kCmdTakeReadValues = "&Take Read Values into Project";
inline constexpr const char* kCmdParamPasswordSet = "Set Parameter Password...";
inline constexpr const char* kCmdParamPasswordRemove = "Remove Parameter Password...";
inline constexpr const char* kCmdPlcPasswordSet = "Set PLC Password...";
inline constexpr const char* kCmdPlcPasswordRemove = "Remove PLC Password...";
inline constexpr const char* kCmdParameterView = "&Parameter View";
inline constexpr const char* kCmdWorkspace = "&Workspace";
inline constexpr const char* kCmdToolbar = "&Toolbar";
inline constexpr const char* kCmdStatusBar = "&Status Bar";
inline constexpr const char* kCmdCascade = "&Cascade";
inline constexpr const char* kCmdTile = "&Tile";
inline constexpr const char* kCmdHelpTopics = "&Help Topics";
inline constexpr const char* kCmdAbout = "&About Parvolt...";
inline constexpr const char* kToolbarTitle = "Standard";

// Tool tips and status tips of the commands (the string table's "\n" halves).
inline constexpr const char* kTipNew = "New";
inline constexpr const char* kTipOpen = "Open";
inline constexpr const char* kTipSave = "Save";
inline constexpr const char* kTipPrint = "Print";
inline constexpr const char* kTipConnect = "Connect";
inline constexpr const char* kTipRead = "Read";
inline constexpr const char* kTipWrite = "Write";
inline constexpr const char* kTipRefresh = "Refresh";
inline constexpr const char* kTipInv = "INV";
inline constexpr const char* kTipHelp = "Help";

// Status bar panes: captions of panes 0, 1, 2, 4, 5 (pane 3 has none).
inline constexpr std::array<const char*, 6> kPaneCaptions = {
    "FileName:", "Version:", "PLC Status:", "", "Model:", "Station Num:"};

// Workspace tree.
inline constexpr const char* kWorkspaceTitle = "Workspace";
inline constexpr const char* kTreeProject = "Project";
inline constexpr const char* kTreeProgramme = "Programme";
inline constexpr const char* kTreePlc = "PLC";
inline constexpr const char* kTreeParameter = "Parameter";
inline constexpr std::array<const char*, 24> kTreeGroups = {
    "00-XX : Basic Parameters",
    "01-XX : V/F Control Parameters",
    "02-XX : IM Motor Parameters",
    "03-XX : External Digital Input and Output Parameters",
    "04-XX : External Analog Input and Output Parameters",
    "05-XX : Multi-Speed Parameters",
    "06-XX : Automatic Program Operation Parameters",
    "07-XX : Start/Stop Parameters",
    "08-XX : Protection Parameters",
    "09-XX : Communication Parameters",
    "10-XX : PID Parameters",
    "11-XX : Auxiliary Parameters",
    "12-XX : Monitoring Parameters",
    "13-XX : Maintenance Parameters",
    "14-XX : PLC Setting Parameters",
    "15-XX : PLC Monitoring Parameters",
    "16-XX : LCD Function Parameters",
    "17-XX : Automatic Tuning Parameters",
    "18-XX : Slip Compensation Parameters",
    "19-XX : Wobble Frequency Parameters",
    "20-XX : Speed Control Parameters",
    "21-XX : Torque And Position Control Parameters",
    "22-XX : PM Motor Parameters",
    "23-XX: Pump and HVAC Function Parameters",
};

// "Model Select" dialog.
inline constexpr const char* kModelSelectCaption = "Model Select";
inline constexpr const char* kModelLabel = "Model:";
inline constexpr const char* kProgramLabel = "Program:";

// Parameter list and its printout.
inline constexpr const char* kColName = "Parameter Name";
inline constexpr const char* kColDefault = "Default";
inline constexpr const char* kColSet = "Set Value";
inline constexpr const char* kColRead = "Read Value";
inline constexpr const char* kColReadStale = "Read Value (old)";
inline constexpr const char* kReadCancelledStatus =
    "Read cancelled: groups not read keep the values of an earlier read (marked old).";
inline constexpr const char* kReadFailedStatus =
    "Read failed: groups not read keep the values of an earlier read (marked old).";
inline constexpr const char* kAutoRefreshPane = "Auto Refresh";
inline constexpr const char* kLinkLost =
    "The link to the drive is lost: its port is gone (USB adapter unplugged, or the network "
    "adapter closed the connection).\nThe link is now closed. Plug the adapter back in, then "
    "Connect again.";
inline constexpr const char* kTipRange = "Range: ";
inline constexpr const char* kFilterPlaceholder = "Filter (Ctrl+F): code or words of the name";
inline constexpr const char* kFilterTip =
    "Shows the parameters whose code starts with, or whose name contains, every word typed.\n"
    "Enter goes to the first one, Esc shows all again. Typing a code in the list goes to it.";
inline constexpr const char* kFilterReadDiffers = "Read value &differs";
inline constexpr const char* kFilterChanged = "&Changed from default";
inline constexpr const char* kFilterCount = "%1 of %2";
inline constexpr const char* kTipDefault = "Default: ";
inline constexpr const char* kParameterWindowTitle = "Parameter";
inline constexpr const char* kPrintTitle = "N350 Parameter List";
inline constexpr const char* kPrintPage = "Page";
inline constexpr const char* kPrintPageOf = "%1 %2 of %3";  // "Page", page, pages
inline constexpr const char* kPrintProject = "Project:";
inline constexpr const char* kPrintModel = "Model:";
inline constexpr const char* kPrintVersion = "Version:";
inline constexpr const char* kPrintStation = "Station:";
inline constexpr const char* kPrintDate = "Date:";
inline constexpr const char* kPrintFont = "Tahoma";

// Link and transfer dialogs.
inline constexpr const char* kCommCaption = "Communication Setting";
inline constexpr const char* kCommPort = "Port";
inline constexpr const char* kCommBaud = "Baud Rate";
inline constexpr const char* kCommDataBits = "Data Bits";
inline constexpr const char* kCommParity = "Parity";
inline constexpr const char* kCommStopBits = "Stop Bits";
inline constexpr const char* kCommStation = "Station";
inline constexpr const char* kCommAdapter = "Network Adapter";
inline constexpr const char* kAssignIp = "Set IP...";
inline constexpr const char* kConnect = "Connect";
inline constexpr const char* kDisconnect = "Disconnect";
inline constexpr const char* kClose = "Close";
inline constexpr const char* kPortSim = "SIM";
inline constexpr const char* kPortSimCopy = "SIM-COPY";
inline constexpr std::array<const char*, 6> kBaudTexts = {"4800",  "9600", "19200",
                                                          "38400", "1200", "2400"};
inline constexpr std::array<const char*, 2> kDataBitTexts = {"7", "8"};
inline constexpr std::array<const char*, 3> kParityTexts = {"Even", "Odd", "None"};
inline constexpr std::array<const char*, 2> kStopBitTexts = {"1", "2"};

inline constexpr const char* kStationReadCaption = "Read";
inline constexpr const char* kStationReadLabel = "Station Num:";
inline constexpr const char* kStationSelectCaption = "Station Select";
inline constexpr const char* kStationSelectLabel = "Number:";
inline constexpr const char* kTransferPlc = "PLC Program";
inline constexpr const char* kTransferParameters = "Inverter Parameters";
inline constexpr const char* kTransferHidden = "Hidden Parameters";
inline constexpr const char* kPasswordCaption = "Password";
inline constexpr const char* kSetPasswordCaption = "Set Password";
inline constexpr const char* kAlterPasswordCaption = "Alter Password";
inline constexpr const char* kPasswordField = "Password:";
inline constexpr const char* kRepeatField = "Repeat:";
inline constexpr const char* kCurrentField = "Current:";
inline constexpr const char* kNewField = "New:";
inline constexpr const char* kAgainField = "Again:";
inline constexpr const char* kListCode = "Code";
inline constexpr const char* kListParameterName = "Parameter Name";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kMessageCaption = "Message";
inline constexpr const char* kProgressCaption = "Parvolt";
inline constexpr const char* kPleaseWait = "Please wait...";
inline constexpr const char* kCancel = "Cancel";

}  // namespace pv::ui_text
