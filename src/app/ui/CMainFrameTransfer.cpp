// The main frame's transfer commands: Read, Write, the password commands, auto refresh and
// taking the drive's values into the project. The workflows are the core's; each runs as one job
// on the link thread while the window keeps repainting and the progress window offers Cancel.

#include <QAction>
#include <algorithm>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <memory>

#include "app/ui/CMainFrame.h"
#include "editing/ui/CParameterView.h"
#include "widgets/QtPrompts.h"
#include "comm/AutoRefresh.h"
#include <QTimer>
#include "comm/Passwords.h"
#include "comm/ReadCommand.h"
#include "comm/Upload.h"
#include "comm/WriteCommand.h"
#include "res/PlcLinkTexts.h"
#include "widgets/StatusPanes.h"
#include "res/ProjectTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

std::unique_ptr<comm::TransferContext> CMainFrame::makeContext() {
    if (!drive_.hasChannel() || !document()) return nullptr;
    auto ctx = std::make_unique<comm::TransferContext>(
        drive_.context(*prompts_, *document(), state_.projectFacts()));
    // Called on the link thread: the list is refreshed on the user-interface thread.
    ctx->refreshViews = [this] {
        QMetaObject::invokeMethod(
            this, [this] { refreshParameterView(); }, Qt::QueuedConnection);
    };
    ctx->saveProject = [this] { return saveOnUiThread(); };
    return ctx;
}

bool CMainFrame::saveOnUiThread() {
    bool saved = false;
    auto save = [this, &saved] {
        saved = session_->save();
        showStatusTexts();
        updateTitle();
    };
    if (QThread::currentThread() == thread())
        save();
    else
        QMetaObject::invokeMethod(this, save, Qt::BlockingQueuedConnection);
    return saved;
}

void CMainFrame::refreshParameterView() {
    if (auto* v = parameterView()) v->RefreshShownValues();
}

void CMainFrame::runTransfer(const std::function<void(comm::TransferContext&)>& body) {
    if (!drive_.state.linked || !document()) return;
    auto ctx = makeContext();
    if (!ctx) return;
    busy_ = true;
    link_.runModal([&] { body(*ctx); }, this);
    busy_ = false;
    // A workflow that ended early must not leave its progress window behind.
    prompts_->progressWindow()->end();
    refreshParameterView();
    unlinkIfWireGone();
    updateCommands();
}

void CMainFrame::unlinkIfWireGone() {
    if (!drive_.hasChannel() || !drive_.channel().wireGone()) return;
    disconnectLink();
    prompts_->message(ui_text::kLinkLost);
}

void CMainFrame::onRead() {
    // The drive's program may replace the one the simulator runs.
    plcRun_->stopSimulator();
    comm::ReadOutcome outcome;
    runTransfer([&](comm::TransferContext& ctx) { outcome = comm::RunReadCommand(ctx); });
    markReadValues(outcome);
    if (outcome.plcProgramRead) plcProgramReplacedByRead();
}

void CMainFrame::markReadValues(const comm::ReadOutcome& outcome) {
    auto* view = parameterView();
    if (!view) return;
    if (outcome.result == comm::CommandResult::Done) {
        view->setReadValuesStale(false);
        return;
    }
    // Only a Read that got as far as the groups leaves a mix of new and earlier values.
    if (outcome.transactions == 0) return;
    const bool cancelled = outcome.result == comm::CommandResult::Cancelled;
    if (!cancelled && outcome.result != comm::CommandResult::Failed) return;
    view->setReadValuesStale(true);
    statusBar()->showMessage(cancelled ? ui_text::kReadCancelledStatus : ui_text::kReadFailedStatus,
                             15000);
}

void CMainFrame::onWrite() {
    if (plcRun_->monitoring()) {
        prompts_->message(res::kPlcIsRunning);
        return;
    }
    comm::WriteOutcome out;
    runTransfer([&out](comm::TransferContext& ctx) { out = comm::RunWriteCommand(ctx); });
    if (out.frequencyUnit) frequencyUnit_ = *out.frequencyUnit;
    if (out.highFrequencyMode) state_.highFrequencyMode = *out.highFrequencyMode ? 1 : 0;
    if (out.plcProgramWritten) state_.plcProgramForeign = 0;
}

void CMainFrame::plcProgramReplacedByRead() {
    if (auto* doc = document()) doc->modified = true;
    updateTitle();
    showStatusTexts();
    // Every window of the project redraws from the document: the ladder shows the new program.
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget()) sub->widget()->update();
}

CPlcView* CMainFrame::plcLadder() {
    showLadder();
    return activeLadder();
}

int CMainFrame::plcStation() {
    const std::vector<int>& stations = drive_.state.stations;
    if (stations.size() <= 1) return stations.empty() ? 1 : stations.front();
    if (std::find(stations.begin(), stations.end(), plcMonitorStation_) != stations.end())
        return plcMonitorStation_;
    const auto chosen = prompts_->chooseStation(StationDialog::Select, stations);
    plcMonitorStation_ = chosen.value_or(0);
    return plcMonitorStation_;
}

void CMainFrame::runPlcJob(const std::function<void(comm::TransferContext&)>& body) {
    runTransfer(body);
}

void CMainFrame::plcStateChanged(const QString& status) {
    state_.status.plcStatus = status.toStdString();
    panes_->setPane(2, status);
    updateCommands();
}

Prompts& CMainFrame::plcPrompts() {
    return *prompts_;
}

void CMainFrame::onPassword(bool plc, bool set) {
    if (refuseWhileAutoRefresh()) return;
    const auto target = plc ? comm::PasswordTarget::plc() : comm::PasswordTarget::parameter();
    runTransfer([&](comm::TransferContext& ctx) {
        if (set)
            comm::RunSetPassword(ctx, target);
        else
            comm::RunClearPassword(ctx, target);
    });
}

void CMainFrame::onTakeReadValues() {
    auto* doc = document();
    if (!doc) return;
    int changed = 0;
    {
        std::lock_guard lock(doc->tableMutex());
        changed = comm::UploadReadValues(doc->table);
    }
    if (changed > 0) doc->modified = true;
    refreshParameterView();
}

void CMainFrame::onAutoRefresh() {
    if (state_.autoRefreshRunning) {
        stopAutoRefresh();
        return;
    }
    if (!drive_.state.linked || !document()) {
        updateCommands();
        return;
    }
    refreshContext_ = makeContext();
    autoRefresh_ = std::make_unique<comm::AutoRefresh>(*refreshContext_);
    bool started = false;
    link_.runModal([&] { started = autoRefresh_->start(); }, this);
    if (!started) {
        autoRefresh_.reset();
        refreshContext_.reset();
        updateCommands();
        return;
    }
    // A pass is a poll of the live windows' kind: skipped, not queued, while the previous one
    // (or any other job) still runs. What it means for the window is applied here once it ended;
    // a failed pass has shown its text itself.
    autoRefreshPoll_ = std::make_unique<monitor::PollScheduler>(
        pollExecutor_,
        [refresh = autoRefresh_.get()](int) {
            return refresh->runOnePass() == comm::AutoRefresh::Pass::Failed
                       ? monitor::PollResult::stop({})
                       : monitor::PollResult::ok();
        },
        [this](const monitor::PollResult& r) {
            if (auto* doc = document()) doc->refreshMarks = {};
            refreshParameterView();
            // Ending the refresh tears its scheduler down: not from inside its own callback.
            const bool failed = r.outcome == monitor::PollResult::Outcome::Stop;
            QTimer::singleShot(0, this, [this, failed] {
                if (failed) stopAutoRefresh();
                unlinkIfWireGone();
            });
        },
        monitor::PollScheduler::Show{});
    autoRefreshPoll_->start();
    state_.autoRefreshRunning = 1;
    autoRefreshTimer_.setInterval(100);
    autoRefreshTimer_.start();
    updateCommands();
}

void CMainFrame::autoRefreshTick() {
    if (state_.autoRefreshRunning && autoRefreshPoll_) autoRefreshPoll_->tick();
}

void CMainFrame::stopAutoRefresh() {
    autoRefreshTimer_.stop();
    state_.autoRefreshRunning = 0;
    if (autoRefresh_) {
        // The running pass ends at its next transaction; the link thread's own wait turns this
        // thread's event loop meanwhile, so the prompts a failing pass raises stay answerable.
        // No command may start before it has ended.
        autoRefresh_->stop();
        {
            InputBlocker blocker(this);
            if (autoRefreshPoll_) autoRefreshPoll_->stop();
            link_.waitIdle();
        }
        autoRefreshPoll_.reset();
        autoRefresh_.reset();
        refreshContext_.reset();
    }
    updateCommands();
}

}  // namespace pv::ui
