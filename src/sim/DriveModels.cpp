#include "sim/DriveModels.h"

#include "project/DataPaths.h"

namespace pv::sim {

namespace {
std::string join(const std::string& dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    return dir.back() == '/' ? dir + std::string(name) : dir + "/" + std::string(name);
}
}  // namespace

DriveModels::DriveModels(const std::string& dataDir) {
    loaded_ = base_.LoadParamDefinitions(join(dataDir, kParamFileName));
    base_.LoadOptionLists(join(dataDir, kOptionListFileName));
    // Model code 0 selects no value index: the entries are kept and applied per model below.
    base_.LoadModelDefaults(join(dataDir, kModelDefaultsFileName), 0);
}

std::shared_ptr<const ParamRegisterTable> DriveModels::registersFor(std::uint32_t modelCode) {
    std::lock_guard lock(mutex_);
    auto& slot = byModel_[modelCode];
    if (!slot) {
        pv::ParamTable table = base_;
        table.applyModelDefaultsToSetValues = 0;
        table.ApplyModelDefaults(modelCode);
        slot =
            std::make_shared<const ParamRegisterTable>(ParamRegisterTable::fromParamTable(table));
    }
    return slot;
}

}  // namespace pv::sim
