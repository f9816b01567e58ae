#pragma once
// Texts of the copy module and of the network adapters. Each is shown to the user exactly as
// written here.

namespace pv::res {

// Copy module: progress and results (printf formats where a storage group is filled in).
inline constexpr const char* kCopyWriteProgress = "Write data to the %d group";
inline constexpr const char* kCopyReadPreparing = "Reading data from the %d group is preparing";
inline constexpr const char* kCopyReadProgress = "Read data from the %d group ";
inline constexpr const char* kCopyNameTooLong = "ERROR1";

// The write dialog (template 303).
inline constexpr const char* kCopyModuleCaption = "Copy Module";
inline constexpr const char* kCopyGroupNo = "Group NO.:";
inline constexpr const char* kCopyGroupName = "Group Name:";
inline constexpr const char* kCopyGroupNameNote = "(The max number of group name is15)";
inline constexpr const char* kCopyPort = "Port:";
// The read dialog (template 306).
inline constexpr const char* kCopyReadGroupNo = "组号:";
inline constexpr const char* kCopyReadPort = "端口:";
inline constexpr const char* kCopyReadOk = "确定";
inline constexpr const char* kCopyReadCancel = "取消";
// The module's connection dialog (template 304) and the compare list (template 305).
inline constexpr const char* kCopyConnectCaption = "Connect Copy Module";
inline constexpr const char* kCopyCommPort = "Comm Port";
inline constexpr const char* kCopyCompareCaption = "The compare value of PC and Copy Module";
inline constexpr const char* kCopyCompareClose = "Close";
inline constexpr const char* kCopyCompareEqual = "The values of the PC and the copy module are equal.";
// Column heads of the compare list.
inline constexpr const char* kCopyCompareCode = "Code";
inline constexpr const char* kCopyComparePc = "PC";
inline constexpr const char* kCopyCompareModule = "Copy Module";
// Menu entries of the copy module's commands.
inline constexpr const char* kCopyMenuWrite = "Write to Copy Module...";
inline constexpr const char* kCopyMenuRead = "Read from Copy Module...";
inline constexpr const char* kCopyMenuConnect = "Copy Module Port...";
inline constexpr const char* kCopyMenuCompare = "Compare with Copy Module";
inline constexpr const char* kCopyNoSet = "The copy module holds no set read in this session.";

// Network adapters (dialogs 272 and 282).
inline constexpr const char* kSetIpFailed = "set IP address failed!";
inline constexpr const char* kAdapterDialogCaption = "Network Adapter";
inline constexpr const char* kAdapterIp = "IP Address:";
inline constexpr const char* kAdapterName = "Device Name:";
inline constexpr const char* kAssignIpCaption = "Set IP Address";
inline constexpr const char* kAssignMac = "MAC Address:";
inline constexpr const char* kAssignMacHint = "(e.g. 00-20-4a-14-01-18)";
inline constexpr const char* kAssignButton = "Set IP...";
inline constexpr const char* kBadIpText = "The IP address is not valid.";
inline constexpr const char* kBadMacText = "The MAC address is not valid.";
inline constexpr const char* kNoAdapterFound = "No network adapter answered.";

}  // namespace pv::res
