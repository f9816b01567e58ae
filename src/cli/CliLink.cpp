// parvolt-cli commands on the drive link: identify (Connect's checks on a station list) and raw
// (one Modbus transaction, for poking a register).

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "comm/StationList.h"
#include "comm/Transactions.h"
#include "project/ModelTable.h"
#include "res/CommTexts.h"
#include "res/ScriptedPrompts.h"
#include "drive/Version.h"

namespace pv::cli {

namespace {

const std::string kIdentifyHelp =
    std::string(
        "Usage: parvolt-cli identify --port PORT --stations LIST "
        "[OPTIONS]\n"
        "Opens the link and identifies every station of LIST as "
        "Connect does. Prints one line per\n"
        "station: station, model code, model name, software "
        "version.\n\nOptions:\n"
        "  --stations LIST    stations to identify, e.g. 1,3,5-12\n") +
    kLinkOptionsHelp;

const std::string kRawHelp =
    std::string(
        "Usage: parvolt-cli raw --port PORT --station N read REG COUNT\n"
        "       parvolt-cli raw --port PORT --station N write REG VALUE\n"
        "One Modbus transaction. REG is a register number (3328, 0x0D00) or a parameter code\n"
        "(13-00); VALUE is decimal or 0x-hexadecimal. read prints one line per register:\n"
        "register, parameter code, value in decimal and hexadecimal. Station 0 with write sends\n"
        "a broadcast, which no drive answers.\n\nOptions:\n"
        "  --station N        the drive's station number (default 1)\n") +
    kLinkOptionsHelp;

void showTexts(const ScriptedPrompts& prompts, const std::string& skip = {}) {
    for (const auto& kind : {"error", "message"})
        for (const auto& t : prompts.texts(kind))
            if (t != skip) std::fprintf(stderr, "%s\n", t.c_str());
}

int runIdentify(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kIdentifyHelp, true);
    std::vector<std::string> args = argsIn;
    LinkOptions options;
    std::string error, stationText;
    if (!TakeOption(args, "--stations", stationText))
        return BadUsage("missing --stations", kIdentifyHelp);
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kIdentifyHelp);
    if (!args.empty()) return BadUsage("unexpected argument: " + args.front(), kIdentifyHelp);

    comm::ConnectRequest request;
    if (stationText.empty()) {
        std::fprintf(stderr, "%s\n", res::kStationNull);
        return kExitFailed;
    }
    if (!comm::ParseStationList(stationText, request.stations, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    OpenLink open;
    if (!OpenLinkFromOptions(options, open, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    request.stationText = stationText;
    request.tcpIp = open.tcpIp;
    ScriptedPrompts prompts;
    prompts.defaultQuestion = false;
    const comm::LinkResult found = open.link.identify(prompts, request);
    open.link.apply(found);
    const comm::LinkState& state = open.link.state;
    if (!found.linked) {
        showTexts(prompts);
        const std::string why = open.link.channel().lastFailure();
        if (!why.empty()) std::fprintf(stderr, "(%s)\n", why.c_str());
        return kExitFailed;
    }
    for (std::size_t i = 0; i < request.stations.size(); ++i) {
        const std::uint32_t code = state.stationModels[i];
        std::printf("%d\t0x%05X\t%s\t%s\n", request.stations[i], code,
                    ModelNameForCode(code).c_str(), drive::VersionText(state.versions[i]).c_str());
    }
    return kExitOk;
}

std::string parameterCode(long reg) {
    const int group = static_cast<int>((reg >> 8) & 0xFF);
    const int index = static_cast<int>(reg & 0xFF);
    if (group > 28 || index >= 100) return "-";  // not a parameter register
    char code[8];
    std::snprintf(code, sizeof code, "%02d-%02d", group, index);
    return code;
}

int runRaw(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kRawHelp, true);
    std::vector<std::string> args = argsIn;
    LinkOptions options;
    std::string error, stationText = "1";
    TakeOption(args, "--station", stationText);
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kRawHelp);
    long station = 0, reg = 0, arg = 0;
    if (!ParseNumber(stationText, station) || station < 0 || station > 247)
        return BadUsage("station must be 0..247", kRawHelp);
    if (args.size() != 3 || (args[0] != "read" && args[0] != "write"))
        return BadUsage("expected: read REG COUNT or write REG VALUE", kRawHelp);
    const bool read = args[0] == "read";
    if (!ParseRegister(args[1], reg)) return BadUsage("bad register: " + args[1], kRawHelp);
    if (!ParseNumber(args[2], arg)) return BadUsage("bad number: " + args[2], kRawHelp);
    if (read && (arg < 1 || arg > 77))
        return BadUsage("COUNT must be 1..77 (a reply holds at most 160 bytes)", kRawHelp);
    if (!read && (arg < 0 || arg > 0xFFFF)) return BadUsage("VALUE must be 0..65535", kRawHelp);
    if (station == 0 && read) return BadUsage("a broadcast cannot be read", kRawHelp);

    OpenLink open;
    if (!OpenLinkFromOptions(options, open, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    const int st = static_cast<int>(station);
    const auto reg16 = static_cast<std::uint16_t>(reg);
    if (read) {
        std::uint8_t reply[comm::ReadReplyLength(77)];
        const auto count = static_cast<std::uint16_t>(arg);
        const auto result = comm::ReadRegisters(open.link.channel(), st, reg16, count, reply);
        const std::string text =
            comm::WriteReplyText(result, reply[1], reply[2], st, drive::kFuncRead);
        if (result != serial::ErrNone || reply[1] != drive::kFuncRead) {
            std::fprintf(stderr, "%s\n", text.empty() ? res::kDataError : text.c_str());
            return kExitFailed;
        }
        for (std::size_t k = 0; k < count; ++k) {
            const long r = reg + static_cast<long>(k);
            const unsigned v = comm::ReplyRegister(reply, k);
            std::printf("0x%04lX\t%s\t%u\t0x%04X\n", r, parameterCode(r).c_str(), v, v);
        }
        return kExitOk;
    }
    if (st == 0) {
        std::uint8_t request[comm::kWriteRequestLength];
        comm::BuildWriteFrame(st, reg16, static_cast<std::uint16_t>(arg), request);
        std::size_t written = 0;
        if (!open.link.channel().Write(request, sizeof request, &written, 800)) {
            std::fprintf(stderr, "%s\n", open.link.channel().lastFailure().c_str());
            return kExitFailed;
        }
        // No reply marks the end of a broadcast: the program stays until the frame has left and
        // the line has been quiet for a frame's silence, else the next program's request would
        // follow too closely and the drives would take both for one spoiled frame.
        std::this_thread::sleep_for(open.link.channel().lineSettings().charTime() *
                                        static_cast<long>(sizeof request) +
                                    open.link.channel().frameSilence());
        return kExitOk;
    }
    std::uint8_t reply[comm::kWriteReplyLength] = {};
    const auto result =
        comm::WriteRegister(open.link.channel(), st, reg16, static_cast<std::uint16_t>(arg), reply);
    const std::string text = comm::WriteReplyText(result, reply[1], reply[2], st, drive::kFuncWrite);
    if (!text.empty() || result != serial::ErrNone) {
        std::fprintf(stderr, "%s\n", text.empty() ? res::kDataError : text.c_str());
        return kExitFailed;
    }
    std::printf("0x%04lX\t%s\t%ld\t0x%04lX\n", reg, parameterCode(reg).c_str(), arg, arg);
    return kExitOk;
}

}  // namespace

PV_CLI_COMMAND("identify", "identify the drives of a station list (Connect's checks)", runIdentify);
PV_CLI_COMMAND("raw", "one Modbus transaction: read or write registers of a station", runRaw);

}  // namespace pv::cli
