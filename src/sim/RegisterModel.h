#pragma once
// A drive's register map as a list of area handlers: which area owns an address, and how a
// decoded request is served across them (a read answered whole or refused whole, writes of
// several registers judged whole before any is made).

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/RegisterArea.h"
#include "sim/RequestDecoder.h"

namespace pv::sim {

class RegisterModel {
public:
    // The area lives as long as the model; areas must not overlap.
    void add(RegisterArea& area) { areas_.push_back(&area); }
    RegisterArea* areaOf(std::uint16_t address) const;

    std::optional<std::uint16_t> read(std::uint16_t address) const;
    // 0 when the value may be written, else the exception code (2 for an address no area owns).
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const;
    // A judged write: every area hears of it, the owner makes it.
    void write(std::uint16_t address, std::uint16_t value);
    // A tool's write (no lock, password or range check where the area allows it). False for an
    // address no area owns or one that cannot be written.
    bool toolWrite(std::uint16_t address, std::uint16_t value);

    // The reply PDU to a request the decoder let through; nothing when `answer` is off (a
    // broadcast).
    std::vector<std::uint8_t> serve(const Request& request, bool answer);

private:
    std::vector<std::uint8_t> serveRead(const Request& request);
    std::vector<std::uint8_t> serveWrite(const Request& request, bool answer);

    std::vector<RegisterArea*> areas_;
};

}  // namespace pv::sim
