// Row specs of the shipped parameter database: register values to text and back by each
// parameter's display format, and the rule table against the attributes the data carries.
#include "editing/ParamRow.h"

#include <gtest/gtest.h>

#include "editing/WriteRules.h"
#include "project/CM240Doc.h"

namespace pv::editing {
namespace {

class ParamRowTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.OnNewDocument();
        ASSERT_GE(doc.table.groups.size(), 24u) << "data files missing";
    }
    ParamRow row(int g, int i) { return ParamRow::fromRecord(g, i, *doc.table.record(g, i)); }
    CM240Doc doc{std::string(PARVOLT_DATA_DIR) + "/"};
};

TEST_F(ParamRowTest, FormatsBothWays) {
    const DisplaySettings low{false, false}, high{true, false}, hertz{false, true};
    struct Case {
        int group, index;
        DisplaySettings settings;
        std::uint16_t raw;
        const char* text;
    } cases[] = {
        {1, 0, low, 0xFF, "FF"},  // hexadecimal
        {1, 0, low, 0x0F, "F"},
        {0, 14, low, 125, "12.5"},       // one decimal
        {5, 3, low, 1234, "12.34"},      // two decimals
        {11, 36, low, 51, "0.051"},      // three decimals
        {1, 2, low, 6000, "60.00"},      // frequency, two decimals up to 300.00 Hz
        {1, 2, high, 5990, "599.0"},     // frequency in high-frequency mode
        {0, 12, low, 1000, "100.0"},     // limit as a percentage
        {0, 12, hertz, 5000, "50.00"},   // limit in hertz
        {3, 33, low, 0xFC18, "-100.0"},  // signed
        {10, 1, low, 2, "2"},            // option value with its offset
        {0, 3, low, 2, "2"},             // plain number
    };
    for (const auto& c : cases) {
        const ParamRow r = row(c.group, c.index);
        EXPECT_EQ(r.formatRaw(c.raw, c.settings), c.text) << r.code();
        std::uint16_t back = 0;
        double value = 0;
        ASSERT_TRUE(r.parseText(c.text, c.settings, back, value)) << r.code();
        EXPECT_EQ(back, c.raw) << r.code() << " " << c.text;
    }
}

TEST_F(ParamRowTest, DecimalsAreTruncatedAfterTheDrivesBias) {
    std::uint16_t raw = 0;
    double value = 0;
    ASSERT_TRUE(row(5, 3).parseText("12.34", {}, raw, value));
    EXPECT_EQ(raw, 1234);  // trunc((12.34 + 0.001) x 100)
    ASSERT_TRUE(row(5, 3).parseText("12.3449", {}, raw, value));
    EXPECT_EQ(raw, 1234);  // rounded towards zero
    ASSERT_TRUE(row(5, 3).parseText("12.349", {}, raw, value));
    EXPECT_EQ(raw, 1235);  // the bias carries it over
    ASSERT_TRUE(row(0, 14).parseText("0.19", {}, raw, value));
    EXPECT_EQ(raw, 1);
    EXPECT_FALSE(row(0, 14).parseText("abc", {}, raw, value));
    EXPECT_FALSE(row(1, 0).parseText("XYZ", {}, raw, value));
}

// Text naming a number that no register value of the row can hold is refused, never taken
// modulo 2^32 or converted with undefined behaviour.
TEST_F(ParamRowTest, RefusesNumbersNoRegisterCanHold) {
    struct Case {
        int group, index;
        const char* text;
    } refused[] = {
        {0, 29, "4294967301"},    // integer: 2^32 + 5
        {0, 29, "-4294967291"},   // integer: -(2^32) + 5
        {0, 29, "99999999999999999999999"},
        {0, 29, "65536"},         // fits 32 bits, not a register
        {16, 11, "42949673/97"},  // date: month x 100 wraps to 01/01
        {16, 11, "1/129"},        // date: a day of three digits spills into the month (02/29)
        {16, 11, "-1/05"},
        {0, 41, "1-300"},           // parameter code: index spills into the group (02-44)
        {0, 41, "16777216-5"},      // group x 256 beyond 32 bits
        {0, 14, "nan"},             // decimal rows
        {0, 14, "inf"},
        {0, 14, "-inf"},
        {0, 14, "1e30"},
        {0, 14, "2147483648"},
        {0, 14, "-2147483649"},
        {0, 14, "0x10"},            // a hexadecimal fraction is no decimal value
        {1, 0, "100000000"},        // hexadecimal: 2^32
        {1, 0, "FFFFFFFFFFFFFFFFFFFF"},
    };
    for (const auto& c : refused) {
        std::uint16_t raw = 0xBEEF;
        double value = 0;
        EXPECT_FALSE(row(c.group, c.index).parseText(c.text, {}, raw, value))
            << row(c.group, c.index).code() << " " << c.text << " became " << raw;
    }
    // Their neighbours inside the register's reach still parse.
    struct Accepted {
        int group, index;
        const char* text;
        std::uint16_t raw;
    } accepted[] = {
        {0, 29, "5", 5},         {16, 11, "12/31", 1231}, {0, 41, "23-79", 23 * 256 + 79},
        {0, 14, "6000.0", 60000}, {0, 14, "1e3", 10000},  {1, 0, "FF", 0xFF},
    };
    for (const auto& c : accepted) {
        std::uint16_t raw = 0;
        double value = 0;
        EXPECT_TRUE(row(c.group, c.index).parseText(c.text, {}, raw, value)) << c.text;
        EXPECT_EQ(raw, c.raw) << c.text;
    }
}

TEST_F(ParamRowTest, RangesAndLabelsFollowTheFrequencySetting) {
    EXPECT_EQ(row(1, 2).rangeLabel({false, false}), "0.10~300.00");
    EXPECT_EQ(row(1, 2).rangeLabel({true, false}), "0.1~599.0");
    EXPECT_DOUBLE_EQ(row(1, 2).maxFor({true, false}), 599.0);
    EXPECT_EQ(row(0, 12).rangeLabel({false, false}), "0.1~109.0");
    EXPECT_EQ(row(1, 0).rangeLabel({}), "0~F,FF");
}

// The data files carry the rule table a second time (attributes of each parameter); both must
// say the same or the program and the virtual drive would judge writes differently.
TEST_F(ParamRowTest, DataAttributesAgreeWithTheRuleTable) {
    int checked = 0;
    for (int g = 0; g <= 23; ++g)
        for (int i = 0; i < 100; ++i) {
            const ParamRecord& r = *doc.table.record(g, i);
            if (!r.defined) continue;
            const RuleEntry& e = WriteRules::entry(g, i);
            EXPECT_EQ(r.attr[AttrForbiddenModes], e.forbiddenModes) << r.code();
            auto gate = [](float v) {
                return v >= FirmwareGate::kNever ? kNeverWritable
                                                 : static_cast<std::int32_t>(v * 100 + 0.5f);
            };
            EXPECT_EQ(r.attr[AttrMinVersionFrame1], gate(e.gate.frame1)) << r.code();
            EXPECT_EQ(r.attr[AttrMinVersionOther], gate(e.gate.other)) << r.code();
            EXPECT_EQ(hasFlag(r.attr, FlagFrameReserved), e.frameReserved) << r.code();
            EXPECT_EQ(hasFlag(r.attr, FlagNoAi2OnFrame1), e.noAi2OnFrame1) << r.code();
            // Both ways: a row the files mark read-only that the rules let through would be
            // sent by the single write and refused by the drive.
            EXPECT_EQ(e.readOnly, readOnly(r.attr)) << r.code();
            ++checked;
        }
    EXPECT_GT(checked, 900);
}

}  // namespace
}  // namespace pv::editing
