// The main frame's copy module commands and its network adapter search. The module's channel
// and the discovery socket are used only in jobs on the link thread; what they bring back is
// applied here.

#include <QApplication>
#include <QSettings>

#include "app/ui/CMainFrame.h"
#include "comm/GroupReader.h"
#include "comm/ui/CopyModuleCommands.h"
#include "editing/ui/CParameterView.h"
#include "res/CopyModuleTexts.h"
#include "widgets/CopyModuleDialog.h"
#include "widgets/QtPrompts.h"

namespace pv::ui {

namespace {
const char* const kGroupKey = "copyModule/group";
const char* const kNameKey = "copyModule/name";
const char* const kPortKey = "copyModule/port";
}  // namespace

void CMainFrame::loadCopyModuleChoice() {
    QSettings s;
    auto& c = copyModule_.lastChoice;
    c.group = s.value(kGroupKey, c.group).toInt();
    c.name = s.value(kNameKey, QString::fromStdString(c.name)).toString().toStdString();
    c.port = s.value(kPortKey, QString::fromStdString(c.port)).toString().toStdString();
}

void CMainFrame::saveCopyModuleChoice() {
    QSettings s;
    const auto& c = copyModule_.lastChoice;
    s.setValue(kGroupKey, c.group);
    s.setValue(kNameKey, QString::fromStdString(c.name));
    s.setValue(kPortKey, QString::fromStdString(c.port));
}

void CMainFrame::onCopyModuleWrite() {
    CM240Doc* doc = document();
    if (!doc || busy_) return;
    loadCopyModuleChoice();
    // The job works on a copy: the project stays editable meanwhile without a race.
    ParamTable table;
    {
        std::lock_guard lock(doc->tableMutex());
        table = doc->table;
    }
    const auto settings = comm::TransferSettings(table, state_.highFrequencyMode != 0);
    busy_ = true;
    updateCommands();
    link_.runModal([&] { comm::WriteToCopyModule(copyModule_, table, settings, *prompts_); },
                   this);
    busy_ = false;
    saveCopyModuleChoice();
    updateCommands();
}

void CMainFrame::onCopyModuleRead() {
    CM240Doc* doc = document();
    if (!doc || busy_) return;
    loadCopyModuleChoice();
    ParamTable table;
    {
        std::lock_guard lock(doc->tableMutex());
        table = doc->table;
    }
    comm::CopyModuleSet set;
    comm::CopyStatus status = comm::CopyStatus::Failed;
    busy_ = true;
    updateCommands();
    link_.runModal([&] { status = comm::ReadFromCopyModule(copyModule_, table, *prompts_, set); },
                   this);
    busy_ = false;
    saveCopyModuleChoice();
    if (status == comm::CopyStatus::Done) {
        {
            std::lock_guard lock(doc->tableMutex());
            comm::ApplyCopyModuleSet(
                set, doc->table, comm::TransferSettings(doc->table, state_.highFrequencyMode != 0));
        }
        moduleSet_ = set;
        doc->modified = true;
        updateTitle();
        refreshParameterView();
    }
    updateCommands();
}

void CMainFrame::onCopyModulePort() {
    loadCopyModuleChoice();
    const std::string port =
        AskCopyModulePort(comm::CopyModulePorts(), copyModule_.lastChoice.port, this);
    if (port.empty()) return;
    copyModule_.lastChoice.port = port;
    saveCopyModuleChoice();
}

void CMainFrame::onCopyModuleCompare() {
    CM240Doc* doc = document();
    if (!doc) return;
    if (!moduleSet_) {
        prompts_->message(res::kCopyNoSet);
        return;
    }
    std::vector<comm::CopyDifference> rows;
    {
        std::lock_guard lock(doc->tableMutex());
        rows = comm::CompareWithCopyModule(
            *moduleSet_, doc->table, comm::TransferSettings(doc->table, state_.highFrequencyMode != 0));
    }
    if (rows.empty()) {
        prompts_->message(res::kCopyCompareEqual);
        return;
    }
    ShowCopyModuleCompare(rows, this, [this](QDialog& d) { return prompts_->exec(d); });
}

int CMainFrame::searchAdapters() {
    std::vector<comm::NetAdapter> found;
    int n = -1;
    const auto target = discovery_;
    const auto names = adapters_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Discovery needs no open port: a channel of its own keeps the drive link untouched.
    link_.runModal(
        [&] {
            comm::CDriveSerial channel;
            n = comm::SearchAdapters(channel, target, names, found);
        },
        this);
    QApplication::restoreOverrideCursor();
    netAdapters_ = found;
    return n;
}

bool CMainFrame::assignAdapterAddress(const std::string& ip, const std::string& mac) {
    int ok = 0;
    const auto target = discovery_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    link_.runModal(
        [&] {
            comm::CDriveSerial channel;
            target.applyTo(channel);
            ok = channel.setIPAddress(ip, mac);
        },
        this);
    QApplication::restoreOverrideCursor();
    return ok != 0;
}

}  // namespace pv::ui
