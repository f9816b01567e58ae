// Writing from a group dialog against the virtual drive with its strict rules: the order of the
// checks on the wire, the texts in order, the edited marks, and Transmit Group.
#include "comm/PageWrite.h"

#include "TransferFixture.h"
#include "comm/WriteCommand.h"
#include "editing/PageModel.h"

namespace pv::test {
namespace {

class PageWriteTest : public TransferTest {
protected:
    void SetUp() override {
        TransferTest::SetUp();
        bus->setStrictRules(true);
        peer->clear();
    }
    comm::PageWriteContext pageContext(bool linked = true) {
        comm::PageWriteContext ctx(linked ? &link : nullptr, prompts, doc, lastError);
        ctx.stations = {1, 2};
        return ctx;
    }
    // Types `text` into the row of GG-NN and presses its write button.
    comm::PageWriteResult write(int group, int index, const std::string& text,
                                bool linked = true) {
        editing::PageModel model(doc.table, group, {});
        const auto at = *editing::PageOfParameter(group, index);
        model.row(at.page, at.row).valueText = text;
        auto ctx = pageContext(linked);
        const auto r = comm::RunSingleWrite(ctx, model, at.page, at.row);
        written = model.row(at.page, at.row).written;
        return r;
    }
    std::vector<int> registersAsked() {
        std::vector<int> out;
        for (const auto& f : peer->requests()) out.push_back(f[2] * 256 + f[3]);
        return out;
    }
    bool written = false;
};

TEST_F(PageWriteTest, SingleWriteChecksTheDriveThenSendsOneRegister) {
    doc.table.paramEdited[0][14] = 1;
    ASSERT_EQ(write(0, 14, "12.5"), comm::PageWriteResult::Written);
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{"station: Station Select", "message: Write successful !"}));
    // Running, lock, model check, version, model code, then the function-06 write.
    EXPECT_EQ(registersAsked(), (std::vector<int>{0x2520, 0x0D06, 0x252F, 0x0D01, 0x0D00, 14}));
    EXPECT_EQ(peer->requests().back()[1], 6);
    EXPECT_EQ(drive(1).valueOf("00-14"), "12.5");
    EXPECT_TRUE(written);
    EXPECT_EQ(doc.table.paramEdited[0][14], 0);
}

TEST_F(PageWriteTest, RefusalsComeInTheDrivesOrder) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int group, index;
        const char* text;
        comm::PageWriteResult result;
        std::vector<std::string> shown;
        std::size_t frames;
    };
    const std::string station = "station: Station Select";
    const Case cases[] = {
        {"not linked", [] {}, 0, 14, "12.5", comm::PageWriteResult::NotConnected,
         {"message: It is not connect with inverter."}, 0},
        {"read-only identification row, before the station", [] {}, 13, 0, "3",
         comm::PageWriteResult::Refused, {"message: The parameter is read only."}, 0},
        {"a monitor page", [] {}, 12, 20, "1", comm::PageWriteResult::Refused,
         {"message: The parameter is read only."}, 0},
        {"running", [&] { drive(1).writeRegister(0x2501, 1); }, 0, 14, "12.5",
         comm::PageWriteResult::Refused,
         {station, "message: INV is running,please stop it first."}, 1},
        {"locked", [&] { drive(1).writeRegister(0x0D06, 0); }, 0, 14, "12.5",
         comm::PageWriteResult::Refused,
         {station, "message: The parameters are locked,please check 13-06 first."}, 2},
        {"a lone read-only row after the state", [] {}, 9, 1, "1",
         comm::PageWriteResult::Refused, {station, "message: The parameter is read only."}, 2},
        {"mode", [&] { drive(1).setValue("00-00", "3"); }, 6, 5, "1",
         comm::PageWriteResult::Refused, {station, "message: can't write in SV mode!"}, 6},
        {"range", [] {}, 0, 14, "6000.1", comm::PageWriteResult::OutOfRange,
         {station, "message: Beyond the range !"}, 5},
        {"odd 22-03", [&] { drive(1).setValue("00-00", "5"); }, 22, 3, "7",
         comm::PageWriteResult::Refused, {station, "message: The value of the parameter is even."},
         6},
        {"silent drive", [&] { bus->faults(1).set(sim::FaultKind::Drop); }, 0, 14, "12.5",
         comm::PageWriteResult::Failed, {station, "message: TimeOut !"}, 1},
    };
    for (const Case& c : cases) {
        restart();
        bus->setStrictRules(true);
        c.arrange();
        peer->clear();
        EXPECT_EQ(write(c.group, c.index, c.text, std::string(c.name) != "not linked"), c.result)
            << c.name;
        EXPECT_EQ(prompts.shown, c.shown) << c.name;
        EXPECT_EQ(peer->requests().size(), c.frames) << c.name;
        EXPECT_FALSE(written) << c.name;
    }
}

TEST_F(PageWriteTest, UserParameterNamingAParameterTheModeDoesNotUseIsRefused) {
    drive(1).setValue("00-00", "3");  // SV: 06-05 is not used, 00-14 is
    editing::PageModel model(doc.table, 0, editing::UserParameterPages(), {});
    model.row(0, 0).valueText = "06-05";
    auto ctx = pageContext();
    EXPECT_EQ(comm::RunSingleWrite(ctx, model, 0, 0), comm::PageWriteResult::Refused);
    EXPECT_EQ(prompts.shown.back(), "message: can't write in SV mode!");
    model.row(0, 0).valueText = "00-14";
    EXPECT_EQ(comm::RunSingleWrite(ctx, model, 0, 0), comm::PageWriteResult::Written);
    EXPECT_EQ(drive(1).valueOf("00-41"), "00-14");
}

TEST_F(PageWriteTest, TransmitGroupWritesThePageValues) {
    editing::PageModel model(doc.table, 0, {});
    const auto at = *editing::PageOfParameter(0, 15);
    model.row(at.page, at.row).valueText = "33.3";
    auto ctx = pageContext();
    const auto out = comm::RunTransmitGroup(ctx, model);
    EXPECT_EQ(out.result, comm::PageWriteResult::Written);
    EXPECT_EQ(prompts.shown.back(), "message: Write successful !");
    EXPECT_EQ(drive(1).valueOf("00-15"), "33.3");
    EXPECT_EQ(doc.table.record(0, 15)->setValue, doc.table.record(0, 15)->defaultValue);

    // A row out of range stops it before anything is written, naming that row.
    model.row(at.page, at.row).valueText = "0.0";
    peer->clear();
    const auto bad = comm::RunTransmitGroup(ctx, model);
    EXPECT_EQ(bad.result, comm::PageWriteResult::OutOfRange);
    EXPECT_EQ(bad.badRow, at);
    EXPECT_TRUE(writeRequests(peer->requests()).empty());
}

}  // namespace
}  // namespace pv::test

namespace pv::test {
namespace {

TEST_F(TransferTest, ChangedOnlyWriteSendsWhatDiffersAndVerifyReadsItBack) {
    doc.table.record(0, 14)->setValue = "12.5";
    doc.table.record(0, 15)->setValue = "33.3";
    doc.table.record(5, 0)->setValue = "1";
    auto ctx = context();
    ctx.changedOnly = true;
    ctx.verify = true;
    const auto out = comm::RunWriteCommand(ctx);
    ASSERT_EQ(out.result, comm::CommandResult::Done) << lastError;
    std::vector<int> firsts;
    for (const auto& w : writeRequests(peer->requests())) firsts.push_back(w.first);
    EXPECT_EQ(firsts, (std::vector<int>{14, 15, 0x0500}));
    EXPECT_EQ(out.parametersSent, 3);
    EXPECT_TRUE(out.verifyDifferences.empty());
    EXPECT_EQ(drive(1).valueOf("00-15"), "33.3");
    EXPECT_EQ(drive(1).valueOf("05-00"), "1");

    // A drive that keeps its own value is named by the read-back.
    restart();
    doc.table.record(0, 14)->setValue = "12.5";
    peer->beforeReply = [&](std::size_t) {
        if (drive(1).valueOf("00-14") == "12.5") drive(1).setValue("00-14", "10.0");
    };
    auto again = context();
    again.verify = true;
    const auto back = comm::RunWriteCommand(again);
    peer->beforeReply = nullptr;
    ASSERT_EQ(back.result, comm::CommandResult::Done);
    ASSERT_EQ(back.verifyDifferences.size(), 1u);
    EXPECT_EQ(back.verifyDifferences[0].first, "00-14");
    EXPECT_EQ(prompts.shown.back(), "message: Write successful !");
}

}  // namespace
}  // namespace pv::test
