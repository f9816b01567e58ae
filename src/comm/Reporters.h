#pragma once
// The four fixed ways a transaction's outcome becomes a message: an ErrType, then the reply's
// function byte against the function sent, and for two of them the exception code decoded.

#include <cstdint>
#include <string>

#include "res/Prompts.h"

namespace pv::comm {

// "CRC parity error !", "TimeOut !", or "Data error !" for any other failure.
const char* ErrTypeText(int result);
// "Function code error", "address error", "data error", "register number error", else
// "Data error !".
const char* ExceptionText(int code);

// Reporter 1, after single-parameter and password writes: 1 when the result is 0 and the reply
// carries the function sent; otherwise shows "Station NO: n" and the reason and returns 0.
// A result above 3 returns 0 silently.
int ReportWriteReply(Prompts& prompts, int result, std::uint8_t replyFunction,
                     std::uint8_t exceptionCode, int station, std::uint8_t expectedFunction);
// The text reporter 1 shows; empty when it shows nothing.
std::string WriteReplyText(int result, std::uint8_t replyFunction, std::uint8_t exceptionCode,
                           int station, std::uint8_t expectedFunction);

// Reporter 2, for the group writers: 1 on success; otherwise "Station NO: n:write parameter
// group g" and the reason go into `lastError`, nothing is shown, and 0 is returned.
int StoreGroupWriteReply(std::string& lastError, int result, const std::uint8_t* reply,
                         std::uint8_t expectedFunction, int station, int group);

// Reporter 3, for the group readers: 1 on success; otherwise the bare reason goes into
// `lastError` ("Data error !" also for a reply of another function) and 0 is returned.
int StoreReadReply(std::string& lastError, int result, std::uint8_t replyFunction,
                   std::uint8_t expectedFunction);

// Reporter 4, single reads (model, password state, monitor values): true on success; otherwise
// shows the ErrType's text, or "Communication Error." for a reply that is not function 03.
bool CheckSingleRead(Prompts& prompts, int result, std::uint8_t replyFunction);
// The text reporter 4 shows; empty on success.
std::string SingleReadText(int result, std::uint8_t replyFunction);

}  // namespace pv::comm
