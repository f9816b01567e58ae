// The Write command and the group writers against virtual drives: frames on the wire, the groups
// and parameters left out, the guards with their texts, and a project written back equal.
#include "comm/WriteCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "TransferFixture.h"
#include "comm/GroupRuns.h"
#include "comm/ModbusFrames.h"
#include "comm/Passwords.h"
#include "comm/Upload.h"
#include "project/HiddenGroups.h"
#include "project/ParamAttr.h"

namespace pv::test {
namespace {

using comm::CommandResult;

class WriteCommandTest : public TransferTest {
protected:
    std::set<int> groupsWritten() {
        std::set<int> groups;
        for (const auto& w : writeRequests(peer->requests())) groups.insert(w.first >> 8);
        return groups;
    }
};

// The groups a Write must send, from the parameter database rather than from the writer's own
// list: every defined group that holds a parameter a transfer writes, the motor groups only to
// a drive of the project's model, and the hidden groups 25, 26 and 28 when they go along (27
// holds the drive's own records and is never written).
std::vector<int> GroupsTheWriteMustSend(const ParamTable& table, bool modelMatch, bool hidden) {
    std::vector<int> groups;
    for (int g = 0; g < static_cast<int>(table.groups.size()); ++g) {
        const ParamGroup& group = table.groups[g];
        if (!group.defined) continue;
        if (!modelMatch && (g == 2 || g == 17)) continue;
        if (g >= kHiddenGroupFirst && (!hidden || g == 27)) continue;
        if (std::any_of(group.params.begin(), group.params.end(), [](const ParamRecord& r) {
                return r.defined && writtenByTransfer(r.attr);
            }))
            groups.push_back(g);
    }
    return groups;
}

TEST_F(WriteCommandTest, EveryWritableGroupOfTheDatabaseGoesOnceInAscendingOrder) {
    // The database's own picture first: 14 and 15 hold only what the drive reports.
    const auto all = GroupsTheWriteMustSend(doc.table, true, false);
    EXPECT_EQ(std::count(all.begin(), all.end(), 14), 0);
    EXPECT_EQ(std::count(all.begin(), all.end(), 15), 0);
    EXPECT_GE(all.size(), 20u);

    ParamTable withHidden = doc.table;
    AppendHiddenGroups(withHidden);
    ParamTable without23 = doc.table;
    without23.groups.resize(23);
    struct Case {
        const char* what;
        const ParamTable* table;
        bool modelMatch, hidden;
    };
    const Case cases[] = {
        {"same model", &doc.table, true, false},
        {"other model", &doc.table, false, false},
        {"hidden groups along", &withHidden, true, true},
        {"hidden groups in the table, not chosen", &withHidden, true, false},
        {"hidden groups chosen, none in the table", &doc.table, true, true},
        {"definitions end at 22", &without23, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto order = comm::WriteGroupOrder(*c.table, c.modelMatch, c.hidden);
        // Ascending: the control mode (00) and the V/F limits (01) reach the drive before the
        // parameters it judges against them, and each group is sent once.
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
        EXPECT_EQ(std::adjacent_find(order.begin(), order.end()), order.end());
        EXPECT_EQ(order, GroupsTheWriteMustSend(*c.table, c.modelMatch, c.hidden));
    }
}

TEST_F(WriteCommandTest, WritesTheGroupsInOrderAndNeverFourteenOrFifteen) {
    doc.table.record(0, 14)->setValue = "20.0";
    auto ctx = context();
    const auto out = comm::RunWriteCommand(ctx);
    ASSERT_EQ(out.result, CommandResult::Done) << lastError;
    EXPECT_EQ(prompts.texts("question"),
              std::vector<std::string>{"The data may be lost,\ncontinue?"});
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"Write successful !"});
    EXPECT_FALSE(prompts.progressOpen);
    EXPECT_EQ(prompts.progressMax, 24);

    std::vector<int> order;
    for (const auto& w : writeRequests(peer->requests()))
        if (order.empty() || order.back() != (w.first >> 8)) order.push_back(w.first >> 8);
    // What reached the drive, not what the writer planned.
    EXPECT_EQ(order, GroupsTheWriteMustSend(doc.table, true, false));
    const auto groups = groupsWritten();
    for (int never : {14, 15, 27}) EXPECT_EQ(groups.count(never), 0u) << never;
    EXPECT_EQ(groups.count(2), 1u);
    EXPECT_EQ(groups.count(17), 1u);
    EXPECT_EQ(drive(1).valueOf("00-14"), "20.0");
    for (const auto& w : writeRequests(peer->requests()))
        EXPECT_FALSE(readOnly(doc.table.record(w.first >> 8, w.first & 0xFF)->attr)) << w.first;
}

TEST_F(WriteCommandTest, OneRegisterPerFrameWithItsFunctionSixteenBytes) {
    comm::GroupWriter writer(link, 1);
    const std::uint16_t value = 0x0F;
    ASSERT_TRUE(writer.sendFrame(1, 0x0100, &value, 1, lastError));
    const auto frames = peer->requests();
    ASSERT_EQ(frames.size(), 1u);
    std::vector<std::uint8_t> golden = {0x01, 0x10, 0x01, 0x00, 0x00, 0x01, 0x02, 0x00, 0x0F};
    const std::uint16_t crc = comm::Crc16(golden.size(), golden.data());
    golden.push_back(crc & 0xFF);
    golden.push_back(crc >> 8);
    EXPECT_EQ(frames[0], golden);
    EXPECT_EQ(peer->replyBytes()[0], 8u);
}

TEST_F(WriteCommandTest, CustomCurvePointsGoTogetherInOneFrame) {
    comm::GroupWriteContext gctx;
    gctx.facts.controlMode = 0;
    gctx.facts.driveVersion = 1.35f;
    gctx.facts.modelCode = kModel;
    std::vector<std::string> texts;
    for (const auto& r : doc.table.groups[1].params) texts.push_back(r.setValue);
    texts[0] = "F";
    comm::GroupWritePlan plan;
    std::string error;
    ASSERT_TRUE(comm::PlanGroupWrite(doc.table.groups[1], 1, texts, gctx, plan, error)) << error;
    auto points = std::find_if(plan.frames.begin(), plan.frames.end(),
                               [](const comm::WriteFrame& f) { return f.first == 4; });
    ASSERT_NE(points, plan.frames.end());
    EXPECT_EQ(points->values.size(), 4u);  // 01-04..01-07 change together
    // Only parameters the drive changes together share a frame.
    for (const auto& f : plan.frames)
        for (std::size_t k = 0; k + 1 < f.values.size(); ++k)
            EXPECT_TRUE(doc.table.groups[1].params[f.first + k].attr[AttrFlags] & FlagWriteWithNext)
                << f.first + k;

    // A preset curve leaves the points to the drive.
    texts[0] = "1";
    ASSERT_TRUE(comm::PlanGroupWrite(doc.table.groups[1], 1, texts, gctx, plan, error));
    for (const auto& f : plan.frames)
        EXPECT_FALSE(f.first >= 3 && f.first <= 10 &&
                     doc.table.groups[1].params[f.first].attr[AttrFlags] & FlagVfPoint);
    // A reserved curve stops the group with its own words.
    texts[0] = "1A";
    EXPECT_FALSE(comm::PlanGroupWrite(doc.table.groups[1], 1, texts, gctx, plan, error));
    EXPECT_EQ(error, "The value 1A is reserved in the parameter 01-00, can't be writed!");
}

TEST_F(WriteCommandTest, ControlModeOfTheProjectDecidesWhatIsLeftOut) {
    comm::GroupWriteContext gctx;
    gctx.facts.controlMode = 3;  // SV
    gctx.facts.driveVersion = 1.35f;
    gctx.facts.modelCode = kModel;
    std::vector<std::string> texts;
    for (const auto& r : doc.table.groups[6].params) texts.push_back(r.setValue);
    comm::GroupWritePlan plan;
    std::string error;
    ASSERT_TRUE(comm::PlanGroupWrite(doc.table.groups[6], 6, texts, gctx, plan, error));
    EXPECT_NE(std::find(plan.leftOut.begin(), plan.leftOut.end(), 5), plan.leftOut.end());
    for (const auto& f : plan.frames) EXPECT_NE(f.first, 5);
}

TEST_F(WriteCommandTest, ModelMismatchSkipsTheMotorGroupsAndListsThem) {
    frame.setModel(0x35004, ModelNameForCode(0x35004));
    auto ctx = context();
    const auto out = comm::RunWriteCommand(ctx);
    ASSERT_EQ(out.result, CommandResult::Done) << lastError;
    EXPECT_FALSE(out.modelMatch);
    EXPECT_EQ(prompts.texts("question").front(),
              "The N350 model is not match with Parvolt software selected model. Continue ?");
    const auto groups = groupsWritten();
    EXPECT_EQ(groups.count(2), 0u);
    EXPECT_EQ(groups.count(17), 0u);
    EXPECT_EQ(groups.count(3), 1u);
    EXPECT_EQ(prompts.texts("list"),
              std::vector<std::string>{"Motor parameters that can't be written "});
    ASSERT_FALSE(prompts.listRows.empty());
    for (const auto& [code, name] : prompts.listRows)
        EXPECT_TRUE(code.rfind("02-", 0) == 0 || code.rfind("17-", 0) == 0) << code;
    EXPECT_EQ(prompts.texts("message").back(), "Write successful !");
}

TEST_F(WriteCommandTest, RefusalsBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* text;
    } cases[] = {
        {"class", [&] { frame.setModel(0x35023, ModelNameForCode(0x35023)); },
         "The N350 model class isn't the same as the selected model class of "
         "Parvolt(200V/400V),can't be writed!"},
        {"lock", [&] { drive(1).writeRegister(0x0D06, 0); },
         "The parameters are locked,please check 13-06 first."},
        {"running", [&] { drive(1).writeRegister(0x2501, 1); },
         "INV is running,please stop it first."},
        {"auto refresh", [&] { frame.autoRefreshRunning = 1; },
         "PC software is under auto-refresh,Please stop auto-refresh first!"},
        // Set values no register holds: sent, they would arrive as their low 16 bits.
        {"beyond 32 bits", [&] { doc.table.record(8, 15)->setValue = "4294967306"; },
         "08-15: the project holds \"4294967306\", which is not a value of this parameter.\n"
         "Nothing was written."},
        {"beyond 16 bits", [&] { doc.table.record(0, 0)->setValue = "65538"; },
         "00-00: the project holds \"65538\", which is not a value of this parameter.\n"
         "Nothing was written."},
        {"huge date", [&] { doc.table.record(16, 11)->setValue = "42949673/97"; },
         "16-11: the project holds \"42949673/97\", which is not a value of this parameter.\n"
         "Nothing was written."},
        {"not finite", [&] { doc.table.record(0, 14)->setValue = "nan"; },
         "00-14: the project holds \"nan\", which is not a value of this parameter.\n"
         "Nothing was written."},
    };
    for (const auto& c : cases) {
        restart();
        c.arrange();
        auto ctx = context();
        const auto out = comm::RunWriteCommand(ctx);
        EXPECT_EQ(out.result, CommandResult::Refused) << c.name;
        EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{c.text}) << c.name;
        EXPECT_TRUE(writeRequests(peer->requests()).empty()) << c.name;
        for (const auto& f : peer->requests()) EXPECT_NE(f[1], 6) << c.name;
    }
}

class PasswordTest : public TransferTest {
protected:
    // Sets the parameter password of station 1 through the Set command.
    void setPassword(const std::string& pw) {
        ScriptedPrompts p;
        p.passwordAnswers.push_back(PasswordEntry{"", pw, pw});
        comm::TransferContext ctx{link, p, doc, frame.projectFacts(), linkState, lastError};
        ASSERT_EQ(comm::RunSetPassword(ctx, comm::PasswordTarget::parameter()),
                  CommandResult::Done);
        ASSERT_EQ(drive(1).readRegister(0x0D07), 2) << "password active";
    }
};

TEST_F(PasswordTest, WriteUnlocksWithTheRightPassword) {
    setPassword("1234");
    peer->clear();
    prompts.passwordAnswers.push_back(PasswordEntry{"1234", "", ""});
    auto ctx = context();
    const auto out = comm::RunWriteCommand(ctx);
    EXPECT_EQ(out.result, CommandResult::Done) << lastError;
    EXPECT_EQ(prompts.texts("question").front(),
              "The interver exists password,do you want to disable the password?");
    EXPECT_EQ(prompts.texts("password"), std::vector<std::string>{"Password"});
}

TEST_F(PasswordTest, WritePasswordPaths) {
    // A typing mistake is refused in the dialog, which stays open; here the user then cancels.
    struct Case {
        const char* name;
        std::optional<PasswordEntry> entry;
        bool disable;
        std::vector<std::string> messages;
        std::vector<std::string> refused;
    } cases[] = {
        {"wrong", PasswordEntry{"1111", "", ""}, true, {"Password Error."}, {}},
        {"beyond", PasswordEntry{"12345", "", ""}, true, {}, {"Beyond the range(0~9999)!"}},
        {"not decimal", PasswordEntry{"12a", "", ""}, true, {}, {"Password must be Decimal."}},
        {"cancel dialog", std::nullopt, true, {}, {}},
        {"keep password", PasswordEntry{"1234", "", ""}, false, {}, {}},
    };
    for (const auto& c : cases) {
        restart();
        setPassword("1234");
        peer->clear();
        prompts.questionAnswers.push_back(c.disable);
        prompts.passwordAnswers.push_back(c.entry);
        auto ctx = context();
        EXPECT_EQ(comm::RunWriteCommand(ctx).result, CommandResult::Refused) << c.name;
        EXPECT_EQ(prompts.texts("message"), c.messages) << c.name;
        EXPECT_EQ(prompts.texts("refused"), c.refused) << c.name;
        EXPECT_TRUE(writeRequests(peer->requests()).empty()) << c.name;
        for (const auto& f : peer->requests())
            if (f[1] == 6) {
                EXPECT_EQ(std::string(c.name), "wrong") << "only a valid entry is sent";
            }
    }
}

TEST_F(PasswordTest, MistypedPasswordKeepsTheDialogOpenUntilItIsRight) {
    const auto param = comm::PasswordTarget::parameter();
    struct Step {
        bool set;
        std::vector<PasswordEntry> typed;
        std::vector<std::string> shown;
    } steps[] = {
        {true,
         {{"", "12", "21"},
          {"", "", ""},
          {"", "5x", "5x"},
          {"", "10000", "10000"},
          {"", "4321", "4321"}},
         {"station: Station Select", "password: Set Password",
          "refused: The password of two times not match.", "refused: Password cann't be null.",
          "refused: Password must be Decimal.", "refused: Beyond the range(0~9999)!",
          "message: The password is set."}},
        {true,
         {{"4321", "77", "78"}, {"4321", "77", "77"}},
         {"station: Station Select", "password: Alter Password",
          "refused: The password of two times not match.", "message: The password is set."}},
        {false,
         {{"99999", "", ""}, {"77", "", ""}},
         {"station: Station Select", "password: Password", "refused: Beyond the range(0~9999)!",
          "message: The password is cleared."}},
    };
    for (const auto& step : steps) {
        prompts.shown.clear();
        peer->clear();
        for (const auto& e : step.typed) prompts.passwordAnswers.push_back(e);
        auto ctx = context();
        const auto result =
            step.set ? comm::RunSetPassword(ctx, param) : comm::RunClearPassword(ctx, param);
        EXPECT_EQ(result, CommandResult::Done) << step.shown[1];
        EXPECT_EQ(prompts.shown, step.shown);
        EXPECT_TRUE(prompts.passwordAnswers.empty());
        // A refused entry never reaches the drive: only the accepted one is written.
        std::set<int> written;
        for (const auto& f : peer->requests())
            if (f[1] == 6) written.insert(f[4] * 256 + f[5]);
        for (int v : written) EXPECT_TRUE(v == 4321 || v == 77) << v;
    }
    EXPECT_EQ(drive(1).readRegister(0x0D07), 0);
}

TEST_F(PasswordTest, SetAndClearCommands) {
    auto ctx = context();
    const auto param = comm::PasswordTarget::parameter();
    // Nothing to clear yet.
    EXPECT_EQ(comm::RunClearPassword(ctx, param), CommandResult::Refused);
    EXPECT_EQ(prompts.texts("message").back(), "The interver has no password!");
    // The dialog's checks.
    const std::pair<PasswordEntry, const char*> bad[] = {
        {{"", "", "5"}, "Password cann't be null."},
        {{"", "5x", "5x"}, "Password must be Decimal."},
        {{"", "12", "21"}, "The password of two times not match."},
        {{"", "10000", "10000"}, "Beyond the range(0~9999)!"},
    };
    for (const auto& [entry, text] : bad) {
        prompts.passwordAnswers.push_back(entry);
        EXPECT_EQ(comm::RunSetPassword(ctx, param), CommandResult::Refused) << text;
        EXPECT_EQ(prompts.texts("refused").back(), text);
    }
    EXPECT_EQ(drive(1).readRegister(0x0D07), 0);
    // Set: written twice in a row.
    peer->clear();
    prompts.passwordAnswers.push_back(PasswordEntry{"", "4321", "4321"});
    EXPECT_EQ(comm::RunSetPassword(ctx, param), CommandResult::Done);
    int writes = 0;
    for (const auto& f : peer->requests())
        if (f[1] == 6 && f[2] == 0x0D && f[3] == 0x07 && f[4] * 256 + f[5] == 4321) ++writes;
    EXPECT_EQ(writes, 2);
    EXPECT_EQ(drive(1).readRegister(0x0D07), 2);
    // Alter with a wrong current password.
    prompts.passwordAnswers.push_back(PasswordEntry{"1", "55", "55"});
    EXPECT_EQ(comm::RunSetPassword(ctx, param), CommandResult::Failed);
    EXPECT_EQ(prompts.texts("message").back(), "Password Error.");
    // Clear: wrong, then right.
    prompts.passwordAnswers.push_back(PasswordEntry{"1", "", ""});
    EXPECT_EQ(comm::RunClearPassword(ctx, param), CommandResult::Failed);
    EXPECT_EQ(prompts.texts("message").back(), "Password Error.");
    prompts.passwordAnswers.push_back(PasswordEntry{"4321", "", ""});
    EXPECT_EQ(comm::RunClearPassword(ctx, param), CommandResult::Done);
    EXPECT_EQ(drive(1).readRegister(0x0D07), 0);
}

TEST_F(PasswordTest, PlcPasswordRangeAndRegisters) {
    auto ctx = context();
    const auto plc = comm::PasswordTarget::plc();
    prompts.passwordAnswers.push_back(PasswordEntry{"", "70000", "70000"});
    EXPECT_EQ(comm::RunSetPassword(ctx, plc), CommandResult::Refused);
    EXPECT_EQ(prompts.texts("refused").back(), "Beyond the range(0~65535)!");
    prompts.passwordAnswers.push_back(PasswordEntry{"", "65535", "65535"});
    EXPECT_EQ(comm::RunSetPassword(ctx, plc), CommandResult::Done);
    EXPECT_EQ(drive(1).readRegister(0xAA03), 2);
    prompts.passwordAnswers.push_back(PasswordEntry{"65535", "", ""});
    EXPECT_EQ(comm::RunClearPassword(ctx, plc), CommandResult::Done);
    EXPECT_EQ(drive(1).readRegister(0xAA03), 0);
}

TEST_F(WriteCommandTest, MaximumFrequencyDecidesTheResolutionInHertzNotRegisterSteps) {
    // The project's custom curve with 01-02 at 60.00 Hz (register 6000) stays at two decimals,
    // so a second Write sends 50.00 Hz as 5000 again, not as 500.
    ASSERT_EQ(doc.table.record(1, 0)->setValue, "F");
    doc.table.record(1, 2)->setValue = "60.00";
    auto ctx = context();
    for (int pass = 1; pass <= 2; ++pass) {
        const auto out = comm::RunWriteCommand(ctx);
        ASSERT_EQ(out.result, CommandResult::Done) << lastError;
        EXPECT_EQ(out.highFrequencyMode, std::optional<bool>(false)) << "pass " << pass;
    }
    EXPECT_EQ(drive(1).valueOf("00-11"), doc.table.record(0, 11)->setValue);
    EXPECT_EQ(drive(1).valueOf("01-02"), "60.00");
}

TEST_F(WriteCommandTest, ReadFromOneDriveAndWrittenToAnotherLeavesThemEqual) {
    // Give station 1 settings of its own across several groups.
    for (auto [code, value] : {std::pair{"00-14", "33.3"},
                               {"00-15", "41.0"},
                               {"01-00", "F"},
                               {"03-01", "5"},
                               {"05-03", "12.00"},
                               {"07-00", "1"},
                               {"10-03", "2"},
                               {"10-04", "2.50"},
                               {"12-02", "1"},
                               {"11-36", "0.051"},
                               {"01-05", "20.0"}}) {
        if (!drive(1).setValue(code, value)) ADD_FAILURE() << code << " " << value;
    }
    ASSERT_FALSE(sim::VirtualDrive::differences(drive(1), drive(2)).empty());
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
    auto ctx = context();
    ASSERT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Done) << lastError;
    EXPECT_GT(comm::UploadReadValues(doc.table), 0);
    prompts.stationAnswers.push_back(2);
    ASSERT_EQ(comm::RunWriteCommand(ctx).result, CommandResult::Done) << lastError;
    EXPECT_EQ(sim::VirtualDrive::differences(drive(1), drive(2)), std::vector<std::string>{});
}

TEST_F(WriteCommandTest, UploadCopiesReadValuesIntoSetValues) {
    doc.table.record(0, 1)->readValue = "3";
    doc.table.record(0, 2)->readValue = doc.table.record(0, 2)->setValue;
    const auto before = doc.table.record(0, 3)->setValue;
    EXPECT_EQ(comm::UploadReadValues(doc.table), 1);
    EXPECT_EQ(doc.table.record(0, 1)->setValue, "3");
    EXPECT_EQ(doc.table.paramEdited[0][1], 1);
    EXPECT_EQ(doc.table.paramEdited[0][2], 0);
    EXPECT_EQ(doc.table.record(0, 3)->setValue, before);
}

}  // namespace
}  // namespace pv::test
