// The ladder program's Read and Write against the virtual drive: a program written and read back
// into a fresh project is the same program, and the guards (password, running PLC, coils used
// twice) stop before any program data moves.
#include "comm/PlcTransfer.h"

#include <gtest/gtest.h>

#include "TransferFixture.h"
#include "comm/PlcMonitor.h"
#include "comm/WriteCommand.h"
#include "drive/Registers.h"
#include "plc/PlcWire.h"

namespace pv::test {
namespace {

using comm::CommandResult;

class PlcTransferTest : public TransferTest {
public:
    // The guard cases arrange the project, the drive and the answers.
    using TransferTest::doc;
    using TransferTest::drive;
    using TransferTest::prompts;

protected:
    void SetUp() override {
        TransferTest::SetUp();
        prompts.transferAnswers.push_back(plcOnly());
    }
    static TransferSelection plcOnly() {
        TransferSelection s;
        s.plcProgram = true;
        return s;
    }
    // I01 and m0F drive Q01; T01 in mode 7 whose second time is counter C02; C02 counts I02 with
    // I03 as its direction; AS01 sets M04; a link joins line 5 to line 6.
    void drawProgram() {
        PlcProgram& p = doc.plc;
        p.setContact(0, 0, 'I', 1);
        p.setContact(0, 1, 'm', 15);
        p.setCoil(0, kCoilOutput, 'Q', 1);
        p.setContact(1, 0, 'I', 2);
        p.setCoil(1, kCoilOutput, 'C', 2);
        p.setContact(19, 0, 'T', 1);
        p.setCoil(19, kCoilOutput, 'T', 1);
        p.cellText[19][gapColumn(0)] = kGapLinkDown;
        p.cellText[20][gapColumn(0)] = kGapLinkUp;
        p.linkMarks[20][2] = kLinkMark;
        p.setBlockCoil(20, "AS", 1);
        p.timers[0] = {0x81, 0x72, 0x00, 0x50, 0x4C, 0x6F, 0, 0x73, 0xC2, 0, 0};
        p.counters[1] = {0x82, 0x20, 0x00, 0x01, 0x00, 'I', 3, 0x4C, 0x6F, 0};
        p.addSubBlocks[0] = {0x81, 0x00, 0x10, 0x00, 0x40, 0x03, 0x00, 0x00, 0x00, 0x05, 1, 4};
    }
    std::vector<int> linesWritten() {
        std::vector<int> lines;
        for (const auto& w : writeRequests(peer->requests()))
            if (w.first >= drive::kRegPlcFirst && w.first < 0xA0C8)
                lines.push_back((w.first - drive::kRegPlcFirst) / 10 + 1);
        return lines;
    }
};

TEST_F(PlcTransferTest, ProgramWrittenAndReadBackIsTheSameProgram) {
    drawProgram();
    PlcProgram written = doc.plc;
    written.computeUsedBlocks();
    auto ctx = context();
    const auto out = comm::RunWriteCommand(ctx);
    ASSERT_EQ(out.result, CommandResult::Done) << ::testing::PrintToString(prompts.shown);
    EXPECT_TRUE(out.plcProgramWritten);
    // Blank lines are not sent: rows 0..1 are line 1, rows 19..20 lines 5 and 6.
    EXPECT_EQ(linesWritten(), (std::vector<int>{1, 5, 6}));
    EXPECT_EQ(drive(1).readRegister(plc::kSecondPresetMaskRegister), 1);

    doc.plc.reset();
    prompts.transferAnswers.push_back(plcOnly());
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
    auto readCtx = context();
    const auto read = comm::RunReadCommand(readCtx);
    ASSERT_EQ(read.result, CommandResult::Done) << ::testing::PrintToString(prompts.shown);
    EXPECT_TRUE(read.plcProgramRead);
    for (int r = 0; r < kLadderRows; ++r)
        EXPECT_EQ(doc.plc.rowListing(r), written.rowListing(r)) << "row " << r;
    EXPECT_EQ(doc.plc.used, written.used);
    EXPECT_EQ(doc.plc.timers[0], written.timers[0]);
    EXPECT_EQ(doc.plc.counters[1], written.counters[1]);
    EXPECT_EQ(doc.plc.addSubBlocks[0], written.addSubBlocks[0]);
    EXPECT_EQ(doc.plc.linkMarks[20], written.linkMarks[20]);
}

TEST_F(PlcTransferTest, GuardsStopBeforeAnyProgramDataMoves) {
    struct Case {
        const char* name;
        std::function<void(PlcTransferTest&)> arrange;
        std::vector<std::string> expected;  // the texts shown, from the first PLC one on
    };
    const Case cases[] = {
        {"wrong password",
         [](PlcTransferTest& t) {
             t.drive(1).writeRegister(drive::kRegPlcPassword1, 4321);
             t.drive(1).writeRegister(drive::kRegPlcPassword1, 4321);
             t.drive(1).powerCycle();
             t.prompts.passwordAnswers.push_back(PasswordEntry{"70000", "", ""});
             t.prompts.passwordAnswers.push_back(PasswordEntry{"1234", "", ""});
         },
         {"password: Password", "refused: Beyond the range(0~65535)!", "message: Password Error."}},
        {"coil used twice",
         [](PlcTransferTest& t) {
             t.doc.plc.setCoil(30, kCoilOutput, 'T', 3);
             t.doc.plc.setCoil(31, kCoilSet, 'Q', 1);
             t.doc.plc.setCoil(32, kCoilSet, 'Q', 1);
             t.doc.plc.setCoil(40, kCoilOutput, 'T', 3);
         },
         {"error:  T03\nReused"}},
        {"running PLC, not stopped",
         [](PlcTransferTest& t) {
             t.drive(1).writeRegister(drive::kRegPlcRun, 1);
             t.prompts.questionAnswers.push_back(false);
         },
         {"question: Running.\r\nStop first and then write.\r\nContinue?"}},
    };
    for (const Case& c : cases) {
        restart();
        drawProgram();
        c.arrange(*this);
        peer->clear();
        auto ctx = context();
        const auto out = comm::RunWriteCommand(ctx);
        EXPECT_NE(out.result, CommandResult::Done) << c.name;
        EXPECT_TRUE(linesWritten().empty()) << c.name;
        std::vector<std::string> shown;
        for (const auto& s : prompts.shown)
            if (s.rfind("transfer:", 0) != 0 && s.rfind("station:", 0) != 0) shown.push_back(s);
        EXPECT_EQ(shown, c.expected) << c.name;
    }
}

TEST_F(PlcTransferTest, RunningPlcIsStoppedForTheWriteAndStartedAgainOnRequest) {
    drawProgram();
    drive(1).setValue("00-02", "3");
    drive(1).writeRegister(drive::kRegPlcRun, 1);
    auto ctx = context();
    const auto out = comm::RunWriteCommand(ctx);
    ASSERT_EQ(out.result, CommandResult::Done) << ::testing::PrintToString(prompts.shown);
    EXPECT_EQ(prompts.texts("question"),
              (std::vector<std::string>{"Running.\r\nStop first and then write.\r\nContinue?",
                                        "The data may be lost,\ncontinue?",
                                        "The machine is stopped.Set Running?"}));
    EXPECT_EQ(drive(1).readRegister(drive::kRegPlcRun), 1);
    EXPECT_FALSE(linesWritten().empty());
}

TEST_F(PlcTransferTest, MonitorStartsOnlyInPlcModeAndForcesSingleElements) {
    auto ctx = context();
    bool programRead = false;
    EXPECT_EQ(comm::StartPlcMonitor(ctx, 1, false, programRead), CommandResult::Refused);
    EXPECT_EQ(prompts.texts("message"),
              (std::vector<std::string>{"Station 1 communication type not PLC."}));
    EXPECT_EQ(drive(1).readRegister(drive::kRegPlcRun), 0);

    drive(1).setValue("00-02", "3");
    prompts.yesNoAnswers.push_back(false);  // "Read program from Inverter?"
    EXPECT_EQ(comm::StartPlcMonitor(ctx, 1, true, programRead), CommandResult::Done);
    EXPECT_FALSE(programRead);
    EXPECT_EQ(drive(1).readRegister(drive::kRegPlcRun), 1);

    drive(1).writeRegister(drive::kRegPlcControl4, 0x0301);  // M1, M2 and M9 as read
    peer->clear();
    EXPECT_TRUE(comm::ForcePlcInput(ctx, 1, 3, true));
    EXPECT_TRUE(comm::ForcePlcRelay(ctx, 1, 10, true));
    std::vector<std::vector<std::uint8_t>> writes;
    for (const auto& f : peer->requests())
        if (f[1] == 6) writes.push_back({f[2], f[3], f[4], f[5]});
    EXPECT_EQ(writes, (std::vector<std::vector<std::uint8_t>>{{0xA4, 0x01, 0x04, 0x00},
                                                              {0xA4, 0x04, 0x03, 0x03}}));
    const comm::PlcPoll poll = comm::PollPlc(link, 1);
    ASSERT_TRUE(poll.ok);
    EXPECT_TRUE(poll.running);
}

}  // namespace
}  // namespace pv::test
