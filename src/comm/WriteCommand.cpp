#include "comm/WriteCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "comm/Connect.h"
#include "comm/GroupRuns.h"
#include "comm/ModbusFrames.h"
#include "comm/Passwords.h"
#include "comm/PlcTransfer.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "res/CommTexts.h"
#include "res/EditingTexts.h"
#include "res/ProjectTexts.h"
#include "res/TransferTexts.h"
#include "drive/Models.h"
#include "drive/Version.h"

namespace pv::comm {

namespace {

constexpr int kWriteProgressMax = 24;
constexpr std::uint16_t kRegStatusWord = drive::kRegStatusFirst;  // bit 0: running
constexpr int kMotorGroups[] = {2, 17};

std::string groupText(const char* format, int group) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, group);
    return buf;
}

// The control-mode pre-write: the project's 00-00 goes first so that the drive judges every
// later parameter in the project's mode; then the drive's 01-02 sets the monitor's frequency
// unit.
bool preWriteControlMode(TransferContext& ctx, int station, std::uint16_t mode,
                         WriteOutcome& out) {
    if (!WriteSingle(ctx, station, drive::ParamRegister(0, 0), mode)) return false;
    std::uint16_t maxFrequency = 0;
    if (!ReadSingle(ctx, station, drive::ParamRegister(1, 2), maxFrequency)) return false;
    out.frequencyUnit = maxFrequency > 3000 ? 1 : 0;
    return true;
}

}  // namespace

std::vector<int> WriteGroupOrder(const ParamTable& table, bool modelMatch, bool hidden) {
    std::vector<int> order = {0, 1};
    if (modelMatch) order.push_back(2);
    for (int g = 3; g <= 13; ++g) order.push_back(g);
    order.push_back(16);
    if (modelMatch) order.push_back(17);
    for (int g = 18; g <= 22; ++g) order.push_back(g);
    if (table.groups.size() > 23 && table.groups[23].defined) order.push_back(23);
    if (hidden && HasHiddenGroups(table))
        for (int g : {25, 26, 28}) order.push_back(g);
    return order;
}

CommandResult PrepareParameterWrite(TransferContext& ctx, int station) {
    std::uint16_t status = 0;
    if (!ReadSingle(ctx, station, kRegStatusWord, status)) return CommandResult::Failed;
    if (status & 1u) {
        ctx.prompts.message(res::kRunning);
        return CommandResult::Refused;
    }
    if (!UnlockParameterPassword(ctx, station)) return CommandResult::Refused;
    return CommandResult::Done;
}

namespace {

// The register value a text stands for in its parameter's format; nullopt for no number.
std::optional<std::uint16_t> registerOf(const ParamTable& table, int group, int index,
                                        const std::string& text,
                                        const editing::DisplaySettings& settings) {
    const ParamRecord* rec = table.record(group, index);
    if (!rec || text.empty()) return std::nullopt;
    std::uint16_t reg = 0;
    double value = 0;
    if (!editing::ParamRow::fromRecord(group, index, *rec).parseText(text, settings, reg, value))
        return std::nullopt;
    return reg;
}

// Whether a planned frame carries a value the drive (as just read) does not hold.
bool frameDiffers(const ParamTable& table, int group, const WriteFrame& f,
                  const editing::DisplaySettings& settings) {
    for (std::size_t k = 0; k < f.values.size(); ++k) {
        const int index = f.first + static_cast<int>(k);
        const auto held = registerOf(table, group, index, table.record(group, index)->readValue,
                                     settings);
        if (!held || *held != f.values[k]) return true;
    }
    return false;
}

// What the group writer sent (or would send) for the set values of `group`.
std::vector<WriteFrame> plannedFrames(const ParamTable& table, int group,
                                      const GroupWriteContext& gctx) {
    std::vector<std::string> texts;
    for (const ParamRecord& r : table.groups[group].params) texts.push_back(r.setValue);
    GroupWritePlan plan;
    std::string error;
    PlanGroupWrite(table.groups[group], group, texts, gctx, plan, error);
    return plan.frames;
}

}  // namespace

CommandResult WriteParameters(TransferContext& ctx, int station, const GroupWriteContext& gctx,
                              bool modelMatch, bool withPlc, bool hidden, WriteOutcome& outcome) {
    if (!withPlc && !ctx.prompts.question(res::kDataMayBeLost)) return CommandResult::Refused;

    const ParamTable& table = ctx.doc.table;
    const std::vector<int> order = WriteGroupOrder(table, modelMatch, hidden);
    int reads = 0;
    GroupWriter writer(ctx.link, station);
    if (ctx.changedOnly) {
        // The drive's own values first: only frames carrying a value it does not hold are sent.
        ReadOutcome read;
        const CommandResult r = ReadGroupList(ctx, station, order, read);
        reads = read.transactions;
        outcome.transactions = reads;
        if (r != CommandResult::Done) return r;
        writer.setFrameFilter([&](int g, const WriteFrame& f) {
            if (!frameDiffers(table, g, f, gctx.settings)) return false;
            outcome.parametersSent += static_cast<int>(f.values.size());
            return true;
        });
    }

    ctx.prompts.progressBegin(res::kWriteParameterProgress, 0, kWriteProgressMax);
    auto cancelled = [&] { return ctx.prompts.cancelled(); };
    for (int g : order) {
        ctx.prompts.progressText(groupText(res::kWriteGroupProgress, g));
        const TransferStatus s = writer.writeGroup(table, g, gctx, ctx.lastError, cancelled);
        outcome.transactions = reads + writer.transactions();
        if (s == TransferStatus::Cancelled) return CommandResult::Cancelled;
        if (s == TransferStatus::Failed) {
            ctx.prompts.progressEnd();
            ctx.prompts.message(ctx.lastError);
            return CommandResult::Failed;
        }
        if (g == 1 && writer.highFrequencyMode())
            outcome.highFrequencyMode = *writer.highFrequencyMode();
        ctx.prompts.progressPosition(std::min(g, kWriteProgressMax));
    }
    // The bar advances to the group in work; a finished transfer shows it full.
    ctx.prompts.progressPosition(kWriteProgressMax);

    if (ctx.verify) {
        ReadOutcome back;
        const CommandResult r = ReadGroupList(ctx, station, order, back);
        outcome.transactions += back.transactions;
        if (r != CommandResult::Done) return r;
        for (int g : order)
            for (const WriteFrame& f : plannedFrames(table, g, gctx))
                for (std::size_t k = 0; k < f.values.size(); ++k) {
                    const int index = f.first + static_cast<int>(k);
                    const ParamRecord& rec = *table.record(g, index);
                    const auto held = registerOf(table, g, index, rec.readValue, gctx.settings);
                    if (!held || *held != f.values[k])
                        outcome.verifyDifferences.emplace_back(std::string(rec.code()),
                                                               std::string(rec.name()));
                }
        if (!outcome.verifyDifferences.empty())
            ctx.prompts.parameterList(res::kVerifyDiffers, outcome.verifyDifferences);
    }
    return CommandResult::Done;
}

WriteOutcome RunWriteCommand(TransferContext& ctx) {
    WriteOutcome out;
    if (ctx.project.autoRefreshRunning) {
        ctx.prompts.message(text::kAutoRefreshRunning);
        return out;
    }
    const auto station = ctx.prompts.chooseStation(StationDialog::Select, ctx.linkState.stations);
    if (!station) return out;
    out.station = *station;

    std::uint16_t driveType = 0, capacity = 0, version = 0;
    if (!ReadStored(ctx, *station, drive::kRegDriveType, driveType)) return out;
    if (!ReadSingle(ctx, *station, drive::kRegCapacity, capacity)) return out;
    const std::uint32_t driveModel = drive::ModelCodeOfCapacity(capacity);
    const std::uint32_t projectModel = ctx.project.modelCode;
    if (driveModel != projectModel) {
        if (drive::VoltageClassOf(driveModel) != drive::VoltageClassOf(projectModel)) {
            ctx.prompts.message(res::kModelClassMismatch);
            return out;
        }
        if (!ctx.prompts.question(res::kModelMismatch)) return out;
        out.modelMatch = false;
    }
    if (!ReadSingle(ctx, *station, drive::kRegVersion, version)) return out;
    {
        std::lock_guard lock(ctx.doc.tableMutex());
        ctx.doc.driveSoftwareVersion = drive::VersionValue(version);
    }

    TransferOffer offer;
    offer.plcProgram = true;
    offer.writeChecks = true;
    const auto choice = ctx.prompts.chooseTransfer(res::kWriteCaption, offer);
    if (!choice || !choice->any()) return out;
    ctx.changedOnly = ctx.changedOnly || choice->changedOnly;
    ctx.verify = ctx.verify || choice->verify;
    const bool params = choice->parameters || choice->hiddenParameters;
    const bool withPlc = choice->plcProgram;

    GroupWriteContext gctx;
    gctx.settings = TransferSettings(ctx.doc.table, ctx.project.highFrequencyMode);
    gctx.facts.driveVersion = static_cast<float>(drive::VersionValue(version));
    gctx.facts.modelCode = driveModel;
    if (params) {
        if (const auto bad = FindUnsendableValue(
                ctx.doc.table, WriteGroupOrder(ctx.doc.table, out.modelMatch, choice->hiddenParameters),
                gctx.settings)) {
            char buf[256];
            std::snprintf(buf, sizeof buf, res::kUnsendableSetValue,
                          std::string(ctx.doc.table.record(bad->group, bad->index)->code()).c_str(),
                          bad->text.substr(0, 40).c_str());
            ctx.prompts.message(buf);
            return out;
        }
        std::uint16_t lock = 0;
        if (!ReadSingle(ctx, *station, drive::kRegLock, lock)) return out;
        if (lock == 0) {
            ctx.prompts.message(res::kLocked);
            return out;
        }
        // The pre-write is itself a parameter write: the drive must be stopped and unlocked
        // before it, not only before the groups.
        if (const CommandResult r = PrepareParameterWrite(ctx, *station);
            r != CommandResult::Done) {
            out.result = r;
            return out;
        }
        // 00-00 passed the check above with the other set values.
        std::uint16_t modeValue = 0;
        if (const ParamRecord* mode = ctx.doc.table.record(0, 0); mode && mode->defined) {
            double value = 0;
            editing::ParamRow::fromRecord(0, 0, *mode).parseText(mode->setValue, gctx.settings,
                                                                 modeValue, value);
        }
        if (!preWriteControlMode(ctx, *station, modeValue, out)) {
            out.result = CommandResult::Failed;
            return out;
        }
        gctx.facts.controlMode = modeValue;
    }

    // The program goes first: its questions come before any progress is shown.
    PlcWriteOutcome plcOut;
    if (withPlc) {
        plcOut = WritePlcProgram(ctx, *station);
        if (plcOut.result != CommandResult::Done) {
            ctx.prompts.progressEnd();
            out.result = plcOut.result;
            return out;
        }
        out.plcProgramWritten = true;
    }
    if (params) {
        const CommandResult r = WriteParameters(ctx, *station, gctx, out.modelMatch, withPlc,
                                                choice->hiddenParameters, out);
        if (r != CommandResult::Done) {
            ctx.prompts.progressEnd();
            out.result = r;
            return out;
        }
    }
    ctx.prompts.progressEnd();
    if (!out.modelMatch) {
        for (int g : kMotorGroups) {
            if (g >= static_cast<int>(ctx.doc.table.groups.size())) continue;
            for (const ParamRecord& r : ctx.doc.table.groups[g].params)
                if (r.defined)
                    out.notWritten.emplace_back(std::string(r.code()), std::string(r.name()));
        }
        ctx.prompts.parameterList(res::kMotorParamsNotWritten, out.notWritten);
    }
    ctx.prompts.message(res::kWriteSuccessful);
    if (plcOut.stoppedPlc) OfferPlcRestart(ctx, *station);
    out.result = CommandResult::Done;
    return out;
}

}  // namespace pv::comm
