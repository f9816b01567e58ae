#pragma once
// The ladder's commands in the main window: the Edit menu (Undo, Redo, Cut, Copy, Paste, Clear
// Comments, Symbol), the LADDER view switch and the program text export and import. The main
// window says which ladder is in front; this file says what each command does and when.

#include "widgets/CommandTable.h"

namespace pv {
class Prompts;
}

namespace pv::ui {

class CPlcView;

class PlcCommandTarget {
public:
    virtual ~PlcCommandTarget() = default;
    // The ladder view while the ladder window is in front, else null.
    virtual CPlcView* activeLadder() = 0;
    // Brings the ladder window to the front ("LADDER", the tree item "PLC").
    virtual void showLadder() = 0;
    virtual bool projectOpen() const = 0;
    virtual Prompts& ladderPrompts() = 0;
};

void RegisterPlcCommands(CommandTable& table, PlcCommandTarget& target);
// The LADDER button's picture: two rails, a contact and a coil.
QIcon LadderIcon();

// Writes the program of `view` to a file the user chooses; false on Cancel or failure (told).
bool ExportLadderText(CPlcView& view, Prompts& prompts);
bool ImportLadderText(CPlcView& view, Prompts& prompts);

}  // namespace pv::ui
