#include "comm/ReadCommand.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "comm/Connect.h"
#include "comm/GroupRuns.h"
#include "comm/ModbusFrames.h"
#include "comm/PlcTransfer.h"
#include "drive/Registers.h"
#include "comm/Reporters.h"
#include "res/CommTexts.h"
#include "res/ProjectTexts.h"
#include "res/TransferTexts.h"
#include "drive/Models.h"
#include "drive/Version.h"

namespace pv::comm {

namespace {

constexpr int kReadProgressMax = 25;

std::string groupText(const char* format, int group) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, group);
    return buf;
}

}  // namespace

bool ReadSingle(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t& value) {
    return ReadSingle(ctx.link, ctx.prompts, station, reg, value);
}

bool ReadStored(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t& value) {
    if (ReadStored(ctx.link, station, reg, value, ctx.lastError)) return true;
    ctx.prompts.message(ctx.lastError);
    return false;
}

bool WriteSingle(TransferContext& ctx, int station, std::uint16_t reg, std::uint16_t value) {
    return WriteSingle(ctx.link, ctx.prompts, station, reg, value);
}

bool IdentifyReadStation(TransferContext& ctx, int station, ReadOutcome& out) {
    // The drive type classified like a group read, then version and model.
    std::uint16_t driveType = 0, version = 0, capacity = 0;
    if (!ReadStored(ctx, station, drive::kRegDriveType, driveType)) return false;
    if (!ReadStored(ctx, station, drive::kRegVersion, version)) return false;
    if (!ReadStored(ctx, station, drive::kRegCapacity, capacity)) return false;
    out.driveModel = drive::ModelCodeOfCapacity(capacity);
    out.driveVersion = version;
    return true;
}

CommandResult ReadParameterGroups(TransferContext& ctx, int station, bool parameters, bool hidden,
                                  ReadOutcome& out) {
    ParamTable& table = ctx.doc.table;
    std::vector<int> groups;
    if (parameters)
        for (int g = 0; g <= kLastDriveGroup; ++g) groups.push_back(g);
    if (hidden) {
        {
            std::lock_guard lock(ctx.doc.tableMutex());
            table.includeHiddenGroups = 1;
            AppendHiddenGroups(table);
        }
        for (int g = kHiddenGroupFirst; g <= kHiddenGroupLast; ++g) groups.push_back(g);
    }
    const CommandResult r = ReadGroupList(ctx, station, groups, out);
    if (r == CommandResult::Done && hidden) {
        std::lock_guard lock(ctx.doc.tableMutex());
        table.hiddenGroupsRead = 1;
    }
    return r;
}

CommandResult ReadGroupList(TransferContext& ctx, int station, const std::vector<int>& groups,
                            ReadOutcome& out) {
    ParamTable& table = ctx.doc.table;
    editing::DisplaySettings settings = TransferSettings(table, ctx.project.highFrequencyMode);
    GroupReader reader(ctx.link, station);
    ctx.prompts.progressBegin(res::kReadParameterProgress, 0, kReadProgressMax);
    auto cancelled = [&] { return ctx.prompts.cancelled(); };
    for (int g : groups) {
        ctx.prompts.progressText(groupText(res::kReadGroupProgress, g));
        TransferStatus status;
        {
            std::lock_guard lock(ctx.doc.tableMutex());
            status = reader.readGroup(table, g, settings, ctx.lastError, cancelled);
        }
        out.transactions = reader.transactions();
        if (status != TransferStatus::Done) {
            ctx.prompts.progressEnd();
            if (status == TransferStatus::Failed) ctx.prompts.message(ctx.lastError);
            if (ctx.refreshViews) ctx.refreshViews();
            return status == TransferStatus::Failed ? CommandResult::Failed
                                                    : CommandResult::Cancelled;
        }
        ctx.prompts.progressPosition(std::min(g, kReadProgressMax));
    }
    // The bar advances to the group in work; a finished transfer shows it full.
    ctx.prompts.progressPosition(kReadProgressMax);
    ctx.prompts.progressEnd();
    if (out.driveVersion != 0) {
        std::lock_guard lock(ctx.doc.tableMutex());
        ctx.doc.driveSoftwareVersion = drive::VersionValue(out.driveVersion);
    }
    if (ctx.refreshViews) ctx.refreshViews();
    return CommandResult::Done;
}

ReadOutcome ReadAllForCompare(TransferContext& ctx) {
    ReadOutcome out;
    if (ctx.project.autoRefreshRunning) {
        ctx.prompts.message(text::kAutoRefreshRunning);
        return out;
    }
    if (ctx.stopPlcSimulator) ctx.stopPlcSimulator();
    const auto station = ctx.prompts.chooseStation(StationDialog::Read, ctx.linkState.stations);
    if (!station) return out;
    out.station = *station;
    if (!IdentifyReadStation(ctx, *station, out)) return out;
    out.result = ReadParameterGroups(ctx, *station, true, false, out);
    return out;
}

ReadOutcome RunReadCommand(TransferContext& ctx) {
    ReadOutcome out;
    if (ctx.project.autoRefreshRunning) {
        ctx.prompts.message(text::kAutoRefreshRunning);
        return out;
    }
    if (ctx.stopPlcSimulator) ctx.stopPlcSimulator();

    const auto station = ctx.prompts.chooseStation(StationDialog::Read, ctx.linkState.stations);
    if (!station) return out;
    out.station = *station;
    if (!IdentifyReadStation(ctx, *station, out)) return out;

    TransferOffer offer;
    offer.plcProgram = true;
    const auto choice = ctx.prompts.chooseTransfer(res::kReadCaption, offer);
    if (!choice || !choice->any()) return out;

    switch (ctx.prompts.yesNoCancel(text::kSaveFileQuestion)) {
        case YesNoCancel::Cancel:
            return out;
        case YesNoCancel::Yes:
            if (ctx.saveProject && !ctx.saveProject()) return out;
            break;
        case YesNoCancel::No:
            break;
    }

    if (choice->plcProgram) {
        const CommandResult r = ReadPlcProgram(ctx, *station, ctx.project.plcProgramForeign);
        out.plcProgramRead = r != CommandResult::Refused;
        if (r != CommandResult::Done) {
            out.result = r;
            return out;
        }
    }
    if (choice->parameters || choice->hiddenParameters) {
        out.result = ReadParameterGroups(ctx, *station, choice->parameters,
                                         choice->hiddenParameters, out);
        if (out.result != CommandResult::Done) return out;
    } else {
        {
            std::lock_guard lock(ctx.doc.tableMutex());
            ctx.doc.driveSoftwareVersion = drive::VersionValue(out.driveVersion);
        }
        if (ctx.refreshViews) ctx.refreshViews();
    }
    ctx.prompts.message(res::kReadSuccessfully);
    out.result = CommandResult::Done;
    return out;
}

}  // namespace pv::comm
