// The copy module: its frames byte for byte, the split of blocks into frames, and the write and
// read workflows against the virtual copy module, with the texts of every frame that can fail.

#include <gtest/gtest.h>

#include "comm/CopyModule.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualCopyModule.h"

namespace pv::comm {
namespace {

namespace cm = copymodule;
using Bytes = std::vector<std::uint8_t>;
using sim::VirtualCopyModule;

TEST(CopyModuleFrames, GoldenBytes) {
    EXPECT_EQ((Bytes{0xFA, 0x03, 0x08, 0x0A, 0x00, 0x00, 0x01, 0x62, 0xE5}),
              cm::CommandFrame(3, cm::kConnect));
    EXPECT_EQ((Bytes{0xFA, 0x10, 0x08, 0x0A, 0x60, 0x00, 0x01, 0x60, 0x58}),
              cm::CommandFrame(16, cm::kFinish));
    EXPECT_EQ((Bytes{0xFA, 0x06, 0x03, 0x0F, 0x64, 0x00, 0x1E, 0xC7, 0xAA}),
              cm::ReadFrame(6, cm::kDirectoryAddress, 30));
    const auto name = *cm::NameRegisters("abc");
    EXPECT_EQ((Bytes{0xFA, 0x03, 0x10, 0x0F, 0x3C, 0x00, 0x08, 0x10, 'a', 'b', 'c', ' ', ' ',
                     ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', '!', 0x96, 0xD0}),
              cm::WriteFrame(3, cm::kNameAddress, {name.begin(), name.end()}));
    EXPECT_EQ(69u, cm::ReadReplyLength(31));
}

TEST(CopyModuleFrames, NameBlock) {
    const struct {
        std::string name;
        std::string bytes;  // empty: refused
    } cases[] = {
        {"abc", "abc            !"},
        {"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO!"},
        {"", "               !"},
        {"ABCDEFGHIJKLMNOP", ""},
    };
    for (const auto& c : cases) {
        const auto regs = cm::NameRegisters(c.name);
        ASSERT_EQ(!c.bytes.empty(), regs.has_value()) << c.name;
        if (!regs) continue;
        std::string bytes;
        for (const auto r : *regs) bytes += {static_cast<char>(r >> 8), static_cast<char>(r & 0xFF)};
        EXPECT_EQ(c.bytes, bytes);
        EXPECT_EQ(c.name, cm::NameOfRegisters({regs->begin(), regs->end()}));
    }
}

TEST(CopyModuleFrames, BlocksSplitIntoFramesOfAtMost31Registers) {
    cm::BlockCounts counts{};
    counts[0] = 80;   // 31 + 31 + 18 at offsets 0, 31, 62
    counts[9] = 16;   // never written
    counts[11] = 94;  // too long to be written
    counts[12] = 88;  // registers 1..4 only
    counts[25] = 50;  // 46 registers
    counts[27] = 19;  // never written
    const auto starts = cm::BlockStarts(counts);
    EXPECT_EQ(200, starts[1]);        // block 0 takes 200 bytes
    EXPECT_EQ(starts[12] + 100, starts[13]);  // block 12 always 100
    std::vector<std::array<int, 3>> got;
    for (const auto& s : cm::Segments(counts)) {
        got.push_back({s.block, s.firstRegister, s.count});
        EXPECT_EQ(starts[s.block] + 2 * s.firstRegister, s.address);
    }
    EXPECT_EQ((std::vector<std::array<int, 3>>{
                  {0, 0, 31}, {0, 31, 31}, {0, 62, 18}, {12, 1, 4}, {25, 0, 31}, {25, 31, 15}}),
              got);
}

class CopyModuleWorkflow : public ::testing::Test {
protected:
    void SetUp() override {
        module = std::make_shared<VirtualCopyModule>();
        serial::setVirtualPeer("SIM-COPY", module);
        link.channel().setResponseTimeout(std::chrono::milliseconds(100));
        doc.OnNewDocument();
        prompts.copyModuleAnswers = {CopyModuleChoice{3, "Pump line 2", "SIM-COPY"}};
    }
    void TearDown() override { serial::setVirtualPeer("SIM-COPY", nullptr); }

    CopyStatus write() { return WriteToCopyModule(link, doc.table, settings, prompts); }
    CopyStatus read(CopyModuleSet& set) {
        prompts.copyModuleAnswers = {CopyModuleChoice{3, "", "SIM-COPY"}};
        return ReadFromCopyModule(link, doc.table, prompts, set);
    }

    std::shared_ptr<VirtualCopyModule> module;
    CopyModuleLink link;
    CM240Doc doc{std::string(PARVOLT_DATA_DIR) + "/"};
    ScriptedPrompts prompts;
    editing::DisplaySettings settings;
};

TEST_F(CopyModuleWorkflow, WriteThenReadIntoANewProjectGivesTheSameSet) {
    doc.table.record("00-14")->setValue = "12.5";
    doc.table.record("11-00")->setValue = "1";
    doc.table.record("12-03")->setValue = "7";
    ASSERT_EQ(CopyStatus::Done, write());
    EXPECT_EQ((std::vector<std::string>{"Write successful !"}), prompts.texts("message"));
    EXPECT_EQ("Write data to the 3 group", prompts.texts("progress").front());
    EXPECT_TRUE(module->stored(3));
    const auto mem = module->memory(3);
    const auto counts = cm::CountsOf(doc.table);
    EXPECT_EQ(83, counts[11]);  // group 11 needs three frames each way
    for (int k = 0; k < cm::kBlocks; ++k)
        EXPECT_EQ(counts[k], mem[cm::kDirectoryAddress + 2 * k] << 8 |
                                 mem[cm::kDirectoryAddress + 2 * k + 1]);
    EXPECT_EQ("Pump line 2    !", std::string(mem.begin() + cm::kNameAddress,
                                              mem.begin() + cm::kNameAddress + 16));

    CM240Doc fresh{std::string(PARVOLT_DATA_DIR) + "/"};
    fresh.OnNewDocument();
    CopyModuleSet set;
    prompts.shown.clear();
    ASSERT_EQ(CopyStatus::Done, read(set));
    EXPECT_EQ((std::vector<std::string>{"Reading data from the 3 group is preparing",
                                        "Read data from the 3 group "}),
              prompts.texts("progress"));
    EXPECT_EQ((std::vector<std::string>{"Read Successfully !"}), prompts.texts("message"));
    EXPECT_EQ("Pump line 2", set.name);
    EXPECT_EQ(counts, set.counts);
    EXPECT_FALSE(CompareWithCopyModule(set, fresh.table, settings).empty());
    EXPECT_GT(ApplyCopyModuleSet(set, fresh.table, settings), 500);
    EXPECT_TRUE(CompareWithCopyModule(set, fresh.table, settings).empty());
    for (const auto& v : set.values)
        EXPECT_EQ(doc.table.record(v.group, v.index)->setValue,
                  fresh.table.record(v.group, v.index)->setValue)
            << FormatParamCode(v.group, v.index);
    EXPECT_EQ("12.5", fresh.table.record("00-14")->setValue);
    EXPECT_EQ("7", fresh.table.record("12-03")->setValue);
}

TEST_F(CopyModuleWorkflow, TheChannelStaysOpenAndTheNextCommandAsksTheStatusFirst) {
    ASSERT_EQ(CopyStatus::Done, write());
    EXPECT_TRUE(link.open());
    const auto before = module->framesSeen();
    CopyModuleSet set;
    ASSERT_EQ(CopyStatus::Done, read(set));
    // status, begin read, name, directory, the blocks, finish: no connect in between
    EXPECT_EQ(before + 4 + cm::Segments(set.counts).size() + 1, module->framesSeen());
    module->powerCycle();  // the status is not answered now: a connect follows, silently
    prompts.shown.clear();
    ASSERT_EQ(CopyStatus::Done, read(set));
    EXPECT_EQ((std::vector<std::string>{"Read Successfully !"}), prompts.texts("message"));
}

TEST_F(CopyModuleWorkflow, EveryFailingFrameIsToldInItsOwnWords) {
    const struct {
        bool writing;
        VirtualCopyModule::Fault fault;
        int goodReplies;
        const char* text;
    } cases[] = {
        {true, VirtualCopyModule::Fault::Unplugged, 0, "CRC parity error !"},  // connect
        {true, VirtualCopyModule::Fault::BadCrc, 1, "Data error !"},           // directory
        {true, VirtualCopyModule::Fault::BadCrc, 2, "CRC parity error !"},     // name
        {true, VirtualCopyModule::Fault::BadCrc, 3, "Data error !"},           // first block
        {false, VirtualCopyModule::Fault::BadCrc, 1, "Data error !"},          // begin read
        {false, VirtualCopyModule::Fault::BadCrc, 2, "Data error !"},          // name
        {false, VirtualCopyModule::Fault::BadCrc, 3, "CRC parity error !"},    // directory
        {false, VirtualCopyModule::Fault::BadCrc, 4, "Data error !"},          // first block
    };
    for (const auto& c : cases) {
        SetUp();
        link.close();
        if (!c.writing) {
            ASSERT_EQ(CopyStatus::Done, write());
        }
        link.close();
        module->setFault(c.fault, c.goodReplies);
        prompts.shown.clear();
        CopyModuleSet set;
        EXPECT_EQ(CopyStatus::Failed, c.writing ? write() : read(set));
        EXPECT_EQ((std::vector<std::string>{c.text}), prompts.texts("message"))
            << c.writing << " after " << c.goodReplies;
        EXPECT_FALSE(link.open());
        TearDown();
    }
}

TEST_F(CopyModuleWorkflow, RefusalsBeforeAnyFrame) {
    prompts.copyModuleAnswers = {CopyModuleChoice{3, "ABCDEFGHIJKLMNOP", "SIM-COPY"},
                                 CopyModuleChoice{3, "x", "/dev/nonexistent-port"},
                                 std::nullopt};
    EXPECT_EQ(CopyStatus::Failed, write());
    EXPECT_EQ(CopyStatus::Failed, write());
    EXPECT_EQ(CopyStatus::Cancelled, write());
    EXPECT_EQ((std::vector<std::string>{"ERROR1", "Can't Open the Port !"}),
              prompts.texts("message"));
    EXPECT_EQ(0u, module->framesSeen());
}

}  // namespace
}  // namespace pv::comm
