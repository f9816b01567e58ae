#pragma once
// What the value kind, the fourth text field and the ten attribute integers of a parameter
// definition line mean. This is the one place that says it; the editors, the write rules, the
// group readers and writers, the import checks and the virtual drive all read a record through
// these accessors instead of poking at attr[n] themselves.
//
// A definition line of N350PARAM.DAT reads
//   "GG-NN Name@default$set*auxText#valueKind:opt0;opt1;...$$$$a0,a1,...,a9"
//
// valueKind - how the register value is shown and typed (ValueKind below).
// auxText   - the range label the editors print beside the value, exactly as the drive's manual
//             writes it ("0.1~6000.0", "0~F,FF", "-9999~9999", "00-01~23-79"). Frequency rows
//             carry their two-decimal label; the editors build the label of the current
//             resolution with rangeLabel().
// attr[]    - see AttrIndex. Bounds are raw register integers (the value times 10^decimals,
//             the option's register value, the hexadecimal number, ...), signed so that
//             negative ranges read naturally; on the wire a value is its low 16 bits.
//
// Frequency rows (flag Frequency) store their bounds at the two-decimal resolution
// (0.00~300.00 Hz). In high-frequency mode (maximum frequency above 300.0 Hz) the drive keeps
// frequencies in 0.1 Hz, so the decimals drop to one and the bounds become 0.0~599.0.
// The limit rows 00-12/00-13 (flag LimitUnit) store their percentage range (0.1~109.0, one
// decimal); when 00-63 puts the limits in hertz they behave as frequency rows.
//
// Conventions of the shipped files: option items read "value:text" (value = item index +
// AttrOptionOffset); every definition line carries all ten integers; N350InitialParam.dat keys
// are the bound parameter's code; N350MOTORPARAM.DAT lists the motor-dependent parameters
// (groups 02 and 17, flag MotorParam) that a write to a drive of another model keeps back.
// 01-01 is the project's own note of the maximum-frequency range (0.00~599.00 Hz): it is neither
// read, written nor shown on a page, and decides the project's high-frequency mode.

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pv {

using ParamAttrs = std::array<int32_t, 10>;

// The integer before ":" in a definition line.
enum class ValueKind : int32_t {
    Integer = 0,        // "%d"
    OneDecimal = 1,     // "%.1f", register = value x 10
    TwoDecimals = 2,    // "%.2f", register = value x 100
    ThreeDecimals = 3,  // "%.3f", register = value x 1000
    Hex = 4,            // "%X", text is hexadecimal digits
    Options = 5,        // option list; register = item index + attr[OptionOffset]
    Date = 6,           // "MM/DD"; register = month x 100 + day
    ParamCodeRef = 7,   // a parameter code "GG-NN"; register = GG x 256 + NN
    FourDecimals = 8,   // "%.4f", register = value x 10000
};

enum AttrIndex : int {
    AttrMin = 0,               // lowest accepted raw value
    AttrMax = 1,               // highest accepted raw value (with every firmware)
    AttrFlags = 2,             // ParamFlag bits
    AttrForbiddenModes = 3,    // bit m set: refused while the drive runs control mode m (00-00)
    AttrMinVersionFrame1 = 4,  // firmware gate for frame-1 drives, version x 100
    AttrMinVersionOther = 5,   // firmware gate for the other frames, version x 100
    AttrOptionOffset = 6,      // register value of option item 0 (usually 0)
    AttrUnit = 7,              // Unit
    AttrNarrowMax = 8,         // highest raw value of the plain range (see NarrowRange flags)
    AttrWideVersion = 9,       // version x 100 from which AttrMax applies; 0 = always
};

// Firmware gate values of AttrMinVersionFrame1 / AttrMinVersionOther.
inline constexpr int32_t kNoVersionGate = 0;
inline constexpr int32_t kNeverWritable = -1;  // the drive reserves it at every version

enum ParamFlag : int32_t {
    FlagReadOnly = 1 << 0,        // shown but never written (single write refuses, writers skip)
    FlagFrequency = 1 << 1,       // resolution and bounds follow high-frequency mode
    FlagLimitUnit = 1 << 2,       // 00-12/00-13: percent, or hertz when 00-63 is non-zero
    FlagSigned = 1 << 3,          // register holds a signed 16-bit value
    FlagWriteWithNext = 1 << 4,   // goes in one function-16 frame with the following parameter
    FlagNotWritten = 1 << 5,      // writable alone, but the group writers leave it out
    FlagNotRead = 1 << 6,         // the group readers leave it out (kept only in the project)
    FlagReadRunStart = 1 << 7,    // a new read request starts here (a block boundary of the drive)
    FlagReadFirst = 1 << 8,       // also read alone before the group (others depend on it)
    FlagNotOnPage = 1 << 9,       // defined, listed, read, but on no page of the group dialog
    FlagLockExempt = 1 << 10,     // writable while 13-06 locks the parameters (13-06 itself)
    FlagFrameReserved = 1 << 11,  // frame-1 drives do not have it
    FlagNoAi2OnFrame1 = 1 << 12,  // the value 2 (AI2) is refused by frame-1 drives
    FlagEven = 1 << 13,           // only even values
    FlagVersionRange = 1 << 14,   // out of range names the range as this firmware's range
    FlagModelDefault = 1 << 15,   // default depends on the model (N350InitialParam.dat)
    FlagVfPoint = 1 << 16,        // a custom V/F curve point: sent only for a custom curve
    FlagLoneMax = 1 << 17,        // accepted: min..AttrNarrowMax and AttrMax alone (01-00 FF)
    FlagMotorParam = 1 << 18,     // depends on the motor; kept back when the model differs
};

enum class Unit : int32_t {
    None = 0,
    Hz = 1,
    Second = 2,
    Percent = 3,
    Ampere = 4,
    Volt = 5,
    KiloWatt = 6,
    Rpm = 7,
    Millisecond = 8,
    KiloHertz = 9,
    Ohm = 10,
    MilliHenry = 11,
    Celsius = 12,
    Hour = 13,
    Pulse = 14,
    KiloWattHour = 15,
    Minute = 16,
    Ppr = 17,  // encoder pulses per revolution
};

// The drive settings that change how frequency and limit rows are shown.
struct ParamDisplaySettings {
    bool highFrequencyMode = false;
    bool limitsInHertz = false;
};

inline constexpr int32_t kMaxFrequencyRawLow = 30000;  // 300.00 Hz at two decimals
inline constexpr int32_t kMaxFrequencyRawHigh = 5990;  // 599.0 Hz at one decimal

inline bool hasFlag(const ParamAttrs& a, int32_t flag) {
    return (a[AttrFlags] & flag) != 0;
}
inline bool readOnly(const ParamAttrs& a) {
    return hasFlag(a, FlagReadOnly);
}
inline bool frequencyDependent(const ParamAttrs& a) {
    return hasFlag(a, FlagFrequency);
}
inline bool limitUnitDependent(const ParamAttrs& a) {
    return hasFlag(a, FlagLimitUnit);
}
inline bool writeWithNext(const ParamAttrs& a) {
    return hasFlag(a, FlagWriteWithNext);
}
inline bool isSigned16(const ParamAttrs& a) {
    return hasFlag(a, FlagSigned);
}
// Whether a group writer sends this parameter at all (mode and model rules come on top).
inline bool writtenByTransfer(const ParamAttrs& a) {
    return !hasFlag(a, FlagReadOnly) && !hasFlag(a, FlagNotWritten);
}
inline bool readByTransfer(const ParamAttrs& a) {
    return !hasFlag(a, FlagNotRead);
}

inline bool isOptionList(int32_t valueKind) {
    return valueKind == static_cast<int32_t>(ValueKind::Options);
}
inline bool isHex(int32_t valueKind) {
    return valueKind == static_cast<int32_t>(ValueKind::Hex);
}
inline bool isDate(int32_t valueKind) {
    return valueKind == static_cast<int32_t>(ValueKind::Date);
}
inline bool isParamCodeRef(int32_t valueKind) {
    return valueKind == static_cast<int32_t>(ValueKind::ParamCodeRef);
}

// Rows that follow the frequency resolution right now (limit rows only in hertz mode).
inline bool followsFrequency(const ParamAttrs& a, const ParamDisplaySettings& s) {
    return frequencyDependent(a) || (limitUnitDependent(a) && s.limitsInHertz);
}

// Decimal places of the value text (0 for integers, hex, options, dates and codes).
inline int decimals(int32_t valueKind, const ParamAttrs& a, const ParamDisplaySettings& s = {}) {
    if (followsFrequency(a, s)) return s.highFrequencyMode ? 1 : 2;
    switch (static_cast<ValueKind>(valueKind)) {
        case ValueKind::OneDecimal:
            return 1;
        case ValueKind::TwoDecimals:
            return 2;
        case ValueKind::ThreeDecimals:
            return 3;
        case ValueKind::FourDecimals:
            return 4;
        default:
            return 0;
    }
}

inline int32_t minRaw(const ParamAttrs& a, const ParamDisplaySettings& s = {}) {
    if (limitUnitDependent(a) && s.limitsInHertz) {
        return s.highFrequencyMode ? 1 : 10;  // 0.1 Hz / 0.10 Hz
    }
    if (frequencyDependent(a) && s.highFrequencyMode) return a[AttrMin] / 10;
    return a[AttrMin];
}

inline int32_t maxRaw(const ParamAttrs& a, const ParamDisplaySettings& s = {}) {
    if (followsFrequency(a, s)) {
        if (!s.highFrequencyMode) return limitUnitDependent(a) ? kMaxFrequencyRawLow : a[AttrMax];
        if (limitUnitDependent(a) || a[AttrMax] >= kMaxFrequencyRawLow) return kMaxFrequencyRawHigh;
        return a[AttrMax] / 10;
    }
    return a[AttrMax];
}

// Bit m of the forbidden-mode mask: the drive refuses the parameter in control mode m.
inline bool forbiddenInMode(const ParamAttrs& a, int mode) {
    return mode >= 0 && mode < 31 && (a[AttrForbiddenModes] & (1 << mode)) != 0;
}

// Firmware gate of the drive's frame class: kNoVersionGate, kNeverWritable or version x 100.
inline int32_t minVersion(const ParamAttrs& a, bool largeFrame) {
    return largeFrame ? a[AttrMinVersionOther] : a[AttrMinVersionFrame1];
}

// The drive's firmware version (1.05, 1.3, ...) compared with a gate in hundredths; the
// half-hundredth margin absorbs float noise of versions read as raw x 0.01.
inline bool versionReaches(float driveVersion, int32_t hundredths) {
    return driveVersion * 100.0f + 0.5f >= static_cast<float>(hundredths);
}

inline bool versionAllows(const ParamAttrs& a, bool largeFrame, float driveVersion) {
    const int32_t gate = minVersion(a, largeFrame);
    if (gate == kNoVersionGate) return true;
    if (gate == kNeverWritable) return false;
    return versionReaches(driveVersion, gate);
}

inline int32_t optionOffset(const ParamAttrs& a) {
    return a[AttrOptionOffset];
}
inline Unit unit(const ParamAttrs& a) {
    return static_cast<Unit>(a[AttrUnit]);
}

// Highest raw value this firmware accepts (07-32 takes items 2.. only from a newer version).
inline int32_t maxRawForVersion(const ParamAttrs& a, float driveVersion,
                                const ParamDisplaySettings& s = {}) {
    const int32_t wide = a[AttrWideVersion];
    if (wide > 0 && !versionReaches(driveVersion, wide)) return a[AttrNarrowMax];
    return maxRaw(a, s);
}

// Whether a raw value lies in the parameter's value set: its bounds, the lone maximum of
// gapped ranges (01-00: 0..F and FF), even-only rows, valid dates. Mode, firmware gate and
// cross-parameter rules are the write rules' business.
inline bool rawInRange(int32_t valueKind, const ParamAttrs& a, int32_t raw,
                       const ParamDisplaySettings& s = {}) {
    const int32_t lo = minRaw(a, s);
    const int32_t hi = maxRaw(a, s);
    if (raw < lo || raw > hi) return false;
    if (hasFlag(a, FlagLoneMax) && raw > a[AttrNarrowMax] && raw != hi) return false;
    if (hasFlag(a, FlagEven) && raw % 2 != 0) return false;
    if (isDate(valueKind)) {
        static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int month = raw / 100, day = raw % 100;
        return month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1];
    }
    if (isParamCodeRef(valueKind)) return (raw & 0xFF) <= 99;
    return true;
}

// Text of a raw value by the parameter's display format: "%d", "%X", "%.nf", "MM/DD", "GG-NN".
// Option rows give the register value in decimal (the caller picks the item).
inline std::string formatRaw(int32_t valueKind, const ParamAttrs& a, int32_t raw,
                             const ParamDisplaySettings& s = {}) {
    char buf[32];
    const int n = decimals(valueKind, a, s);
    if (isHex(valueKind)) {
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(raw) & 0xFFFFu);
    } else if (isDate(valueKind)) {
        std::snprintf(buf, sizeof buf, "%02d/%02d", raw / 100, raw % 100);
    } else if (isParamCodeRef(valueKind)) {
        std::snprintf(buf, sizeof buf, "%02d-%02d", (raw >> 8) & 0xFF, raw & 0xFF);
    } else if (n > 0) {
        static constexpr double kScale[5] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
        std::snprintf(buf, sizeof buf, "%.*f", n, raw / kScale[n]);
    } else {
        std::snprintf(buf, sizeof buf, "%d", raw);
    }
    return buf;
}

// A register value as the drive sends it (16 bits) to the signed or unsigned raw value.
inline int32_t rawFromRegister(const ParamAttrs& a, uint16_t reg) {
    return isSigned16(a) ? static_cast<int32_t>(static_cast<int16_t>(reg)) : reg;
}

// A whole number in `base` that fits a raw value (32 bits); false for no digits or for a
// number the raw value cannot hold, which would otherwise wrap to an unrelated value.
inline bool parseWhole(const char* p, char*& end, int base, long long& v) {
    errno = 0;
    v = std::strtoll(p, &end, base);
    return end != p && errno != ERANGE && v >= INT32_MIN && v <= INT32_MAX;
}

// Value text to raw value: decimals as trunc((value + 0.001) x 10^n), hexadecimal text for
// hex rows, "MM/DD" dates, "GG-NN" codes, integers (and option values) in decimal. False when
// the text is not of the row's kind or names a number no raw value holds (beyond 32 bits, not
// finite, a date or code part beyond two digits); the range is not checked here (rawInRange).
// The 0.001 guard keeps 12.34 from truncating to 1233; with three or four decimals that guard
// would be a whole step or more (0.051 would become 52, 10.000 would become 10001), so there it
// is capped at half a step, the same conversion the group writers and single writes use.
inline bool parseValueText(int32_t valueKind, const ParamAttrs& a, const std::string& text,
                           int32_t& raw, const ParamDisplaySettings& s = {}) {
    const char* p = text.c_str();
    while (*p == ' ') ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    long long v = 0;
    if (isHex(valueKind)) {
        if (!parseWhole(p, end, 16, v)) return false;
        raw = static_cast<int32_t>(v);
    } else if (isDate(valueKind) || isParamCodeRef(valueKind)) {
        // Each part is two digits at most on the drive; a wider part would spill into the other.
        const char sep = isDate(valueKind) ? '/' : '-';
        long long hi = 0, lo = 0;
        if (!parseWhole(p, end, 10, hi) || *end != sep || hi < 0 || hi > 99) return false;
        const char* q = end + 1;
        if (!parseWhole(q, end, 10, lo) || lo < 0 || lo > 99) return false;
        raw = static_cast<int32_t>(isDate(valueKind) ? hi * 100 + lo : hi * 256 + lo);
    } else if (const int n = decimals(valueKind, a, s); n > 0) {
        static constexpr double kScale[5] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
        // Plain decimal notation only: strtod would also take "nan", "inf" and hexadecimal
        // fractions, none of which is a value a user types for a parameter.
        const char* digits = (*p == '-' || *p == '+') ? p + 1 : p;
        if (!((*digits >= '0' && *digits <= '9') || *digits == '.')) return false;
        if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) return false;
        const double d = std::strtod(p, &end);
        if (end == p || !std::isfinite(d)) return false;
        // Negative values round towards zero the same way as positive ones.
        const double guard = n >= 3 ? 0.5 / kScale[n] : 0.001;
        const double scaled = (d < 0 ? d - guard : d + guard) * kScale[n];
        if (!(scaled > static_cast<double>(INT32_MIN) - 1.0 &&
              scaled < static_cast<double>(INT32_MAX) + 1.0))
            return false;
        raw = static_cast<int32_t>(scaled);
    } else {
        if (!parseWhole(p, end, 10, v)) return false;
        raw = static_cast<int32_t>(v);
    }
    while (*end == ' ') ++end;
    return *end == '\0';
}

// The range label for the current settings: auxText for fixed rows, "0.00~300.00" /
// "0.0~599.0" (or with a 0.1 minimum) for frequency rows, "0.1~109.0" for percentage limits.
inline std::string rangeLabel(int32_t valueKind, const ParamAttrs& a, const std::string& auxText,
                              const ParamDisplaySettings& s = {}) {
    if (!followsFrequency(a, s) && !limitUnitDependent(a)) return auxText;
    return formatRaw(valueKind, a, minRaw(a, s), s) + "~" +
           formatRaw(valueKind, a, maxRaw(a, s), s);
}

}  // namespace pv
