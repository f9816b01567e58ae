#include "comm/Connect.h"

#include <algorithm>

#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "drive/Models.h"
#include "drive/Registers.h"
#include "drive/Version.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "res/CommTexts.h"

namespace pv::comm {

namespace {

// A read that fails in any way, or answers with another function, is a communication error.
bool readOk(serial::ErrType result, const std::uint8_t* reply) {
    return result == serial::ErrNone && reply[1] == drive::kFuncRead;
}

bool failClosed(serial::CSerial& link, LinkState& state) {
    link.Close();
    state.linked = false;
    return false;
}

// The second look at the drive type of the first station, classified like a group read.
bool confirmDriveType(serial::CSerial& link, Prompts& prompts, int station, LinkState& state) {
    std::string lastError;
    std::uint16_t type = 0;
    if (!CheckDriveType(link, station, lastError, &type)) {
        prompts.message(lastError);
        return false;
    }
    if (type == drive::kDriveTypeN350) state.modelClass = 5;
    return true;
}

void setPanes(LinkPanes& panes, int version, std::uint32_t modelCode, const std::string& station) {
    panes.version = drive::VersionText(version);
    panes.link = res::kOnline;
    panes.model = ModelNameForCode(modelCode);
    panes.station = station;
}

}  // namespace

bool CheckDriveType(serial::CSerial& link, int station, std::string& lastError,
                    std::uint16_t* driveType) {
    std::uint16_t type = 0;
    if (!ReadStored(link, station, drive::kRegDriveType, type, lastError)) return false;
    if (driveType) *driveType = type;
    return true;
}

bool Connect(serial::CSerial& link, Prompts& prompts, const ConnectRequest& request,
             LinkState& state, LinkPanes& panes) {
    state.linked = false;
    state.versions.clear();
    state.stationModels.clear();
    state.stations = request.stations;
    if (request.stations.empty()) {
        // The settings dialog refuses an empty list before opening the port; a caller that skips
        // it must not end up "linked" to no drive at all.
        prompts.message(res::kStationNull);
        link.Close();
        return false;
    }

    for (std::size_t i = 0; i < request.stations.size(); ++i) {
        const int station = request.stations[i];
        std::uint8_t type[ReadReplyLength(1)];
        if (!readOk(ReadRegisters(link, station, drive::kRegDriveType, 1, type), type)) {
            prompts.error(res::kCommunicationError);
            return failClosed(link, state);
        }
        const std::uint16_t driveType = ReplyRegister(type, 0);
        if ((driveType >> 8) != drive::kDriveSeriesN350) {
            prompts.message(res::kNotN350);
            return failClosed(link, state);
        }
        std::uint8_t ident[ReadReplyLength(2)];
        if (!readOk(ReadRegisters(link, station, drive::kRegCapacity, 2, ident), ident)) {
            prompts.error(res::kCommunicationError);
            return failClosed(link, state);
        }
        const std::uint16_t capacity = ReplyRegister(ident, 0);
        const std::uint16_t version = ReplyRegister(ident, 1);
        // Only the type 0x0740 carries a capacity code the model table knows.
        const std::uint32_t model = driveType == drive::kDriveTypeN350 ? drive::ModelCodeOfCapacity(capacity) : 0;
        state.stationModels.push_back(model);
        state.versions.push_back(version);
        if (i == 0 && !confirmDriveType(link, prompts, station, state))
            return failClosed(link, state);
    }

    const std::uint32_t firstModel = state.stationModels.empty() ? 0 : state.stationModels[0];
    std::uint32_t model = firstModel;
    if (request.projectModel) {
        model = *request.projectModel;
        if (firstModel != model && !prompts.question(res::kModelMismatch))
            return failClosed(link, state);
    }

    state.linked = true;
    state.tcpIp = request.tcpIp;
    state.modelCode = model;
    state.voltageClass = drive::VoltageClassOf(model);
    std::vector<ReplacedValue> replaced;
    if (request.reloadInitialValues) replaced = request.reloadInitialValues(model);
    setPanes(panes, state.versions.empty() ? 0 : state.versions[0], model, request.stationText);
    if (request.showPanes) request.showPanes(panes);
    prompts.message(res::kLinkSuccessful);
    // The project changed under the user's hands: say what, so that nothing is lost unseen.
    if (!replaced.empty())
        prompts.message(ReplacedValuesText(res::kReplacedValuesHead, replaced, model));
    if (request.settingsToSave) WriteAcomFile(request.settingsLocation, *request.settingsToSave);
    return true;
}

std::vector<ReplacedValue> ReloadModelValues(CM240Doc& doc, std::uint32_t modelCode) {
    std::vector<std::string> before;
    for (const auto& g : doc.table.groups)
        for (const auto& r : g.params) before.push_back(r.setValue);
    doc.ApplyModelDefaultsFile(modelCode, true);
    std::vector<ReplacedValue> replaced;
    std::size_t k = 0;
    for (const auto& g : doc.table.groups)
        for (const auto& r : g.params) {
            const std::string* old = k < before.size() ? &before[k] : nullptr;
            ++k;
            if (!old || *old == r.setValue) continue;
            replaced.push_back({std::string(r.code()), *old, r.setValue});
        }
    return replaced;
}

std::string ReplacedValuesText(const char* head, const std::vector<ReplacedValue>& replaced,
                               std::uint32_t modelCode) {
    std::string text = head;
    const std::string count = std::to_string(replaced.size());
    text.replace(text.find("%n"), 2, count + (replaced.size() == 1 ? " set value" : " set values"));
    text.replace(text.find("%m"), 2, ModelNameForCode(modelCode));
    const std::size_t listed = std::min(replaced.size(), kMaxListedReplacements);
    for (std::size_t i = 0; i < listed; ++i) {
        const auto& r = replaced[i];
        text += "\n" + r.code + ": " + r.before + " -> " + r.after;
    }
    if (replaced.size() > listed)
        text += "\n" + std::string(res::kReplacedValuesMore) +
                std::to_string(replaced.size() - listed) + " more";
    return text;
}

bool StartupLink(serial::CSerial& link, Prompts& prompts, int station, LinkState& state,
                 LinkPanes& panes, std::string* modelName) {
    state.linked = false;
    std::uint8_t ident[ReadReplyLength(2)];
    if (!readOk(ReadRegisters(link, station, drive::kRegCapacity, 2, ident), ident)) {
        prompts.error(res::kCommunicationError);
        return false;
    }
    if (!confirmDriveType(link, prompts, station, state)) return false;
    const std::uint16_t capacity = ReplyRegister(ident, 0);
    const std::uint16_t version = ReplyRegister(ident, 1);
    state.modelCode = drive::ModelCodeOfCapacity(capacity);
    state.voltageClass = drive::VoltageClassOf(state.modelCode);
    state.versions.push_back(version);
    state.stationModels.push_back(state.modelCode);
    state.stations = {station};
    setPanes(panes, version, state.modelCode, std::to_string(station));
    if (modelName) *modelName = panes.model;
    state.linked = true;
    return true;
}

}  // namespace pv::comm
