// parvolt-cli: the command-line face of Parvolt. Commands register themselves (CliCommand.h).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace pv::cli {

std::vector<Command>& commandRegistry() {
    static std::vector<Command> commands;
    return commands;
}

}  // namespace pv::cli

static void printUsage(std::FILE* out) {
    auto commands = pv::cli::commandRegistry();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    std::fprintf(out,
                 "Usage: parvolt-cli COMMAND [ARGS...]\n"
                 "       parvolt-cli COMMAND --help\n\nCommands:\n");
    for (const auto& c : commands)
        std::fprintf(out, "  %-10s %s\n", c.name.c_str(), c.summary.c_str());
    std::fprintf(
        out, "\nExit status: 0 success, 1 the operation failed (reason on stderr), 2 bad usage.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return pv::cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return pv::cli::kExitOk;
    }
    for (const auto& c : pv::cli::commandRegistry()) {
        if (c.name == name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "parvolt-cli: unknown command '%s'\n\n", name.c_str());
    printUsage(stderr);
    return pv::cli::kExitUsage;
}
