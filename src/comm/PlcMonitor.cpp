#include "comm/PlcMonitor.h"

#include <array>
#include <cstdio>

#include "comm/ModbusFrames.h"
#include "comm/PlcTransfer.h"
#include "drive/Registers.h"
#include "res/CommTexts.h"
#include "res/PlcLinkTexts.h"
#include "res/ProjectTexts.h"

namespace pv::comm {

namespace {

constexpr std::uint16_t kRegPlcMode = drive::ParamRegister(0, 2);
constexpr std::uint16_t kPlcModeValue = 3;

bool readOne(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t& value) {
    std::array<std::uint8_t, ReadReplyLength(1)> reply{};
    if (ReadRegisters(link, station, reg, 1, reply.data()) != serial::ErrNone ||
        reply[1] != drive::kFuncRead)
        return false;
    value = ReplyRegister(reply.data(), 0);
    return true;
}

bool writeOne(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t value) {
    std::array<std::uint8_t, kWriteReplyLength> reply{};
    return WriteRegister(link, station, reg, value, reply.data()) == serial::ErrNone &&
           reply[1] == drive::kFuncWrite;
}

}  // namespace

CommandResult StartPlcMonitor(TransferContext& ctx, int station, bool documentModified,
                              bool& programRead) {
    programRead = false;
    if (const auto coil = ctx.doc.plc.CheckDoubleCoils()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, text::kCoilReused, coil->c_str());
        ctx.prompts.error(buf);
        return CommandResult::Refused;
    }
    std::uint16_t mode = 0;
    if (!readOne(ctx.link, station, kRegPlcMode, mode)) {
        ctx.prompts.message(res::kCommunicationError);
        return CommandResult::Failed;
    }
    if (mode != kPlcModeValue) {
        char buf[96];
        std::snprintf(buf, sizeof buf, res::kNotPlcStation, station);
        ctx.prompts.message(buf);
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
    if (!writeOne(ctx.link, station, drive::kRegPlcRun, 1)) {
        ctx.prompts.message(res::kCommunicationError);
        return CommandResult::Failed;
    }
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
    if (n >= 1 && n <= 8 && writeOne(ctx.link, station, drive::kRegPlcControl1, value)) return true;
    ctx.prompts.message(res::kCommunicationError);
    return false;
}

bool ForcePlcRelay(TransferContext& ctx, int station, int n, bool on) {
    std::uint16_t word = 0;
    if (n >= 1 && n <= 15 && readOne(ctx.link, station, drive::kRegPlcControl4, word)) {
        const auto bit = static_cast<std::uint16_t>(n <= 8 ? 1u << (n - 1 + 8) : 1u << (n - 9));
        word = on ? static_cast<std::uint16_t>(word | bit) : static_cast<std::uint16_t>(word & ~bit);
        if (writeOne(ctx.link, station, drive::kRegPlcControl4, word)) return true;
    }
    ctx.prompts.message(res::kCommunicationError);
    return false;
}

}  // namespace pv::comm
