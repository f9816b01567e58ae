// parvolt-cli read, write and password: the group transfer and the password commands of the
// desktop program, for fleets and scripts. Questions are answered by --yes or asked on the
// terminal; progress goes to stderr.
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "cli/CliSession.h"
#include "cli/TerminalPrompts.h"
#include "comm/Connect.h"
#include "comm/Passwords.h"
#include "comm/PlcMonitor.h"
#include "comm/PlcTransfer.h"
#include "comm/ReadCommand.h"
#include "comm/Upload.h"
#include "comm/WriteCommand.h"
#include "project/DataPaths.h"
#include "project/ModelTable.h"
#include "res/CommTexts.h"
#include "res/ProjectTexts.h"

namespace pv::cli {

namespace {

const std::string kReadHelp =
    std::string(
        "Usage: parvolt-cli read --port PORT --station N (-o NEW.nf3 | --into FILE) [--hidden]\n"
        "                        [--yes] [link options]\n"
        "Reads every parameter group of the drive at station N and takes the values into a\n"
        "project: -o creates a new project of the drive's model, --into updates an existing one\n"
        "(its set values become the drive's values). --hidden also reads the hidden groups\n"
        "25..28. --yes answers every question with yes; otherwise questions are asked on the\n"
        "terminal. Ctrl-C stops between two transactions.\n\nLink options:\n") +
    kLinkOptionsHelp;

const std::string kWriteHelp =
    std::string(
        "Usage: parvolt-cli write FILE --port PORT --station N [--hidden] [--yes]\n"
        "                         [--password N] [--changed-only] [--verify] [link options]\n"
        "Writes the set values of the project FILE to the drive at station N, with the drive's\n"
        "checks (model, lock, running, password). --password answers the drive's parameter\n"
        "password when one is active. --hidden also writes the hidden groups the project\n"
        "carries. --changed-only reads the drive first and sends only the parameters whose\n"
        "value differs; --verify reads back what was written and lists (exit 1) every\n"
        "parameter the drive holds differently.\n\nLink options:\n") +
    kLinkOptionsHelp;

const std::string kPasswordHelp =
    std::string(
        "Usage: parvolt-cli password set|clear --port PORT --station N [--plc] --password N\n"
        "                                      [--new N] [link options]\n"
        "set: makes N the drive's parameter password (13-07, 0..9999), or the PLC password\n"
        "(--plc, 0..65535); when a password is active, --password is the current one and --new\n"
        "the new one. clear: lifts the active password N.\n\nLink options:\n") +
    kLinkOptionsHelp;

const std::string kPlcHelp =
    std::string(
        "Usage: parvolt-cli plc read FILE --port PORT --station N [--yes] [--password N]\n"
        "       parvolt-cli plc write FILE --port PORT --station N [--yes] [--password N]\n"
        "       parvolt-cli plc run|stop --port PORT --station N\n"
        "       parvolt-cli plc watch --port PORT --station N [--seconds S]\n"
        "read: the drive's ladder program (program lines and the function blocks it uses) into\n"
        "the project FILE, which is saved. write: the project's ladder program to the drive,\n"
        "with the drive's checks (model, PLC password, a running PLC is stopped after a\n"
        "question, coils used twice are refused); only non-blank lines and changed blocks are\n"
        "sent. run/stop: starts or stops the drive's PLC. watch: reads the element states once a\n"
        "second and prints each change (\"12.0 s  Q01 on\"), for S seconds or until Ctrl-C.\n"
        "--password answers the PLC password\n"
        "when one is set; --yes answers every question with yes.\n\nLink options:\n") +
    kLinkOptionsHelp;

int exitOf(comm::CommandResult r) {
    return r == comm::CommandResult::Done ? kExitOk : kExitFailed;
}

// --------------------------------------------------------------------------------------------

int runRead(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kReadHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, outPath, intoPath;
    int station = 0;
    const bool hidden = takeFlag(args, "--hidden");
    const bool yes = takeFlag(args, "--yes");
    const bool haveOut = TakeOption(args, "-o", outPath) || TakeOption(args, "--output", outPath);
    const bool haveInto = TakeOption(args, "--into", intoPath);
    if (!takeStation(args, station, error)) return BadUsage(error, kReadHelp);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kReadHelp);
    if (!args.empty()) return BadUsage("unexpected argument: " + args.front(), kReadHelp);
    if (haveOut == haveInto) return BadUsage("give either -o NEW.nf3 or --into FILE", kReadHelp);

    Session s;
    s.prompts.assumeYes = yes;
    s.prompts.station = station;
    s.prompts.selection.parameters = true;
    s.prompts.selection.hiddenParameters = hidden;
    // The command saves the project itself once the values are in.
    s.prompts.presetAnswers[text::kSaveFileQuestion] = YesNoCancel::No;
    if (haveInto && !s.project.open(OpenKind::GivenPath, intoPath)) return kExitFailed;
    if (!s.openLink(options) || !s.connect(station)) return kExitFailed;
    if (haveOut) {
        const std::string model = ModelNameForCode(s.open.link.state.modelCode);
        if (model.empty() || !s.project.newProject(model)) {
            std::fprintf(stderr, "unknown drive model 0x%05X\n", s.open.link.state.modelCode);
            return kExitFailed;
        }
    }
    auto ctx = s.context();
    const auto out = comm::RunReadCommand(ctx);
    if (out.result == comm::CommandResult::Cancelled)
        std::fprintf(stderr, "%s\n", text::kCliReadStopped);
    if (out.result != comm::CommandResult::Done) return kExitFailed;
    const int changed = comm::UploadReadValues(ctx.doc.table);
    const std::string path = haveOut ? outPath : intoPath;
    if (!s.project.saveAs(path)) return kExitFailed;
    std::printf("station %d (%s): %d transactions, %d set values taken, saved %s\n", station,
                ModelNameForCode(out.driveModel).c_str(), out.transactions, changed, path.c_str());
    return kExitOk;
}

int runWrite(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kWriteHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, password;
    int station = 0;
    const bool hidden = takeFlag(args, "--hidden");
    const bool yes = takeFlag(args, "--yes");
    const bool havePassword = TakeOption(args, "--password", password);
    const bool changedOnly = takeFlag(args, "--changed-only");
    const bool verify = takeFlag(args, "--verify");
    if (!takeStation(args, station, error)) return BadUsage(error, kWriteHelp);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kWriteHelp);
    if (args.size() != 1) return BadUsage("give one project FILE", kWriteHelp);

    Session s;
    s.prompts.assumeYes = yes;
    s.prompts.station = station;
    s.prompts.selection.parameters = true;
    s.prompts.selection.hiddenParameters = hidden;
    if (havePassword) s.prompts.passwords[PasswordDialog::Enter] = PasswordEntry{password, "", ""};
    if (!s.project.open(OpenKind::GivenPath, args.front())) return kExitFailed;
    if (!s.openLink(options) || !s.connect(station, true)) return kExitFailed;
    auto ctx = s.context();
    ctx.changedOnly = changedOnly;
    ctx.verify = verify;
    const auto out = comm::RunWriteCommand(ctx);
    if (out.result == comm::CommandResult::Done && changedOnly)
        std::printf("station %d: %d transactions, %d parameters sent\n", station,
                    out.transactions, out.parametersSent);
    else if (out.result == comm::CommandResult::Done)
        std::printf("station %d: %d transactions\n", station, out.transactions);
    if (out.result == comm::CommandResult::Done && !out.verifyDifferences.empty())
        return kExitFailed;
    if (out.result == comm::CommandResult::Cancelled) {
        std::fprintf(stderr, text::kCliWriteStopped, out.transactions);
        std::fputc('\n', stderr);
    }
    return exitOf(out.result);
}

int runPassword(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kPasswordHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, password, newPassword;
    int station = 0;
    const bool plc = takeFlag(args, "--plc");
    const bool havePassword = TakeOption(args, "--password", password);
    const bool haveNew = TakeOption(args, "--new", newPassword);
    if (!takeStation(args, station, error)) return BadUsage(error, kPasswordHelp);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kPasswordHelp);
    if (args.size() != 1 || (args.front() != "set" && args.front() != "clear"))
        return BadUsage("give set or clear", kPasswordHelp);
    if (!havePassword) return BadUsage("missing --password", kPasswordHelp);
    const bool set = args.front() == "set";

    Session s;
    s.prompts.station = station;
    const std::string fresh = haveNew ? newPassword : password;
    s.prompts.passwords[PasswordDialog::Set] = PasswordEntry{"", fresh, fresh};
    if (haveNew)
        s.prompts.passwords[PasswordDialog::Alter] =
            PasswordEntry{password, newPassword, newPassword};
    s.prompts.passwords[PasswordDialog::Enter] = PasswordEntry{password, "", ""};
    if (!s.openLink(options)) return kExitFailed;
    s.open.link.state.linked = true;
    s.open.link.state.stations = {station};
    // The password commands need no project; an empty document keeps the context whole.
    CM240Doc doc(DataDir());
    auto ctx = s.open.link.context(s.prompts, doc, s.frame.projectFacts());
    const auto target = plc ? comm::PasswordTarget::plc() : comm::PasswordTarget::parameter();
    return exitOf(set ? comm::RunSetPassword(ctx, target) : comm::RunClearPassword(ctx, target));
}

// Element names in the order the drive publishes them, with their flags.
std::vector<std::pair<std::string, bool>> elementList(const plc::ElementStates& s) {
    std::vector<std::pair<std::string, bool>> out;
    auto add = [&](const char* kind, const auto& flags, int count) {
        for (int i = 0; i < count; ++i) out.emplace_back(ElementName(kind, i + 1), flags[i]);
    };
    add("I", s.I, 8);
    add("Q", s.Q, 3);
    add("M", s.M, 15);
    add("T", s.T, 8);
    add("C", s.C, 8);
    add("G", s.G, 8);
    add("F", s.F, 8);
    return out;
}

int watchPlc(serial::CSerial& link, int station, long seconds, TerminalPrompts& prompts) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::optional<std::vector<std::pair<std::string, bool>>> last;
    std::optional<bool> lastRunning;
    for (auto next = start; !prompts.cancelled(); next += std::chrono::seconds(1)) {
        const double at = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds > 0 && at > static_cast<double>(seconds)) break;
        const comm::PlcPoll poll = comm::PollPlc(link, station);
        if (!poll.ok) {
            std::fprintf(stderr, "%s\n", res::kCommunicationError);
            return kExitFailed;
        }
        if (lastRunning != poll.running)
            std::printf("%6.1f s  PLC %s\n", at, poll.running ? "RUN" : "STOP");
        lastRunning = poll.running;
        const auto now = elementList(plc::StatesFromRegisters(poll.registers));
        for (std::size_t k = 0; k < now.size(); ++k)
            if (!last ? now[k].second : now[k].second != (*last)[k].second)
                std::printf("%6.1f s  %s %s\n", at, now[k].first.c_str(), now[k].second ? "on" : "off");
        std::fflush(stdout);
        last = now;
        std::this_thread::sleep_until(next + std::chrono::seconds(1));
    }
    return kExitOk;
}

int runPlc(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kPlcHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, password;
    int station = 0;
    const bool yes = takeFlag(args, "--yes");
    const bool havePassword = TakeOption(args, "--password", password);
    std::string secondsText;
    long seconds = -1;
    if (TakeOption(args, "--seconds", secondsText) &&
        (!ParseNumber(secondsText, seconds) || seconds < 1))
        return BadUsage("--seconds must be a whole number of seconds", kPlcHelp);
    if (!takeStation(args, station, error)) return BadUsage(error, kPlcHelp);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kPlcHelp);
    if (args.empty()) return BadUsage("give read, write, run or stop", kPlcHelp);
    const std::string action = args.front();
    args.erase(args.begin());
    const bool transfer = action == "read" || action == "write";
    if (!transfer && action != "run" && action != "stop" && action != "watch")
        return BadUsage("give read, write, run, stop or watch", kPlcHelp);
    if (transfer && args.size() != 1) return BadUsage("give one project FILE", kPlcHelp);
    if (!transfer && !args.empty()) return BadUsage("unexpected argument: " + args.front(), kPlcHelp);

    Session s;
    s.prompts.assumeYes = yes;
    s.prompts.station = station;
    s.prompts.selection.plcProgram = true;
    s.prompts.presetAnswers[text::kSaveFileQuestion] = YesNoCancel::No;
    if (havePassword) s.prompts.passwords[PasswordDialog::Enter] = PasswordEntry{password, "", ""};
    if (transfer && !s.project.open(OpenKind::GivenPath, args.front())) return kExitFailed;
    if (!s.openLink(options)) return kExitFailed;
    if (!transfer) {
        s.open.link.state.linked = true;
        s.open.link.state.stations = {station};
        CM240Doc doc(DataDir());
        auto ctx = s.open.link.context(s.prompts, doc, s.frame.projectFacts());
        if (action == "watch") return watchPlc(ctx.link, station, seconds, s.prompts);
        return comm::SetPlcRunning(ctx, station, action == "run") ? kExitOk : kExitFailed;
    }
    if (!s.connect(station)) return kExitFailed;
    auto ctx = s.context();
    if (action == "read") {
        const auto out = comm::RunReadCommand(ctx);
        if (out.result != comm::CommandResult::Done) return kExitFailed;
        if (!s.project.saveAs(args.front())) return kExitFailed;
        std::printf("station %d: %d ladder rows in use, saved %s\n", station,
                    ctx.doc.plc.ladderRowsUsed(), args.front().c_str());
        return kExitOk;
    }
    const auto out = comm::RunWriteCommand(ctx);
    return exitOf(out.result);
}

}  // namespace

PV_CLI_COMMAND("plc", "read or write a drive's ladder program, run or stop its PLC", runPlc);
PV_CLI_COMMAND("read", "read a drive's parameters into a project (new or existing)", runRead);
PV_CLI_COMMAND("write", "write a project's parameters to a drive", runWrite);
PV_CLI_COMMAND("password", "set or clear a drive's parameter or PLC password", runPassword);

}  // namespace pv::cli
