#pragma once
// The parameter pages' commands: User Parameter and Compare, and the double-click of the
// parameter list. The main window carries them out (it owns the link thread and the document);
// this file says what each command is and when it may run.

#include "widgets/CommandTable.h"

namespace pv::ui {

class PageCommandTarget {
public:
    virtual ~PageCommandTarget() = default;
    // The group dialog of `group` at the parameter at `position` among its defined records.
    virtual void openGroupDialog(int group, int position) = 0;
    virtual void onUserParameter() = 0;
    virtual void onCompare() = 0;
    // A project is open and no transfer runs.
    virtual bool pagesAllowed() const = 0;
};

void RegisterPageCommands(CommandTable& table, PageCommandTarget& target);

}  // namespace pv::ui
