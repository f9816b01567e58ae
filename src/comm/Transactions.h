#pragma once
// The single transactions every workflow is built from, each with the way its failure is told:
// a bare transaction that returns its ErrType, and the checked reads and writes that show or
// store the drive program's texts. Workflows call these instead of building frames themselves.

#include <cstddef>
#include <cstdint>
#include <string>

#include "res/Prompts.h"
#include "serial/CSerial.h"

namespace pv::comm {

// One function-03 transaction: zero-filled reply of 5 + 2 x count bytes.
serial::ErrType ReadRegisters(serial::CSerial& link, int station, std::uint16_t firstRegister,
                              std::uint16_t count, std::uint8_t* reply);
// One function-06 transaction: the 8-byte reply (the echo of the write) into `reply`.
serial::ErrType WriteRegister(serial::CSerial& link, int station, std::uint16_t reg,
                              std::uint16_t value, std::uint8_t* reply);
// One function-16 transaction of `count` consecutive registers: the 8-byte reply into `reply`.
serial::ErrType WriteRegisters(serial::CSerial& link, int station, std::uint16_t firstRegister,
                               const std::uint16_t* values, std::size_t count,
                               std::uint8_t* reply);

// One register read, shown at once on failure (reporter 4): the ErrType text, or
// "Communication Error." for a reply that is not function 03.
bool ReadSingle(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                std::uint16_t& value);
// One register read classified like a group read (reporter 3): on failure the bare reason goes to
// `lastError` and nothing is shown.
bool ReadStored(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t& value,
                std::string& lastError);
// One register write shown at once on failure: the ErrType text, or "Communication Error." for an
// answer that is not the echo of the write.
bool WriteSingle(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                 std::uint16_t value);
// One register write told by reporter 1: "Station NO: n" and the reason, the exception decoded.
bool WriteReported(serial::CSerial& link, Prompts& prompts, int station, std::uint16_t reg,
                   std::uint16_t value);

}  // namespace pv::comm
