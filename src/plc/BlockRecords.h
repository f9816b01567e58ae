#pragma once
// Typed views of the function-block records. The records keep the drive's own byte layout (three-
// byte value fields holding packed BCD or a reference to another element, input pairs with
// 0x4C 0x6F for "no input"); these accessors read a record into plain settings and write them
// back, leaving every byte they do not name untouched. The element dialogs, the program text,
// the transfer and the simulator all read and write blocks through them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plc/PlcProgram.h"

namespace pv {

// A block operand: a decimal constant or another element's value.
struct BlockValue {
    enum class Kind { Constant, Timer, Counter, Analog, AddSub, MulDiv };
    Kind kind = Kind::Constant;
    uint32_t constant = 0;  // Constant: the decimal value of the BCD digits
    int number = 0;         // references: the element number (T n, C n, V n, AS n, MD n)
    int timerForm = 0;      // Timer references: 0 "1~6,7(on)", 1 "7(off)"

    bool isReference() const { return kind != Kind::Constant; }
    static BlockValue constantOf(uint32_t v) { return {Kind::Constant, v, 0, 0}; }
    static BlockValue reference(Kind k, int n, int form = 0) { return {k, 0, n, form}; }
    bool operator==(const BlockValue&) const = default;
};

// An input (a contact) wired to a block: the contact's letter and number, or none.
struct InputRef {
    char letter = 0;  // 0: no input connected
    int number = 0;
    bool connected() const { return letter != 0; }
    bool operator==(const InputRef&) const = default;
};

// --- field codecs over raw bytes ------------------------------------------------------------
// Packed BCD, most significant byte first; nullopt when a nibble is not a decimal digit.
std::optional<uint32_t> DecodeBcd(const uint8_t* p, int bytes);
void EncodeBcd(uint8_t* p, int bytes, uint32_t value);
// Three-byte value of timer, counter, comparator and drive-control records: BCD or a reference
// (0xB0+n timer with the form byte, 0xC0+n counter, 0xD0+n analog value, 0xA0 1|2 n AS|MD).
std::optional<BlockValue> DecodeValue3(const uint8_t* p);
void EncodeValue3(uint8_t* p, const BlockValue& v);
// Three-byte value of AS and MD records: six BCD digits (first byte below 0x20) or a reference
// whose high nibble names the kind (2 T, 3 C, 4 V, 5 AS, 6 MD) and second byte the number.
std::optional<BlockValue> DecodeArithValue(const uint8_t* p);
void EncodeArithValue(uint8_t* p, const BlockValue& v);
// An input pair (letter byte, number byte).
std::optional<InputRef> DecodeInput(const uint8_t* p);
void EncodeInput(uint8_t* p, const InputRef& in);

// --- settings of each block kind -------------------------------------------------------------
struct TimerSettings {
    int mode = 1;      // 1..7
    int timeBase = 1;  // low nibble of byte 1
    BlockValue preset;
    InputRef reset;     // used by modes 2, 3, 4 and 6
    int timeBase2 = 1;  // mode 7: the second time
    BlockValue preset2;
    static bool usesReset(int mode) { return mode == 2 || mode == 3 || mode == 4 || mode == 6; }
    bool operator==(const TimerSettings&) const = default;
};
struct CounterSettings {
    int mode = 1;  // 1..4
    BlockValue preset;
    InputRef direction;  // counts down while on
    InputRef reset;
    bool operator==(const CounterSettings&) const = default;
};
struct ComparatorSettings {
    int mode = 1;  // 1 lower, 2 upper, 3 both
    BlockValue value;
    BlockValue upper;  // modes 2 and 3
    BlockValue lower;  // modes 1 and 3
    bool operator==(const ComparatorSettings&) const = default;
};
struct DriveBlockSettings {
    BlockValue setFreq, segFreq, accTime, decTime;
    InputRef fwdRev;    // bytes 13..14
    InputRef terminal;  // bytes 15..16
    bool operator==(const DriveBlockSettings&) const = default;
};
struct ArithSettings {  // AS = V1 + V2 - V3, MD = V1 * V2 / V3
    BlockValue values[3];
    int outputRelay = 0;  // M n set by the block (MD: the "Error Coil"), 0 for none
    bool operator==(const ArithSettings&) const = default;
};

// Readers return nullopt when a field holds bytes that are neither a constant nor a reference.
std::optional<TimerSettings> ReadTimer(const TimerRecord& r);
void WriteTimer(TimerRecord& r, const TimerSettings& s);
std::optional<CounterSettings> ReadCounter(const CounterRecord& r);
void WriteCounter(CounterRecord& r, const CounterSettings& s);
std::optional<ComparatorSettings> ReadComparator(const BlockRecord& r);
void WriteComparator(BlockRecord& r, const ComparatorSettings& s);
std::optional<DriveBlockSettings> ReadDriveBlock(const BlockRecord& r);
void WriteDriveBlock(BlockRecord& r, const DriveBlockSettings& s);
std::optional<ArithSettings> ReadArith(const BlockRecord& r);
void WriteArith(BlockRecord& r, const ArithSettings& s);

// Text of a value as the program text and the dialogs show it: "0050" (digits padded to
// `digits`), "T03", "T03/off", "C01", "V02", "AS01", "MD04"; parse accepts the same forms.
std::string ValueText(const BlockValue& v, int digits);
std::optional<BlockValue> ParseValueText(std::string_view text);
// "I01", "m0F" or "-" for no input.
std::string InputText(const InputRef& in);
std::optional<InputRef> ParseInputText(std::string_view text);

}  // namespace pv
