#include "comm/Transactions.h"

#include <algorithm>

#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "drive/Registers.h"
#include "res/CommTexts.h"

namespace pv::comm {

serial::ErrType ReadRegisters(serial::CSerial& link, int station, std::uint16_t firstRegister,
                              std::uint16_t count, std::uint8_t* reply) {
    std::uint8_t request[kReadRequestLength] = {};
    BuildReadFrame(station, firstRegister, count, request);
    const std::size_t expected = ReadReplyLength(count);
    std::fill(reply, reply + expected, 0);
    return link.CommandSend(request, sizeof request, reply, expected);
}

serial::ErrType WriteRegister(serial::CSerial& link, int station, std::uint16_t reg,
                              std::uint16_t value, std::uint8_t* reply) {
    std::uint8_t request[kWriteRequestLength] = {};
    BuildWriteFrame(station, reg, value, request);
    std::fill(reply, reply + kWriteReplyLength, 0);
    return link.CommandSend(request, sizeof request, reply, kWriteReplyLength);
}

serial::ErrType WriteRegisters(serial::CSerial& link, int station, std::uint16_t firstRegister,
                               const std::uint16_t* values, std::size_t count,
                               std::uint8_t* reply) {
    std::uint8_t request[WriteMultipleRequestLength(kMaxReadBlock)] = {};
    const std::size_t len = BuildWriteMultipleFrame(station, firstRegister, values, count, request);
    std::fill(reply, reply + kWriteReplyLength, 0);
    return link.CommandSend(request, len, reply, kWriteReplyLength);
}

bool ReadSingle(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                std::uint16_t& value) {
    std::uint8_t reply[ReadReplyLength(1)];
    const auto result = ReadRegisters(link, station, reg, 1, reply);
    if (!CheckSingleRead(prompts, result, reply[1])) return false;
    value = ReplyRegister(reply, 0);
    return true;
}

bool ReadStored(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t& value,
                std::string& lastError) {
    std::uint8_t reply[ReadReplyLength(1)];
    const auto result = ReadRegisters(link, station, reg, 1, reply);
    if (!StoreReadReply(lastError, result, reply[1], drive::kFuncRead)) return false;
    value = ReplyRegister(reply, 0);
    return true;
}

bool WriteSingle(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                 std::uint16_t value) {
    std::uint8_t reply[kWriteReplyLength];
    const auto result = WriteRegister(link, station, reg, value, reply);
    if (result != serial::ErrNone) {
        prompts.message(ErrTypeText(result));
        return false;
    }
    if (reply[1] != drive::kFuncWrite) {
        prompts.message(res::kCommunicationError);
        return false;
    }
    return true;
}

bool WriteReported(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                   std::uint16_t value) {
    std::uint8_t reply[kWriteReplyLength];
    const auto result = WriteRegister(link, station, reg, value, reply);
    return ReportWriteReply(prompts, result, reply[1], reply[2], station, drive::kFuncWrite) != 0;
}

}  // namespace pv::comm
