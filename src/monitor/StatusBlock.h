#pragma once
// What the Monitor Status pages read: the status block (0x2520 and the 13 registers after it)
// and the terminal block (0x2522..0x2529), and how their words read as quantities.

#include <array>
#include <cstdint>
#include <string>

#include "serial/CSerial.h"

namespace pv::monitor {

inline constexpr int kStatusWords = 14;
inline constexpr int kTerminalWords = 8;

struct StatusBlock {
    std::array<std::uint16_t, kStatusWords> words{};

    std::uint16_t statusWord() const { return words[0]; }
    std::uint16_t faultCode() const { return words[1]; }
    std::uint16_t terminalWord() const { return words[2]; }
    // 0x2523..0x2529 unsigned; the last two registers of the block signed.
    std::uint16_t word(int reg) const { return words[static_cast<size_t>(reg - 0x2520)]; }
    std::int16_t signedWord(int k) const { return static_cast<std::int16_t>(words[static_cast<size_t>(k)]); }
};

struct TerminalBlock {
    std::array<std::uint16_t, kTerminalWords> words{};
    // Inputs S1..S8 and the outputs R1, R2, DO1 of the terminal word 0x2522.
    bool input(int s) const { return (words[0] >> (s - 1)) & 1; }
    bool output(int bit) const { return (words[0] >> (8 + bit)) & 1; }
};

// Function-03 reads; on failure the bare reason is in `error`.
bool ReadStatusBlock(serial::CSerial& link, int station, StatusBlock& block, std::string& error);
bool ReadTerminalBlock(serial::CSerial& link, int station, TerminalBlock& block,
                       std::string& error);

}  // namespace pv::monitor
