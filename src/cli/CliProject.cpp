// parvolt-cli commands on project files: models, new, info, show, get, set, ladder.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/FrameState.h"
#include "res/Format.h"
#include "app/ProjectActions.h"
#include "cli/CliCommand.h"
#include "cli/CliSession.h"
#include "project/CM240Doc.h"
#include "project/DataPaths.h"
#include "project/ModelDescriptions.h"
#include "project/ModelTable.h"
#include "project/ParamAttr.h"
#include "project/ParamTable.h"
#include "plc/ProgramText.h"
#include "res/EditingTexts.h"
#include "res/ProjectTexts.h"
#include "res/ScriptedPrompts.h"
#include "drive/Models.h"

namespace pv::cli {

namespace {

void fail(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool definitionsPresent() {
    std::FILE* f = std::fopen(DataFile(kParamFileName).c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// An opened project: frame, prompts and session, as the desktop program holds them.
struct OpenedProject {
    FrameState frame;
    ScriptedPrompts prompts;
    ProjectSession session{frame, prompts, DataDir()};

    bool open(const std::string& path) {
        if (!definitionsPresent()) fail(res::Format(text::kCliNoDefinitions, DataDir().c_str()));
        if (session.open(OpenKind::GivenPath, path)) return true;
        failed();
        return false;
    }
    // Passes on to stderr what the session told the user (its messages and its "Error"
    // dialogs, in the order shown); the command has failed.
    int failed() const {
        for (const auto& shown : prompts.shown)
            for (const char* kind : {"message: ", "error: "})
                if (shown.rfind(kind, 0) == 0) fail(shown.substr(std::string_view(kind).size()));
        return kExitFailed;
    }
    CM240Doc& doc() { return *session.document(); }
};

ParamDisplaySettings displaySettings(const FrameState& frame) {
    ParamDisplaySettings s;
    s.highFrequencyMode = frame.highFrequencyMode != 0;
    s.limitsInHertz = frame.limitsInHertz != 0;
    return s;
}

// --------------------------------------------------------------------------------------------

const char* const kModelsUsage =
    "Usage: parvolt-cli models\n"
    "Lists the drive models: name, model code, voltage class, capacity, description.\n";

int runModels(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kModelsUsage, true);
    if (!args.empty()) return Usage(kModelsUsage, false);
    const auto descriptions = LoadModelDescriptions(DataFile(kModelDescriptionsFileName));
    for (const auto& m : ModelsByCode()) {
        std::string desc;
        for (const auto& d : descriptions)
            if (d.name == m.name) desc = d.description.substr(0, d.description.find('\r'));
        std::printf("%s\t0x%X\t%d\t%s\t%s\n", std::string(m.name).c_str(), m.code,
                    drive::VoltageClassOf(m.code), std::string(m.capacity).c_str(), desc.c_str());
    }
    return kExitOk;
}

// --------------------------------------------------------------------------------------------

const char* const kNewUsage =
    "Usage: parvolt-cli new --model NAME -o FILE\n"
    "Creates a project for the model (e.g. N350-2P5-H) with the model's defaults as default\n"
    "and set values, and saves it as FILE.\n";

int runNew(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kNewUsage, true);
    std::string model, out;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--model" || args[i] == "-m") && i + 1 < args.size())
            model = args[++i];
        else if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size())
            out = args[++i];
        else
            return Usage(kNewUsage, false);
    }
    if (model.empty() || out.empty()) return Usage(kNewUsage, false);
    if (!FindModelByName(model)) {
        fail(res::Format(text::kCliUnknownModel, model.c_str()));
        return kExitFailed;
    }
    if (!definitionsPresent()) {
        fail(res::Format(text::kCliNoDefinitions, DataDir().c_str()));
        return kExitFailed;
    }
    OpenedProject p;
    if (!p.session.newProject(model) || !p.session.saveAs(out)) return p.failed();
    return kExitOk;
}

// --------------------------------------------------------------------------------------------

const char* const kInfoUsage =
    "Usage: parvolt-cli info FILE\n"
    "Shows the model, file version, parameter counts and ladder program of a project.\n";

int runInfo(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kInfoUsage, true);
    if (args.size() != 1) return Usage(kInfoUsage, false);
    OpenedProject p;
    if (!p.open(args[0])) return kExitFailed;
    int32_t version = 0;
    ReadProjectVersion(args[0], version);
    const CM240Doc& doc = p.doc();
    const PrintTitleBlock& t = doc.titleBlock;
    std::printf("File:               %s\n", args[0].c_str());
    std::printf("File version:       %d\n", version);
    std::printf("Model code:         0x%X\n", p.frame.modelCode);
    std::printf("Model name:         %s\n", p.frame.modelName.c_str());
    std::printf("Voltage class:      %d (%s V)\n", p.frame.voltageClass,
                p.frame.voltageClass == drive::kVoltageClass400 ? "400" : "200");
    std::printf("Groups defined:     %d\n", doc.table.definedGroupCount());
    std::printf("Parameters defined: %d\n", doc.table.definedParamCount());
    std::printf("Ladder rows used:   %d of %d\n", doc.plc.ladderRowsUsed(), kLadderRows);
    std::printf("Comment lines:      %u\n", doc.plc.commentCount);
    std::printf("Symbols:            %d\n", doc.plc.symbolCount());
    std::printf("Title:              %s\n", PrintTitleBlock::get(t.title).c_str());
    for (int c = 0; c < kGraphChannels; ++c) {
        const GraphChannel& ch = p.frame.graphChannels[c];
        std::printf("Graph channel %d:    %s (%s~%s)\n", c + 1, ch.itemName.c_str(),
                    ch.minimum.c_str(), ch.maximum.c_str());
    }
    return kExitOk;
}

// --------------------------------------------------------------------------------------------

const char* const kShowUsage =
    "Usage: parvolt-cli show FILE [--group GG]\n"
    "One line per defined parameter: code, name, default, set value (tab-separated).\n"
    "Each group starts with a line \"# GG-XX<TAB>name\".\n";

int runShow(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kShowUsage, true);
    std::string file;
    int onlyGroup = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--group" && i + 1 < args.size()) {
            const std::string& g = args[++i];
            if (g.empty() || g.size() > 2 || g.find_first_not_of("0123456789") != std::string::npos)
                return Usage(kShowUsage, false);
            onlyGroup = std::stoi(g);
        } else if (file.empty() && args[i].rfind("-", 0) != 0) {
            file = args[i];
        } else {
            return Usage(kShowUsage, false);
        }
    }
    if (file.empty()) return Usage(kShowUsage, false);
    OpenedProject p;
    if (!p.open(file)) return kExitFailed;
    const auto& groups = p.doc().table.groups;
    if (onlyGroup >= 0 && (onlyGroup >= static_cast<int>(groups.size()) ||
                           !groups[static_cast<size_t>(onlyGroup)].defined)) {
        // An empty listing would read as a group without parameters.
        fail(res::Format(text::kCliUnknownGroup, FormatGroupCode(onlyGroup).c_str()));
        return kExitFailed;
    }
    for (size_t g = 0; g < groups.size(); ++g) {
        if (onlyGroup >= 0 && static_cast<int>(g) != onlyGroup) continue;
        if (!groups[g].defined) continue;
        std::printf("# %s\t%s\n", FormatGroupCode(static_cast<int>(g)).c_str(),
                    groups[g].name.c_str());
        for (const auto& r : groups[g].params) {
            if (!r.defined) continue;
            std::printf("%s\t%s\t%s\t%s\n", std::string(r.code()).c_str(),
                        std::string(r.name()).c_str(), r.defaultValue.c_str(), r.setValue.c_str());
        }
    }
    return kExitOk;
}

// --------------------------------------------------------------------------------------------

const char* const kGetUsage =
    "Usage: parvolt-cli get FILE GG-NN...\n"
    "Prints the set value of each parameter: code and value, tab-separated.\n";

int runGet(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kGetUsage, true);
    if (args.size() < 2) return Usage(kGetUsage, false);
    for (size_t i = 1; i < args.size(); ++i)
        if (!ParseParamCode(args[i])) {
            fail(res::Format(text::kCliBadCode, args[i].c_str()));
            return kExitUsage;
        }
    OpenedProject p;
    if (!p.open(args[0])) return kExitFailed;
    int status = kExitOk;
    for (size_t i = 1; i < args.size(); ++i) {
        const ParamRecord* r = p.doc().table.definedRecord(args[i]);
        if (!r) {
            fail(res::Format(text::kCliUnknownParam, args[i].c_str()));
            status = kExitFailed;
            continue;
        }
        std::printf("%s\t%s\n", args[i].c_str(), r->setValue.c_str());
    }
    return status;
}

// --------------------------------------------------------------------------------------------

const char* const kSetUsage =
    "Usage: parvolt-cli set FILE GG-NN=VALUE...\n"
    "Sets parameter values in the project and saves it. Each value is checked against the\n"
    "parameter's range (option rows take the option's number or its text); if any value is\n"
    "refused nothing is changed.\n";

// The stored text of `value` for record r, or an error text.
bool checkValue(const ParamRecord& r, const std::string& code, const std::string& value,
                const ParamDisplaySettings& s, std::string& stored, std::string& error) {
    if (readOnly(r.attr)) {
        error = res::Format(text::kCliReadOnlyParam, code.c_str());
        return false;
    }
    const std::string range = rangeLabel(r.valueKind, r.attr, r.auxText, s);
    int32_t raw = 0;
    if (isOptionList(r.valueKind)) {
        for (size_t i = 0; i < r.options.size(); ++i)
            if (OptionMatches(r.options[i], value)) {
                raw = static_cast<int32_t>(i) + optionOffset(r.attr);
                stored = std::to_string(raw);
                return true;
            }
        if (!parseValueText(r.valueKind, r.attr, value, raw, s) ||
            !rawInRange(r.valueKind, r.attr, raw, s)) {
            error = res::Format(text::kCliBadOption, code.c_str(), value.c_str(), range.c_str());
            return false;
        }
        stored = std::to_string(raw);
        return true;
    }
    if (parseValueText(r.valueKind, r.attr, value, raw, s) && hasFlag(r.attr, FlagEven) &&
        raw % 2 != 0 && raw >= minRaw(r.attr, s) && raw <= maxRaw(r.attr, s)) {
        error = res::Format(text::kCliValueRefusedByRule, code.c_str(), res::kMustBeEven);
        return false;
    }
    if (!parseValueText(r.valueKind, r.attr, value, raw, s) ||
        !rawInRange(r.valueKind, r.attr, raw, s)) {
        error = res::Format(text::kCliValueOutOfRange, code.c_str(), value.c_str(), range.c_str());
        return false;
    }
    stored = formatRaw(r.valueKind, r.attr, raw, s);
    return true;
}

int runSet(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kSetUsage, true);
    if (args.size() < 2) return Usage(kSetUsage, false);
    struct Assignment {
        std::string code, value, stored;
    };
    std::vector<Assignment> assignments;
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t eq = args[i].find('=');
        if (eq == std::string::npos) return Usage(kSetUsage, false);
        Assignment a{args[i].substr(0, eq), args[i].substr(eq + 1), {}};
        if (!ParseParamCode(a.code)) {
            fail(res::Format(text::kCliBadCode, a.code.c_str()));
            return kExitUsage;
        }
        assignments.push_back(std::move(a));
    }
    OpenedProject p;
    if (!p.open(args[0])) return kExitFailed;
    ParamTable& table = p.doc().table;
    bool ok = true;
    for (auto& a : assignments) {
        const ParamRecord* r = table.definedRecord(a.code);
        std::string error;
        if (!r) {
            fail(res::Format(text::kCliUnknownParam, a.code.c_str()));
            ok = false;
        } else if (!checkValue(*r, a.code, a.value, displaySettings(p.frame), a.stored, error)) {
            fail(error);
            ok = false;
        }
    }
    if (!ok) return kExitFailed;
    for (const auto& a : assignments) {
        table.record(a.code)->setValue = a.stored;
        const auto parts = ParseParamCode(a.code);
        table.paramEdited[parts->group][parts->index] = 1;
    }
    p.doc().modified = true;
    if (!p.session.save()) return p.failed();
    return kExitOk;
}

// --------------------------------------------------------------------------------------------

const char* const kLadderUsage =
    "Usage: parvolt-cli ladder FILE [--set PROGRAM.txt]\n"
    "Prints the ladder program as text: the 80 rows (number, contacts with their gaps, coil)\n"
    "with the comment lines between them (\"//\"), one line per function block the program\n"
    "uses and the symbol table. --set reads such a text back into the project and saves it:\n"
    "rows, comments and symbols become those of the text, each block named takes the fields\n"
    "given. Printing and setting the same text leaves the project's bytes unchanged.\n";

int runLadder(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kLadderUsage, true);
    std::string programFile;
    if (args.size() == 3 && args[1] == "--set")
        programFile = args[2];
    else if (args.size() != 1)
        return Usage(kLadderUsage, false);
    OpenedProject p;
    if (!p.open(args[0])) return kExitFailed;
    PlcProgram& plc = p.doc().plc;
    if (programFile.empty()) {
        std::fputs(ProgramToText(plc).c_str(), stdout);
        return kExitOk;
    }
    std::ifstream in(programFile, std::ios::binary);
    if (!in) {
        fail(text::kCannotOpenFile + std::string(" ") + programFile);
        return kExitFailed;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!ProgramFromText(text.str(), plc, error)) {
        fail(programFile + ": " + error);
        return kExitFailed;
    }
    p.doc().modified = true;
    if (!p.session.save()) return p.failed();
    return kExitOk;
}

}  // namespace

PV_CLI_COMMAND("models", "list the drive models", runModels);
PV_CLI_COMMAND("new", "create a project for a model: new --model NAME -o FILE", runNew);
PV_CLI_COMMAND("info", "model, version and contents of a project file", runInfo);
PV_CLI_COMMAND("show", "list the parameters of a project: show FILE [--group GG]", runShow);
PV_CLI_COMMAND("get", "print set values: get FILE GG-NN...", runGet);
PV_CLI_COMMAND("set", "change set values (range-checked): set FILE GG-NN=VALUE...", runSet);
PV_CLI_COMMAND("ladder", "print a ladder program as text, or set it from text: ladder FILE [--set TXT]", runLadder);

}  // namespace pv::cli
