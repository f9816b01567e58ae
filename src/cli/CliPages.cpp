// parvolt-cli put and compare: the group dialog's single write and the Compare command from a
// shell. put runs every check of a write button, with its texts; compare sets two of a project's
// values (or a project and a drive, or two projects) against each other and says by its exit
// status whether they differ, so that scripts can test a drive against its project.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "comm/GroupReader.h"
#include "comm/PageWrite.h"
#include "editing/Compare.h"
#include "editing/PageModel.h"
#include "project/ModelTable.h"
#include "res/ProjectTexts.h"

namespace pv::cli {

namespace {

const std::string kPutHelp =
    std::string(
        "Usage: parvolt-cli put --port PORT --station N [--project FILE] GG-NN=VALUE...\n"
        "Writes single parameters to the drive at station N exactly as the write button of a\n"
        "parameter page does: read-only rows are refused, then the drive's state (running,\n"
        "13-06 lock, model, firmware, control mode) and the write rules are checked, then the\n"
        "range; each value goes in one function-06 request. Option rows take the option's number\n"
        "or its text (00-00=SLV). The rows' ranges and resolution come from --project FILE, or\n"
        "from a new project of the drive's model. The first refusal ends the command (exit 1).\n"
        "\nLink options:\n") +
    kLinkOptionsHelp;

const std::string kCompareHelp =
    std::string(
        "Usage: parvolt-cli compare A.nf3 [B.nf3 | --port PORT --station N] [--mode 0|1|2]\n"
        "                           [-o FILE.txt] [link options]\n"
        "Lists the parameters whose values differ, one line each (code and name, then the two\n"
        "values, tab-separated) under the name of their group. Modes: 0 factory value against set\n"
        "value of A; 1 factory value against the other side; 2 (default with B or a drive) set\n"
        "value of A against the other side. The other side is B's set values, or the values read\n"
        "from the drive at station N. -o writes the compare text file (CR LF lines) instead of\n"
        "standard output. Exit status: 0 nothing differs, 1 something differs, 2 bad usage or a\n"
        "failure (a file that will not open, a drive that does not answer).\n\nLink options:\n") +
    kLinkOptionsHelp;

constexpr int kCompareTrouble = 2;

// The row text of an assignment: option rows take the number or the option's text.
bool rowText(const editing::PageRow& pr, const std::string& value, std::string& text) {
    if (!pr.isOption()) {
        text = value;
        return true;
    }
    for (std::size_t i = 0; i < pr.row.options.size(); ++i)
        if (OptionMatches(pr.row.options[i], value)) {
            text = std::to_string(static_cast<int>(i) + pr.row.optionOffset());
            return true;
        }
    long n = 0;
    if (!ParseNumber(value, n)) return false;
    text = std::to_string(n);
    return true;
}

struct Assignment {
    int group = 0;
    int index = 0;
    std::string value;
};

int runPut(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kPutHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, projectPath;
    int station = 0;
    const bool haveProject = TakeOption(args, "--project", projectPath);
    if (!takeStation(args, station, error)) return BadUsage(error, kPutHelp);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kPutHelp);
    if (args.empty()) return BadUsage("give at least one GG-NN=VALUE", kPutHelp);
    std::vector<Assignment> assignments;
    for (const std::string& a : args) {
        const auto eq = a.find('=');
        const auto code = ParseParamCode(a.substr(0, eq));
        if (eq == std::string::npos || !code)
            return BadUsage("'" + a + "' is not GG-NN=VALUE", kPutHelp);
        if (!editing::PageOfParameter(code->group, code->index))
            return BadUsage(a.substr(0, eq) + " is on no parameter page", kPutHelp);
        assignments.push_back({code->group, code->index, a.substr(eq + 1)});
    }

    Session s;
    s.prompts.station = station;
    if (haveProject && !s.project.open(OpenKind::GivenPath, projectPath)) return kExitFailed;
    if (!s.openLink(options) || !s.connect(station)) return kExitFailed;
    if (!haveProject) {
        const std::string model = ModelNameForCode(s.open.link.state.modelCode);
        if (model.empty() || !s.project.newProject(model)) {
            std::fprintf(stderr, "unknown drive model 0x%05X\n", s.open.link.state.modelCode);
            return kExitFailed;
        }
    }
    CM240Doc& doc = *s.project.document();
    const editing::DisplaySettings settings =
        comm::TransferSettings(doc.table, s.frame.highFrequencyMode != 0);
    comm::PageWriteContext ctx(&s.open.link.channel(), s.prompts, doc, s.open.link.lastError);
    ctx.stations = {station};
    for (const Assignment& a : assignments) {
        editing::PageModel model(doc.table, a.group, settings);
        const auto at = *editing::PageOfParameter(a.group, a.index);
        editing::PageRow& pr = model.row(at.page, at.row);
        std::string text;
        if (!rowText(pr, a.value, text)) {
            std::fprintf(stderr, text::kCliBadOption, pr.row.code().c_str(), a.value.c_str(),
                         model.rangeLabel(at.page, at.row).c_str());
            std::fputc('\n', stderr);
            return kExitFailed;
        }
        pr.valueText = text;
        if (comm::RunSingleWrite(ctx, model, at.page, at.row) != comm::PageWriteResult::Written)
            return kExitFailed;
        std::printf("%s = %s\n", pr.row.code().c_str(), pr.writtenValue.c_str());
    }
    return kExitOk;
}

int runCompare(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kCompareHelp, true);
    std::vector<std::string> args = argsIn;
    std::string error, modeText, outPath;
    const bool haveMode = TakeOption(args, "--mode", modeText);
    const bool haveOut = TakeOption(args, "-o", outPath) || TakeOption(args, "--output", outPath);
    std::string stationText;
    const bool drive = std::find(args.begin(), args.end(), "--port") != args.end();
    int station = 0;
    LinkOptions options;
    if (drive) {
        if (!takeStation(args, station, error)) return BadUsage(error, kCompareHelp);
        if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kCompareHelp);
    }
    if (args.empty() || args.size() > 2 || (drive && args.size() != 1))
        return BadUsage("give A.nf3 and at most one of B.nf3 or --port", kCompareHelp);
    const bool otherSide = drive || args.size() == 2;
    long modeNumber = otherSide ? 2 : 0;
    if (haveMode && (!ParseNumber(modeText, modeNumber) || modeNumber < 0 || modeNumber > 2))
        return BadUsage("--mode must be 0, 1 or 2", kCompareHelp);
    const auto mode = static_cast<editing::CompareMode>(modeNumber);
    if (editing::NeedsDriveRead(mode) && !otherSide)
        return BadUsage("--mode 1 and 2 need B.nf3 or --port", kCompareHelp);

    Session s;
    s.prompts.station = station;
    if (!s.project.open(OpenKind::GivenPath, args[0])) return kCompareTrouble;
    CM240Doc& doc = *s.project.document();
    if (args.size() == 2) {
        CM240Doc other(doc.dataDir());
        ProjectFrameItems items;
        if (!other.LoadProject(args[1], items)) {
            std::fprintf(stderr, "%s: %s\n", args[1].c_str(), other.lastError.c_str());
            return kCompareTrouble;
        }
        for (std::size_t g = 0; g < doc.table.groups.size(); ++g)
            for (std::size_t i = 0; i < doc.table.groups[g].params.size(); ++i) {
                const ParamRecord* theirs =
                    other.table.record(static_cast<int>(g), static_cast<int>(i));
                doc.table.groups[g].params[i].readValue = theirs ? theirs->setValue : "";
            }
    } else if (drive && editing::NeedsDriveRead(mode)) {
        if (!s.openLink(options) || !s.connect(station)) return kCompareTrouble;
        auto ctx = s.context();
        if (comm::ReadAllForCompare(ctx).result != comm::CommandResult::Done)
            return kCompareTrouble;
    }
    const editing::CompareResult result = editing::BuildCompare(doc.table, mode);
    const std::string text = editing::CompareText(result, mode);
    if (haveOut) {
        std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
        if (!(out << text) || !out.flush()) {
            std::fprintf(stderr, "%s: can not be written\n", outPath.c_str());
            return kCompareTrouble;
        }
    } else {
        for (char c : text)
            if (c != '\r') std::fputc(c, stdout);
    }
    const int n = editing::DifferenceCount(result);
    std::fprintf(stderr, "%d parameter%s differ%s\n", n, n == 1 ? "" : "s", n == 1 ? "s" : "");
    return n == 0 ? kExitOk : kExitFailed;
}

}  // namespace

PV_CLI_COMMAND("put", "write single parameters to a drive with every check of a parameter page",
               runPut);
PV_CLI_COMMAND("compare", "list the parameters that differ between a project and a drive or file",
               runCompare);

}  // namespace pv::cli
