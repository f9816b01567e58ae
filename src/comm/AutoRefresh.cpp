#include "comm/AutoRefresh.h"

#include "comm/GroupRuns.h"
#include "drive/Registers.h"

namespace pv::comm {

void AutoRefresh::setFlag(bool on) {
    running_ = on;
    ctx_.frame.autoRefreshRunning = on ? 1 : 0;
}

bool AutoRefresh::start() {
    if (running_) return true;
    const auto station = ctx_.prompts.chooseStation(StationDialog::Select, ctx_.linkState.stations);
    if (!station) {
        setFlag(false);
        return false;
    }
    std::uint16_t driveType = 0;
    if (!ReadStored(ctx_, *station, drive::kRegDriveType, driveType)) {
        setFlag(false);
        return false;
    }
    station_ = *station;
    setFlag(true);
    return true;
}

AutoRefresh::Pass AutoRefresh::runOnePass() {
    if (!running_) return Pass::Skipped;
    std::unique_lock pass(passMutex_, std::try_to_lock);
    if (!pass.owns_lock()) return Pass::Skipped;
    {
        std::lock_guard lock(stateMutex_);
        inPass_ = true;
    }
    auto leave = [&](Pass result) {
        {
            std::lock_guard lock(stateMutex_);
            inPass_ = false;
        }
        idle_.notify_all();
        return result;
    };

    editing::DisplaySettings settings =
        TransferSettings(ctx_.doc.table, ctx_.frame.highFrequencyMode != 0);
    GroupReader reader(ctx_.link, station_);
    auto stopping = [&] { return !running_.load(); };
    std::string error;
    for (int g = 0; g <= kLastDriveGroup; ++g) {
        TransferStatus status;
        if (ctx_.tableMutex) {
            std::lock_guard lock(*ctx_.tableMutex);
            status = reader.readGroup(ctx_.doc.table, g, settings, error, stopping);
        } else {
            status = reader.readGroup(ctx_.doc.table, g, settings, error, stopping);
        }
        if (status == TransferStatus::Cancelled) return leave(Pass::Stopped);
        if (status == TransferStatus::Failed) {
            ctx_.lastError = error;
            setFlag(false);
            ctx_.prompts.message(error);
            return leave(Pass::Failed);
        }
    }
    ++passes_;
    if (ctx_.refreshViews) ctx_.refreshViews();
    return leave(Pass::Read);
}

void AutoRefresh::stop() {
    setFlag(false);
    std::unique_lock lock(stateMutex_);
    idle_.wait(lock, [&] { return !inPass_; });
}

}  // namespace pv::comm
