#pragma once
// The 19 drive models the program knows: model code (0x35000 + capacity code), model name and
// capacity text. The low byte of a code selects the voltage class.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pv {

struct ModelInfo {
    uint32_t code;
    std::string_view name;      // "N350-2P5-H"
    std::string_view capacity;  // "2P5"
};

inline constexpr int kModelCount = 19;

// The models in search order: the 400 V class (0x35021..0x3502A) first, then the 200 V class.
const std::array<ModelInfo, kModelCount>& ModelTable();
// The models in code order (200 V first), for listings.
const std::array<ModelInfo, kModelCount>& ModelsByCode();

// nullptr when the name is not in the table (the caller cancels).
const ModelInfo* FindModelByName(std::string_view name);
const ModelInfo* FindModelByCode(uint32_t code);
// Empty text for a code not in the table.
std::string ModelNameForCode(uint32_t code);

}  // namespace pv
