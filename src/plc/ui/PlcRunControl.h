#pragma once
// Running the ladder program from the desktop: Monitor mode watches the linked drive's PLC (the
// start order, a one-second poll of the run state and the element states on the link thread,
// forcing inputs and relays), Simulate mode runs the program in the scan engine on a view timer
// with the Input Status and Analog tools feeding it. Both draw the power flow on the ladder; at
// most one runs, and editing waits until neither does.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "plc/PlcEngine.h"
#include "plc/LadderEditor.h"
#include "widgets/CommandTable.h"
#include "widgets/LinkPollExecutor.h"

namespace pv {
class Prompts;
namespace comm {
struct TransferContext;
struct PlcPoll;
}  // namespace comm
namespace serial {
class CSerial;
}
namespace monitor {
class PollScheduler;
}
}  // namespace pv

namespace pv::ui {

class CPlcView;
class InputStatusTool;
class AnalogTool;

// What the run control needs of the main window.
class PlcLinkHost {
public:
    virtual ~PlcLinkHost() = default;
    virtual QWidget* plcWindow() = 0;
    // The ladder window brought to the front, its view (null without a project).
    virtual CPlcView* plcLadder() = 0;
    virtual LinkThread& plcLinkThread() = 0;
    virtual serial::CSerial& plcChannel() = 0;
    virtual bool plcLinked() const = 0;
    // The station the PLC commands talk to: the link's one station, or the one chosen in the
    // "Station Select" dialog (asked once, then remembered while it stays on the link); 0 when
    // the choice was cancelled.
    virtual int plcStation() = 0;
    // Runs a workflow as one modal job on the link thread with a transfer context.
    virtual void runPlcJob(const std::function<void(comm::TransferContext&)>& body) = 0;
    // The start of monitoring replaced the document's program.
    virtual void plcProgramReplaced() = 0;
    // Pane 2 of the status bar and the commands' enabling follow the run state.
    virtual void plcStateChanged(const QString& status) = 0;
    virtual Prompts& plcPrompts() = 0;
};

class PlcRunControl : public QObject {
    Q_OBJECT
public:
    // The simulator's scan and the monitor's refresh.
    static constexpr int kScanMs = 100;
    static constexpr int kRefreshMs = 1000;

    explicit PlcRunControl(PlcLinkHost& host, QObject* parent = nullptr);
    ~PlcRunControl() override;

    PlcMode mode() const { return mode_; }
    bool monitoring() const { return mode_ == PlcMode::Monitor; }
    bool simulating() const { return mode_ == PlcMode::Simulate; }

    // The commands.
    void run();
    void stop();
    void quit();
    void toggleMonitor();
    void toggleSimulator();
    bool startMonitor();
    void startSimulator();
    // Ends monitoring; `stopPlc` also writes 0xA600 := 0.
    void stopMonitor(bool stopPlc);
    void stopSimulator();
    // Connect while simulating: "Simulator is being stop." and the simulator ends.
    void stopSimulatorForLink();

    // Forcing from the Input Status tool: the drive while monitoring, else the simulator.
    void forceInput(int n, bool on);
    void forceRelay(int n, bool on);
    // The Analog tool's value V n (1..7) in hundredths (V1..V5) or tenths (V6, V7).
    void setAnalog(int n, std::uint32_t value);
    std::uint32_t analog(int n) const { return scanner_.values.analog[n - 1]; }

    void showInputStatusTool();
    void showAnalogTool();
    InputStatusTool* inputStatusTool() const;
    AnalogTool* analogTool() const;

    // What the ladder shows: the latest element states.
    const plc::ElementStates& states() const { return states_; }
    const plc::PlcScanner& scanner() const { return scanner_; }
    // Monitoring: polls applied and whether a failed one is remembered.
    int polls() const { return polls_; }
    bool communicationErrorSeen() const { return commError_; }
    qint64 lastScanMicros() const { return scanMicros_; }

signals:
    void statesChanged();

private:
    void setMode(PlcMode m);
    void applyPoll();
    void scanTick();
    void showLive();
    void setStatus(const QString& status);

    PlcLinkHost& host_;
    PlcMode mode_ = PlcMode::Program;
    QPointer<CPlcView> view_;
    LinkPollExecutor executor_;
    std::unique_ptr<monitor::PollScheduler> poll_;
    std::unique_ptr<comm::PlcPoll> polled_;  // written by the poll job, read when it is applied
    QTimer pollTimer_;
    int station_ = 1;
    int polls_ = 0;
    bool commError_ = false;
    bool plcRunning_ = false;
    plc::PowerFlow flow_;
    plc::ElementStates states_;

    QTimer scanTimer_;
    QElapsedTimer sinceScan_;
    plc::PlcScanner scanner_;
    qint64 scanMicros_ = 0;

    QPointer<InputStatusTool> inputTool_;
    QPointer<AnalogTool> analogTool_;
};

// Run, Stop, Quit, Monitor, Simulator and the two tools, in the Operation menu and on the toolbar.
void RegisterPlcRunCommands(CommandTable& table, PlcRunControl& control,
                            std::function<bool()> projectOpen, std::function<bool()> linked);

}  // namespace pv::ui
