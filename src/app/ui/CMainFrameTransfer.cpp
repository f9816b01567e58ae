// The main frame's transfer commands: Read, Write, the password commands, auto refresh and
// taking the drive's values into the project. The workflows are the core's; each runs as one job
// on the link thread while the window keeps repainting and the progress window offers Cancel.

#include <QAction>
#include <QEventLoop>
#include <QStatusBar>
#include <thread>

#include "app/ui/CMainFrame.h"
#include "editing/ui/CParameterView.h"
#include "widgets/QtPrompts.h"
#include "comm/AutoRefresh.h"
#include "comm/Passwords.h"
#include "comm/ReadCommand.h"
#include "comm/Upload.h"
#include "comm/WriteCommand.h"
#include "res/UiTexts.h"

namespace pv::ui {

std::unique_ptr<comm::TransferContext> CMainFrame::makeContext() {
    if (!serial_ || !document()) return nullptr;
    auto ctx = std::make_unique<comm::TransferContext>(*serial_, *prompts_, *document(), state_,
                                                       linkState_, lastError_);
    ctx->tableMutex = &tableMutex_;
    // Called on the link thread: the list is refreshed on the user-interface thread.
    ctx->refreshViews = [this] {
        QMetaObject::invokeMethod(
            this, [this] { refreshParameterView(); }, Qt::QueuedConnection);
    };
    ctx->saveProject = [this] { return saveOnUiThread(); };
    ctx->busy = &busy_;
    ctx->frequencyUnit = &frequencyUnit_;
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
    if (!linkState_.linked || !document()) return;
    auto ctx = makeContext();
    if (!ctx) return;
    link_.runModal([&] { body(*ctx); }, this);
    // A workflow that ended early must not leave its progress window behind.
    prompts_->progressWindow()->end();
    refreshParameterView();
    unlinkIfWireGone();
    updateCommands();
}

void CMainFrame::unlinkIfWireGone() {
    if (!serial_ || !serial_->wireGone()) return;
    disconnectLink();
    prompts_->message(ui_text::kLinkLost);
}

void CMainFrame::onRead() {
    comm::ReadOutcome outcome;
    runTransfer([&](comm::TransferContext& ctx) { outcome = comm::RunReadCommand(ctx); });
    markReadValues(outcome);
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
    runTransfer([](comm::TransferContext& ctx) { comm::RunWriteCommand(ctx); });
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
        std::lock_guard lock(tableMutex_);
        changed = comm::UploadReadValues(doc->table);
    }
    if (changed > 0) doc->modified = true;
    refreshParameterView();
}

void CMainFrame::onAutoRefresh() {
    // A refresh whose failed pass cleared the flag is still wound down here, never replaced
    // while its pass may be running.
    if (state_.autoRefreshRunning || autoRefresh_) {
        stopAutoRefresh();
        return;
    }
    if (!linkState_.linked || !document()) {
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
    autoRefreshTimer_.setInterval(100);
    autoRefreshTimer_.start();
    updateCommands();
}

void CMainFrame::autoRefreshTick() {
    if (!autoRefresh_) return;
    if (!autoRefresh_->running()) {
        // A failed pass switched it off. While its text is still shown the pass has not ended,
        // and waiting for it from inside that message's own event loop would never return: the
        // pass's end winds the refresh down instead.
        if (!link_.busy()) stopAutoRefresh();
        return;
    }
    // Skipped, not queued, while the previous pass still runs.
    link_.tryPost([this] { autoRefresh_->runOnePass(); },
                  [this] {
                      if (auto* doc = document()) doc->refreshMarks = {};
                      refreshParameterView();
                      if (autoRefresh_ && !autoRefresh_->running()) stopAutoRefresh();
                      unlinkIfWireGone();
                  });
}

void CMainFrame::stopAutoRefresh() {
    autoRefreshTimer_.stop();
    if (autoRefresh_) {
        // stop() waits for the running pass; it waits on another thread so that this one keeps
        // answering the prompts a failing pass may raise.
        // No command may start meanwhile; the prompts stay answerable.
        InputBlocker blocker(this);
        QEventLoop loop;
        std::thread stopper([this, &loop] {
            autoRefresh_->stop();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        stopper.join();
        link_.waitIdle();
        autoRefresh_.reset();
        refreshContext_.reset();
    }
    state_.autoRefreshRunning = 0;
    updateCommands();
}

}  // namespace pv::ui
