#include "comm/PlcMonitor.h"

#include <array>
#include <cstdio>

#include "comm/ModbusFrames.h"
#include "comm/PlcTransfer.h"
#include "drive/Registers.h"
#include "plc/PlcSearch.h"
#include "res/CommTexts.h"
#include "res/Format.h"
#include "res/PlcLinkTexts.h"
#include "res/ProjectTexts.h"

namespace pv::comm {

namespace {

constexpr std::uint16_t kRegPlcMode = drive::ParamRegister(0, 2);
constexpr std::uint16_t kPlcModeValue = 3;

// A silent read: the monitor tells its failures its own way.
bool readOne(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t& value) {
    std::string ignored;
    return ReadStored(link, station, reg, value, ignored);
}

}  // namespace

CommandResult StartPlcMonitor(TransferContext& ctx, int station, bool documentModified,
                              bool& programRead) {
    programRead = false;
    if (!plc::CoilsUsedOnce(ctx.doc.plc, ctx.prompts)) return CommandResult::Refused;
    std::uint16_t mode = 0;
    if (!readOne(ctx.link, station, kRegPlcMode, mode)) {
        ctx.prompts.message(res::kCommunicationError);
        return CommandResult::Failed;
    }
    if (mode != kPlcModeValue) {
        ctx.prompts.message(res::Format(res::kNotPlcStation, station));
        return CommandResult::Refused;
    }
    if (ctx.prompts.yesNo(res::kReadProgramFromInverter)) {
        if (documentModified) {
            switch (ctx.prompts.yesNoCancel(text::kSaveFileQuestion)) {
                case YesNoCancel::Cancel:
                    return CommandResult::Refused;
                case YesNoCancel::Yes:
                    if (ctx.saveProject && !ctx.saveProject()) return CommandResult::Refused;
                    break;
                case YesNoCancel::No:
                    break;
            }
        }
        const CommandResult r = ReadPlcProgram(ctx, station, ctx.project.plcProgramForeign);
        programRead = r != CommandResult::Refused;
        if (r != CommandResult::Done) return r;
    }
    if (!SetPlcRunning(ctx, station, true)) return CommandResult::Failed;
    return CommandResult::Done;
}

PlcPoll PollPlc(serial::CSerial& link, int station) {
    PlcPoll poll;
    std::uint16_t run = 0;
    if (!readOne(link, station, drive::kRegPlcRun, run)) return poll;
    poll.running = run != 0;
    if (poll.running) {
        std::array<std::uint8_t, ReadReplyLength(plc::kStateRegisters)> reply{};
        if (ReadRegisters(link, station, drive::kRegPlcControl1, plc::kStateRegisters,
                          reply.data()) != serial::ErrNone ||
            reply[1] != drive::kFuncRead)
            return poll;
        for (int k = 0; k < plc::kStateRegisters; ++k) poll.registers[k] = ReplyRegister(reply.data(), k);
    }
    poll.ok = true;
    return poll;
}

bool ForcePlcInput(TransferContext& ctx, int station, int n, bool on) {
    const auto value = static_cast<std::uint16_t>(on ? (1u << (n - 1)) << 8 : 0);
    if (n >= 1 && n <= 8) return WritePlcCommand(ctx, station, drive::kRegPlcControl1, value);
    ctx.prompts.message(res::kCommunicationError);
    return false;
}

bool ForcePlcRelay(TransferContext& ctx, int station, int n, bool on) {
    std::uint16_t word = 0;
    if (n >= 1 && n <= 15 && readOne(ctx.link, station, drive::kRegPlcControl4, word)) {
        const auto bit = static_cast<std::uint16_t>(n <= 8 ? 1u << (n - 1 + 8) : 1u << (n - 9));
        word = on ? static_cast<std::uint16_t>(word | bit) : static_cast<std::uint16_t>(word & ~bit);
        return WritePlcCommand(ctx, station, drive::kRegPlcControl4, word);
    }
    ctx.prompts.message(res::kCommunicationError);
    return false;
}

}  // namespace pv::comm
