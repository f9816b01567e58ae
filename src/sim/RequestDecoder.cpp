#include "sim/RequestDecoder.h"

#include "drive/Registers.h"
#include "serial/Crc16.h"

namespace pv::sim {

namespace {

std::uint16_t be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

DecodedRequest refuse(std::uint8_t function, std::uint8_t code) {
    DecodedRequest d;
    d.action = DecodedRequest::Action::Refuse;
    d.request.function = function;
    d.exception = code;
    return d;
}

DecodedRequest serve(Request request) {
    DecodedRequest d;
    d.action = DecodedRequest::Action::Serve;
    d.request = std::move(request);
    return d;
}

// A run of registers must fit the drive's request size and the address space.
std::uint8_t checkRun(std::uint16_t first, std::uint16_t count) {
    if (count == 0 || count > drive::kMaxRegistersPerRequest) return drive::kRegisterCount;
    if (first + count - 1 > 0xFFFF) return drive::kIllegalAddress;
    return 0;
}

}  // namespace

std::optional<AddressedPdu> decodeFrame(const std::uint8_t* frame, std::size_t length) {
    if (length < 4 || !pv::serial::frameCrcOk(frame, length)) return std::nullopt;
    return AddressedPdu{frame[0], frame + 1, length - 3};
}

DecodedRequest decodeRequest(const std::uint8_t* pdu, std::size_t length) {
    if (length == 0) return {};
    const std::uint8_t function = pdu[0];
    switch (function) {
        case kFunctionRead: {
            if (length != 5) return {};
            const std::uint16_t first = be16(pdu + 1), count = be16(pdu + 3);
            if (const std::uint8_t ex = checkRun(first, count)) return refuse(function, ex);
            return serve({function, first, count, {}});
        }
        case kFunctionWriteOne:
            if (length != 5) return {};
            return serve({function, be16(pdu + 1), 1, {be16(pdu + 3)}});
        case kFunctionWriteMany: {
            if (length < 6 || length != 6u + pdu[5]) return {};
            const std::uint16_t first = be16(pdu + 1), count = be16(pdu + 3);
            if (pdu[5] != count * 2) return refuse(function, drive::kRegisterCount);
            if (const std::uint8_t ex = checkRun(first, count)) return refuse(function, ex);
            Request r{function, first, count, {}};
            r.values.reserve(count);
            for (std::uint16_t k = 0; k < count; ++k) r.values.push_back(be16(pdu + 6 + 2 * k));
            return serve(std::move(r));
        }
        default:
            return refuse(function, drive::kIllegalFunction);
    }
}

std::vector<std::uint8_t> exceptionReply(std::uint8_t function, std::uint8_t code) {
    return {static_cast<std::uint8_t>(function | 0x80), code};
}

std::vector<std::uint8_t> readReply(const std::vector<std::uint16_t>& values) {
    std::vector<std::uint8_t> out{kFunctionRead, static_cast<std::uint8_t>(values.size() * 2)};
    for (const std::uint16_t v : values) put16(out, v);
    return out;
}

std::vector<std::uint8_t> writeReply(const Request& request) {
    std::vector<std::uint8_t> out{request.function};
    put16(out, request.address);
    put16(out, request.function == kFunctionWriteOne ? request.values.front() : request.count);
    return out;
}

}  // namespace pv::sim
