#pragma once
// The Operation menu: Connect, Read, Write, Auto Refresh, Take Read Values into Project and the
// two passwords of each kind. The main window carries them out (it owns the link thread and
// the document); this file says what each command is and when it may run.

#include "widgets/CommandTable.h"

namespace pv::ui {

class LinkCommandTarget {
public:
    virtual ~LinkCommandTarget() = default;
    virtual void onConnect() = 0;
    virtual void onRead() = 0;
    virtual void onWrite() = 0;
    virtual void onAutoRefresh() = 0;
    virtual void onTakeReadValues() = 0;
    virtual void onPassword(bool plc, bool set) = 0;
    virtual bool projectOpen() const = 0;
    // Linked to a drive and no Write running: a transfer may start.
    virtual bool transferAllowed() const = 0;
    virtual bool autoRefreshRunning() const = 0;
};

void RegisterLinkCommands(CommandTable& table, LinkCommandTarget& target);

}  // namespace pv::ui
