#include "plc/ui/PlcRunControl.h"

#include <QStringList>

#include "comm/PlcMonitor.h"
#include "comm/PlcTransfer.h"
#include "monitor/PollScheduler.h"
#include "plc/ui/CPlcView.h"
#include "plc/ui/PlcTools.h"
#include "project/CM240Doc.h"
#include "res/CommTexts.h"
#include "res/ProjectTexts.h"
#include "res/PlcLinkTexts.h"
#include "res/PlcRunTexts.h"

namespace pv::ui {

PlcRunControl::PlcRunControl(PlcLinkHost& host, QObject* parent)
    : QObject(parent), host_(host), executor_(host.plcLinkThread()),
      polled_(std::make_unique<comm::PlcPoll>()) {
    // The monitor's timer ticks often; the scheduler lets a poll start once a second and skips
    // the ticks that come while the previous poll, or any other job, still has the link.
    pollTimer_.setInterval(100);
    connect(&pollTimer_, &QTimer::timeout, this, [this] {
        if (poll_) poll_->tick();
    });
    scanTimer_.setInterval(kScanMs);
    scanTimer_.setTimerType(Qt::PreciseTimer);
    connect(&scanTimer_, &QTimer::timeout, this, &PlcRunControl::scanTick);
}

PlcRunControl::~PlcRunControl() {
    pollTimer_.stop();
    scanTimer_.stop();
    if (poll_) poll_->stop();
}

void PlcRunControl::setStatus(const QString& status) {
    host_.plcStateChanged(status);
}

void PlcRunControl::setMode(PlcMode m) {
    mode_ = m;
    if (view_) {
        view_->setMode(m);
        if (m == PlcMode::Program) {
            view_->clearLive();
            view_->setHeaderExtra({});
        }
    }
    if (m == PlcMode::Program) states_ = {};
    emit statesChanged();
}

// ---------------------------------------------------------------------------------------------
// Commands

void PlcRunControl::run() {
    if (mode_ != PlcMode::Program) return;
    if (!host_.plcLinked())
        startSimulator();
    else
        startMonitor();
}

void PlcRunControl::stop() {
    if (monitoring()) stopMonitor(true);
    else if (simulating()) stopSimulator();
    setStatus(text::kPlcStop);
}

void PlcRunControl::quit() {
    if (simulating()) stopSimulator();
    else if (monitoring()) stopMonitor(false);
    setStatus(text::kPlcStop);
}

void PlcRunControl::toggleMonitor() {
    if (monitoring()) stopMonitor(false);
    else startMonitor();
}

void PlcRunControl::toggleSimulator() {
    if (simulating()) stopSimulator();
    else startSimulator();
}

void PlcRunControl::stopSimulatorForLink() {
    if (!simulating()) return;
    host_.plcPrompts().message(res::kSimulatorStopping);
    stopSimulator();
}

// ---------------------------------------------------------------------------------------------
// Monitor

bool PlcRunControl::startMonitor() {
    if (!host_.plcLinked() || monitoring()) return false;
    if (simulating()) stopSimulator();
    view_ = host_.plcLadder();
    if (!view_ || !view_->document()) return false;
    station_ = host_.plcStation();
    if (station_ <= 0) return false;
    const bool modified = view_->document()->modified;
    bool programRead = false;
    comm::CommandResult result = comm::CommandResult::Refused;
    const int station = station_;
    host_.runPlcJob([&](comm::TransferContext& ctx) {
        result = comm::StartPlcMonitor(ctx, station, modified, programRead);
    });
    if (programRead) host_.plcProgramReplaced();
    if (result != comm::CommandResult::Done || !view_) return false;

    commError_ = false;
    polls_ = 0;
    plcRunning_ = true;
    flow_.reset();
    states_ = {};
    poll_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) {
            // On the link thread: only the channel and this poll's own result are touched.
            *polled_ = comm::PollPlc(host_.plcChannel(), st);
            return monitor::PollResult::ok();
        },
        [this](const monitor::PollResult&) { applyPoll(); }, monitor::PollScheduler::Show{});
    poll_->setStation(station_);
    poll_->setPeriod(std::chrono::milliseconds(kRefreshMs));
    poll_->start();
    setMode(PlcMode::Monitor);
    view_->setHeaderExtra(QString(text::kMonitorHeader).arg(kRefreshMs));
    showLive();
    pollTimer_.start();
    poll_->tick();
    setStatus(text::kPlcRunStatus);
    return true;
}

void PlcRunControl::applyPoll() {
    if (!monitoring()) return;
    const comm::PlcPoll p = *polled_;
    ++polls_;
    if (!p.ok) {
        // Remembered and told once, when monitoring ends; the polling goes on meanwhile.
        commError_ = true;
        return;
    }
    if (p.running != plcRunning_) {
        plcRunning_ = p.running;
        setStatus(p.running ? text::kPlcRunStatus : text::kPlcStop);
        if (view_)
            view_->setHeaderExtra(p.running ? QString(text::kMonitorHeader).arg(kRefreshMs)
                                            : QString(text::kMonitorPlcStopped));
    }
    if (!p.running) return;
    states_ = plc::StatesFromRegisters(p.registers);
    if (view_ && view_->editor()) flow_.evaluate(view_->editor()->program(), states_);
    showLive();
}

void PlcRunControl::stopMonitor(bool stopPlc) {
    if (!monitoring()) return;
    pollTimer_.stop();
    if (poll_) poll_->stop();  // a running poll has ended when this returns
    poll_.reset();
    const int station = station_;
    if (stopPlc)
        host_.runPlcJob([station](comm::TransferContext& ctx) { comm::SetPlcRunning(ctx, station, false); });
    setMode(PlcMode::Program);
    setStatus(text::kPlcStop);
    if (commError_) {
        commError_ = false;
        host_.plcPrompts().message(res::kCommunicationError);
    }
}

void PlcRunControl::forceInput(int n, bool on) {
    if (monitoring()) {
        const int station = station_;
        bool done = false;
        host_.runPlcJob([&](comm::TransferContext& ctx) { done = comm::ForcePlcInput(ctx, station, n, on); });
        // Shown at once; the next poll brings what the drive made of it.
        if (done) states_.I[n - 1] = on;
    } else if (simulating()) {
        scanner_.states.I[n - 1] = on;
        states_ = scanner_.states;
    }
    emit statesChanged();
}

void PlcRunControl::forceRelay(int n, bool on) {
    if (monitoring()) {
        const int station = station_;
        bool done = false;
        host_.runPlcJob([&](comm::TransferContext& ctx) { done = comm::ForcePlcRelay(ctx, station, n, on); });
        if (done) states_.M[n - 1] = on;
    } else if (simulating()) {
        scanner_.states.M[n - 1] = on;
        states_ = scanner_.states;
    }
    emit statesChanged();
}

// ---------------------------------------------------------------------------------------------
// Simulator

void PlcRunControl::startSimulator() {
    if (simulating()) return;
    if (monitoring()) stopMonitor(false);
    view_ = host_.plcLadder();
    if (!view_ || !view_->editor()) return;
    const auto values = scanner_.values.analog;  // the Analog tool's settings stay
    scanner_.reset();
    scanner_.values.analog = values;
    setMode(PlcMode::Simulate);
    const auto slow = plc::PlcScanner::TimersFinerThan(view_->editor()->program(), kScanMs);
    if (!slow.empty()) {
        QStringList names;
        for (const auto& s : slow) names << QString::fromStdString(s);
        host_.plcPrompts().message(QString(text::kTimersTooFine).arg(names.join(", ")).arg(kScanMs).toStdString());
    }
    sinceScan_.start();
    scanTimer_.start();
    setStatus(text::kPlcRunStatus);
    scanTick();
}

void PlcRunControl::scanTick() {
    if (!simulating() || !view_ || !view_->editor()) return;
    // The time that really passed, so the timers keep their pace when a tick comes late.
    const int elapsed = int(sinceScan_.restart());
    QElapsedTimer t;
    t.start();
    scanner_.scan(view_->editor()->program(), elapsed);
    scanMicros_ = t.nsecsElapsed() / 1000;
    states_ = scanner_.states;
    flow_ = scanner_.power();
    view_->setHeaderExtra(QString(text::kSimulatorHeader).arg(kScanMs).arg(scanMicros_).arg(kScanMs));
    showLive();
}

void PlcRunControl::stopSimulator() {
    if (!simulating()) return;
    scanTimer_.stop();
    setMode(PlcMode::Program);
    setStatus(text::kPlcStop);
}

void PlcRunControl::setAnalog(int n, std::uint32_t value) {
    scanner_.values.analog[n - 1] = value;
}

void PlcRunControl::showLive() {
    if (view_) view_->setLive(flow_, states_);
    emit statesChanged();
}

// ---------------------------------------------------------------------------------------------
// Tools

InputStatusTool* PlcRunControl::inputStatusTool() const {
    return inputTool_.data();
}

AnalogTool* PlcRunControl::analogTool() const {
    return analogTool_.data();
}

void PlcRunControl::showInputStatusTool() {
    if (!inputTool_) {
        inputTool_ = new InputStatusTool(*this, host_.plcWindow());
        inputTool_->setAttribute(Qt::WA_DeleteOnClose);
    }
    inputTool_->show();
    inputTool_->raise();
}

void PlcRunControl::showAnalogTool() {
    if (!analogTool_) {
        analogTool_ = new AnalogTool(*this, host_.plcWindow());
        analogTool_->setAttribute(Qt::WA_DeleteOnClose);
    }
    analogTool_->show();
    analogTool_->raise();
}

// ---------------------------------------------------------------------------------------------
// Commands

void RegisterPlcRunCommands(CommandTable& table, PlcRunControl& control,
                            std::function<bool()> projectOpen, std::function<bool()> linked) {
    auto idle = [&control, projectOpen] { return projectOpen() && control.mode() == PlcMode::Program; };
    auto live = [&control] { return control.mode() != PlcMode::Program; };

    Command c{CommandId::PlcRun, text::kCmdPlcRun, QKeySequence("Ctrl+R"), text::kTipPlcRun};
    c.styleIcon = QStyle::SP_MediaPlay;
    c.menu = Menu::Operation, c.menuOrder = 40, c.toolbarOrder = 51, c.projectOnly = true;
    c.run = [&control] { control.run(); };
    c.enabled = idle;
    table.add(c);

    c = {CommandId::PlcStop, text::kCmdPlcStop, QKeySequence("Ctrl+T"), text::kTipPlcStop};
    c.styleIcon = QStyle::SP_MediaStop;
    c.menu = Menu::Operation, c.menuOrder = 41, c.toolbarOrder = 52, c.projectOnly = true;
    c.run = [&control] { control.stop(); };
    c.enabled = live;
    table.add(c);

    // Ctrl+Q stays Exit's, as desktops expect.
    c = {CommandId::PlcQuit, text::kCmdPlcQuit, QKeySequence("Ctrl+Shift+Q"), text::kTipPlcQuit};
    c.styleIcon = QStyle::SP_MediaPause;
    c.menu = Menu::Operation, c.menuOrder = 42, c.toolbarOrder = 53, c.projectOnly = true;
    c.run = [&control] { control.quit(); };
    c.enabled = live;
    table.add(c);

    c = {CommandId::PlcMonitor, text::kCmdPlcMonitor, QKeySequence("F7"), text::kTipPlcMonitor};
    c.styleIcon = QStyle::SP_ComputerIcon;
    c.menu = Menu::Operation, c.menuOrder = 43, c.toolbarOrder = 54, c.projectOnly = true;
    c.checkable = true;
    c.run = [&control] { control.toggleMonitor(); };
    c.enabled = [&control, projectOpen, linked] {
        return control.monitoring() || (projectOpen() && linked() && !control.simulating());
    };
    c.checked = [&control] { return control.monitoring(); };
    table.add(c);

    c = {CommandId::PlcSimulator, text::kCmdPlcSimulator, QKeySequence("F8"), text::kTipPlcSimulator};
    c.styleIcon = QStyle::SP_DesktopIcon;
    c.menu = Menu::Operation, c.menuOrder = 44, c.toolbarOrder = 55, c.projectOnly = true;
    c.checkable = true;
    c.run = [&control] { control.toggleSimulator(); };
    c.enabled = [&control, projectOpen] { return control.simulating() || (projectOpen() && !control.monitoring()); };
    c.checked = [&control] { return control.simulating(); };
    table.add(c);

    c = {CommandId::InputStatusTool, text::kCmdInputStatusTool, QKeySequence("Ctrl+Shift+I")};
    c.menu = Menu::Operation, c.menuOrder = 50, c.projectOnly = true;
    c.run = [&control] { control.showInputStatusTool(); };
    c.enabled = projectOpen;
    table.add(c);

    c = {CommandId::AnalogTool, text::kCmdAnalogTool, QKeySequence("Ctrl+Shift+A")};
    c.menu = Menu::Operation, c.menuOrder = 51, c.projectOnly = true;
    c.run = [&control] { control.showAnalogTool(); };
    c.enabled = projectOpen;
    table.add(c);
}

}  // namespace pv::ui
