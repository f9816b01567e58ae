// Every fault a virtual station can put on a reply, against every workflow that talks to the
// drive: the workflow ends with its own text, the project keeps its values, and once the fault is
// gone the same link reads the drive cleanly again.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "TransferFixture.h"
#include "comm/AutoRefresh.h"
#include "comm/Connect.h"
#include "comm/Passwords.h"
#include "comm/WriteCommand.h"

namespace pv::test {
namespace {

using comm::CommandResult;

enum class Workflow { Read, Write, Connect, SetPassword, AutoRefresh };

const char* workflowName(Workflow w) {
    switch (w) {
        case Workflow::Read:
            return "Read";
        case Workflow::Write:
            return "Write";
        case Workflow::Connect:
            return "Connect";
        case Workflow::SetPassword:
            return "Set Password";
        case Workflow::AutoRefresh:
            return "Auto Refresh";
    }
    return "?";
}

// The transaction a workflow's fault is put on: the one that carries what the workflow is for,
// after the steps that only identify the drive.
struct Target {
    std::uint8_t function;
    std::uint16_t first, last;  // the request's first register lies in first..last
    int occurrence;             // counted from 1 among the requests that match
};

Target targetOf(Workflow w) {
    switch (w) {
        case Workflow::Read:
        case Workflow::AutoRefresh:
            return {3, 0x0000, 0x00FF, 1};  // the first read in group 0
        case Workflow::Write:
            return {16, 0x0000, 0x00FF, 1};  // the first write in group 0
        case Workflow::Connect:
            return {3, 0x252F, 0x252F, 2};  // the second look at the drive type
        case Workflow::SetPassword:
            return {6, 0x0D07, 0x0D07, 1};  // the first of the two password writes
    }
    return {};
}

struct FaultCase {
    sim::FaultKind kind;
    int arg;
    // The reply comes after the link has stopped waiting for late replies: the next workflow
    // starts once it has come and gone.
    bool heldBack;
    // The text each workflow ends with, in the order of Workflow.
    const char* read;
    const char* write;
    const char* connect;
    const char* password;
    const char* refresh;
};

#define WRITE_G0 "Station NO: 1:write parameter group 0 "

// The link waits 100 ms for a reply (see TransferTest); the hold-back times are set against it.
const FaultCase kCases[] = {
    {sim::FaultKind::Drop, -1, false, "TimeOut !", WRITE_G0 "TimeOut !", "TimeOut !", "TimeOut !",
     "TimeOut !"},
    {sim::FaultKind::BadCrc, -1, false, "CRC parity error !", WRITE_G0 "CRC parity error !",
     "CRC parity error !", "CRC parity error !", "CRC parity error !"},
    {sim::FaultKind::Delay, 400, true, "TimeOut !", WRITE_G0 "TimeOut !", "TimeOut !", "TimeOut !",
     "TimeOut !"},
    {sim::FaultKind::WrongFunction, -1, false, "Data error !", WRITE_G0 "Data error !",
     "Data error !", "Communication Error.", "Data error !"},
    {sim::FaultKind::Exception, 4, false, "Data error !", WRITE_G0 "register number error",
     "Data error !", "Communication Error.", "Data error !"},
    // Lands while the link still waits out the failed transaction: the link drops it itself.
    {sim::FaultKind::Late, 150, false, "TimeOut !", WRITE_G0 "TimeOut !", "TimeOut !", "TimeOut !",
     "TimeOut !"},
    {sim::FaultKind::Garbage, -1, false, "CRC parity error !", WRITE_G0 "CRC parity error !",
     "CRC parity error !", "CRC parity error !", "CRC parity error !"},
    {sim::FaultKind::Truncated, -1, false, "Data error !", WRITE_G0 "Data error !", "Data error !",
     "Data error !", "Data error !"},
    {sim::FaultKind::Disconnect, -1, false, "TimeOut !", WRITE_G0 "TimeOut !", "TimeOut !",
     "TimeOut !", "TimeOut !"},
};

#undef WRITE_G0

const char* expectedText(const FaultCase& c, Workflow w) {
    switch (w) {
        case Workflow::Read:
            return c.read;
        case Workflow::Write:
            return c.write;
        case Workflow::Connect:
            return c.connect;
        case Workflow::SetPassword:
            return c.password;
        case Workflow::AutoRefresh:
            return c.refresh;
    }
    return "";
}

// The project's values: what a failed transfer must leave as it was.
std::vector<std::string> projectValues(const CM240Doc& doc) {
    std::vector<std::string> out;
    for (const auto& group : doc.table.groups)
        for (const ParamRecord& r : group.params) {
            out.push_back(r.setValue);
            out.push_back(r.readValue);
        }
    return out;
}

// The texts a workflow told the user, with their kind.
std::vector<std::string> toldTexts(const ScriptedPrompts& p) {
    std::vector<std::string> out;
    for (const auto& s : p.shown)
        if (s.rfind("message: ", 0) == 0 || s.rfind("error: ", 0) == 0) out.push_back(s);
    return out;
}

class FaultMatrixTest : public TransferTest {
protected:
    // The one place this suite builds the context the transfer commands work on.
    comm::TransferContext transferContext() {
        return context();
    }

    // Puts `fault` on the reply to the target transaction, once.
    void armFault(const FaultCase& fault, Target target) {
        auto seen = std::make_shared<int>(0);
        peer->beforeReply = [this, fault, target, seen](std::size_t n) {
            const auto frame = peer->requests()[n - 1];
            const int first = frame.size() < 4 ? -1 : frame[2] * 256 + frame[3];
            if (frame.size() < 4 || frame[1] != target.function || first < target.first ||
                first > target.last)
                return;
            if (++*seen == target.occurrence)
                bus->faults(frame[0]).set(fault.kind, sim::FaultMode::Once, fault.arg);
        };
    }

    // Runs the workflow into the armed fault; returns whether it reported a failure.
    bool runFaulted(Workflow w) {
        auto ctx = transferContext();
        switch (w) {
            case Workflow::Read:
                prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
                return comm::RunReadCommand(ctx).result == CommandResult::Failed;
            case Workflow::Write:
                return comm::RunWriteCommand(ctx).result == CommandResult::Failed;
            case Workflow::Connect: {
                comm::ConnectRequest request;
                request.stations = {1};
                request.stationText = "1";
                request.projectModel = kModel;
                comm::LinkState state;
                comm::LinkPanes panes;
                const bool linked = comm::Connect(link, prompts, request, state, panes);
                return !linked && !state.linked && !link.isOpen();
            }
            case Workflow::SetPassword:
                prompts.passwordAnswers.push_back(PasswordEntry{"", "1234", "1234"});
                return comm::RunSetPassword(ctx, comm::PasswordTarget::parameter()) ==
                       CommandResult::Failed;
            case Workflow::AutoRefresh: {
                comm::AutoRefresh refresh(ctx);
                if (!refresh.start()) return false;
                const auto pass = refresh.runOnePass();
                return pass == comm::AutoRefresh::Pass::Failed;
            }
        }
        return false;
    }

    // The fault gone, the wire back and quiet: a Read on the same link (opened again after a
    // Connect that closed it) reads the drive's values.
    void expectCleanRead(const FaultCase& c) {
        peer->beforeReply = nullptr;
        bus->clearFaults();
        bus->setConnected(true);
        if (c.heldBack && link.isOpen()) {
            // Waits (bounded) until the link has seen the held-back reply and dropped it.
            const auto dropped = link.lateRepliesDropped();
            const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            std::uint8_t junk[64];
            std::size_t got = 0;
            while (link.lateRepliesDropped() == dropped && std::chrono::steady_clock::now() < bound)
                link.Read(junk, sizeof junk, &got, 20);
            EXPECT_GT(link.lateRepliesDropped(), dropped) << "the held-back reply never came";
        }
        if (!link.isOpen()) {
            ASSERT_NE(link.InitComm("SIM", 19200, 8, 0, 2.0f), 0);
            link.setResponseTimeout(std::chrono::milliseconds(100));
        }
        drive(1).setValue("00-14", "44.4");
        prompts = ScriptedPrompts{};
        prompts.yesNoCancelAnswers.push_back(YesNoCancel::No);
        auto ctx = transferContext();
        EXPECT_EQ(comm::RunReadCommand(ctx).result, CommandResult::Done) << lastError;
        EXPECT_EQ(toldTexts(prompts), std::vector<std::string>{"message: Read Successfully !"});
        EXPECT_EQ(doc.table.record(0, 14)->readValue, "44.4");
    }
};

TEST_F(FaultMatrixTest, EveryFaultEndsEveryWorkflowWithItsTextAndTheNextReadWorks) {
    const Workflow workflows[] = {Workflow::Read, Workflow::Write, Workflow::Connect,
                                  Workflow::SetPassword, Workflow::AutoRefresh};
    for (const FaultCase& c : kCases) {
        for (const Workflow w : workflows) {
            SCOPED_TRACE(std::string(sim::faultKindName(c.kind)) + " during " + workflowName(w));
            restart();
            const auto before = projectValues(doc);
            armFault(c, targetOf(w));
            EXPECT_TRUE(runFaulted(w));
            EXPECT_GE(bus->faults(1).fired(), 1) << "the fault never reached its transaction";
            EXPECT_EQ(toldTexts(prompts),
                      std::vector<std::string>{std::string("message: ") + expectedText(c, w)});
            EXPECT_TRUE(projectValues(doc) == before) << "the project changed";
            expectCleanRead(c);
        }
    }
}

}  // namespace
}  // namespace pv::test
