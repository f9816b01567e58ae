// parvolt-cli read, write and password: the group transfer and the password commands of the
// desktop program, for fleets and scripts. Questions are answered by --yes or asked on the
// terminal; progress goes to stderr.
#include <cstdio>
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

}  // namespace

PV_CLI_COMMAND("read", "read a drive's parameters into a project (new or existing)", runRead);
PV_CLI_COMMAND("write", "write a project's parameters to a drive", runWrite);
PV_CLI_COMMAND("password", "set or clear a drive's parameter or PLC password", runPassword);

}  // namespace pv::cli
