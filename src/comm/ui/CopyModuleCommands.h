#pragma once
// The copy module's commands in the Operation menu: write the project into a storage group,
// read a storage group into the project, choose the module's port, and compare the project with
// the set last read from the module. The main window carries them out on its link thread.

#include <functional>
#include <string>
#include <vector>

#include "comm/CopyModule.h"
#include "widgets/CommandTable.h"

class QDialog;
class QWidget;

namespace pv::ui {

class CopyModuleCommandTarget {
public:
    virtual ~CopyModuleCommandTarget() = default;
    virtual void onCopyModuleWrite() = 0;
    virtual void onCopyModuleRead() = 0;
    virtual void onCopyModulePort() = 0;
    virtual void onCopyModuleCompare() = 0;
    virtual bool copyModuleAllowed() const = 0;  // a project is open and no transfer runs
};

void RegisterCopyModuleCommands(CommandTable& table, CopyModuleCommandTarget& target);

// "The compare value of PC and Copy Module": the parameters whose values differ, with a Close
// button; `exec` runs the dialog (the window's prompts, so that a script can answer it).
void ShowCopyModuleCompare(const std::vector<comm::CopyDifference>& rows, QWidget* parent,
                           const std::function<int(QDialog&)>& exec);

}  // namespace pv::ui
