#include "comm/Reporters.h"

#include <cstdio>

#include "drive/Registers.h"
#include "res/CommTexts.h"

namespace pv::comm {

namespace {
std::string stationText(int station) {
    char buf[48];
    std::snprintf(buf, sizeof buf, res::kStationNoFormat, station);
    return buf;
}
}  // namespace

const char* ErrTypeText(int result) {
    switch (result) {
        case 1:
            return res::kCrcError;
        case 2:
            return res::kTimeOut;
        default:
            return res::kDataError;
    }
}

const char* ExceptionText(int code) {
    switch (code) {
        case 1:
            return res::kExceptionFunction;
        case 2:
            return res::kExceptionAddress;
        case 3:
            return res::kExceptionData;
        case 4:
            return res::kExceptionRegisterCount;
        default:
            return res::kDataError;
    }
}

std::string WriteReplyText(int result, std::uint8_t replyFunction, std::uint8_t exceptionCode,
                           int station, std::uint8_t expectedFunction) {
    if (result > 3 || result < 0) return {};
    if (result == 0 && replyFunction == expectedFunction) return {};
    const char* reason = result != 0 ? ErrTypeText(result) : ExceptionText(exceptionCode);
    return stationText(station) + " " + reason;
}

int ReportWriteReply(Prompts& prompts, int result, std::uint8_t replyFunction,
                     std::uint8_t exceptionCode, int station, std::uint8_t expectedFunction) {
    if (result == 0 && replyFunction == expectedFunction) return 1;
    const std::string text =
        WriteReplyText(result, replyFunction, exceptionCode, station, expectedFunction);
    if (!text.empty()) prompts.message(text);
    return 0;
}

int StoreGroupWriteReply(std::string& lastError, int result, const std::uint8_t* reply,
                         std::uint8_t expectedFunction, int station, int group) {
    if (result == 0 && reply[1] == expectedFunction) return 1;
    char groupText[48];
    std::snprintf(groupText, sizeof groupText, res::kWriteGroupFormat, group);
    const char* reason = result != 0 ? ErrTypeText(result) : ExceptionText(reply[2]);
    lastError = stationText(station) + groupText + " " + reason;
    return 0;
}

int StoreReadReply(std::string& lastError, int result, std::uint8_t replyFunction,
                   std::uint8_t expectedFunction) {
    if (result == 0 && replyFunction == expectedFunction) return 1;
    lastError = result != 0 ? ErrTypeText(result) : res::kDataError;
    return 0;
}

std::string SingleReadText(int result, std::uint8_t replyFunction) {
    if (result != 0) return ErrTypeText(result);
    if (replyFunction != drive::kFuncRead) return res::kCommunicationError;
    return {};
}

bool CheckSingleRead(Prompts& prompts, int result, std::uint8_t replyFunction) {
    const std::string text = SingleReadText(result, replyFunction);
    if (text.empty()) return true;
    prompts.message(text);
    return false;
}

}  // namespace pv::comm
