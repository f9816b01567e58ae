// parvolt-cli export / import: the parameter view's Export and Import on a project file, the file
// named on the command line instead of chosen in a dialog.
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "cli/CliCommand.h"
#include "editing/ParamExchange.h"
#include "project/DataPaths.h"
#include "res/ExchangeTexts.h"
#include "res/ScriptedPrompts.h"

namespace pv::cli {

namespace {

std::string lowerExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

// Passes on what the workflow told the user: successes on stdout, everything else on stderr.
void report(const ScriptedPrompts& prompts, const char* success) {
    for (const auto& kind : {"message", "error"})
        for (const auto& t : prompts.texts(kind))
            std::fprintf(t == success ? stdout : stderr, "%s\n", t.c_str());
}

struct Project {
    FrameState frame;
    ScriptedPrompts prompts;
    ProjectSession session{frame, prompts, DataDir()};
    ParamDisplaySettings settings() const {
        return {frame.highFrequencyMode != 0, frame.limitsInHertz != 0};
    }
};

const char* const kExportUsage =
    "Usage: parvolt-cli export FILE.nf3 -o OUT.csv|OUT.xlsx\n"
    "Writes the project's parameters as the parameter view's Export does: a CSV file (model,\n"
    "heading, date and time, then label,value of every defined parameter) or a workbook with one\n"
    "sheet per group (Group0..Group23: description, factory setting, current value).\n";

int runExport(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kExportUsage, true);
    std::string project, out;
    for (size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "-o" || args[i] == "--output") && i + 1 < args.size())
            out = args[++i];
        else if (project.empty() && args[i].rfind("-", 0) != 0)
            project = args[i];
        else
            return Usage(kExportUsage, false);
    }
    if (project.empty() || out.empty()) return Usage(kExportUsage, false);
    const std::string ext = lowerExtension(out);
    if (ext != "csv" && ext != "xlsx") return BadUsage(text::kCliExportKind, kExportUsage);
    Project p;
    if (!p.session.open(OpenKind::GivenPath, project)) {
        report(p.prompts, "");
        return kExitFailed;
    }
    p.prompts.shown.clear();
    p.prompts.fileAnswers.push_back(out);
    const bool ok =
        ExportParameters(*p.session.document(), p.frame.modelName,
                         ext == "csv" ? ExchangeFormat::Csv : ExchangeFormat::Excel, p.prompts);
    report(p.prompts, text::kExportSuccess);
    return ok ? kExitOk : kExitFailed;
}

const char* const kImportUsage =
    "Usage: parvolt-cli import FILE.nf3 IN.csv|IN.xls|IN.xlsx\n"
    "Reads parameter values into the project as the parameter view's Import does and saves the\n"
    "project. A CSV file sets the set values; a workbook sets the factory and set values of the\n"
    "groups it has sheets for. A bad line stops the import and the project is left unchanged.\n";

int runImport(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Usage(kImportUsage, true);
    if (args.size() != 2) return Usage(kImportUsage, false);
    const std::string ext = lowerExtension(args[1]);
    if (ext != "csv" && ext != "xls" && ext != "xlsx")
        return BadUsage(text::kCliImportKind, kImportUsage);
    Project p;
    if (!p.session.open(OpenKind::GivenPath, args[0])) {
        report(p.prompts, "");
        return kExitFailed;
    }
    p.prompts.shown.clear();
    p.prompts.fileAnswers.push_back(args[1]);
    const bool ok = ImportParameters(*p.session.document(), p.prompts, p.settings());
    report(p.prompts, text::kImportSuccess);
    if (!ok) {
        std::fprintf(stderr, "%s\n", text::kCliImportNotSaved);
        return kExitFailed;
    }
    p.prompts.shown.clear();
    if (!p.session.save()) {
        report(p.prompts, "");
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

PV_CLI_COMMAND("export", "parameters to CSV or a workbook: export FILE.nf3 -o OUT.csv|OUT.xlsx",
               runExport);
PV_CLI_COMMAND("import", "parameters from CSV or a workbook: import FILE.nf3 IN.csv|IN.xls|IN.xlsx",
               runImport);

}  // namespace pv::cli
