#include "comm/PlcTransfer.h"

#include <array>
#include <cstdlib>
#include <mutex>

#include "comm/ModbusFrames.h"
#include "comm/Passwords.h"
#include "comm/Reporters.h"
#include "drive/Registers.h"
#include "plc/PlcSearch.h"
#include "plc/PlcWire.h"
#include "res/CommTexts.h"
#include "res/PlcLinkTexts.h"
#include "res/TransferTexts.h"

namespace pv::comm {

namespace {

using plc::BlockKind;

constexpr int kWriteLinesRange = 75;  // the drive program's own bar for 20 lines
constexpr std::uint16_t kRegPlcMode = drive::ParamRegister(0, 2);  // 00-02: 3 runs the PLC
constexpr std::uint16_t kPlcModeValue = 3;

struct Section {
    BlockKind kind;
    const char* readCaption;
    const char* writeCaption;  // nullptr: the caption stays (counters follow the timers)
};
constexpr Section kSections[] = {
    {BlockKind::Timer, res::kReadTimerProgress, res::kWriteTimerProgress},
    {BlockKind::Counter, res::kReadCounterProgress, nullptr},
    {BlockKind::Comparator, res::kReadAnalogProgress, res::kWriteAnalogProgress},
    {BlockKind::DriveBlock, res::kReadFProgress, res::kWriteFProgress},
    {BlockKind::AddSub, res::kReadAsProgress, res::kWriteAsProgress},
    {BlockKind::MulDiv, res::kReadMdProgress, res::kWriteMdProgress},
};

PlcProgram documentProgram(TransferContext& ctx) {
    std::lock_guard lock(ctx.doc.tableMutex());
    return ctx.doc.plc;
}

void storeProgram(TransferContext& ctx, const PlcProgram& program) {
    {
        std::lock_guard lock(ctx.doc.tableMutex());
        ctx.doc.plc = program;
    }
    if (ctx.refreshViews) ctx.refreshViews();
}

// A function-03 read of the program memory; false for a failed transaction or another function.
bool readBlock(TransferContext& ctx, int station, std::uint16_t first, int count,
               std::uint8_t* reply) {
    const auto err = ReadRegisters(ctx.link, station, first, static_cast<std::uint16_t>(count), reply);
    return err == serial::ErrNone && reply[1] == drive::kFuncRead;
}

// A function-16 write of the program memory. On failure the text the write stores goes to
// lastError: the ErrType's, or "Data error !" for a reply of another function.
bool writeBlock(TransferContext& ctx, int station, std::uint16_t first,
                const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint16_t> values(bytes.size() / 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    std::array<std::uint8_t, kWriteReplyLength> reply{};
    const auto err = WriteRegisters(ctx.link, station, first, values.data(), values.size(),
                                    reply.data());
    if (err != serial::ErrNone) {
        ctx.lastError = ErrTypeText(err);
        return false;
    }
    if (reply[1] != drive::kFuncWriteMultiple) {
        ctx.lastError = res::kDataError;
        return false;
    }
    return true;
}

std::uint16_t blockRegister(const plc::BlockLayout& l, int index) {
    return static_cast<std::uint16_t>(l.firstRegister + l.stride * index);
}

}  // namespace

std::optional<bool> QueryPlcPassword(TransferContext& ctx, int station) {
    std::uint16_t state = 0;
    if (!ReadSingle(ctx, station, drive::kRegPlcPassword3, state)) return std::nullopt;
    return state != 0;
}

bool UnlockPlcPassword(TransferContext& ctx, int station) {
    const auto set = QueryPlcPassword(ctx, station);
    if (!set) return false;
    if (!*set) return true;
    const PasswordTarget target = PasswordTarget::plc();
    const auto entry = ctx.prompts.password(
        PasswordDialog::Enter, [target](const PasswordEntry& e) -> std::optional<std::string> {
            if (auto problem = PasswordTextProblem(e.current)) return problem;
            return PasswordRangeProblem(target, e.current);
        });
    if (!entry) return false;
    const auto value = static_cast<std::uint16_t>(std::strtoul(entry->current.c_str(), nullptr, 10));
    std::array<std::uint8_t, kWriteReplyLength> reply{};
    const auto err = WriteRegister(ctx.link, station, drive::kRegPlcPassword2, value, reply.data());
    if (err != serial::ErrNone) {
        ctx.prompts.message(ErrTypeText(err));
        return false;
    }
    if (reply[1] == drive::kFuncWrite) return true;
    // The drive refuses a wrong entry with exception 3.
    ctx.prompts.message(reply[2] == drive::kIllegalValue ? res::kPasswordError
                                                         : res::kCommunicationError);
    return false;
}

CommandResult ReadPlcProgram(TransferContext& ctx, int station, bool foreignProgram) {
    if (!UnlockPlcPassword(ctx, station)) return CommandResult::Failed;
    PlcProgram program = documentProgram(ctx);
    std::array<std::uint8_t, ReadReplyLength(kMaxReadBlock)> reply{};
    auto fail = [&](CommandResult result) {
        ctx.prompts.progressEnd();
        program.computeUsedBlocks();
        storeProgram(ctx, program);
        if (result == CommandResult::Failed) ctx.prompts.message(res::kCommunicationError);
        return result;
    };

    ctx.prompts.progressBegin(res::kReadPlcProgress, 0, plc::kProgramLines);
    for (int line = 1; line <= plc::kProgramLines; ++line) {
        if (ctx.prompts.cancelled()) return fail(CommandResult::Cancelled);
        ctx.prompts.progressPosition(line);
        const auto first = static_cast<std::uint16_t>(drive::kRegPlcFirst + 10 * (line - 1));
        if (!readBlock(ctx, station, first, plc::kLineBytes / 2, reply.data()))
            return fail(CommandResult::Failed);
        if (line == 1) plc::ClearGrids(program);
        plc::LineBytes bytes{};
        std::copy_n(reply.begin() + 3, bytes.size(), bytes.begin());
        plc::DecodeLine(program, line, bytes);
    }
    program.computeUsedBlocks();

    if (!readBlock(ctx, station, plc::kSecondPresetMaskRegister, 1, reply.data()))
        return fail(CommandResult::Failed);
    const std::uint8_t secondPresetMask = reply[4];

    for (const Section& s : kSections) {
        const plc::BlockLayout& l = plc::Layout(s.kind);
        ctx.prompts.progressText(s.readCaption);
        ctx.prompts.progressRange(0, l.count);
        for (int i = 0; i < l.count; ++i) {
            if (!plc::BlockUsed(program, s.kind, i)) continue;
            if (ctx.prompts.cancelled()) return fail(CommandResult::Cancelled);
            ctx.prompts.progressPosition(i + 1);
            if (!readBlock(ctx, station, blockRegister(l, i), l.readRegisters, reply.data()))
                return fail(CommandResult::Failed);
            plc::DecodeBlock(program, s.kind, i,
                             std::span<const std::uint8_t>(reply.data() + 3, 2 * l.readRegisters),
                             secondPresetMask >> i & 1);
        }
    }
    ctx.prompts.progressEnd();
    if (foreignProgram) {
        program.symbols.clear();
        program.clearComments();
    }
    storeProgram(ctx, program);
    return CommandResult::Done;
}

PlcWriteOutcome WritePlcProgram(TransferContext& ctx, int station) {
    PlcWriteOutcome out;
    if (!UnlockPlcPassword(ctx, station)) return out;
    PlcProgram program = documentProgram(ctx);
    program.computeUsedBlocks();
    if (!plc::CoilsUsedOnce(program, ctx.prompts)) return out;

    std::uint16_t running = 0;
    if (!ReadSingle(ctx, station, drive::kRegPlcRun, running)) return out;
    if (running == 1) {
        if (!ctx.prompts.question(res::kPlcRunningStopFirst)) return out;
        out.stoppedPlc = true;
        if (!WriteSingle(ctx, station, drive::kRegPlcRun, 0)) return out;
    }
    if (!ctx.prompts.question(res::kDataMayBeLost)) return out;
    if (!WritePlcCommand(ctx, station, drive::kRegPlcRun2, 1)) {
        out.result = CommandResult::Failed;
        return out;
    }

    auto fail = [&](CommandResult result) {
        ctx.prompts.progressEnd();
        if (result == CommandResult::Failed) ctx.prompts.message(ctx.lastError);
        out.result = result;
        return out;
    };
    ctx.prompts.progressBegin(res::kWritePlcProgress, 0, kWriteLinesRange);
    for (int line = 1; line <= plc::kProgramLines; ++line) {
        ctx.prompts.progressPosition(line);
        if (plc::LineIsBlank(program, line)) continue;
        if (ctx.prompts.cancelled()) return fail(CommandResult::Cancelled);
        const plc::LineBytes bytes = plc::EncodeLine(program, line);
        const auto first = static_cast<std::uint16_t>(drive::kRegPlcFirst + 10 * (line - 1));
        if (!writeBlock(ctx, station, first, {bytes.begin(), bytes.end()}))
            return fail(CommandResult::Failed);
        ++out.linesSent;
    }

    std::uint16_t secondPresetMask = 0;
    for (const Section& s : kSections) {
        const plc::BlockLayout& l = plc::Layout(s.kind);
        if (s.writeCaption) ctx.prompts.progressText(s.writeCaption);
        ctx.prompts.progressRange(0, l.count);
        for (int i = 0; i < l.count; ++i) {
            ctx.prompts.progressPosition(i + 1);
            if (!plc::BlockUsed(program, s.kind, i) || plc::BlockUnchanged(program, s.kind, i))
                continue;
            if (ctx.prompts.cancelled()) return fail(CommandResult::Cancelled);
            const plc::WireBlock w = plc::EncodeBlock(program, s.kind, i);
            if (!writeBlock(ctx, station, blockRegister(l, i), w.bytes))
                return fail(CommandResult::Failed);
            if (w.secondPresetReference) secondPresetMask |= static_cast<std::uint16_t>(1 << i);
            ++out.blocksSent;
        }
        // The mask follows the timers it describes.
        if (s.kind == BlockKind::Timer &&
            !writeBlock(ctx, station, plc::kSecondPresetMaskRegister,
                        {0, static_cast<std::uint8_t>(secondPresetMask)}))
            return fail(CommandResult::Failed);
    }
    ctx.prompts.progressEnd();
    out.result = CommandResult::Done;
    return out;
}

bool WritePlcCommand(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t value) {
    std::array<std::uint8_t, kWriteReplyLength> reply{};
    const auto err = WriteRegister(ctx.link, station, reg, value, reply.data());
    if (err == serial::ErrNone && reply[1] == drive::kFuncWrite) return true;
    ctx.prompts.message(res::kCommunicationError);
    return false;
}

void OfferPlcRestart(TransferContext& ctx, int station) {
    if (!ctx.prompts.question(res::kPlcStoppedSetRunning)) return;
    std::uint16_t mode = 0;
    if (!ReadSingle(ctx, station, kRegPlcMode, mode)) return;
    if (mode == kPlcModeValue) SetPlcRunning(ctx, station, true);
}

bool SetPlcRunning(TransferContext& ctx, int station, bool running) {
    return WritePlcCommand(ctx, station, drive::kRegPlcRun, running ? 1 : 0);
}

}  // namespace pv::comm
