#pragma once
// The hidden groups 25..28: not in the definition file, present on every drive. A Read that
// includes them appends them to the table; a project saved after such a Read carries their set
// values, and opening it rebuilds them so that a later Write can send them back.

#include "project/ParamTable.h"

namespace pv {

// Registers GG-00 .. GG-49 of each hidden group exist on the drive.
inline constexpr int kHiddenGroupParams = 50;

// Whether the table carries the hidden groups 25..28.
bool HasHiddenGroups(const ParamTable& table);
// Appends the hidden groups at positions 25..28 (with a filler group 24 when the definitions
// stop at 23). Their first kHiddenGroupParams records are defined, plain numbers 0~65535; set
// values already there are kept.
void AppendHiddenGroups(ParamTable& table);

}  // namespace pv
