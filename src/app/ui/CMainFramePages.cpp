// The main frame's side of the parameter pages: the group dialogs opened from the list, the
// user-parameter container, and Compare. The pages' writes and Compare's read run as jobs on the
// link thread; what they change in the document is shown here afterwards.

#include <QThread>

#include "app/ui/CMainFrame.h"
#include "comm/ReadCommand.h"
#include "editing/ui/CParameterView.h"
#include "editing/ui/CompareWindow.h"
#include "res/EditingTexts.h"
#include "widgets/QtPrompts.h"

namespace pv::ui {

Prompts& CMainFrame::pagePrompts() {
    return *prompts_;
}

editing::DisplaySettings CMainFrame::pageSettings() {
    return {state_.highFrequencyMode != 0, state_.limitsInHertz != 0};
}

void CMainFrame::runPageWrite(const std::function<void(comm::PageWriteContext&)>& job,
                              QWidget* window) {
    CM240Doc* doc = document();
    if (!doc) return;
    const bool linked = pageConnected();
    comm::PageWriteContext ctx(linked ? &drive_.channel() : nullptr, *prompts_, *doc,
                               drive_.lastError);
    ctx.stations = drive_.state.stations;
    ctx.facts = pageFacts_;
    ctx.refreshViews = [this] {
        QMetaObject::invokeMethod(this, [this] { refreshParameterView(); }, Qt::QueuedConnection);
    };
    if (!linked) {
        job(ctx);  // says "It is not connect with inverter." and sends nothing
        return;
    }
    busy_ = true;
    link_.runModal([&] { job(ctx); }, window);
    busy_ = false;
    prompts_->progressWindow()->end();
    pageFacts_ = ctx.facts;
    unlinkIfWireGone();
    updateCommands();
}

void CMainFrame::pagesChanged() {
    refreshParameterView();
}

void CMainFrame::openGroupDialog(int group, int position) {
    if (!document() || busy_) return;
    if (ParameterGroupDialog::Open(*this, group, position, this)) {
        document()->modified = true;
        updateTitle();
    }
}

void CMainFrame::onUserParameter() {
    if (!document()) return;
    if (ParameterGroupDialog::OpenUserParameters(*this, this)) {
        document()->modified = true;
        updateTitle();
    }
}

void CMainFrame::onCompare() {
    if (!document()) return;
    CompareChoiceDialog choice(this);
    if (auto* w = qobject_cast<CompareWindow*>(compareWindow_.data())) choice.setMode(w->mode());
    if (choice.exec() != QDialog::Accepted) return;
    const editing::CompareMode mode = choice.mode();
    if (editing::NeedsDriveRead(mode)) {
        if (!drive_.state.linked) {
            prompts_->message(res::kNotConnected);
            return;
        }
        if (refuseWhileAutoRefresh()) return;
        comm::ReadOutcome outcome;
        runTransfer([&](comm::TransferContext& ctx) { outcome = comm::ReadAllForCompare(ctx); });
        markReadValues(outcome);
        if (outcome.result != comm::CommandResult::Done) return;
    }
    editing::CompareResult result;
    {
        std::lock_guard lock(document()->tableMutex());
        result = editing::BuildCompare(document()->table, mode);
    }
    auto* w = qobject_cast<CompareWindow*>(compareWindow_.data());
    if (!w) {
        // Its print menu sends the File menu's commands, which then print this window.
        w = new CompareWindow(
            *prompts_,
            [this](CommandId id) {
                printCompare_ = true;
                runCommand(id);
                printCompare_ = false;
            },
            this);
        compareWindow_ = w;
    }
    w->show(std::move(result), mode);
}

}  // namespace pv::ui
