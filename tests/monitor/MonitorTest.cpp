// The live drive windows' core: command-word changes and toggles against the virtual drive, the
// frequency command's limits and scaling, the digital outputs, the keypad's keys, the graph's
// sample block, and the poll scheduler's skip, stop and failure.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "comm/CDriveSerial.h"
#include "drive/Registers.h"
#include "editing/CsvLines.h"
#include "monitor/GraphFile.h"
#include "monitor/DriveControl.h"
#include "monitor/GraphItems.h"
#include "monitor/GraphRecording.h"
#include "monitor/Keypad.h"
#include "monitor/PollScheduler.h"
#include "monitor/StatusBlock.h"
#include "res/CommTexts.h"
#include "res/EditingTexts.h"
#include "res/MonitorTexts.h"
#include "serial/VirtualWire.h"
#include "sim/SimClock.h"
#include "sim/VirtualBus.h"

namespace pv::monitor {
namespace {

using namespace std::chrono_literals;

// The virtual drive behind a peer that counts the frames and logs the writes.
class CountingPeer : public serial::VirtualPeer {
public:
    explicit CountingPeer(std::shared_ptr<sim::VirtualBus> bus) : bus_(std::move(bus)) {}
    std::vector<serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        ++frames;
        if (f.size() == 8 && f[1] == 0x06) writes.push_back({f[2] * 256 + f[3], f[4] * 256 + f[5]});
        if (silent) return {};
        return bus_->onFrame(f);
    }
    bool connected() const override { return true; }
    int frames = 0;
    bool silent = false;
    std::vector<std::pair<int, int>> writes;  // register, value

private:
    std::shared_ptr<sim::VirtualBus> bus_;
};

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        bus = std::make_shared<sim::VirtualBus>(PARVOLT_DATA_DIR);
        bus->addStation(1, 0x35001);  // N350-2P5-H
        bus->setClock(clock);
        peer = std::make_shared<CountingPeer>(bus);
        serial::setVirtualPeer(peer);
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
        link.setResponseTimeout(50ms);
    }
    void TearDown() override { serial::setVirtualPeer(nullptr); }
    std::uint16_t reg(std::uint16_t a) { return *bus->station(1)->readRegister(a); }
    void put(std::uint16_t a, std::uint16_t v) { ASSERT_TRUE(bus->station(1)->writeRegister(a, v)); }

    std::shared_ptr<sim::ManualClock> clock = std::make_shared<sim::ManualClock>();
    std::shared_ptr<sim::VirtualBus> bus;
    std::shared_ptr<CountingPeer> peer;
    comm::CDriveSerial link;
};

TEST_F(MonitorTest, TogglesInvertTheCachedWordAndReadModifyWriteKeepsOtherBits) {
    std::string error;
    ASSERT_TRUE(WriteToggled(link, 1, 0x0040, CommInputBit(1), error));
    EXPECT_EQ(0x0000, reg(drive::kRegCommandWord));
    ASSERT_TRUE(WriteToggled(link, 1, 0x0040, CommInputBit(2), error));
    EXPECT_EQ(0x00C0, reg(drive::kRegCommandWord));
    ASSERT_TRUE(WriteToggled(link, 1, 0x0000, kBitDriveMode, error));
    EXPECT_EQ(0x4000, reg(drive::kRegCommandWord));

    put(drive::kRegCommandWord, 0x0043);  // running in reverse, S1 on
    const auto stop = ModifyCommandWord(link, 1, drive::kCmdRun, BitChange::Clear);
    ASSERT_TRUE(stop.ok);
    EXPECT_EQ(0x0042, reg(drive::kRegCommandWord));
    const auto fwd = ModifyCommandWord(link, 1, drive::kCmdReverse, BitChange::Clear);
    EXPECT_EQ(0x0040, fwd.after);

    peer->silent = true;
    const auto failed = ModifyCommandWord(link, 1, drive::kCmdRun, BitChange::Set);
    EXPECT_TRUE(failed.readFailed);
    EXPECT_EQ(res::kTimeOut, failed.error);
}

TEST_F(MonitorTest, CommandSourceCheckReadsTheInputFunctionsOnceASecond) {
    CommandSourceCheck check;
    std::string error;
    std::vector<int> frames;
    for (int run = 0; run < 12; ++run) {
        const int before = peer->frames;
        ASSERT_TRUE(check.run(link, 1, error)) << error;
        frames.push_back(peer->frames - before);
    }
    EXPECT_EQ(std::vector<int>({2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1}), frames);
    bus->addStation(2, 0x35001);
    put(drive::ParamRegister(3, 0), kInputMotorSwitch);
    put(drive::kRegCommandWord, CommInputBit(1));
    ASSERT_TRUE(check.run(link, 1, error));
    EXPECT_FALSE(check.source().motor2());  // the functions are not read again yet
    CommandSource full;
    ASSERT_TRUE(CheckCommandSource(link, 1, full, error));
    EXPECT_TRUE(full.motor2());
    const int before = peer->frames;
    ASSERT_TRUE(check.run(link, 2, error));  // a new station: read in full
    EXPECT_EQ(2, peer->frames - before);
}

TEST(MonitorScaling, FrequencyCommandTruncatesAfterItsOffset) {
    struct Case {
        double hz;
        bool tenths;
        FrequencyEntry entry;
        int raw;
    } cases[] = {
        {50.00, false, FrequencyEntry::SetButton, 5000},
        {50.00, true, FrequencyEntry::SetButton, 500},
        {0.29, false, FrequencyEntry::SetButton, 29},   // 0.29 x 100 is 28.999...
        {0.29, false, FrequencyEntry::KeypadField, 29},
        {12.34, true, FrequencyEntry::SetButton, 123},
        {59.99, true, FrequencyEntry::KeypadField, 599},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.raw, ScaleFrequency(c.hz, c.tenths, c.entry)) << c.hz << " " << c.tenths;
}

TEST(MonitorScaling, LimitsComeFromTheUpperLowerAndMaximumFrequency) {
    struct Case {
        LimitWords w;
        bool highFrequency;
        double low, high;
        bool tenths;
    } cases[] = {
        // 100.0 % and 10.0 % of 60.00 Hz
        {{.upper = 1000, .lower = 100, .maxMotor1 = 6000}, false, 6.0, 60.0, true},
        // in hertz, the upper capped by the maximum
        {{.upper = 900, .lower = 5, .limitUnit = 1, .maxMotor1 = 5000}, false, 0.5, 50.0, true},
        // motor 2 runs: 01-16 is the maximum
        {{.upper = 500, .lower = 0, .maxMotor1 = 6000, .maxMotor2 = 4000, .motor2 = true},
         false, 0.0, 20.0, true},
        // one decimal above 300 Hz; the unit flag from the raw 01-02
        {{.upper = 1000, .lower = 0, .maxMotor1 = 4000}, true, 0.0, 400.0, true},
        {{.upper = 1000, .lower = 0, .maxMotor1 = 2500}, false, 0.0, 25.0, false},
    };
    for (const auto& c : cases) {
        const auto l = LimitsFromWords(c.w, c.highFrequency);
        EXPECT_NEAR(c.low, l.lowHz, 1e-9);
        EXPECT_NEAR(c.high, l.highHz, 1e-9);
        EXPECT_EQ(c.tenths, l.tenths);
    }
}

TEST(MonitorScaling, DigitalOutputsAreDo1R2R1AsBinaryDigits) {
    const int cases[][4] = {{0, 0, 0, 0}, {1, 0, 1, 5}, {1, 1, 1, 7}, {0, 1, 0, 2}, {0, 0, 1, 1}};
    for (const auto& c : cases) EXPECT_EQ(c[3], OutputValue(c[0], c[1], c[2]));
}

TEST_F(MonitorTest, FrequencyCommandChecksTheDriveLimitsAndWritesItsUnit) {
    // The drive's defaults: 01-02 60.00 Hz (above 3000: 0.1 Hz units), limits 0.1 % .. 100 %.
    EXPECT_EQ(res::kWriteSuccessful, SetFrequency(link, 1, "30.00", false, FrequencyEntry::SetButton));
    EXPECT_EQ(300, reg(drive::kRegFrequencyCommand));
    for (const char* bad : {"", "  ", "61", "abc", "-1"})
        EXPECT_EQ(res::kBeyondRangeDialog, SetFrequency(link, 1, bad, false, FrequencyEntry::SetButton))
            << bad;
    EXPECT_EQ("", SetFrequency(link, 1, "45.5", false, FrequencyEntry::KeypadField));
    EXPECT_EQ(455, reg(drive::kRegFrequencyCommand));

    // An input set to motor 1/2 switching and turned on by the command word: 01-16 limits.
    put(drive::ParamRegister(3, 2), kInputMotorSwitch);
    put(drive::ParamRegister(1, 16), 2000);
    put(drive::kRegCommandWord, CommInputBit(3));
    EXPECT_EQ(res::kBeyondRangeDialog, SetFrequency(link, 1, "30", false, FrequencyEntry::SetButton));
    EXPECT_EQ(res::kWriteSuccessful, SetFrequency(link, 1, "20", false, FrequencyEntry::SetButton));
    EXPECT_EQ(res::kWriteSuccessful, SetOutputs(link, 1, OutputValue(1, 0, 1)));
    EXPECT_EQ(5, reg(drive::kRegOutputCommand));
}

TEST_F(MonitorTest, KeypadKeysGuardTheRunSourceAndSendNothingWhenNothingChanges) {
    EXPECT_EQ(res::monitor::kRunSourceError, PressKey(link, 1, KeypadKey::Run, false).text);
    EXPECT_EQ(0, peer->frames);
    put(drive::kRegCommandWord, drive::kCmdRun);
    const auto run = PressKey(link, 1, KeypadKey::Run, true);
    EXPECT_FALSE(run.sent);
    EXPECT_EQ(1, peer->frames);  // only the read
    EXPECT_TRUE(PressKey(link, 1, KeypadKey::FwdRev, true).sent);
    EXPECT_EQ(drive::kCmdRun | drive::kCmdReverse, reg(drive::kRegCommandWord));
    EXPECT_TRUE(PressKey(link, 1, KeypadKey::Stop, true).sent);
    EXPECT_EQ(drive::kCmdReverse, reg(drive::kRegCommandWord));

    KeypadReadings r;
    put(drive::ParamRegister(0, 2), 2);
    ASSERT_EQ(PollResult::Outcome::Ok, ReadKeypad(link, 1, false, r).outcome);
    EXPECT_TRUE(r.runFromComm());
    EXPECT_FALSE(r.frequencyFromComm());
    peer->silent = true;
    const auto failed = PressKey(link, 1, KeypadKey::Run, true);
    EXPECT_TRUE(failed.stopRefresh);
    EXPECT_EQ(res::kTimeOut, failed.text);
}

TEST(MonitorKeypad, KeyAreasAndTheSelectorWrap) {
    const struct {
        int x, y;
        KeypadKey key;
    } hits[] = {{44, 331, KeypadKey::Run},     {96, 365, KeypadKey::Run},
                {97, 340, KeypadKey::None},    {98, 340, KeypadKey::Stop},
                {72, 218, KeypadKey::Up},      {123, 310, KeypadKey::Down},
                {71, 253, KeypadKey::FwdRev},  {233, 261, KeypadKey::Dial},
                {191, 220, KeypadKey::None},   {100, 262, KeypadKey::None}};
    for (const auto& h : hits) EXPECT_EQ(h.key, KeypadHit(h.x, h.y)) << h.x << "," << h.y;
    EXPECT_EQ(0, NextFunction(10));
    EXPECT_EQ(10, PreviousFunction(0));
    EXPECT_EQ(4, NextFunction(3));
}

TEST(MonitorGraph, SampleBlockTakesEachWordFromItsRequest) {
    std::array<std::uint16_t, 5> status{};
    std::array<std::uint16_t, 13> a{}, b{};
    for (int k = 0; k < 5; ++k) status[k] = static_cast<std::uint16_t>(0x2523 + k);
    for (int k = 0; k < 13; ++k) {
        a[k] = static_cast<std::uint16_t>(0x0C12 + k);
        b[k] = static_cast<std::uint16_t>(0x0C20 + k);
    }
    const auto block = MapSampleBlock(status, a, b);
    // The register behind every word of the block.
    const std::uint16_t expected[kSampleWords] = {
        0x2523, 0x2524, 0x2525, 0x2526, 0x2527, 0x0C15, 0x0C16, 0x0C17, 0x0C18, 0x0C19,
        0x0C1A, 0x0C1B, 0x0C1C, 0x0C1D, 0x0C1E, 0x0C20, 0x0C21, 0x0C23, 0x0C24, 0x0C25,
        0x0C26, 0x0C27, 0x0C28, 0x0C29, 0x0C2A, 0x0C2B, 0x0C2C, 0x0C12, 0x0C13, 0x0C22};
    for (int k = 0; k < kSampleWords; ++k) EXPECT_EQ(expected[k], block.words[k]) << "word " << k;
    // Items read the registers the list names.
    EXPECT_EQ(0x2526, block.words[GraphItemAt(GraphItemIndex("DC Voltage")).word]);
    EXPECT_EQ(0x0C2C, block.words[GraphItemAt(GraphItemIndex("Output Voltage")).word]);
    EXPECT_EQ(0x0C13, block.words[GraphItemAt(GraphItemIndex("Pulse Input Freq.")).word]);
    EXPECT_EQ(0x0C26, block.words[GraphItemAt(GraphItemIndex("PID Setpoint")).word]);
}

TEST(MonitorGraph, ItemsScaleByTheirUnitAndTheDrive) {
    SampleBlock block;
    block.words[1] = 5990;
    block.words[20] = 1234;       // PID Setpoint
    block.words[11] = 0xFF9C;     // Torque Command, -100 -> -10.0 %
    const auto& out = GraphItemAt(GraphItemIndex("Output Freq."));
    EXPECT_EQ("599.00", FormatValue(ItemValue(out, block, {true, 0}), ItemDecimals(out, {})));
    EXPECT_EQ("59.90", FormatValue(ItemValue(out, block, {false, 0}), ItemDecimals(out, {})));
    const auto& pid = GraphItemAt(GraphItemIndex("PID Setpoint"));
    EXPECT_EQ("12.34", FormatValue(ItemValue(pid, block, {false, 2}), ItemDecimals(pid, {false, 2})));
    EXPECT_EQ("1234", FormatValue(ItemValue(pid, block, {false, 0}), ItemDecimals(pid, {false, 0})));
    const auto& torque = GraphItemAt(GraphItemIndex("Torque Command"));
    EXPECT_DOUBLE_EQ(-10.0, ItemValue(torque, block, {}));
    EXPECT_EQ("NONE()", ItemHeading(GraphItemAt(0)));
}

TEST_F(MonitorTest, StatusShowsTheRampAndTheGraphSamplesIt) {
    std::string error;
    ASSERT_EQ(res::kWriteSuccessful, SetFrequency(link, 1, "30", false, FrequencyEntry::SetButton));
    ASSERT_TRUE(ModifyCommandWord(link, 1, drive::kCmdRun, BitChange::Set).ok);
    GraphRecording rec;
    rec.channels[0].selection = GraphItemIndex("Output Freq.");
    GraphSampler sampler;
    std::vector<double> hz;
    for (int i = 0; i < 4; ++i) {
        clock->advance(1s);  // 10 s from zero to 60 Hz: 6 Hz a second
        StatusBlock s;
        ASSERT_TRUE(ReadStatusBlock(link, 1, s, error)) << error;
        EXPECT_TRUE(s.statusWord() & drive::kStRunning);
        hz.push_back(FrequencyHz(s.word(0x2524), true));
        SampleBlock block;
        SampleContext ctx;
        ASSERT_EQ(PollResult::Outcome::Ok, sampler.sample(link, 1, block, ctx).outcome);
        rec.add(i, block, ctx);
    }
    EXPECT_NEAR(6.0, hz[0], 0.11);
    EXPECT_NEAR(24.0, hz[3], 0.11);
    EXPECT_NEAR(24.0, rec.samples[3].values[0], 0.11);

    bus->station(1)->trip(7);
    StatusBlock s;
    ASSERT_TRUE(ReadStatusBlock(link, 1, s, error));
    EXPECT_EQ(7, s.faultCode());
    EXPECT_EQ(0, s.word(0x2524));
    ASSERT_TRUE(ModifyCommandWord(link, 1, drive::kCmdFaultReset, BitChange::Set).ok);
    ASSERT_TRUE(ReadStatusBlock(link, 1, s, error));
    EXPECT_EQ(0, s.faultCode());
}

// Holds the posted job until the test lets it run, as a busy link thread would.
class HeldExecutor : public PollExecutor {
public:
    bool tryPost(const Job& job, const Job& done) override {
        if (held) return false;
        held = true;
        job_ = job;
        done_ = done;
        return true;
    }
    void waitIdle() override { finish(); }
    void finish() {
        if (!held) return;
        held = false;
        job_();
        done_();
    }
    bool held = false;

private:
    Job job_, done_;
};

TEST(MonitorScheduler, SkipsWhileAPollRunsStopsOnFailureAndShowsItOnce) {
    HeldExecutor ex;
    std::vector<int> stations;
    std::vector<std::string> shown;
    int applied = 0;
    PollResult next;
    PollScheduler s(
        ex, [&](int st) { stations.push_back(st); return next; },
        [&](const PollResult&) { ++applied; }, [&](const std::string& t) { shown.push_back(t); });
    EXPECT_FALSE(s.tick());  // not started
    s.setStation(3);
    s.start();
    EXPECT_TRUE(s.tick());
    s.setStation(4);
    EXPECT_FALSE(s.tick());  // skipped, not queued
    EXPECT_FALSE(s.tick());
    ex.finish();
    EXPECT_EQ(std::vector<int>{3}, stations);
    EXPECT_EQ(2, s.skipped());
    EXPECT_TRUE(s.tick());
    ex.finish();
    EXPECT_EQ(std::vector<int>({3, 4}), stations);
    next = PollResult::stop("TimeOut !");
    EXPECT_TRUE(s.tick());
    ex.finish();
    EXPECT_FALSE(s.running());
    EXPECT_TRUE(s.failed());
    EXPECT_FALSE(s.tick());
    EXPECT_EQ(std::vector<std::string>{"TimeOut !"}, shown);
    EXPECT_EQ(3, applied);

    // stop() waits for the running poll and drops what it found.
    next = PollResult::ok();
    s.start();
    EXPECT_TRUE(s.tick());
    s.stop();
    EXPECT_FALSE(ex.held);
    EXPECT_EQ(3, applied);
    EXPECT_EQ(4u, stations.size());
}

}  // namespace
}  // namespace pv::monitor

namespace pv::monitor {
namespace {

GraphRecording twoChannelRecording(int samples) {
    GraphRecording r;
    r.channels[0] = {GraphItemIndex("Output Freq."), "Output Freq.", "60.00", "0.00"};
    r.channels[1] = {GraphItemIndex("Output Current"), "Output Current", "10.0", "0.0"};
    SampleBlock b;
    for (int i = 0; i < samples; ++i) {
        b.words[1] = static_cast<std::uint16_t>(3000 + 12 * i);
        b.words[4] = 25;
        r.add(i * 0.1, b, {false, 0});
    }
    return r;
}

TEST(MonitorGraphFile, CsvExportIsTheHeadingsMinMaxAndOneLinePerSample) {
    const std::string golden(
        ",Output Freq.(Hz),Output Current(A),NONE(),NONE()\0\r\n"
        "Min,0.00,0.0,0.00,0.00\0\r\n"
        "Max,60.00,10.0,10.00,10.00\0\r\n"
        "0,30.00,2.5,0,0,0.000\0\r\n"
        "1,30.12,2.5,0,0,0.100\0",
        152);
    EXPECT_EQ(golden, EncodeCsvLines(GraphCsvLines(twoChannelRecording(2))));

    const auto lines = GraphCsvLines(twoChannelRecording(50));
    ASSERT_EQ(53u, lines.size());
    EXPECT_EQ("49,", lines.back().substr(0, 3));

    GraphRecording back;
    ASSERT_TRUE(ParseGraphCsvLines(DecodeCsvLines(EncodeCsvLines(lines)), back));
    EXPECT_EQ(lines, GraphCsvLines(back));

    // Lines that do not fit leave the recording as it was.
    const std::vector<std::vector<std::string>> bad = {
        {lines[0], lines[1]},
        {",Nothing(),NONE(),NONE(),NONE()", lines[1], lines[2]},
        {lines[0], "Min,0,0,0", lines[2]},
        {lines[0], lines[1], lines[2], "0,1,2,3,4"},
        {lines[0], lines[1], lines[2], "0,1,x,3,4,0.1"},
    };
    for (const auto& b : bad) EXPECT_FALSE(ParseGraphCsvLines(b, back)) << b.back();
    EXPECT_EQ(50u, back.size());
}

TEST(MonitorGraphFile, WorkbookAndCsvFilesReadBackTheSameCurve) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("pv-graph-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const auto rec = twoChannelRecording(20);
    std::string error;
    bool unreadable = false;
    GraphRecording csv, book;
    ASSERT_TRUE(SaveGraphCsv((dir / "g.csv").string(), rec));
    ASSERT_TRUE(LoadGraphCsv((dir / "g.csv").string(), csv, unreadable));
    ASSERT_TRUE(SaveGraphWorkbook((dir / "g.xlsx").string(), rec, error)) << error;
    ASSERT_TRUE(LoadGraphWorkbook((dir / "g.xlsx").string(), book, error)) << error;
    EXPECT_EQ(GraphCsvLines(rec), GraphCsvLines(csv));
    EXPECT_EQ(GraphCsvLines(rec), GraphCsvLines(book));
    EXPECT_FALSE(LoadGraphCsv((dir / "none.csv").string(), csv, unreadable));
    EXPECT_TRUE(unreadable);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace pv::monitor
