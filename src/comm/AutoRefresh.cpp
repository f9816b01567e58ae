#include "comm/AutoRefresh.h"

#include <mutex>

#include "comm/GroupRuns.h"
#include "drive/Registers.h"

namespace pv::comm {

bool AutoRefresh::start() {
    const auto station = ctx_.prompts.chooseStation(StationDialog::Select, ctx_.linkState.stations);
    if (!station) return false;
    std::uint16_t driveType = 0;
    if (!ReadStored(ctx_, *station, drive::kRegDriveType, driveType)) return false;
    station_ = *station;
    stopped_ = false;
    return true;
}

AutoRefresh::Pass AutoRefresh::runOnePass() {
    if (stopped_) return Pass::Skipped;
    editing::DisplaySettings settings =
        TransferSettings(ctx_.doc.table, ctx_.project.highFrequencyMode);
    GroupReader reader(ctx_.link, station_);
    auto stopping = [&] { return stopped_.load(); };
    std::string error;
    for (int g = 0; g <= kLastDriveGroup; ++g) {
        TransferStatus status;
        {
            std::lock_guard lock(ctx_.doc.tableMutex());
            status = reader.readGroup(ctx_.doc.table, g, settings, error, stopping);
        }
        if (status == TransferStatus::Cancelled) return Pass::Stopped;
        if (status == TransferStatus::Failed) {
            ctx_.lastError = error;
            stopped_ = true;
            ctx_.prompts.message(error);
            return Pass::Failed;
        }
    }
    ++passes_;
    if (ctx_.refreshViews) ctx_.refreshViews();
    return Pass::Read;
}

}  // namespace pv::comm
