// The main frame's link commands: Connect with its settings dialog, Disconnect, and the
// start-up link of a hand-over file. Every channel call runs as a job on the link thread.

#include "app/ui/CMainFrame.h"
#include "monitor/ui/MonitorWindows.h"

#include <QSettings>
#include <QThread>
#include <string>
#include <vector>
#include "editing/ui/CParameterView.h"
#include "widgets/QtPrompts.h"
#include "comm/Connect.h"
#include "comm/PortList.h"
#include "comm/StationList.h"
#include "comm/ui/CommSettingsDialog.h"
#include "project/ModelTable.h"
#include "res/CommTexts.h"
#include "res/ProjectTexts.h"
#include "res/UiTexts.h"
#include "serial/VirtualWire.h"
#include "widgets/StatusPanes.h"
#include "drive/Version.h"

namespace pv::ui {

void CMainFrame::readSettingsFiles() {
    comm::ReadAcomFile(settingsWhere_, commSettings_);
    comm::ReadKq4ComFile(settingsWhere_, adapters_);
    // Where adapters are searched and their drives reached: the network's broadcast and the
    // adapters' own ports unless the settings point elsewhere (a virtual adapter on loopback).
    QSettings s;
    discovery_.address =
        s.value("network/discoveryAddress", QString::fromStdString(discovery_.address))
            .toString()
            .toStdString();
    discovery_.port = s.value("network/discoveryPort", discovery_.port).toInt();
    discovery_.localPort = s.value("network/localPort", discovery_.localPort).toInt();
    tcpPort_ = s.value("network/tcpPort", tcpPort_).toInt();
}

void CMainFrame::onConnect() {
    if (refuseWhileAutoRefresh()) return;
    plcRun_->stopSimulatorForLink();
    std::vector<std::string> ports;
    comm::FillPortList(ports, true);
    if (serial::virtualPeer()) ports.push_back(ui_text::kPortSim);
    CommSettingsDialog dialog(commSettings_, adapters_.portName, ports, drive_.state.linked,
                              *prompts_, this);
    dialog.setOpenPort([this, &dialog](const CommChoice& c) {
        netAdapters_ = dialog.adapters();
        comm::KeepAdapterNames(adapters_, netAdapters_);
        return openPort(c);
    });
    dialog.setClosePort([this] { disconnectLink(); });
    AdapterHooks hooks;
    hooks.search = [this](std::vector<comm::NetAdapter>& found) {
        const int n = searchAdapters();
        found = netAdapters_;
        return n;
    };
    hooks.setIp = [this](const std::string& ip, const std::string& mac) {
        return assignAdapterAddress(ip, mac);
    };
    hooks.assignSettle = assignSettle_;
    if (drive_.state.linked && drive_.state.tcpIp && drive_.hasChannel())
        hooks.linkedAddress = comm::LinkedAddress(drive_.channel());
    hooks.rememberedAdapter = adapters_.adapterText;
    dialog.setAdapterHooks(hooks);
    dialog.exec();
    if (!dialog.opened() || drive_.state.linked) return;
    identifyStations(dialog.choice());
}

bool CMainFrame::openPort(const CommChoice& choice) {
    commSettings_ = choice.settings;
    const bool tcp = choice.portName == res::kTcpIpPortName;
    if (tcp && netAdapters_.empty()) prompts_->message(res::kNoAdapter);
    bool opened = false;
    const auto s = choice.settings;
    const auto timeout = responseTimeout_;
    const auto adapter = tcp ? choice.adapter : std::nullopt;
    const int tcpPort = tcpPort_;
    link_.runModal(
        [this, &opened, s, timeout, adapter, tcpPort, name = choice.portName] {
            if (adapter) {
                drive_.channel().tcpAddress = adapter->address;
                drive_.channel().tcpPort = tcpPort;
                drive_.channel().GetStrMac(adapter->mac);
            }
            opened = drive_.open(name, s.baud(), s.dataBits(), s.parity(), s.stopBits(), timeout);
        },
        this);
    adapters_.adapterText = adapter ? comm::AdapterDisplay(*adapter) : std::string();
    if (!opened) prompts_->error(res::kCantOpenPort);
    adapters_.portName = choice.portName;
    comm::WriteKq4ComFile(settingsWhere_, adapters_);
    drive_.state.tcpIp = tcp;
    return opened;
}

bool CMainFrame::identifyStations(const CommChoice& choice) {
    comm::ConnectRequest request;
    request.stations = choice.stations;
    request.stationText = choice.settings.stationText;
    if (state_.isProjectOpen()) request.projectModel = state_.modelCode;
    request.tcpIp = choice.portName == res::kTcpIpPortName;
    request.settingsToSave = &commSettings_;
    request.settingsLocation = settingsWhere_;
    CM240Doc* doc = document();
    bool reloaded = false;
    bool setValuesChanged = false;
    request.reloadInitialValues = [doc, &reloaded, &setValuesChanged](std::uint32_t modelCode) {
        // Runs on the link thread while the window waits, under the document's table lock; the
        // list is refreshed afterwards.
        reloaded = true;
        if (!doc) return std::vector<comm::ReplacedValue>{};
        // The drive's model values replace set values of the project: that is an edit the
        // user must be asked to save, not a silent change; Connect lists what changed.
        std::lock_guard lock(doc->tableMutex());
        auto replaced = comm::ReloadModelValues(*doc, modelCode);
        setValuesChanged = !replaced.empty();
        return replaced;
    };
    request.showPanes = [this](const comm::LinkPanes& p) {
        if (QThread::currentThread() == thread())
            showLinkPanes(p);
        else
            QMetaObject::invokeMethod(this, [this, p] { showLinkPanes(p); },
                                      Qt::BlockingQueuedConnection);
    };
    comm::LinkResult found;
    link_.runModal([&] { found = drive_.identify(*prompts_, request); }, this);
    drive_.apply(found);
    if (!found.linked) return false;
    state_.connected = 1;
    state_.plcProgramForeign = 1;
    state_.voltageClass = drive_.state.voltageClass;
    if (doc && !drive_.state.versions.empty())
        doc->driveSoftwareVersion = drive::VersionValue(drive_.state.versions.front());
    if (reloaded && parameterView()) parameterView()->RefreshShownValues();
    if (setValuesChanged && doc) {
        doc->modified = true;
        updateTitle();
    }
    showLinkPanes(found.panes);
    updateCommands();
    return true;
}

void CMainFrame::showLinkPanes(const comm::LinkPanes& panes) {
    state_.status.version = panes.version;
    state_.status.link = panes.link;
    if (!panes.model.empty()) state_.status.model = panes.model;
    state_.status.station = panes.station;
    showStatusTexts();
}

void CMainFrame::disconnectLink() {
    stopAutoRefresh();
    if (plcRun_->monitoring()) plcRun_->quit();
    monitors_->linkEnding();
    link_.runModal(
        [this] {
            drive_.close();
        },
        this);
    drive_.state.unlink();
    state_.connected = 0;
    state_.status.version.clear();
    state_.status.station.clear();
    state_.status.link = res::kUnlink;
    showStatusTexts();
    updateCommands();
}

void CMainFrame::linkFromHandOver(const HandOver& h) {
    commSettings_.portNumber = h.portNumber;
    commSettings_.baudIndex = h.baudIndex;
    commSettings_.dataBitsIndex = h.dataBitsIndex;
    commSettings_.parityIndex = h.parityIndex;
    commSettings_.stopBitsIndex = h.stopBitsIndex;
    commSettings_.stationText = h.stationText;
    comm::WriteAcomFile(settingsWhere_, commSettings_);
    const int station = std::atoi(h.stationText.c_str());
    if (drive_.state.stations.empty()) drive_.state.stations.push_back(station);

    CommChoice choice;
    choice.portName = h.portText;
    choice.settings = commSettings_;
    choice.stations = {station};
    if (!openPort(choice)) return;
    comm::LinkResult found;
    link_.runModal([&] { found = drive_.startup(*prompts_, station); }, this);
    drive_.apply(found);
    if (!found.linked) return;
    const std::string& modelName = found.modelName;
    // The drive decides the project: any open one closes, a new one follows the drive's model.
    if (state_.isProjectOpen() && !session_->close(text::kModifiedSaveQuestion)) return;
    if (!modelName.empty()) session_->newProject(modelName, 0);
    drive_.state.linked = true;
    state_.connected = 1;
    state_.plcProgramForeign = 1;
    showLinkPanes(found.panes);
    updateCommands();
}

}  // namespace pv::ui
