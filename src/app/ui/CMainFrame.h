#pragma once
// The main window: MDI area with the project's windows, the "Workspace" dock, menus and toolbar
// dispatching the commands by id, and the six status-bar panes. It owns the frame state, the
// project session and the link thread; workflows run in the core, this class only gathers input
// and shows results.

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QPrinter>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "comm/ui/CopyModuleCommands.h"
#include "comm/ui/LinkCommands.h"
#include "monitor/ui/MonitorHost.h"
#include "plc/LadderEditor.h"
#include "plc/ui/PlcCommands.h"
#include "plc/ui/PlcRunControl.h"
#include "editing/ui/PageCommands.h"
#include "editing/ui/ParameterGroupDialog.h"
#include "widgets/CommandTable.h"
#include "widgets/PrintDispatch.h"
#include "app/ui/HandOverFile.h"
#include "widgets/LinkPollExecutor.h"
#include "widgets/LinkThread.h"
#include "comm/CopyModule.h"
#include "comm/DriveLink.h"
#include "comm/NetAdapters.h"
#include "comm/LinkState.h"
#include "comm/SettingsFiles.h"

namespace pv::comm {
class AutoRefresh;
struct TransferContext;
struct ReadOutcome;
}  // namespace pv::comm

class QAction;
class QLabel;
class QMdiArea;
class QDockWidget;
class QTextBrowser;
class QToolBar;

namespace pv::ui {

class CParameterFrame;
class CPlcFrame;
struct CommChoice;
struct ParamPrintHeader;
class CParameterView;
class QtPrompts;
class StatusPanes;
class WorkspaceTree;

class MonitorWindows;

class CMainFrame : public QMainWindow,
                   public PrintHost,
                   public LinkCommandTarget,
                   public PlcCommandTarget,
                   public PlcLinkHost,
                   public MonitorHost,
                   public PageHost,
                   public PageCommandTarget,
                   public CopyModuleCommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Start-up after the window is shown: the project given on the command line, then the
    // hand-over file (or, without one, the serial settings file).
    void startUp(const QString& commandLinePath, const std::string& handOverPath);

    // Runs a command by id, as the menus and toolbar do.
    void runCommand(CommandId id);
    QAction* action(CommandId id) const { return actions_.value(int(id)); }

    // Opens a project file as the recent list, drops and the command line do.
    bool openPath(const QString& path);
    // The workspace tree's item activation (also used by tests).
    void activateTreeNumber(int number);
    void applyHandOver(const HandOver& h);

    FrameState& state() { return state_; }
    ProjectSession& session() { return *session_; }
    CM240Doc* document() { return session_->document(); }
    QtPrompts& prompts() { return *prompts_; }
    LinkThread& linkThread() { return link_; }
    StatusPanes& panes() { return *panes_; }
    WorkspaceTree* tree() const { return tree_; }
    CParameterView* parameterView() const;
    CPlcFrame* plcFrame() const { return plcFrame_; }
    // The ladder window: in front, or its view while it is.
    void showLadder() override;
    CPlcView* activeLadder() override;
    Prompts& ladderPrompts() override;
    QStringList recentFiles() const;

    // Sets pane `pane` of the status bar.
    void setPane(int pane, const QString& text);

    // The link. Its channel is touched only by jobs on the link thread; what they find is
    // applied here.
    comm::LinkState& linkState() { return drive_.state; }
    comm::CommSettings& commSettings() { return commSettings_; }
    const comm::SettingsLocation& settingsLocation() const { return settingsWhere_; }
    void setSettingsLocation(const comm::SettingsLocation& where) { settingsWhere_ = where; }
    // Opens the port of a choice (Connect in the settings dialog); true when it opened.
    bool openPort(const CommChoice& choice);
    // Identifies the stations of an opened port and marks the link online.
    bool identifyStations(const CommChoice& choice);
    // Ends the link (the settings dialog's Disconnect).
    void disconnectLink();
    // Transfers (each one job on the link thread; the window keeps turning meanwhile).
    void onConnect() override;
    void onRead() override;
    void onWrite() override;
    void onAutoRefresh() override;
    void onPassword(bool plc, bool set) override;
    void onTakeReadValues() override;
    bool projectOpen() const override { return state_.isProjectOpen(); }
    bool transferAllowed() const override { return drive_.state.linked && !busy_; }
    bool autoRefreshRunning() const override { return state_.autoRefreshRunning != 0; }
    const CommandTable& commands() const { return commands_; }
    // The copy module (its own channel, used on the link thread like the drive link).
    void onCopyModuleWrite() override;
    void onCopyModuleRead() override;
    void onCopyModulePort() override;
    void onCopyModuleCompare() override;
    bool copyModuleAllowed() const override { return state_.isProjectOpen() && !busy_; }
    comm::CopyModuleLink& copyModule() { return copyModule_; }
    // Network adapters: where discovery goes (tests point it at loopback), the adapters found
    // last, and the pause after an address is assigned by MAC before the search runs again.
    void setDiscoveryTarget(const comm::DiscoveryTarget& t) { discovery_ = t; }
    const std::vector<comm::NetAdapter>& netAdapters() const { return netAdapters_; }
    void setAssignSettle(std::chrono::milliseconds t) { assignSettle_ = t; }
    void setAdapterTcpPort(int port) { tcpPort_ = port; }
    // Runs the adapter search on the link thread (wait cursor); the number found, -1 for none.
    int searchAdapters();
    // Gives the adapter with `mac` the address `ip` on the link thread; true when it confirmed.
    bool assignAdapterAddress(const std::string& ip, const std::string& mac);

    // Where the print commands go.
    QWidget* printParent() override;
    PrintableView* activePrintable() override;
    QPrinter& printer() override { return printer_; }
    QString suggestedPdfPath(const QString& title) override;
    void printFailed(const QString& text) override;
    const std::string& lastError() const { return drive_.lastError; }
    // Running the ladder: Monitor and Simulate modes.
    PlcRunControl& plcRun() { return *plcRun_; }
    QWidget* plcWindow() override { return this; }
    CPlcView* plcLadder() override;
    LinkThread& plcLinkThread() override { return link_; }
    serial::CSerial& plcChannel() override { return drive_.channel(); }
    bool plcLinked() const override { return drive_.state.linked; }
    int plcStation() override;
    void runPlcJob(const std::function<void(comm::TransferContext&)>& body) override;
    void plcProgramReplaced() override { plcProgramReplacedByRead(); }
    void plcStateChanged(const QString& status) override;
    Prompts& plcPrompts() override;
    // The live drive windows.
    MonitorWindows& monitors() { return *monitors_; }
    QWidget* hostWindow() override { return this; }
    serial::CSerial& linkChannel() override { return drive_.channel(); }
    bool linked() const override { return drive_.state.linked; }
    std::vector<int> linkStations() const override { return drive_.state.stations; }
    bool highFrequencyMode() const override { return state_.highFrequencyMode != 0; }
    Prompts& monitorPrompts() override;
    std::array<GraphChannel, kGraphChannels> graphChannels() const override {
        return state_.graphChannels;
    }
    void setGraphChannels(const std::array<GraphChannel, kGraphChannels>& channels) override;

    // The group dialogs and the compare (CMainFramePages.cpp).
    CM240Doc* pageDocument() override { return document(); }
    Prompts& pagePrompts() override;
    editing::DisplaySettings pageSettings() override;
    bool pageConnected() override { return drive_.state.linked && drive_.hasChannel(); }
    void runPageWrite(const std::function<void(comm::PageWriteContext&)>& job,
                      QWidget* window) override;
    void pagesChanged() override;
    void openGroupDialog(int group, int position) override;
    void onUserParameter() override;
    void onCompare() override;
    bool pagesAllowed() const override { return state_.isProjectOpen() && !busy_; }
    // Response time-out of links opened from now on (tests shorten it).
    void setResponseTimeout(std::chrono::milliseconds t) { responseTimeout_ = t; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QLabel* autoRefreshPane_ = nullptr;
    void registerFrameCommands();
    void createActions();
    static QString shortenedRecent(const QString& path);
    void rebuildMenus();
    void updateCommands();
    void installHooks();

    void onNew();
    void onOpen();
    void onSave();
    void onSaveAs();
    void onRecent(int index);
    void onHelp();
    void onAbout();
    void showHelpWindow(const QString& file);
    void onParameterView();
    void stopAutoRefresh();
    // A port that vanished (adapter unplugged, connection closed) unlinks and says so, instead
    // of letting every later command time out.
    void unlinkIfWireGone();
    void markReadValues(const comm::ReadOutcome& outcome);
    // After a Read brought the drive's ladder program into the project.
    void plcProgramReplacedByRead();
    void autoRefreshTick();
    // Runs a transfer workflow on the link thread with a context built there.
    void runTransfer(const std::function<void(comm::TransferContext&)>& body);
    std::unique_ptr<comm::TransferContext> makeContext();
    void refreshParameterView();
    bool saveOnUiThread();
    void showLinkPanes(const comm::LinkPanes& panes);
    void readSettingsFiles();
    void linkFromHandOver(const HandOver& h);

    void projectShown();
    // What the parameter printout's header says of the project and the drive.
    ParamPrintHeader printHeader();
    void closeProjectWindows();
    void showStatusTexts();
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);
    QString lastFolder() const;
    void updateTitle();
    bool refuseWhileAutoRefresh();
    bool closeProjectAsked();

    FrameState state_;
    QtPrompts* prompts_;
    std::unique_ptr<ProjectSession> session_;
    LinkThread link_;
    QMdiArea* mdi_;
    CParameterFrame* paramFrame_ = nullptr;
    CPlcFrame* plcFrame_ = nullptr;
    // Ladder lines copied in one project stay on hand for the next one opened.
    std::vector<DisplayLine> ladderClipboard_;
    WorkspaceTree* tree_;
    QDockWidget* dock_;
    QToolBar* toolbar_;
    std::unique_ptr<StatusPanes> panes_;
    CommandTable commands_;
    QMap<int, QAction*> actions_;
    QPrinter printer_;
    QPointer<QTextBrowser> helpWindow_;
    int programChoice_ = 0;

    comm::DriveLink drive_;
    comm::CommSettings commSettings_;
    comm::AdapterSettings adapters_;
    std::vector<comm::NetAdapter> netAdapters_;
    comm::DiscoveryTarget discovery_ = comm::DiscoveryTarget{};
    std::chrono::milliseconds assignSettle_{5000};
    int tcpPort_ = serial::CSerial::kDefaultTcpPort;
    comm::CopyModuleLink copyModule_;
    std::optional<comm::CopyModuleSet> moduleSet_;  // the set last read from the module
    void loadCopyModuleChoice();
    void saveCopyModuleChoice();
    comm::SettingsLocation settingsWhere_ = comm::SettingsLocation::standard();
    std::chrono::milliseconds responseTimeout_ = serial::CSerial::kDefaultResponseTimeout;
    QTimer autoRefreshTimer_;
    std::unique_ptr<comm::TransferContext> refreshContext_;
    std::unique_ptr<comm::AutoRefresh> autoRefresh_;
    LinkPollExecutor pollExecutor_{link_};
    std::unique_ptr<monitor::PollScheduler> autoRefreshPoll_;
    MonitorWindows* monitors_ = nullptr;
    std::unique_ptr<PlcRunControl> plcRun_;
    bool busy_ = false;  // a transfer is running
    std::int32_t frequencyUnit_ = 0;
    int plcMonitorStation_ = 0;  // the station chosen for the ladder's monitor
    // What the single writes learnt of the drive (the version stays for pages that keep it).
    editing::DriveFacts pageFacts_;
    QPointer<QWidget> compareWindow_;
    bool printCompare_ = false;  // the compare window's print menu is sending a print command
};

}  // namespace pv::ui
