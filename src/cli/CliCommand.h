#pragma once
// Each parvolt-cli command lives in its own file and registers itself here, so that commands
// of different subsystems never have to touch one shared dispatcher.

#include <functional>
#include <string>
#include <vector>

namespace pv::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the operation failed; the system's text is on stderr
inline constexpr int kExitUsage = 2;   // bad usage

// args holds the words after the command name.
using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct Command {
    std::string name;
    std::string summary;  // one line for `parvolt-cli --help`
    CommandFn run;
};

std::vector<Command>& commandRegistry();

// True when the words ask for the command's help (--help or -h).
bool WantsHelp(const std::vector<std::string>& args);
// Prints a command's help: on stdout when it was asked for (returns kExitOk), else on stderr
// after a bad usage (returns kExitUsage).
int Usage(const std::string& help, bool asked);
// Says what was wrong with the command's words, then its help; returns kExitUsage.
int BadUsage(const std::string& why, const std::string& help);

struct CommandRegistrar {
    CommandRegistrar(std::string name, std::string summary, CommandFn fn) {
        commandRegistry().push_back({std::move(name), std::move(summary), std::move(fn)});
    }
};

}  // namespace pv::cli

#define PV_CLI_CONCAT2(a, b) a##b
#define PV_CLI_CONCAT(a, b) PV_CLI_CONCAT2(a, b)
#define PV_CLI_COMMAND(name, summary, fn) \
    static ::pv::cli::CommandRegistrar PV_CLI_CONCAT(pvCliReg_, __LINE__)(name, summary, fn)
