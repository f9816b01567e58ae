#pragma once
// The data files read once for a whole bus, and the parameter registers of each model built from
// them on first use (the model-dependent defaults differ between capacities).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "project/ParamTable.h"
#include "sim/ParamRegisters.h"

namespace pv::sim {

class DriveModels {
public:
    // Reads N350PARAM.DAT, N350ComboxList.DAT and N350InitialParam.dat from dataDir.
    explicit DriveModels(const std::string& dataDir);

    // False when the parameter definitions could not be read: drives then carry only the
    // registers every drive has (identification, lock, password, control, PLC).
    bool loaded() const { return loaded_; }
    std::shared_ptr<const ParamRegisterTable> registersFor(std::uint32_t modelCode);

private:
    pv::ParamTable base_;
    bool loaded_ = false;
    std::mutex mutex_;
    std::map<std::uint32_t, std::shared_ptr<const ParamRegisterTable>> byModel_;
};

}  // namespace pv::sim
