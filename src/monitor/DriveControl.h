#pragma once
// Commanding a linked drive through its communication registers, shared by Monitor Control, the
// keypad and the graph monitor: the command word (read-modify-write and toggles of the cached
// word), the frequency command with the drive's limits and unit, the digital outputs, and the
// command-source check every live window runs before it polls.

#include <array>
#include <cstdint>
#include <string>

#include "serial/CSerial.h"

namespace pv::monitor {

// Command word bits beyond run, reverse and fault reset (drive/Registers.h).
inline constexpr std::uint16_t kBitDriveMode = 0x4000;
inline constexpr int kCommInputs = 8;
// Comm S1..S8 are bits 6..13.
constexpr std::uint16_t CommInputBit(int input) {
    return static_cast<std::uint16_t>(0x0040u << (input - 1));
}

enum class BitChange { Set, Clear, Invert };
std::uint16_t ChangeBit(std::uint16_t word, std::uint16_t mask, BitChange change);

// One block of registers read with function 03; on failure the bare reason ("CRC parity error !",
// "TimeOut !", "Data error !" also for a reply of another function) is in `error`.
bool ReadBlock(serial::CSerial& link, int station, std::uint16_t first, int count,
               std::uint16_t* words, std::string& error);
// One register written with function 06; a reply of another function is "Data error !".
bool WriteWord(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t value,
               std::string& error);

// Reads the command word, changes `mask` and writes the result back. With `onlyWhenChanged` a
// bit that already stands as asked sends nothing after the read.
struct WordChange {
    bool ok = false;
    bool readFailed = false;  // else the write failed
    bool sent = false;        // a write went out
    std::uint16_t before = 0, after = 0;
    std::string error;
};
WordChange ModifyCommandWord(serial::CSerial& link, int station, std::uint16_t mask,
                             BitChange change, bool onlyWhenChanged = false);
// Writes the cached command word with `mask` inverted; the cache stays as it is until the next
// refresh reads the word back.
bool WriteToggled(serial::CSerial& link, int station, std::uint16_t cached, std::uint16_t mask,
                  std::string& error);

// The command-source check. It reads the input functions 03-00..03-06 (one request) and the
// command word, and holds when both reads are answered and every function is one the drive
// knows (0..58). From them it tells whether the drive runs motor 2: an input set to 40 (motor
// 1/2 switch) that the command word turns on.
inline constexpr std::uint16_t kInputMotorSwitch = 40;
inline constexpr std::uint16_t kLastInputFunction = 58;
inline constexpr int kInputFunctionCount = 7;
struct CommandSource {
    std::array<std::uint16_t, kInputFunctionCount> inputs{};
    std::uint16_t commandWord = 0;
    bool motor2() const;
};
bool CheckCommandSource(serial::CSerial& link, int station, CommandSource& source,
                        std::string& error);

// The check as the polling windows run it before every poll: the command word every time, the
// input functions on the first run, for a new station, and then once every kInputsEvery runs
// (they change only when a parameter is written). At 100 ms that is once a second, and it keeps
// a graph sample within 100 ms at 19200 baud.
inline constexpr int kInputsEvery = 10;
class CommandSourceCheck {
public:
    bool run(serial::CSerial& link, int station, std::string& error);
    const CommandSource& source() const { return source_; }
    void reset() { runs_ = 0; }

private:
    CommandSource source_;
    int runs_ = 0;
    int station_ = 0;
};

// The frequency a command may carry. The upper limit is 00-12 and the lower 00-13, both in
// percent of the maximum frequency, or in hertz when 00-63 says so; the maximum is 01-02, or
// 01-16 while motor 2 runs, and also caps the upper limit. `tenths` is the frequency unit flag:
// the drive takes its frequency command in 0.1 Hz when 01-02 is above 3000, else in 0.01 Hz.
struct FrequencyLimits {
    double lowHz = 0;
    double highHz = 0;
    bool tenths = false;
    bool contains(double hz) const { return hz >= lowHz - 1e-9 && hz <= highHz + 1e-9; }
};
struct LimitWords {
    std::uint16_t upper = 0;      // 00-12, 0.1
    std::uint16_t lower = 0;      // 00-13, 0.1
    std::uint16_t limitUnit = 0;  // 00-63
    std::uint16_t maxMotor1 = 0;  // 01-02
    std::uint16_t maxMotor2 = 0;  // 01-16
    bool motor2 = false;
};
// `highFrequencyMode`: the maximum frequencies carry one decimal instead of two.
FrequencyLimits LimitsFromWords(const LimitWords& w, bool highFrequencyMode);
bool ReadFrequencyLimits(serial::CSerial& link, int station, bool highFrequencyMode,
                         FrequencyLimits& limits, std::string& error);

// The frequency command's register value: truncated (hz + offset) x 10 or x 100 by the unit.
enum class FrequencyEntry {
    SetButton,    // offsets 0.001 (x 10) and 0.0001 (x 100)
    KeypadField,  // the keypad's own field: 0.00001 either way
};
std::uint16_t ScaleFrequency(double hz, bool tenths, FrequencyEntry entry);
// The register value back in hertz.
double FrequencyHz(std::uint16_t raw, bool tenths);

// The whole frequency command: read the limits, check the text, scale, write 0x2502. Returns
// the text to show: "Write successful !", "Beyond the range !", "Data error !" or the reason
// a transaction failed; with KeypadField a success shows nothing and a failed write shows
// "Set frequency failed.".
std::string SetFrequency(serial::CSerial& link, int station, const std::string& text,
                         bool highFrequencyMode, FrequencyEntry entry);

// The digital output command: DO1, R2 and R1 (0 off, 1 on) as the bits 2, 1 and 0.
std::uint16_t OutputValue(int do1, int r2, int r1);
// Writes 0x2507; the text to show as SetFrequency's Set button does.
std::string SetOutputs(serial::CSerial& link, int station, std::uint16_t value);

}  // namespace pv::monitor
