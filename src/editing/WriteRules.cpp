#include "editing/WriteRules.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "res/EditingTexts.h"
#include "drive/Version.h"

namespace pv::editing {

namespace {

// Codes are written "GG-NN" in the tables below so that they read like the drive's manual.
struct CodeRange {
    const char* first;
    const char* last;
};

constexpr int codeGroup(const char* c) {
    return (c[0] - '0') * 10 + (c[1] - '0');
}
constexpr int codeIndex(const char* c) {
    return (c[3] - '0') * 10 + (c[4] - '0');
}

// Control modes in which the drive does not use a parameter (digits = 00-00 values).
struct ModeRow {
    const char* first;
    const char* last;
    const char* modes;
};

constexpr ModeRow kModeRows[] = {
    {"00-29", "00-29", "01256"},  {"01-02", "01-02", "45"},     {"01-03", "01-07", "2345"},
    {"01-09", "01-10", "2345"},   {"01-13", "01-13", "2345"},   {"01-15", "01-15", "2345"},
    {"01-16", "01-16", "34"},     {"01-17", "01-20", "12345"},  {"01-22", "01-23", "12345"},
    {"01-24", "01-24", "1234"},   {"01-25", "01-26", "12345"},  {"02-01", "02-01", "45"},
    {"02-03", "02-07", "45"},     {"02-09", "02-11", "01456"},  {"02-13", "02-13", "2345"},
    {"02-15", "02-15", "45"},     {"02-16", "02-19", "0145"},   {"02-20", "02-22", "123456"},
    {"02-24", "02-26", "123456"}, {"02-32", "02-32", "123456"}, {"02-33", "02-34", "01456"},
    {"02-37", "02-37", "01256"},  {"03-41", "03-42", "0156"},   {"06-01", "06-09", "345"},
    {"06-11", "06-19", "345"},    {"06-21", "06-29", "345"},    {"06-31", "06-39", "345"},
    {"06-41", "06-47", "345"},    {"07-07", "07-07", "34"},     {"07-15", "07-15", "013456"},
    {"07-18", "07-18", "4"},      {"07-19", "07-21", "1345"},   {"07-22", "07-22", "5"},
    {"07-23", "07-23", "345"},    {"07-26", "07-27", "013456"}, {"07-28", "07-28", "1345"},
    {"07-29", "07-29", "23456"},  {"07-31", "07-31", "01256"},  {"07-32", "07-32", "46"},
    {"07-33", "07-33", "456"},    {"07-34", "07-34", "012346"}, {"07-36", "07-36", "012346"},
    {"07-42", "07-42", "01456"},  {"07-43", "07-44", "012346"}, {"07-46", "07-46", "123456"},
    {"07-47", "07-47", "012346"}, {"08-01", "08-01", "34"},     {"08-02", "08-02", "4"},
    {"08-03", "08-03", "2345"},   {"08-21", "08-22", "34"},     {"08-40", "08-40", "234"},
    {"11-03", "11-03", "2345"},   {"11-12", "11-12", "23456"},  {"11-18", "11-18", "23456"},
    {"11-19", "11-23", "123456"}, {"11-26", "11-27", "012346"}, {"11-28", "11-28", "23456"},
    {"11-29", "11-29", "12345"},  {"11-30", "11-32", "2345"},   {"11-33", "11-34", "23456"},
    {"11-36", "11-40", "23456"},  {"11-47", "11-48", "2345"},   {"11-49", "11-50", "01256"},
    {"11-51", "11-51", "12345"},  {"11-52", "11-53", "016"},    {"11-59", "11-62", "2345"},
    {"11-63", "11-63", "0145"},   {"11-64", "11-65", "12345"},  {"11-67", "11-68", "016"},
    {"11-69", "11-71", "23456"},  {"11-73", "11-73", "23456"},  {"11-76", "11-76", "23456"},
    {"11-77", "11-77", "016"},    {"11-81", "11-82", "45"},     {"17-01", "17-08", "45"},
    {"17-09", "17-09", "01456"},  {"17-12", "17-13", "01456"},  {"17-14", "17-14", "45"},
    {"18-01", "18-01", "13456"},  {"18-02", "18-04", "123456"}, {"18-05", "18-06", "013456"},
    {"19-01", "19-07", "2345"},   {"20-01", "20-03", "06"},     {"20-04", "20-04", "016"},
    {"20-05", "20-06", "023456"}, {"20-07", "20-07", "056"},    {"20-08", "20-08", "16"},
    {"20-09", "20-09", "013456"}, {"20-11", "20-14", "013456"}, {"20-15", "20-15", "0"},
    {"20-16", "20-16", "01"},     {"20-17", "20-18", "013456"}, {"20-19", "20-19", "0256"},
    {"20-21", "20-26", "0256"},   {"20-27", "20-28", "256"},    {"20-29", "20-29", "0256"},
    {"20-31", "20-31", "02456"},  {"20-32", "20-32", "01256"},  {"20-33", "20-33", "06"},
    {"20-34", "20-35", "0156"},   {"20-43", "20-43", "2456"},   {"20-44", "20-44", "12456"},
    {"21-01", "21-04", "01256"},  {"21-05", "21-08", "016"},    {"21-09", "21-09", "01256"},
    {"21-11", "21-19", "01256"},  {"21-21", "21-29", "01256"},  {"21-31", "21-39", "01256"},
    {"21-41", "21-41", "01256"},  {"21-42", "21-42", "012"},    {"21-43", "21-43", "01256"},
    {"22-01", "22-06", "01236"},  {"22-07", "22-07", "012346"}, {"22-08", "22-08", "012356"},
    {"22-10", "22-10", "012346"}, {"22-14", "22-18", "01236"},  {"22-21", "22-21", "01236"},
    {"22-25", "22-25", "01236"},  {"22-26", "22-26", "012346"}, {"22-27", "22-29", "01236"},
    {"22-30", "22-31", "012346"}, {"22-32", "22-33", "01236"},  {"22-34", "22-34", "012346"},
    {"22-36", "22-36", "01236"},  {"22-38", "22-45", "012346"}, {"22-52", "22-52", "012346"},
    {"22-54", "22-54", "012346"}, {"22-55", "22-56", "01236"},  {"23-01", "23-09", "6"},
    {"23-11", "23-19", "6"},      {"23-22", "23-30", "6"},      {"23-34", "23-39", "6"},
    {"23-66", "23-67", "6"},      {"23-69", "23-75", "6"},      {"23-78", "23-79", "6"},
};

struct GateRow {
    const char* first;
    const char* last;
    float frame1;
    float other;
};

constexpr float kNever = FirmwareGate::kNever;
constexpr GateRow kGateRows[] = {
    {"00-34", "00-34", 1.03f, 1.06f},
    {"00-63", "00-63", 1.03f, 1.06f},
    {"03-57", "03-57", 1.03f, 1.06f},
    {"09-13", "09-14", 1.03f, 1.06f},
    {"10-22", "10-22", 1.03f, 1.06f},
    {"03-58", "03-59", 1.06f, 1.11f},
    {"04-24", "04-27", 1.04f, 1.09f},
    {"08-61", "08-61", 1.02f, 1.04f},
    {"22-52", "22-52", 1.02f, 1.04f},
    {"22-54", "22-56", 1.02f, 1.04f},
    {"09-15", "09-15", kNever, 1.11f},
    // Parameters no released firmware carries.
    {"04-21", "04-21", kNever, kNever},
    {"04-23", "04-23", kNever, kNever},
    {"07-24", "07-24", kNever, kNever},
    {"23-41", "23-41", kNever, kNever},
};

// Rows no write may change: identification, monitor values, fault records and the password
// (which has its own commands).
constexpr CodeRange kReadOnlyRows[] = {
    {"00-08", "00-08"}, {"08-60", "08-60"}, {"09-01", "09-05"}, {"12-05", "12-05"},
    {"12-11", "12-99"}, {"13-00", "13-01"}, {"13-03", "13-04"}, {"13-07", "13-07"},
    {"13-10", "13-99"}, {"14-00", "14-99"}, {"15-00", "15-99"}, {"17-11", "17-11"},
    {"22-20", "22-20"}, {"22-22", "22-22"},
};

// The read-only rows among writable ones; their pages check the drive before refusing them.
constexpr CodeRange kReadOnlyAfterStateRows[] = {
    {"08-60", "08-60"}, {"09-01", "09-05"}, {"17-11", "17-11"},
    {"22-20", "22-20"}, {"22-22", "22-22"},
};

constexpr CodeRange kFrameReservedRows[] = {
    {"03-06", "03-06"}, {"03-29", "03-29"}, {"04-05", "04-08"}};

struct VersionRangeRow {
    const char* code;
    VersionRange range;
};
constexpr VersionRangeRow kVersionRangeRows[] = {
    {"01-04", VersionRange::Frequency599}, {"01-06", VersionRange::Frequency599},
    {"01-08", VersionRange::Frequency599}, {"01-18", VersionRange::Frequency599},
    {"01-20", VersionRange::Frequency599}, {"01-22", VersionRange::Frequency599},
    {"07-32", VersionRange::Option0732},   {"11-49", VersionRange::Range1149},
    {"22-04", VersionRange::Range2204},    {"22-05", VersionRange::Range2204},
    {"22-10", VersionRange::Range2210},
};

struct CrossRow {
    const char* first;
    const char* last;
    CrossRule rule;
};
constexpr CrossRow kCrossRows[] = {
    {"01-00", "01-00", CrossRule::CurveSelect},    {"10-00", "10-00", CrossRule::PidTarget},
    {"10-01", "10-01", CrossRule::PidFeedback},    {"11-30", "11-32", CrossRule::Needs1101Zero},
    {"13-08", "13-08", CrossRule::RestoreCommand}, {"22-03", "22-03", CrossRule::EvenOnly},
    {"22-26", "22-26", CrossRule::PmCurrentLoop},  {"23-72", "23-72", CrossRule::Needs2379Zero},
    {"23-79", "23-79", CrossRule::Needs2372Zero},  {"10-22", "10-22", CrossRule::DriveResolution},
};

using Table = std::array<std::array<RuleEntry, 100>, kRuleGroups>;

template <typename F>
void forRange(Table& t, const char* first, const char* last, F f) {
    const int g = codeGroup(first);
    for (int i = codeIndex(first); i <= codeIndex(last); ++i) f(t[g][i]);
}

Table buildTable() {
    Table t{};
    for (const auto& r : kModeRows) {
        std::uint8_t mask = 0;
        for (const char* m = r.modes; *m; ++m) mask |= static_cast<std::uint8_t>(1u << (*m - '0'));
        forRange(t, r.first, r.last, [&](RuleEntry& e) { e.forbiddenModes = mask; });
    }
    for (const auto& r : kGateRows)
        forRange(t, r.first, r.last, [&](RuleEntry& e) { e.gate = {r.frame1, r.other}; });
    // On the drive's newest PM pages the firmware decides first whether a row exists at all.
    forRange(t, "22-37", "22-56", [](RuleEntry& e) { e.gateFirst = true; });
    for (const auto& r : kReadOnlyRows)
        forRange(t, r.first, r.last, [](RuleEntry& e) { e.readOnly = true; });
    for (const auto& r : kReadOnlyAfterStateRows)
        forRange(t, r.first, r.last, [](RuleEntry& e) { e.readOnlyAfterState = true; });
    for (const auto& r : kFrameReservedRows)
        forRange(t, r.first, r.last, [](RuleEntry& e) { e.frameReserved = true; });
    forRange(t, "10-00", "10-01", [](RuleEntry& e) { e.noAi2OnFrame1 = true; });
    for (const auto& r : kVersionRangeRows)
        forRange(t, r.code, r.code, [&](RuleEntry& e) { e.versionRange = r.range; });
    for (const auto& r : kCrossRows)
        forRange(t, r.first, r.last, [&](RuleEntry& e) { e.cross = r.rule; });
    return t;
}

const Table& table() {
    static const Table t = buildTable();
    return t;
}

std::string fmt(const char* pattern, const std::string& a, const std::string& b) {
    char buf[256];
    std::snprintf(buf, sizeof buf, pattern, a.c_str(), b.c_str());
    return buf;
}

// Version comparisons tolerate the float rounding of values such as 1.03.
bool versionAtLeast(float version, float minimum) {
    return minimum < FirmwareGate::kNever && version + 0.0005f >= minimum;
}

Verdict checkMode(const RuleEntry& e, const DriveFacts& f) {
    if (e.modeForbidden(f.controlMode)) return Verdict::refuse(res::kModeRefusal[f.controlMode]);
    return Verdict::allow();
}

Verdict checkGate(const RuleEntry& e, const DriveFacts& f) {
    if (!e.gate.active()) return Verdict::allow();
    const float minimum = f.largeFrame() ? e.gate.other : e.gate.frame1;
    if (!versionAtLeast(f.driveVersion, minimum)) return Verdict::refuse(res::kVersionRetained);
    return Verdict::allow();
}

Verdict checkFrame(const RuleEntry& e, const DriveFacts& f, double value) {
    if (e.frameReserved && !f.largeFrame()) return Verdict::refuse(res::kFrameReserved);
    if (e.noAi2OnFrame1 && !f.largeFrame() && std::lround(value) == 2)
        return Verdict::refuse(res::kFrame1NoAi2);
    return Verdict::allow();
}

// The rules judged on the value alone.
Verdict checkValueRules(const RuleEntry& e, double value, const std::string& valueText) {
    const long v = std::lround(value);
    switch (e.cross) {
        case CrossRule::CurveSelect:
            if (v >= 0x10 && v <= 0xFE) {
                char buf[128];
                std::snprintf(buf, sizeof buf, res::kCurveReserved, static_cast<unsigned>(v));
                return Verdict::refuse(buf);
            }
            break;
        case CrossRule::RestoreCommand:
            if (v == 1) {
                char buf[128];
                std::snprintf(buf, sizeof buf, res::kValueRetained, "13-08", 1);
                return Verdict::refuse(buf);
            }
            if (v == 0) return Verdict::refuse(fmt(res::kValueNotWritten, "13-08", valueText));
            break;
        case CrossRule::EvenOnly:
            if (v % 2 != 0) return Verdict::refuse(res::kMustBeEven);
            break;
        default:
            break;
    }
    return Verdict::allow();
}

// Reads another parameter of the drive for a rule. A failed read ends the check; the words of
// the failure stay with the lookup's owner.
struct CrossReads {
    const RegisterLookup& lookup;
    std::optional<std::uint16_t> read(int group, int index) const {
        return lookup(static_cast<std::uint16_t>(group * 256 + index));
    }
};

Verdict checkCrossRules(const RuleEntry& e, double value, const RegisterLookup& lookup) {
    const std::string failureText;
    const long v = std::lround(value);
    const CrossReads drive{lookup};
    switch (e.cross) {
        case CrossRule::PidTarget:
        case CrossRule::PidFeedback: {
            const bool target = e.cross == CrossRule::PidTarget;
            const auto other = drive.read(10, target ? 1 : 0);
            if (!other) return Verdict::readFailed(failureText);
            if ((v == 1 || v == 2) && v == static_cast<long>(*other)) {
                char buf[256];
                std::snprintf(buf, sizeof buf, res::kPidSourceClash, "10-00", "10-01", "Ai1",
                              "Ai2");
                return Verdict::refuse(buf);
            }
            if (target && v == 0) {
                const auto s2300 = drive.read(23, 0);
                if (!s2300) return Verdict::readFailed(failureText);
                if (*s2300 != 1) return Verdict::refuse(res::kPidTargetNeeds2300);
            }
            break;
        }
        case CrossRule::Needs1101Zero: {
            const auto s1101 = drive.read(11, 1);
            if (!s1101) return Verdict::readFailed(failureText);
            if (*s1101 != 0) return Verdict::refuse(res::kNeeds1101Zero);
            break;
        }
        case CrossRule::PmCurrentLoop: {
            const auto s0732 = drive.read(7, 32);
            if (!s0732) return Verdict::readFailed(failureText);
            const auto s1102 = drive.read(11, 2);
            if (!s1102) return Verdict::readFailed(failureText);
            const auto s2225 = drive.read(22, 25);
            if (!s2225) return Verdict::readFailed(failureText);
            if (*s0732 == 1 || *s0732 == 2 || *s1102 == 2 || *s2225 == 0)
                return Verdict::refuse(res::kPm2226Refused);
            break;
        }
        case CrossRule::Needs2379Zero:
        case CrossRule::Needs2372Zero: {
            const bool is2372 = e.cross == CrossRule::Needs2379Zero;
            const auto other = drive.read(23, is2372 ? 79 : 72);
            if (!other) return Verdict::readFailed(failureText);
            if (*other != 0)
                return Verdict::refuse(fmt(res::kNeedsOtherValue, is2372 ? "23-79" : "23-72", "0"));
            break;
        }
        default:
            break;
    }
    return Verdict::allow();
}

Verdict versionRangeVerdict(const ParamRow& row, const char* rangeText) {
    return Verdict::refuse(fmt(res::kVersionRange, row.code(), rangeText));
}

Verdict checkRange(const ParamRow& row, const RuleEntry& e, double value, const DriveFacts& f,
                   const DisplaySettings& settings, const RegisterLookup& lookup) {
    switch (e.versionRange) {
        case VersionRange::Frequency599:
            if (!(value > -1e-6 && value < 599.000001))
                return versionRangeVerdict(row, "0.0~599.0");
            return Verdict::allow();
        case VersionRange::Option0732:
            if (value > 1.5 && !versionAtLeast(f.driveVersion, 1.16f))
                return versionRangeVerdict(row, "0~1");
            break;  // the option list bounds still apply
        case VersionRange::Range1149:
            if (!(value > 0.009999 && value < 5.000001))
                return versionRangeVerdict(row, "0.01~5.00");
            return Verdict::allow();
        case VersionRange::Range2204:
            if (!(value > 5 && value < 60001)) return versionRangeVerdict(row, "6~60000");
            return Verdict::allow();
        case VersionRange::Range2210:
            if (!(value >= 20 && value <= 200)) return versionRangeVerdict(row, "20~200");
            return Verdict::allow();
        case VersionRange::None:
            break;
    }
    if (e.cross == CrossRule::DriveResolution) {
        // 10-22 follows the resolution of the drive it goes to, not the project's.
        const auto s0102 = lookup(0x0102);
        if (!s0102) return Verdict::readFailed({});
        const double upper = *s0102 > 3000 ? 599.000001 : 300.000001;
        if (!(value > -1e-6 && value < upper)) return Verdict::refuse(res::kBeyondRangeDialog);
        return Verdict::allow();
    }
    if (row.kind == RowKind::Code) return Verdict::allow();  // a code, not a quantity
    if (row.kind == RowKind::Date) {
        const auto raw = static_cast<std::int32_t>(std::lround(value));
        if (!rawInRange(row.valueKind, row.attr, raw, settings))
            return Verdict::refuse(res::kBeyondRangeDialog);
        return Verdict::allow();
    }
    if (!WriteRules::inRange(value, row.minFor(settings), row.maxFor(settings),
                             row.kind == RowKind::Decimal ? row.decimalsFor(settings) : 0))
        return Verdict::refuse(res::kBeyondRangeDialog);
    return Verdict::allow();
}

}  // namespace

const RuleEntry& WriteRules::entry(int group, int index) {
    static const RuleEntry none{};
    if (group < 0 || group >= kRuleGroups || index < 0 || index >= 100) return none;
    return table()[group][index];
}

bool WriteRules::inRange(double value, double lower, double upper, int decimals) {
    if (decimals <= 0) {
        const long long v = std::llround(value);
        return v >= std::llround(lower) && v <= std::llround(upper);
    }
    return value > lower - 0.000001 && value < upper + 0.000001;
}

Verdict WriteRules::judgeOwnRules(const ParamRow& row, double value, const std::string& valueText,
                                  const DriveFacts& facts, const DisplaySettings& settings,
                                  const RegisterLookup& lookup) {
    const RuleEntry& e = entry(row.group, row.index);
    Verdict v;
    if (e.gateFirst) {
        if (v = checkGate(e, facts); !v.allowed()) return v;
        if (v = checkMode(e, facts); !v.allowed()) return v;
    } else {
        if (v = checkMode(e, facts); !v.allowed()) return v;
        if (v = checkGate(e, facts); !v.allowed()) return v;
    }
    if (v = checkFrame(e, facts, value); !v.allowed()) return v;
    if (v = checkCrossRules(e, value, lookup); !v.allowed()) return v;
    if (v = checkValueRules(e, value, valueText); !v.allowed()) return v;
    return checkRange(row, e, value, facts, settings, lookup);
}

Verdict WriteRules::judgeForGroupWrite(const ParamRow& row, double value, const DriveFacts& facts) {
    const RuleEntry& e = entry(row.group, row.index);
    if (e.readOnly || row.readOnly()) return Verdict::refuse(res::kReadOnly);
    Verdict v;
    if (v = checkMode(e, facts); !v.allowed()) return v;
    if (v = checkGate(e, facts); !v.allowed()) return v;
    if (v = checkFrame(e, facts, value); !v.allowed()) return v;
    return checkValueRules(e, value,
                           row.kind == RowKind::Hex ? "" : std::to_string(std::lround(value)));
}

Verdict WriteRules::judgeRegisterWrite(const ParamRow& row, std::uint16_t raw,
                                       const DriveFacts& facts, const DisplaySettings& settings,
                                       const RegisterLookup& lookup) {
    return judgeOwnRules(row, row.valueOfRaw(raw, settings), row.formatRaw(raw, settings), facts,
                         settings, lookup);
}

Verdict WriteRules::checkSingleWrite(DriveAccess& drive, const ParamRow& row,
                                     const std::string& valueText, const DisplaySettings& settings,
                                     DriveFacts& facts) {
    const RuleEntry& e = entry(row.group, row.index);
    const bool readOnly = e.readOnly || row.readOnly();
    if (readOnly && !e.readOnlyAfterState) return Verdict::refuse(res::kReadOnly);

    std::string failure;
    std::uint16_t reg = 0;
    if (!drive.readRegister(0x2520, reg, failure)) return Verdict::readFailed(failure);
    if (reg & 1u) return Verdict::refuse(res::kRunning);

    // The lock row itself is exempt so that the lock can always be lifted.
    if (!(row.group == 13 && row.index == 6)) {
        if (!drive.readRegister(0x0D06, reg, failure)) return Verdict::readFailed(failure);
        if (reg == 0) return Verdict::refuse(res::kLocked);
    }
    if (readOnly) return Verdict::refuse(res::kReadOnly);

    if (e.forbiddenModes != 0 || e.cross == CrossRule::PmCurrentLoop) {
        if (!drive.readRegister(0x0000, reg, failure)) return Verdict::readFailed(failure);
        facts.controlMode = reg;
    }

    if (!drive.checkModel(failure)) return Verdict::readFailed(failure);

    // The pages of groups 05, 14 and 15 have no firmware-dependent rows and keep the version
    // read last time.
    if (row.group != 5 && row.group != 14 && row.group != 15) {
        if (!drive.readRegister(0x0D01, reg, failure)) return Verdict::readFailed(failure);
        facts.driveVersion = static_cast<float>(drive::VersionValue(reg));
    }
    if (!drive.readRegister(0x0D00, reg, failure)) return Verdict::readFailed(failure);
    facts.modelCode = drive::ModelCodeOfCapacity(reg);

    std::uint16_t raw = 0;
    double value = 0;
    if (!row.parseText(valueText, settings, raw, value))
        return Verdict::refuse(res::kBeyondRangeDialog);

    std::string crossFailure;
    RegisterLookup lookup = [&](std::uint16_t r) -> std::optional<std::uint16_t> {
        std::uint16_t v = 0;
        if (!drive.readRegister(r, v, crossFailure)) return std::nullopt;
        return v;
    };
    // The rules see the value as it will be written: the typed text formatted again in the
    // row's own format ("00" is written, and named in a refusal, as "0").
    Verdict v = judgeOwnRules(row, value, row.formatRaw(raw, settings), facts, settings, lookup);
    if (v.kind == Verdict::Kind::ReadFailed) v.text = crossFailure;
    return v;
}

}  // namespace pv::editing
