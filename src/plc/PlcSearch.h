#pragma once
// Find and Replace over a ladder program by element name. Names are normalised as the user may
// type them (i3 is i03, AS1 is AS01, D is D00) and matched case-sensitively: i03 is a normally
// closed contact and never matches I03.

#include <optional>
#include <string>
#include <string_view>

#include "plc/PlcProgram.h"
#include "res/Prompts.h"

namespace pv::plc {

// The four-character cell text of a typed name ("I01 ", "AS01", "D00 ", "--- ", "    "), or the
// text that refuses it: "this type not support X" for an unknown letter, else
// "Input 'name' Data Error".
struct NormalizedName {
    std::string name;     // four characters when accepted
    std::string refusal;  // empty when accepted
    bool accepted() const { return refusal.empty(); }
};
NormalizedName NormalizeElementName(std::string_view typed);

// A place in the editor: display line and cursor position (0, 2, 4 the contact cells, 6 the coil).
struct CellPlace {
    int displayLine = 0;
    int position = 0;
    bool operator==(const CellPlace&) const = default;
};

// Whether the cell at `place` holds the normalised name: a contact by its three characters, a
// coil by its letter and number (and the AS/MD letters).
bool CellMatches(const PlcProgram& program, const CellPlace& place, const std::string& name);

// The next cell after `from` in the direction that holds the name, skipping comment lines; the
// search does not wrap around the ends of the program.
std::optional<CellPlace> FindNext(const PlcProgram& program, const CellPlace& from,
                                  const std::string& name, bool down);

// Find Next as the editor runs it: the typed name normalised (its refusal shown), the next
// match, or "Search Contact/Coil 'name' not find.".
std::optional<CellPlace> RunFindNext(const PlcProgram& program, const CellPlace& from,
                                     std::string_view typed, bool down, Prompts& prompts);

// The double-coil check as the program shows it before a save, a write or monitoring: "T03" and
// "Reused" in the error box when a coil of a kind used only once repeats. True when none does.
bool CoilsUsedOnce(const PlcProgram& program, Prompts& prompts);

// Replace from the top of the program: each match confirmed ("Replace 'a' to 'b' ?", Yes, No or
// Cancel); a cell that cannot take the new name asks whether to continue; a coil of a kind used
// only once that would repeat another is refused with "b\nReused". Returns the number of cells
// changed (the editor stores one undo snapshot when it is above 0).
int RunReplace(PlcProgram& program, std::string_view typedFind, std::string_view typedReplace,
               Prompts& prompts);

}  // namespace pv::plc
