// The write rules judged on their own and through the single-write sequence against a scripted
// drive: each case is a situation a commissioning engineer meets, with the words the drive
// check must show.
#include "editing/WriteRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "res/EditingTexts.h"

namespace pv::editing {
namespace {

ParamRow intRow(int g, int i, int lo, int hi) {
    return ParamRow::make(g, i, ValueKind::Integer, lo, hi);
}

ParamRow decRow(int g, int i, double lo, double hi, int decimals) {
    const double scale = decimals == 1 ? 10 : decimals == 2 ? 100 : 1000;
    const ValueKind kind = decimals == 1   ? ValueKind::OneDecimal
                           : decimals == 2 ? ValueKind::TwoDecimals
                                           : ValueKind::ThreeDecimals;
    return ParamRow::make(g, i, kind, static_cast<int>(lo * scale + 0.5),
                         static_cast<int>(hi * scale + 0.5));
}

ParamRow optRow(int g, int i, int count, int offset = 0) {
    return ParamRow::make(g, i, ValueKind::Options, offset, offset + count - 1);
}

// A drive whose registers answer from a map; unknown registers fail with "TimeOut !".
class ScriptedDrive : public DriveAccess {
public:
    std::map<std::uint16_t, std::uint16_t> regs;
    std::vector<std::uint16_t> reads;
    bool modelOk = true;

    ScriptedDrive() {
        regs[0x2520] = 0;     // stopped
        regs[0x0D06] = 1;     // unlocked
        regs[0x0000] = 0;     // V/F
        regs[0x0D01] = 110;   // 1.10
        regs[0x0D00] = 0x23;  // 0x35023: a larger frame
    }
    bool readRegister(std::uint16_t reg, std::uint16_t& value, std::string& failure) override {
        reads.push_back(reg);
        auto it = regs.find(reg);
        if (it == regs.end()) {
            failure = "TimeOut !";
            return false;
        }
        value = it->second;
        return true;
    }
    bool checkModel(std::string& failure) override {
        reads.push_back(0x252F);
        if (!modelOk) failure = "CRC parity error !";
        return modelOk;
    }
};

DriveFacts facts(int mode, float version, std::uint32_t model) {
    DriveFacts f;
    f.controlMode = mode;
    f.driveVersion = version;
    f.modelCode = model;
    return f;
}

RegisterLookup noReads() {
    return [](std::uint16_t) -> std::optional<std::uint16_t> { return std::nullopt; };
}

TEST(WriteRules, ControlModeRefusalsUseTheDrivesMode) {
    struct Case {
        ParamRow row;
        int mode;
        const char* refusal;  // nullptr: allowed
    } cases[] = {
        {intRow(0, 29, 0, 100), 3, nullptr},  // SV uses 00-29
        {intRow(0, 29, 0, 100), 4, nullptr},  // so does PMSV
        {intRow(0, 29, 0, 100), 0, "can't write in V/F mode!"},
        {intRow(6, 5, 0, 100), 3, "can't write in SV mode!"},
        {intRow(6, 5, 0, 100), 0, nullptr},
        {intRow(22, 26, 0, 100), 6, "can't write in SLV2 mode!"},
        {intRow(1, 4, 0, 100), 1, nullptr},
        {intRow(1, 4, 0, 100), 5, "can't write in PMSLV mode!"},
        {intRow(20, 15, 0, 100), 0, "can't write in V/F mode!"},
        {intRow(7, 18, 0, 100), 4, "can't write in PMSV mode!"},
        {intRow(2, 9, 0, 100), 1, "can't write in V/F+PG mode!"},
        {intRow(2, 9, 0, 100), 2, nullptr},
    };
    for (const auto& c : cases) {
        const Verdict v =
            WriteRules::judgeOwnRules(c.row, 1, "1", facts(c.mode, 1.2f, 0x35023), {}, noReads());
        if (c.refusal) {
            EXPECT_EQ(v.text, c.refusal) << c.row.code() << " mode " << c.mode;
        } else {
            EXPECT_TRUE(v.allowed()) << c.row.code() << " mode " << c.mode << ": " << v.text;
        }
    }
}

TEST(WriteRules, FirmwareGatesDependOnTheFrameClass) {
    struct Case {
        int group, index;
        std::uint32_t model;
        float version;
        bool allowed;
    } cases[] = {
        {0, 34, 0x35001, 1.05f, true},   // frame 1 needs 1.03
        {0, 34, 0x35003, 1.05f, false},  // other frames need 1.06
        {0, 34, 0x35003, 1.06f, true},   {0, 34, 0x35021, 1.02f, false},
        {3, 58, 0x35022, 1.06f, true},   {3, 58, 0x35024, 1.10f, false},
        {4, 25, 0x35002, 1.04f, true},   {4, 25, 0x35005, 1.08f, false},
        {8, 61, 0x35001, 1.02f, true},   {8, 61, 0x35006, 1.03f, false},
        {9, 15, 0x35001, 9.99f, false},                                   // never on frame 1
        {9, 15, 0x35008, 1.11f, true},   {4, 21, 0x35008, 9.99f, false},  // no firmware carries it
        {23, 41, 0x35001, 9.99f, false}, {7, 24, 0x35026, 1.50f, false},
    };
    for (const auto& c : cases) {
        const Verdict v = WriteRules::judgeOwnRules(intRow(c.group, c.index, 0, 65535), 1, "1",
                                                    facts(0, c.version, c.model), {}, noReads());
        if (c.allowed) {
            EXPECT_TRUE(v.allowed()) << c.group << "-" << c.index << " " << v.text;
        } else {
            EXPECT_EQ(v.text, res::kVersionRetained) << c.group << "-" << c.index;
        }
    }
}

TEST(WriteRules, GateIsJudgedBeforeTheModeOnTheNewestPages) {
    // 22-52 is forbidden in SLV and gated: an old drive hears about its firmware first.
    Verdict v = WriteRules::judgeOwnRules(intRow(22, 52, 0, 100), 1, "1", facts(2, 1.00f, 0x35003),
                                          {}, noReads());
    EXPECT_EQ(v.text, res::kVersionRetained);
    v = WriteRules::judgeOwnRules(intRow(22, 52, 0, 100), 1, "1", facts(2, 1.10f, 0x35003), {},
                                  noReads());
    EXPECT_EQ(v.text, "can't write in SLV mode!");
    // Elsewhere the mode comes first: 03-58 is not mode-ruled, 00-34 is not either; 22-38 is
    // mode-ruled only.
    v = WriteRules::judgeOwnRules(intRow(22, 38, 0, 100), 1, "1", facts(5, 1.0f, 0x35003), {},
                                  noReads());
    EXPECT_TRUE(v.allowed()) << v.text;
}

TEST(WriteRules, FrameRulesRefuseOnFrameOneOnly) {
    const DriveFacts small = facts(0, 1.5f, 0x35021), large = facts(0, 1.5f, 0x35024);
    for (auto [g, i] : {std::pair{3, 6}, {3, 29}, {4, 5}, {4, 8}}) {
        EXPECT_EQ(
            WriteRules::judgeOwnRules(intRow(g, i, 0, 100), 1, "1", small, {}, noReads()).text,
            res::kFrameReserved);
        EXPECT_TRUE(WriteRules::judgeOwnRules(intRow(g, i, 0, 100), 1, "1", large, {}, noReads())
                        .allowed());
    }
    // AI2 (value 2) of the PID sources does not exist on frame 1.
    auto clean = [](std::uint16_t reg) -> std::optional<std::uint16_t> {
        return reg == 0x1700 ? 1 : 0;
    };
    EXPECT_EQ(WriteRules::judgeOwnRules(optRow(10, 0, 4), 2, "2", small, {}, clean).text,
              res::kFrame1NoAi2);
    EXPECT_TRUE(WriteRules::judgeOwnRules(optRow(10, 0, 4), 2, "2", large, {}, clean).allowed());
}

TEST(WriteRules, PidSourcesMayNotShareAnAnalogInput) {
    std::map<std::uint16_t, std::uint16_t> drive{{2560, 0}, {2561, 1}, {5888, 0}};
    std::vector<std::uint16_t> asked;
    RegisterLookup lookup = [&](std::uint16_t reg) -> std::optional<std::uint16_t> {
        asked.push_back(reg);
        return drive.at(reg);
    };
    const DriveFacts f = facts(0, 1.2f, 0x35024);
    // 10-00 = 1 while the drive's 10-01 is 1.
    Verdict v = WriteRules::judgeOwnRules(optRow(10, 0, 4), 1, "1", f, {}, lookup);
    EXPECT_EQ(v.text,
              "The data source of '10-00' and '10-01' can not be from 'Ai1' or 'Ai2' at the same "
              "time.");
    EXPECT_EQ(asked.front(), 2561);
    // 10-00 = 0 needs 23-00 = 1 on the drive.
    v = WriteRules::judgeOwnRules(optRow(10, 0, 4), 0, "0", f, {}, lookup);
    EXPECT_EQ(v.text, "When 23-00=1,the parameter 10-00 can be set 0.");
    drive[5888] = 1;
    EXPECT_TRUE(WriteRules::judgeOwnRules(optRow(10, 0, 4), 0, "0", f, {}, lookup).allowed());
    // 10-01 reads 10-00; its value is the list position + 1.
    drive[2560] = 2;
    asked.clear();
    v = WriteRules::judgeOwnRules(optRow(10, 1, 3, 1), 2, "2", f, {}, lookup);
    EXPECT_EQ(asked.front(), 2560);
    EXPECT_EQ(v.kind, Verdict::Kind::Refused);
    EXPECT_TRUE(WriteRules::judgeOwnRules(optRow(10, 1, 3, 1), 1, "1", f, {}, lookup).allowed());
}

TEST(WriteRules, ValueRulesAndVersionRanges) {
    const DriveFacts f = facts(0, 1.10f, 0x35024);
    // Each row judged in a control mode that uses it.
    auto judge = [&](const ParamRow& row, double value, const std::string& text) {
        DriveFacts inMode = f;
        inMode.controlMode = row.group == 22 ? 5 : row.group == 11 ? 3 : 0;
        return WriteRules::judgeOwnRules(row, value, text, inMode, {}, noReads()).text;
    };
    EXPECT_EQ(judge(intRow(22, 3, 2, 96), 7, "7"), "The value of the parameter is even.");
    EXPECT_EQ(judge(intRow(22, 3, 2, 96), 98, "98"), "Beyond the range !");
    EXPECT_EQ(judge(intRow(22, 3, 2, 96), 96, "96"), "");
    ParamRow curve = ParamRow::make(1, 0, ValueKind::Hex, 0, 255, FlagLoneMax);
    curve.attr[AttrNarrowMax] = 15;
    EXPECT_EQ(judge(curve, 0x10, "10"),
              "The value 10 is reserved in the parameter 01-00, can't be writed!");
    EXPECT_EQ(judge(curve, 0xFE, "FE"),
              "The value FE is reserved in the parameter 01-00, can't be writed!");
    EXPECT_EQ(judge(curve, 0xFF, "FF"), "");
    EXPECT_EQ(judge(curve, 0xF, "F"), "");
    EXPECT_EQ(judge(intRow(13, 8, 0, 9), 1, "1"),
              "The parameter 13-08's value 1 is retained in the N350 version!");
    EXPECT_EQ(judge(intRow(13, 8, 0, 9), 0, "0"),
              "The parameter 13-08 value 0 isn't writed in the N350 version!");
    EXPECT_EQ(judge(intRow(13, 8, 0, 9), 2, "2"), "");
    EXPECT_EQ(judge(decRow(1, 4, 0, 300, 2), 599.5, "599.5"),
              "The value range of parameter 01-04 is 0.0~599.0 in the N350 version !");
    EXPECT_EQ(judge(decRow(1, 4, 0, 300, 2), 599.0, "599.0"), "");
    EXPECT_EQ(judge(decRow(11, 49, 0.01, 5, 2), 0.0, "0.00"),
              "The value range of parameter 11-49 is 0.01~5.00 in the N350 version !");
    EXPECT_EQ(judge(intRow(22, 4, 6, 60000), 5, "5"),
              "The value range of parameter 22-04 is 6~60000 in the N350 version !");
    EXPECT_EQ(judge(intRow(22, 10, 20, 200), 201, "201"),
              "The value range of parameter 22-10 is 20~200 in the N350 version !");
    // 07-32 options 2 and up arrived with firmware 1.16.
    const ParamRow r0732 = optRow(7, 32, 3);
    EXPECT_EQ(
        WriteRules::judgeOwnRules(r0732, 2, "2", facts(0, 1.15f, 0x35024), {}, noReads()).text,
        "The value range of parameter 07-32 is 0~1 in the N350 version !");
    EXPECT_TRUE(WriteRules::judgeOwnRules(r0732, 2, "2", facts(0, 1.16f, 0x35024), {}, noReads())
                    .allowed());
}

TEST(WriteRules, RangeToleranceMatchesTheDrive) {
    struct Case {
        double value, lo, hi;
        int decimals;
        bool in;
    } cases[] = {
        {0.0, 0.0, 10.0, 1, true},     {-0.0000005, 0.0, 10.0, 1, true},
        {-0.01, 0.0, 10.0, 1, false},  {0.1, 0.1, 10.0, 1, true},
        {0.0999, 0.1, 10.0, 1, false}, {10.0000005, 0.0, 10.0, 1, true},
        {10.01, 0.0, 10.0, 2, false},  {0.01, 0.01, 5.0, 2, true},
        {96, 2, 96, 0, true},          {97, 2, 96, 0, false},
        {-9999, -9999, 9999, 0, true}, {-10000, -9999, 9999, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WriteRules::inRange(c.value, c.lo, c.hi, c.decimals), c.in)
            << c.value << " in " << c.lo << ".." << c.hi;
}

TEST(WriteRules, CrossReadsOfOtherParameters) {
    std::map<std::uint16_t, std::uint16_t> drive{{2817, 1},   {0x0720, 0}, {0x0B02, 0},
                                                 {0x1619, 1}, {5967, 3},   {5960, 0}};
    RegisterLookup lookup = [&](std::uint16_t reg) -> std::optional<std::uint16_t> {
        auto it = drive.find(reg);
        if (it == drive.end()) return std::nullopt;
        return it->second;
    };
    const DriveFacts f = facts(0, 1.2f, 0x35024), pmslv = facts(5, 1.2f, 0x35024);
    EXPECT_EQ(WriteRules::judgeOwnRules(intRow(11, 31, 0, 100), 1, "1", f, {}, lookup).text,
              "When 11-01=0 in the inverter,the parameter can be writed!");
    drive[2817] = 0;
    EXPECT_TRUE(WriteRules::judgeOwnRules(intRow(11, 31, 0, 100), 1, "1", f, {}, lookup).allowed());
    EXPECT_TRUE(
        WriteRules::judgeOwnRules(intRow(22, 26, 0, 100), 1, "1", pmslv, {}, lookup).allowed());
    drive[0x1619] = 0;  // 22-25 = 0
    EXPECT_EQ(WriteRules::judgeOwnRules(intRow(22, 26, 0, 100), 1, "1", pmslv, {}, lookup).text,
              "while 07-32=1 or 2, or 11-02=2, or 22-25=0,the parameter can't be writed.");
    EXPECT_EQ(
        WriteRules::judgeOwnRules(intRow(23, 72, 0, 100), 1, "1", facts(0, 1, 0x35024), {}, lookup)
            .text,
        "The parameter cann't writed when the value of 23-79 isn't 0.");
    EXPECT_TRUE(
        WriteRules::judgeOwnRules(intRow(23, 79, 0, 100), 1, "1", facts(0, 1, 0x35024), {}, lookup)
            .allowed());
    // A failed cross read stops the check.
    drive.erase(2817);
    EXPECT_EQ(WriteRules::judgeOwnRules(intRow(11, 30, 0, 100), 1, "1", f, {}, lookup).kind,
              Verdict::Kind::ReadFailed);
}

TEST(WriteRules, FrequencyOf1022FollowsTheDrivesOwn0102) {
    std::uint16_t s0102 = 6000;
    RegisterLookup lookup = [&](std::uint16_t reg) -> std::optional<std::uint16_t> {
        EXPECT_EQ(reg, 0x0102);
        return s0102;
    };
    const DriveFacts f = facts(0, 1.2f, 0x35024);
    const ParamRow row = decRow(10, 22, 0, 300, 2);
    EXPECT_TRUE(WriteRules::judgeOwnRules(row, 450.0, "450.0", f, {}, lookup).allowed());
    s0102 = 3000;  // exactly 300.0 Hz: still two decimals
    EXPECT_EQ(WriteRules::judgeOwnRules(row, 450.0, "450.0", f, {}, lookup).text,
              "Beyond the range !");
}

TEST(WriteRules, SingleWriteChecksTheDriveInOrder) {
    ScriptedDrive drive;
    DriveFacts f;
    const ParamRow row = intRow(6, 5, 0, 100);
    Verdict v = WriteRules::checkSingleWrite(drive, row, "5", {}, f);
    EXPECT_TRUE(v.allowed()) << v.text;
    EXPECT_EQ(drive.reads,
              (std::vector<std::uint16_t>{0x2520, 0x0D06, 0x0000, 0x252F, 0x0D01, 0x0D00}));
    EXPECT_EQ(f.controlMode, 0);
    EXPECT_NEAR(f.driveVersion, 1.10f, 1e-6);
    EXPECT_EQ(f.modelCode, 0x35023u);

    drive.regs[0x0000] = 3;
    EXPECT_EQ(WriteRules::checkSingleWrite(drive, row, "5", {}, f).text, "can't write in SV mode!");
    drive.regs[0x2520] = 0x0003;
    EXPECT_EQ(WriteRules::checkSingleWrite(drive, row, "5", {}, f).text,
              "INV is running,please stop it first.");
}

TEST(WriteRules, LockRefusesEveryRowButTheLockItself) {
    ScriptedDrive drive;
    drive.regs[0x0D06] = 0;
    DriveFacts f;
    for (auto [g, i] : {std::pair{0, 1}, {6, 5}, {13, 2}, {22, 3}})
        EXPECT_EQ(WriteRules::checkSingleWrite(drive, intRow(g, i, 0, 100), "4", {}, f).text,
                  "The parameters are locked,please check 13-06 first.");
    EXPECT_TRUE(WriteRules::checkSingleWrite(drive, intRow(13, 6, 0, 1), "1", {}, f).allowed());
}

TEST(WriteRules, ReadOnlyRowsAreRefusedBeforeOrAfterTheDriveState) {
    // Identification, monitor and fault rows are refused before the drive is asked anything; a
    // lone read-only row on a page of writable rows only once the drive is known to be stopped
    // and unlocked, so a running drive answers with its own words first.
    const std::vector<std::uint16_t> none, stateReads = {0x2520, 0x0D06};
    struct Case {
        int group, index;
        bool afterState;
    } cases[] = {
        {0, 8, false},   {12, 5, false}, {12, 11, false}, {12, 14, false}, {12, 40, false},
        {13, 0, false},  {13, 1, false}, {13, 3, false},  {13, 4, false},  {13, 7, false},
        {13, 20, false}, {14, 2, false}, {15, 30, false}, {8, 60, true},   {9, 1, true},
        {9, 3, true},    {9, 5, true},   {17, 11, true},  {22, 20, true},  {22, 22, true},
    };
    for (const auto& c : cases) {
        const ParamRow row = intRow(c.group, c.index, 0, 100);
        ScriptedDrive stopped;
        DriveFacts f;
        EXPECT_EQ(WriteRules::checkSingleWrite(stopped, row, "1", {}, f).text,
                  "The parameter is read only.")
            << c.group << "-" << c.index;
        EXPECT_EQ(stopped.reads, c.afterState ? stateReads : none) << c.group << "-" << c.index;

        ScriptedDrive running;
        running.regs[0x2520] = 1;
        EXPECT_EQ(
            WriteRules::checkSingleWrite(running, row, "1", {}, f).text,
            c.afterState ? "INV is running,please stop it first." : "The parameter is read only.")
            << c.group << "-" << c.index;
    }
}

TEST(WriteRules, SingleWriteJudgesTheValueAsItWillBeWritten) {
    // The typed text is formatted again in the row's format before it is judged and sent, so a
    // refusal names the value the drive would receive.
    const std::pair<const char*, const char*> cases[] = {
        {"0", "The parameter 13-08 value 0 isn't writed in the N350 version!"},
        {"00", "The parameter 13-08 value 0 isn't writed in the N350 version!"},
        {"000 ", "The parameter 13-08 value 0 isn't writed in the N350 version!"},
        {"01", "The parameter 13-08's value 1 is retained in the N350 version!"},
        {"2", ""},
    };
    for (const auto& [typed, text] : cases) {
        ScriptedDrive drive;
        DriveFacts f;
        EXPECT_EQ(WriteRules::checkSingleWrite(drive, intRow(13, 8, 0, 6), typed, {}, f).text, text)
            << typed;
    }
}

TEST(WriteRules, VersionIsReadAgainExceptOnThePagesThatKeepIt) {
    const struct {
        int group;
        bool readsVersion;
    } cases[] = {{0, true}, {5, false}, {6, true}, {14, false}, {15, false}, {22, true}};
    for (const auto& c : cases) {
        ScriptedDrive drive;
        DriveFacts f;
        f.driveVersion = 1.02f;  // from an earlier write
        const ParamRow row = intRow(c.group, 90, 0, 100);
        WriteRules::checkSingleWrite(drive, row, "1", {}, f);
        const bool asked =
            std::find(drive.reads.begin(), drive.reads.end(), 0x0D01) != drive.reads.end();
        EXPECT_EQ(asked, c.readsVersion) << c.group;
        if (c.group == 14 || c.group == 15) continue;  // refused as read-only before any read
        EXPECT_NEAR(f.driveVersion, c.readsVersion ? 1.10f : 1.02f, 1e-6) << c.group;
    }
}

TEST(WriteRules, FailedReadsStopWithTheirOwnWords) {
    ScriptedDrive drive;
    DriveFacts f;
    drive.modelOk = false;
    Verdict v = WriteRules::checkSingleWrite(drive, intRow(6, 5, 0, 100), "5", {}, f);
    EXPECT_EQ(v.kind, Verdict::Kind::ReadFailed);
    EXPECT_EQ(v.text, "CRC parity error !");
    drive.modelOk = true;
    drive.regs.erase(0x0A01);
    v = WriteRules::checkSingleWrite(drive, optRow(10, 0, 4), "1", {}, f);
    EXPECT_EQ(v.kind, Verdict::Kind::ReadFailed);
    EXPECT_EQ(v.text, "TimeOut !");
}

TEST(WriteRules, GroupWriteLeavesOutWhatTheDriveRefuses) {
    const DriveFacts sv = facts(3, 1.05f, 0x35024);
    EXPECT_TRUE(WriteRules::judgeForGroupWrite(intRow(0, 29, 0, 9), 1, sv).allowed());
    EXPECT_FALSE(WriteRules::judgeForGroupWrite(intRow(6, 5, 0, 9), 1, sv).allowed());
    EXPECT_FALSE(WriteRules::judgeForGroupWrite(intRow(0, 34, 0, 9), 1, sv).allowed());
    EXPECT_FALSE(WriteRules::judgeForGroupWrite(intRow(13, 7, 0, 9999), 1, sv).allowed());
    EXPECT_FALSE(WriteRules::judgeForGroupWrite(intRow(14, 0, 0, 9), 1, sv).allowed());
    EXPECT_TRUE(WriteRules::judgeForGroupWrite(intRow(13, 6, 0, 1), 0, sv).allowed());
}

}  // namespace
}  // namespace pv::editing
