// parvolt-cli adapters: the network adapters that answer the discovery, with the names kept in
// kq4comfile.ini, and giving an adapter a new IP address by its MAC.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "comm/CDriveSerial.h"
#include "comm/NetAdapters.h"
#include "comm/SettingsFiles.h"
#include "res/CopyModuleTexts.h"

namespace pv::cli {

namespace {

const char* const kAdaptersHelp =
    "Usage: parvolt-cli adapters [--address A] [--port N] [--local-port N] [--wait MS]\n"
    "       parvolt-cli adapters --set-ip IP --mac MAC [--address A] [--port N] ...\n"
    "Lists the network adapters that answer the discovery (UDP), one a line: MAC, IP address\n"
    "and the name kept for it in kq4comfile.ini, in the order they answered. With --set-ip the\n"
    "adapter with that MAC (00-20-4a-14-01-18) takes the new address, and the search runs\n"
    "again to show it there.\n"
    "--address   where the query goes (default 255.255.255.255; e.g. 127.255.255.255 for\n"
    "            n350-sim --adapter on this machine)\n"
    "--port      the adapters' UDP port (default 30718)\n"
    "--local-port  the port answers come back to (default 30718; 0 for any free one)\n"
    "--wait      how long the search waits after the last answer, ms (default 2000)\n";

bool takePort(std::vector<std::string>& args, const char* name, int& port, std::string& error) {
    std::string text;
    if (!TakeOption(args, name, text)) return true;
    long v = 0;
    if (!ParseNumber(text, v) || v < 0 || v > 65535) {
        error = std::string(name) + " must be 0..65535";
        return false;
    }
    port = static_cast<int>(v);
    return true;
}

int list(comm::CDriveSerial& channel, const comm::DiscoveryTarget& target,
         const comm::AdapterSettings& names) {
    std::vector<comm::NetAdapter> found;
    if (comm::SearchAdapters(channel, target, names, found) < 0) {
        std::fprintf(stderr, "%s\n", res::kNoAdapterFound);
        return kExitFailed;
    }
    for (const auto& a : found) std::printf("%s\t%s\t%s\n", a.mac.c_str(), a.ip.c_str(), a.name.c_str());
    return kExitOk;
}

int runAdapters(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kAdaptersHelp, true);
    std::vector<std::string> args = argsIn;
    comm::DiscoveryTarget target;
    std::string error, ip, macText, waitText;
    TakeOption(args, "--address", target.address);
    if (!takePort(args, "--port", target.port, error) ||
        !takePort(args, "--local-port", target.localPort, error))
        return BadUsage(error, kAdaptersHelp);
    if (TakeOption(args, "--wait", waitText)) {
        long ms = 0;
        if (!ParseNumber(waitText, ms) || ms < 1 || ms > 60000)
            return BadUsage("--wait must be 1..60000", kAdaptersHelp);
        target.wait = std::chrono::milliseconds(ms);
    }
    const bool setIp = TakeOption(args, "--set-ip", ip);
    const bool haveMac = TakeOption(args, "--mac", macText);
    if (!args.empty()) return BadUsage("unexpected argument: " + args.front(), kAdaptersHelp);
    if (!comm::ValidIpText(target.address))
        return BadUsage("--address must be an IPv4 address", kAdaptersHelp);
    if (setIp != haveMac) return BadUsage("give --set-ip and --mac together", kAdaptersHelp);

    comm::AdapterSettings names;
    comm::ReadKq4ComFile(comm::SettingsLocation::standard(), names);
    comm::CDriveSerial channel;
    if (!setIp) return list(channel, target, names);

    const std::string mac = comm::NormalizedMac(macText);
    if (mac.empty()) return BadUsage(res::kBadMacText, kAdaptersHelp);
    if (!comm::ValidIpText(ip)) return BadUsage(res::kBadIpText, kAdaptersHelp);
    target.applyTo(channel);
    if (!channel.setIPAddress(ip, mac)) {
        std::fprintf(stderr, "%s\n", res::kSetIpFailed);
        return kExitFailed;
    }
    return list(channel, target, names);
}

}  // namespace

PV_CLI_COMMAND("adapters", "find the network adapters, or give one a new IP address by its MAC",
               runAdapters);

}  // namespace pv::cli
