#pragma once
// What a model code says about a drive: the code is 0x35000 + the capacity code the drive
// reports in 13-00; its low byte selects the voltage class, four codes are the smallest frame.

#include <cstdint>

namespace pv::drive {

inline constexpr std::uint32_t kModelCodeBase = 0x35000;
inline constexpr int kVoltageClass200 = 2;
inline constexpr int kVoltageClass400 = 4;

constexpr std::uint32_t ModelCodeOfCapacity(std::uint16_t capacity) {
    return kModelCodeBase + capacity;
}

// 2 (200 V class) when the low byte is below 0x21, else 4 (400 V class).
constexpr int VoltageClassOf(std::uint32_t modelCode) {
    return (modelCode & 0xFF) < 0x21 ? kVoltageClass200 : kVoltageClass400;
}

// The frame-1 drives: some parameters have other limits and no AI2 there.
constexpr bool IsFrame1Model(std::uint32_t modelCode) {
    return modelCode == 0x35001 || modelCode == 0x35002 || modelCode == 0x35021 ||
           modelCode == 0x35022;
}
constexpr bool IsLargeFrame(std::uint32_t modelCode) { return !IsFrame1Model(modelCode); }

}  // namespace pv::drive
