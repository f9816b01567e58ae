#pragma once
// The rules a drive imposes on every parameter write: control modes that do not use a parameter,
// firmware versions and frame sizes that lack it, read-only rows, ranges that depend on the
// firmware, and rules between parameters. One table and one check sequence serve the
// single-write dialogs, the group writers, imports and the virtual drive's answers, so that a
// value the program refuses is exactly a value the drive would refuse.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editing/ParamRow.h"
#include "drive/Models.h"

namespace pv::editing {

inline constexpr int kControlModeCount = 7;  // 00-00: V/F, V/F+PG, SLV, SV, PMSV, PMSLV, SLV2
inline constexpr int kRuleGroups = 29;       // groups 0..28 (25..28 are the hidden groups)

// Minimum firmware version per frame class; a gate of kNever refuses at every version.
struct FirmwareGate {
    static constexpr float kNever = 1e9f;
    float frame1 = 0.0f;  // drives of the smallest frame (largeFrame = 0)
    float other = 0.0f;   // every other frame
    bool active() const { return frame1 > 0.0f || other > 0.0f; }
};

// A range that replaces the ordinary range check and names the firmware in its refusal.
enum class VersionRange : std::uint8_t {
    None,
    Frequency599,  // 0 <= v < 599.000001, "0.0~599.0"
    Option0732,    // 0 or 1; 2 and above need firmware 1.16, "0~1"
    Range1149,     // 0.009999 < v < 5.000001, "0.01~5.00"
    Range2204,     // 5 < v < 60001, "6~60000"
    Range2210,     // 20 <= v <= 200, "20~200"
};

// Rules that look at the value itself or at other parameters of the drive.
enum class CrossRule : std::uint8_t {
    None,
    CurveSelect,      // 01-00: 0x0..0xF and 0xFF; the rest is reserved
    PidTarget,        // 10-00: source clash with 10-01; 0 needs 23-00 = 1
    PidFeedback,      // 10-01: source clash with 10-00
    Needs1101Zero,    // 11-30..11-32
    RestoreCommand,   // 13-08: 1 and 0 are refused
    EvenOnly,         // 22-03
    PmCurrentLoop,    // 22-26: needs 07-32 not 1/2, 11-02 not 2, 22-25 not 0
    Needs2379Zero,    // 23-72
    Needs2372Zero,    // 23-79
    DriveResolution,  // 10-22: range follows the drive's own 01-02
};

struct RuleEntry {
    std::uint8_t forbiddenModes = 0;  // bit m set: refused while 00-00 = m
    FirmwareGate gate;
    bool gateFirst = false;      // the gate is judged before the mode rule
    bool frameReserved = false;  // absent on frame-1 drives
    bool noAi2OnFrame1 = false;  // value 2 (AI2) absent on frame-1 drives
    bool readOnly = false;
    // A read-only row on a page of writable rows: refused only once the drive's state (running,
    // lock) has been checked, like the rows beside it. Other read-only rows are refused first.
    bool readOnlyAfterState = false;
    VersionRange versionRange = VersionRange::None;
    CrossRule cross = CrossRule::None;

    bool modeForbidden(int mode) const {
        return mode >= 0 && mode < kControlModeCount && (forbiddenModes >> mode) & 1u;
    }
};

// What the rules know of the drive being written; read from it just before the write.
struct DriveFacts {
    int controlMode = -1;         // 00-00; -1 when not read
    float driveVersion = 0;       // 13-01 as a version number
    std::uint32_t modelCode = 0;  // 0x35000 + 13-00; 0 when not read

    bool largeFrame() const { return drive::IsLargeFrame(modelCode); }
};

// The outcome of a check: allowed, refused with a text for the user, or stopped by a failed read
// (the text is then the failure's own words).
struct Verdict {
    enum class Kind { Allowed, Refused, ReadFailed };
    Kind kind = Kind::Allowed;
    std::string text;

    bool allowed() const { return kind == Kind::Allowed; }
    static Verdict allow() { return {}; }
    static Verdict refuse(std::string t) { return {Kind::Refused, std::move(t)}; }
    static Verdict readFailed(std::string t) { return {Kind::ReadFailed, std::move(t)}; }
};

// A read of one register of the drive being judged: the value, or nullopt after `failureText`
// has been set to the words of the failure.
using RegisterLookup = std::function<std::optional<std::uint16_t>(std::uint16_t reg)>;

// The drive as the single-write check sequence sees it: one-register reads of its state.
class DriveAccess {
public:
    virtual ~DriveAccess() = default;
    // One function-03 read; false after setting failureText to the failure's words.
    virtual bool readRegister(std::uint16_t reg, std::uint16_t& value,
                              std::string& failureText) = 0;
    // The model check (0x252F); false after setting failureText to its stored error text.
    virtual bool checkModel(std::string& failureText) {
        std::uint16_t v = 0;
        return readRegister(0x252F, v, failureText);
    }
};

class WriteRules {
public:
    // The rule entry of a parameter; every parameter has one (most are empty).
    static const RuleEntry& entry(int group, int index);
    static bool isReadOnly(int group, int index) { return entry(group, index).readOnly; }

    // The row's own rules, in the drive's order: forbidden control mode, firmware gate, frame
    // rule, rules between parameters, value rules, range. `value` is the engineering value (the
    // option value for option rows); `valueText` is the text as it will be written.
    // `lookup` reads the drive's other parameters where a rule needs them; when it fails the
    // verdict is ReadFailed with an empty text (the lookup's owner has the failure's words).
    static Verdict judgeOwnRules(const ParamRow& row, double value, const std::string& valueText,
                                 const DriveFacts& facts, const DisplaySettings& settings,
                                 const RegisterLookup& lookup);

    // The rules a whole-group write applies without reading anything more from the drive:
    // read-only rows, control mode, firmware gate, frame rules and value rules. A refused
    // parameter is left out of the group write.
    static Verdict judgeForGroupWrite(const ParamRow& row, double value, const DriveFacts& facts);

    // A raw register value arriving at a drive: the same judgement as judgeOwnRules (without the
    // read-only row rule, which the caller decides), on the value the register stands for.
    static Verdict judgeRegisterWrite(const ParamRow& row, std::uint16_t raw,
                                      const DriveFacts& facts, const DisplaySettings& settings,
                                      const RegisterLookup& lookup);

    // The whole sequence of a single write: read-only row (identification, monitor and fault
    // pages), running, lock (13-06 itself is exempt), read-only row (a lone one on an ordinary
    // page), control mode, model check, firmware version (not on the pages of groups 05, 14 and
    // 15, which keep the version in `facts`) and model code, then the row's own rules. `facts`
    // receives what was read. Nothing is written.
    static Verdict checkSingleWrite(DriveAccess& drive, const ParamRow& row,
                                    const std::string& valueText, const DisplaySettings& settings,
                                    DriveFacts& facts);

    // The range check with the drive's tolerance: lower - 1e-6 < v < upper + 1e-6 for decimal
    // rows, lower <= v <= upper for integer rows.
    static bool inRange(double value, double lower, double upper, int decimals);
};

}  // namespace pv::editing
