// How a parameter's value kind and attribute integers turn into decimals, bounds and texts.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "project/ParamAttr.h"

namespace pv {
namespace {

ParamAttrs attrs(int32_t min, int32_t max, int32_t flags = 0, int32_t narrowMax = -1,
                 int32_t wideVersion = 0) {
    return {min, max, flags, 0, 0, 0, 0, 0, narrowMax < 0 ? max : narrowMax, wideVersion};
}

constexpr int32_t kInt = static_cast<int32_t>(ValueKind::Integer);
constexpr int32_t kOne = static_cast<int32_t>(ValueKind::OneDecimal);
constexpr int32_t kTwo = static_cast<int32_t>(ValueKind::TwoDecimals);
constexpr int32_t kThree = static_cast<int32_t>(ValueKind::ThreeDecimals);
constexpr int32_t kFour = static_cast<int32_t>(ValueKind::FourDecimals);
constexpr int32_t kHex = static_cast<int32_t>(ValueKind::Hex);
constexpr int32_t kOpt = static_cast<int32_t>(ValueKind::Options);
constexpr int32_t kDate = static_cast<int32_t>(ValueKind::Date);
constexpr int32_t kCode = static_cast<int32_t>(ValueKind::ParamCodeRef);

TEST(ParamAttr, DecimalsAndBoundsFollowTheDriveSettings) {
    const ParamAttrs freq = attrs(10, 30000, FlagFrequency);
    const ParamAttrs limit = attrs(1, 1090, FlagLimitUnit);
    const ParamAttrs plain = attrs(1, 60000);
    struct Case {
        const char* what;
        int32_t kind;
        ParamAttrs a;
        ParamDisplaySettings s;
        int decimals;
        int32_t min;
        int32_t max;
        const char* label;
    };
    const Case cases[] = {
        {"frequency, normal", kTwo, freq, {false, false}, 2, 10, 30000, "0.10~300.00"},
        {"frequency, high", kTwo, freq, {true, false}, 1, 1, 5990, "0.1~599.0"},
        {"limit in percent", kOne, limit, {true, false}, 1, 1, 1090, "0.1~109.0"},
        {"limit in hertz", kOne, limit, {false, true}, 2, 10, 30000, "0.10~300.00"},
        {"limit in hertz, high", kOne, limit, {true, true}, 1, 1, 5990, "0.1~599.0"},
        {"three decimals ignore the mode", kThree, plain, {true, true}, 3, 1, 60000, "aux"},
        {"four decimals", kFour, attrs(1, 30000), {}, 4, 1, 30000, "aux"},
        {"integer", kInt, plain, {}, 0, 1, 60000, "aux"},
        {"hex", kHex, attrs(0, 0x7F), {}, 0, 0, 0x7F, "aux"},
        {"options", kOpt, attrs(1, 3), {}, 0, 1, 3, "aux"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decimals(c.kind, c.a, c.s), c.decimals);
        EXPECT_EQ(minRaw(c.a, c.s), c.min);
        EXPECT_EQ(maxRaw(c.a, c.s), c.max);
        EXPECT_EQ(rangeLabel(c.kind, c.a, "aux", c.s), c.label);
    }
    // A frequency row narrower than the maximum frequency keeps its own top.
    EXPECT_EQ(maxRaw(attrs(0, 2000, FlagFrequency), {true, false}), 200);
}

TEST(ParamAttr, ValueSetsWithGapsParityDatesAndCodes) {
    const ParamAttrs vf = attrs(0, 0xFF, FlagLoneMax, 0xF);
    const ParamAttrs poles = attrs(2, 96, FlagEven);
    const ParamAttrs date = attrs(101, 1231);
    const ParamAttrs code = attrs(1, 23 * 256 + 79);
    struct Case {
        int32_t kind;
        ParamAttrs a;
        int32_t raw;
        bool ok;
    };
    const Case cases[] = {
        {kHex, vf, 0x0, true},        {kHex, vf, 0xF, true},       {kHex, vf, 0x10, false},
        {kHex, vf, 0xFE, false},      {kHex, vf, 0xFF, true},      {kHex, vf, 0x100, false},
        {kInt, poles, 2, true},       {kInt, poles, 7, false},     {kInt, poles, 96, true},
        {kInt, poles, 98, false},     {kInt, poles, 0, false},     {kDate, date, 229, true},
        {kDate, date, 230, false},    {kDate, date, 431, false},   {kDate, date, 1231, true},
        {kDate, date, 1301, false},   {kDate, date, 100, false},   {kCode, code, 0x0163, true},
        {kCode, code, 0x0164, false}, {kCode, code, 0x174F, true}, {kCode, code, 0x1750, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rawInRange(c.kind, c.a, c.raw), c.ok) << c.kind << " " << c.raw;
}

TEST(ParamAttr, FirmwareGatesAndVersionRanges) {
    ParamAttrs gated = attrs(0, 1);
    gated[AttrMinVersionFrame1] = 103;
    gated[AttrMinVersionOther] = 106;
    EXPECT_TRUE(versionAllows(gated, false, 1.05f));
    EXPECT_FALSE(versionAllows(gated, true, 1.05f));
    EXPECT_TRUE(versionAllows(gated, true, 1.06f));
    EXPECT_TRUE(versionAllows(gated, false, 1.3f));
    ParamAttrs never = gated;
    never[AttrMinVersionFrame1] = kNeverWritable;
    EXPECT_FALSE(versionAllows(never, false, 9.9f));
    EXPECT_TRUE(versionAllows(attrs(0, 1), true, 0.1f));

    const ParamAttrs search = attrs(0, 3, FlagVersionRange, 1, 116);
    EXPECT_EQ(maxRawForVersion(search, 1.15f), 1);
    EXPECT_EQ(maxRawForVersion(search, 1.16f), 3);
    EXPECT_EQ(maxRawForVersion(attrs(0, 3), 1.0f), 3);

    ParamAttrs modes = attrs(0, 1);
    modes[AttrForbiddenModes] = (1 << 0) | (1 << 6);
    EXPECT_TRUE(forbiddenInMode(modes, 0));
    EXPECT_FALSE(forbiddenInMode(modes, 3));
    EXPECT_TRUE(forbiddenInMode(modes, 6));
    EXPECT_FALSE(forbiddenInMode(modes, -1));
}

TEST(ParamAttr, TextAndRawValuesConvertByKind) {
    const ParamAttrs freq = attrs(0, 30000, FlagFrequency);
    struct Case {
        int32_t kind;
        ParamAttrs a;
        ParamDisplaySettings s;
        const char* text;
        std::optional<int32_t> raw;  // nullopt: the text is refused
        const char* formatted;       // text of that raw value
    };
    const Case cases[] = {
        {kTwo, attrs(0, 30000), {}, "12.34", 1234, "12.34"},
        {kFour, attrs(1, 30000), {}, "3.0000", 30000, "3.0000"},
        {kFour, attrs(1, 30000), {}, "0.0001", 1, "0.0001"},
        {kThree, attrs(0, 60000), {}, "0.051", 51, "0.051"},
        {kThree, attrs(0, 60000), {}, "10.000", 10000, "10.000"},
        {kTwo, freq, {true, false}, "599.0", 5990, "599.0"},
        {kTwo, freq, {false, false}, "50.00", 5000, "50.00"},
        {kOne, attrs(-1000, 1000, FlagSigned), {}, "-12.5", -125, "-12.5"},
        {kOne, attrs(0, 1000), {}, " 7.0 ", 70, "7.0"},
        {kInt, attrs(-9999, 9999, FlagSigned), {}, "-42", -42, "-42"},
        {kHex, attrs(0, 0xFF), {}, "FF", 255, "FF"},
        {kHex, attrs(0, 0xFF), {}, "f", 15, "F"},
        {kDate, attrs(101, 1231), {}, "02/29", 229, "02/29"},
        {kCode, attrs(1, 5967), {}, "13-06", 13 * 256 + 6, "13-06"},
        {kOpt, attrs(1, 3), {}, "2", 2, "2"},
        {kTwo, attrs(0, 30000), {}, "12a", std::nullopt, ""},
        {kTwo, attrs(0, 30000), {}, "", std::nullopt, ""},
        {kInt, attrs(0, 9), {}, "1.2", std::nullopt, ""},
        {kDate, attrs(101, 1231), {}, "0229", std::nullopt, ""},
        {kCode, attrs(1, 5967), {}, "13.06", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t raw = -99999;
        const bool ok = parseValueText(c.kind, c.a, c.text, raw, c.s);
        ASSERT_EQ(ok, c.raw.has_value());
        if (!ok) continue;
        EXPECT_EQ(raw, *c.raw);
        EXPECT_EQ(formatRaw(c.kind, c.a, raw, c.s), c.formatted);
    }
}

TEST(ParamAttr, RegistersOfSignedParametersAreTwosComplement) {
    EXPECT_EQ(rawFromRegister(attrs(-1000, 1000, FlagSigned), 0xFF85), -123);
    EXPECT_EQ(rawFromRegister(attrs(0, 65535), 0xFF85), 65413);
}

TEST(ParamAttr, TransferFlags) {
    EXPECT_TRUE(writtenByTransfer(attrs(0, 1)));
    EXPECT_FALSE(writtenByTransfer(attrs(0, 1, FlagReadOnly)));
    EXPECT_FALSE(writtenByTransfer(attrs(0, 1, FlagNotWritten)));
    EXPECT_TRUE(readByTransfer(attrs(0, 1, FlagReadOnly)));
    EXPECT_FALSE(readByTransfer(attrs(0, 1, FlagNotRead)));
}

}  // namespace
}  // namespace pv
