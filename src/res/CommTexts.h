#pragma once
// Texts of the drive link: channel, transaction results, stations and Connect. Each is shown to
// the user exactly as written here.

namespace pv::res {

// Channel and settings dialog.
inline constexpr const char* kFailLoadDll = "Fail to load dll!";
inline constexpr const char* kCantOpenPort = "Can't Open the Port !";
inline constexpr const char* kStationNull = "The station number should not be null.";
inline constexpr const char* kNoAdapter = "no qt52!";
inline constexpr const char* kSearchIp = "Search IP";
inline constexpr const char* kStationHint = "(Single or specified range, e.g.: 1,3,5-12)";
inline constexpr const char* kTcpIpPortName = "TCPIP";

// Results of one transaction.
inline constexpr const char* kCrcError = "CRC parity error !";
inline constexpr const char* kTimeOut = "TimeOut !";
inline constexpr const char* kDataError = "Data error !";
inline constexpr const char* kCommunicationError = "Communication Error.";

// Exception codes of a reply.
inline constexpr const char* kExceptionFunction = "Function code error";
inline constexpr const char* kExceptionAddress = "address error";
inline constexpr const char* kExceptionData = "data error";
inline constexpr const char* kExceptionRegisterCount = "register number error";

// Composition of the reporters' texts (printf formats).
inline constexpr const char* kStationNoFormat = "Station NO: %d";
inline constexpr const char* kWriteGroupFormat = ":write parameter group %d";

// Station list.
inline constexpr const char* kStationAbove32 = "The station number can not be more than 32!";
inline constexpr const char* kStationRangeOrder =
    "The station number before '-' must be less than after '-' !";
inline constexpr const char* kStationRepeat = "The station number can not be repeat!";

// Connect.
inline constexpr const char* kSimulatorStop = "Simulator is being stop.";
inline constexpr const char* kNotN350 =
    "The current inverter is not N350,the software not support.";
inline constexpr const char* kModelMismatch =
    "The N350 model is not match with Parvolt software selected model. Continue ?";
inline constexpr const char* kLinkSuccessful = "Link successful !";
// Connect's list of the set values it replaced: %n the count ("3 set values"), %m the model.
inline constexpr const char* kReplacedValuesHead =
    "Connect replaced %n with the initial values of model %m:";
inline constexpr const char* kReplacedValuesMore = "\u2026 and ";
// parvolt-cli write sends the file's values and lists those the desktop's Connect would replace.
inline constexpr const char* kKeptValuesHead =
    "Kept %n of the project that Connect in the desktop replaces with the initial values of "
    "model %m:";
inline constexpr const char* kOnline = "Online";
inline constexpr const char* kUnlink = "Unlink";

}  // namespace pv::res
