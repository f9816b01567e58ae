#include "app/FrameState.h"

#include "project/ModelTable.h"
#include "project/TextFile.h"
#include "res/ProjectTexts.h"
#include "drive/Models.h"

namespace pv {

namespace {

int32_t intSetting(const ParamTable& table, std::string_view code) {
    const ParamRecord* r = table.record(code);
    return r ? AtoiLike(r->setValue) : 0;
}

}  // namespace

void FrameState::setModel(uint32_t code, const std::string& name) {
    modelCode = code;
    modelName = name;
    voltageClass = drive::VoltageClassOf(code);
    largeFrame = drive::IsLargeFrame(code) ? 1 : 0;
}

comm::ProjectFacts FrameState::projectFacts() const {
    comm::ProjectFacts facts;
    facts.modelCode = modelCode;
    facts.highFrequencyMode = highFrequencyMode != 0;
    facts.autoRefreshRunning = autoRefreshRunning != 0;
    facts.plcProgramForeign = plcProgramForeign != 0;
    return facts;
}

void FrameState::refreshCachedSettings(const ParamTable& table, bool includeHighFrequency) {
    if (includeHighFrequency) {
        const ParamRecord* r = table.record("01-01");
        highFrequencyMode = r && AtofLike(r->setValue) * 10 > 3000 ? 1 : 0;
    }
    setting2320 = intSetting(table, "23-20");
    pidDecimals = intSetting(table, "10-34");
    setting0330 = intSetting(table, "03-30");
    limitsInHertz = intSetting(table, "00-63");
}

void FrameState::setProjectStatus(const std::string& fileTitle) {
    status.fileName = fileTitle.empty() ? std::string(text::kNewFileName) : fileTitle;
    status.model = modelName;
    status.plcStatus = text::kPlcStop;
    if (!connected) status.link = text::kLinkUnlinked;
}

void FrameState::closeProject() {
    projectOpen = -1;
    viewMode = ViewMode::None;
    selectedGroup = -1;
    projectPath.clear();
    // The file pane names no file once none is open; the model pane keeps the linked drive's.
    status.fileName.clear();
    if (!connected) status.model.clear();
}

std::string FileTitleOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace pv
