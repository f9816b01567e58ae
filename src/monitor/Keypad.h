#pragma once
// The on-screen keypad: where its keys lie on the panel picture, the function selector that UP
// and DOWN cycle, what its refresh reads and what its keys send.

#include <array>
#include <cstdint>
#include <string>

#include "monitor/PollScheduler.h"
#include "serial/CSerial.h"

namespace pv::monitor {

// The panel picture's size in client pixels; the key areas below are fixed in it.
inline constexpr int kKeypadWidth = 380;
inline constexpr int kKeypadHeight = 390;

enum class KeypadKey { None, Run, Stop, Up, Down, FwdRev, Dial };
struct KeyArea {
    KeypadKey key;
    int left, top, right, bottom;  // inclusive
};
inline constexpr std::array<KeyArea, 5> kKeyAreas = {{
    {KeypadKey::Run, 44, 331, 96, 365},
    {KeypadKey::Stop, 98, 331, 348, 365},
    {KeypadKey::Up, 72, 218, 123, 253},
    {KeypadKey::Down, 72, 273, 123, 310},
    {KeypadKey::FwdRev, 25, 218, 71, 253},
}};
// The dial: the ellipse bounded by (190, 219) and (277, 304).
inline constexpr int kDialLeft = 190, kDialTop = 219, kDialRight = 277, kDialBottom = 304;
KeypadKey KeypadHit(int x, int y);

// The function selector's eleven entries, also what each monitor line may show. Entry 0 is the
// frequency setting: only there the frequency field takes a value.
inline constexpr int kKeypadFunctions = 11;
inline constexpr std::array<const char*, kKeypadFunctions> kKeypadFunctionNames = {
    "Frequency Setting", "Output Frequency", "Output Voltage", "DC Voltage",
    "Output Current",    "Input Terminals",  "Output Terminals", "Run Source (00-02)",
    "Frequency Source (00-05)", "PID Decimals (10-34)", "Input Functions (03-00~03-06)"};
constexpr int NextFunction(int entry) { return entry >= kKeypadFunctions - 1 ? 0 : entry + 1; }
constexpr int PreviousFunction(int entry) { return entry <= 0 ? kKeypadFunctions - 1 : entry - 1; }

// What one refresh read: 03-00..03-06, the terminal word 0x2522, 00-02, 00-05, 10-34 and the
// five words from 0x2523 (frequencies, voltages, current).
struct KeypadReadings {
    std::array<std::uint16_t, 7> inputFunctions{};
    std::uint16_t terminals = 0;
    std::uint16_t runSource = 0;        // 00-02
    std::uint16_t frequencySource = 0;  // 00-05
    std::uint16_t pidDecimals = 0;      // 10-34
    std::array<std::uint16_t, 5> drive{};  // 0x2523..0x2527
    bool frequencyTenths = false;       // from 01-02, read with the first refresh

    bool runFromComm() const { return runSource == 2; }
    bool frequencyFromComm() const { return frequencySource == 3; }
    // The text of a function entry.
    std::string text(int entry) const;
};

// One refresh; a failed read stops it with the reason, or "Communication Error." for a reply of
// another function.
PollResult ReadKeypad(serial::CSerial& link, int station, bool unitKnown, KeypadReadings& out);

// RUN, STOP and FWD/REV: the text to show (empty for none) and whether the refresh stops.
struct KeyOutcome {
    std::string text;
    bool stopRefresh = false;
    bool sent = false;  // a write went out
};
KeyOutcome PressKey(serial::CSerial& link, int station, KeypadKey key, bool runFromComm);

}  // namespace pv::monitor
