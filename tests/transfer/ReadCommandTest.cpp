// The Read command against virtual drives: every group's requests on the wire, the values in the
// project's read values, progress and texts, a failure or a Cancel in the middle.
#include "comm/ReadCommand.h"

#include <gtest/gtest.h>

#include "TransferFixture.h"
#include "comm/GroupRuns.h"
#include "drive/Registers.h"
#include "res/TransferTexts.h"

namespace pv::test {
namespace {

using comm::CommandResult;

class ReadCommandTest : public TransferTest {};

// The read values of every defined, read parameter of groups first..last, compared with what
// the drive shows.
void expectReadValuesMatch(CM240Doc& doc, sim::VirtualDrive& d, int first, int last) {
    for (int g = first; g <= last; ++g)
        for (const auto& r : doc.table.groups[g].params) {
            if (!r.defined || !readByTransfer(r.attr)) continue;
            if (g == 12 && readOnly(r.attr)) continue;  // live monitor values move on
            const auto shown = d.valueOf(r.code());
            ASSERT_TRUE(shown) << r.code();
            EXPECT_EQ(r.readValue, *shown) << r.code();
        }
}

TEST_F(ReadCommandTest, ReadsEveryGroupRunByRunIntoReadValues) {
    drive(1).setValue("00-14", "12.5");
    drive(1).setValue("01-00", "F");
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
    auto ctx = context();
    const auto out = comm::RunReadCommand(ctx);
    ASSERT_EQ(out.result, CommandResult::Done) << ::testing::PrintToString(prompts.shown);
    EXPECT_EQ(prompts.texts("station"), std::vector<std::string>{"Read"});
    EXPECT_EQ(prompts.texts("yesNoCancel"), std::vector<std::string>{"Save file?"});
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"Read Successfully !"});
    const auto progress = prompts.texts("progress");
    ASSERT_EQ(progress.size(), 25u);
    EXPECT_EQ(progress[0], "Read Parameter");
    EXPECT_EQ(progress[1], "Read 00-XX parameter group...");
    EXPECT_EQ(progress[24], "Read 23-XX parameter group...");
    EXPECT_EQ(prompts.progressMin, 0);
    EXPECT_EQ(prompts.progressMax, 25);
    EXPECT_EQ(prompts.progressPos, 25);  // a finished read leaves the bar full
    EXPECT_FALSE(prompts.progressOpen);

    // After the identification reads, exactly the run table of each group in order.
    std::vector<ReadRequest> expected;
    for (int g = 0; g <= 23; ++g)
        for (const auto& r : comm::ReadRunsOfGroup(doc.table.groups[g]))
            expected.push_back({1, g * 256 + r.first, r.count});
    auto reads = readRequests(peer->requests());
    ASSERT_GE(reads.size(), expected.size());
    reads.erase(reads.begin(), reads.end() - static_cast<long>(expected.size()));
    EXPECT_EQ(reads, expected);

    expectReadValuesMatch(doc, drive(1), 0, 23);
    EXPECT_EQ(doc.table.record(0, 14)->readValue, "12.5");
    EXPECT_EQ(doc.table.record(1, 0)->readValue, "F");
    // Reading never touches the set values.
    EXPECT_NE(doc.table.record(0, 14)->setValue, "12.5");
}

TEST_F(ReadCommandTest, ThirtyTwoRegisterRunIsOneRequestWithA69ByteReply) {
    comm::GroupReader reader(link, 1);
    editing::DisplaySettings s;
    ASSERT_EQ(reader.readGroup(doc.table, 14, s, lastError), comm::TransferStatus::Done);
    const auto reads = readRequests(peer->requests());
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0], (ReadRequest{1, 0x0E00, 32}));
    EXPECT_EQ(peer->replyBytes()[0], 69u);
    EXPECT_EQ(reads[1], (ReadRequest{1, 0x0E20, 16}));
    EXPECT_EQ(peer->replyBytes()[1], 37u);
}

TEST_F(ReadCommandTest, RefusedWhileAutoRefreshRuns) {
    frame.autoRefreshRunning = 1;
    auto ctx = context();
    EXPECT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Refused);
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"message: PC software is under auto-refresh,Please stop "
                                       "auto-refresh first!"});
    EXPECT_TRUE(peer->requests().empty());
}

TEST_F(ReadCommandTest, CancelledStationOrSaveQuestionEndsBeforeAnyGroup) {
    prompts.stationAnswers.push_back(std::nullopt);
    auto ctx = context();
    EXPECT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Refused);
    EXPECT_TRUE(peer->requests().empty());
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::Cancel);
    EXPECT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Refused);
    // Only the identification reads went out; no group was read.
    EXPECT_EQ(readRequests(peer->requests()).size(), 3u);
    EXPECT_TRUE(doc.table.record(0, 0)->readValue.empty());
}

TEST_F(ReadCommandTest, FailureInTheMiddleKeepsTheGroupsBefore) {
    // Count the frames up to group 5, then spoil the first reply of group 5.
    std::size_t identification = 3, before = 0;
    for (int g = 0; g < 5; ++g) before += comm::ReadRunsOfGroup(doc.table.groups[g]).size();
    const std::size_t failing = identification + before + 1;
    peer->beforeReply = [&](std::size_t n) {
        if (n == failing) bus->faults(1).set(sim::FaultKind::BadCrc);
    };
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
    auto ctx = context();
    const auto out = comm::RunReadCommand(ctx);
    EXPECT_EQ(out.result, CommandResult::Failed);
    EXPECT_EQ(lastError, "CRC parity error !");
    EXPECT_EQ(prompts.texts("message"), std::vector<std::string>{"CRC parity error !"});
    EXPECT_FALSE(prompts.progressOpen);
    expectReadValuesMatch(doc, drive(1), 0, 4);
    for (int g = 5; g <= 23; ++g)
        for (const auto& r : doc.table.groups[g].params)
            EXPECT_TRUE(r.readValue.empty()) << r.code();
}

TEST_F(ReadCommandTest, CancelBetweenGroupsEndsCleanly) {
    prompts.cancelAtPosition = 3;
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
    auto ctx = context();
    EXPECT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Cancelled);
    EXPECT_FALSE(prompts.progressOpen);
    expectReadValuesMatch(doc, drive(1), 0, 3);
    EXPECT_TRUE(doc.table.record(4, 0)->readValue.empty());
    EXPECT_TRUE(prompts.texts("message").empty());
}

TEST_F(ReadCommandTest, HiddenGroupsAreReadWhenChosen) {
    TransferSelection both;
    both.parameters = both.hiddenParameters = true;
    prompts.transferAnswers.push_back(both);
    drive(1).writeRegister(0x1903, 77);  // 25-03
    prompts.yesNoCancelAnswers.push_back(YesNoCancel::Yes);
    bool saved = false;
    auto ctx = context();
    ctx.saveProject = [&] { return saved = true; };
    ASSERT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Done) << lastError;
    ASSERT_TRUE(comm::HasHiddenGroups(doc.table));
    EXPECT_EQ(doc.table.groups[25].params[3].readValue, "77");
    EXPECT_EQ(doc.table.hiddenGroupsRead, 1);
    EXPECT_EQ(prompts.texts("progress").back(), "Read 28-XX parameter group...");
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace pv::test
