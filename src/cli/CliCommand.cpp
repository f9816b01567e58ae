#include "cli/CliCommand.h"

#include <cstdio>

namespace pv::cli {

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int Usage(const std::string& help, bool asked) {
    std::fprintf(asked ? stdout : stderr, "%s", help.c_str());
    return asked ? kExitOk : kExitUsage;
}

int BadUsage(const std::string& why, const std::string& help) {
    std::fprintf(stderr, "parvolt-cli: %s\n\n", why.c_str());
    return Usage(help, false);
}

}  // namespace pv::cli
