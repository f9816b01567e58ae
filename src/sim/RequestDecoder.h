#pragma once
// What a drive's protocol layer makes of the bytes on the bus before any register is touched: a
// frame it can trust (long enough, CRC right) and whom it is for (a station, or everyone), then
// the request it carries (function, first register, count, values), or the exception the layout
// alone earns (a count the drive does not serve, registers past the end of the address space),
// or nothing at all for a request too damaged to answer. The register model serves what comes
// out of here; the replies are built here too, so that the bytes on the wire have one home.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pv::sim {

// A frame the drive trusts: station 0 is a broadcast, which every drive takes and none answers.
struct AddressedPdu {
    int station = 0;
    const std::uint8_t* pdu = nullptr;  // function code and data, inside the frame
    std::size_t length = 0;
    bool broadcast() const { return station == 0; }
};

// nullopt for what a drive ignores: a frame too short to carry a function, or a bad CRC.
std::optional<AddressedPdu> decodeFrame(const std::uint8_t* frame, std::size_t length);

// The functions a drive of the series serves.
inline constexpr std::uint8_t kFunctionRead = 3;
inline constexpr std::uint8_t kFunctionWriteOne = 6;
inline constexpr std::uint8_t kFunctionWriteMany = 16;

struct Request {
    std::uint8_t function = 0;
    std::uint16_t address = 0;          // the first register
    std::uint16_t count = 0;            // registers read or written (1 for function 6)
    std::vector<std::uint16_t> values;  // the values written, in register order
};

struct DecodedRequest {
    enum class Action {
        Serve,   // hand the request to the registers
        Refuse,  // answer with `exception` without touching a register
        Ignore,  // too damaged to answer
    };
    Action action = Action::Ignore;
    Request request;  // for Refuse: at least the function the exception answers
    std::uint8_t exception = 0;
};

// The PDU of one request (function code and data, without station and CRC).
DecodedRequest decodeRequest(const std::uint8_t* pdu, std::size_t length);

// Reply PDUs (the bus adds station and CRC).
std::vector<std::uint8_t> exceptionReply(std::uint8_t function, std::uint8_t code);
std::vector<std::uint8_t> readReply(const std::vector<std::uint16_t>& values);
// Functions 6 and 16 echo the request: the register and its value, or the first register and
// the count.
std::vector<std::uint8_t> writeReply(const Request& request);

}  // namespace pv::sim
