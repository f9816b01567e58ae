// parvolt-cli copymodule: writing a project's set values into a storage group of a copy module,
// and reading a storage group back into a project, through the desktop program's workflows.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "cli/TerminalPrompts.h"
#include "comm/CopyModule.h"
#include "comm/GroupReader.h"
#include "project/DataPaths.h"

namespace pv::cli {

namespace {

const char* const kCopyModuleHelp =
    "Usage: parvolt-cli copymodule write|read --port PORT --group N [--name TEXT]\n"
    "                              [--model NAME] FILE\n"
    "write: writes the set values of the project FILE into storage group N (0..255) of the\n"
    "copy module on PORT, under the group name TEXT (at most 15 characters).\n"
    "read: reads storage group N into the set values of the project FILE and saves it; a FILE\n"
    "that does not exist yet is created for the drive model --model (e.g. N350-2P5-H).\n"
    "PORT is the module's serial port (/dev/ttyUSB0, or the pseudo-terminal that\n"
    "`n350-sim --copy-module --pty` prints). The line is 9600 baud, 8 data bits, no parity.\n";

int runCopyModule(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kCopyModuleHelp, true);
    std::vector<std::string> args = argsIn;
    if (args.empty() || (args[0] != "write" && args[0] != "read"))
        return BadUsage("give write or read", kCopyModuleHelp);
    const bool writing = args[0] == "write";
    args.erase(args.begin());
    std::string port, groupText, name, model;
    if (!TakeOption(args, "--port", port)) return BadUsage("missing --port", kCopyModuleHelp);
    if (!TakeOption(args, "--group", groupText)) return BadUsage("missing --group", kCopyModuleHelp);
    long group = 0;
    if (!ParseNumber(groupText, group) || group < 0 || group > 255)
        return BadUsage("--group must be 0..255", kCopyModuleHelp);
    const bool haveName = TakeOption(args, "--name", name);
    if (haveName && !writing) return BadUsage("--name belongs to write", kCopyModuleHelp);
    const bool haveModel = TakeOption(args, "--model", model);
    if (args.size() != 1) return BadUsage("give one project FILE", kCopyModuleHelp);
    const std::string path = args[0];

    TerminalPrompts prompts;
    prompts.copyModuleChoice = CopyModuleChoice{static_cast<int>(group), name, port};
    FrameState frame;
    ProjectSession project{frame, prompts, DataDir()};
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (writing || exists) {
        if (!project.open(OpenKind::GivenPath, path)) return kExitFailed;
    } else {
        if (!haveModel) return BadUsage(path + " does not exist: give --model", kCopyModuleHelp);
        if (!project.newProject(model)) return kExitFailed;
    }
    CM240Doc& doc = *project.document();
    const auto settings = comm::TransferSettings(doc.table, frame.highFrequencyMode != 0);

    comm::CopyModuleLink link;
    if (writing)
        return comm::WriteToCopyModule(link, doc.table, settings, prompts) ==
                       comm::CopyStatus::Done
                   ? kExitOk
                   : kExitFailed;
    comm::CopyModuleSet set;
    if (comm::ReadFromCopyModule(link, doc.table, prompts, set) != comm::CopyStatus::Done)
        return kExitFailed;
    const int taken = comm::ApplyCopyModuleSet(set, doc.table, settings);
    doc.modified = true;
    if (!project.saveAs(path)) return kExitFailed;
    std::printf("storage group %d \"%s\": %d set values taken, saved %s\n", set.group,
                set.name.c_str(), taken, path.c_str());
    return kExitOk;
}

}  // namespace

PV_CLI_COMMAND("copymodule",
               "write a project into a copy module's storage group, or read one back",
               runCopyModule);

}  // namespace pv::cli
