#pragma once
// Taking a drive's values into the project: every read value becomes the set value of its
// parameter, so that a project read from a drive can be saved and written to other drives.

#include "project/ParamTable.h"

namespace pv::comm {

// Copies the read value of every defined parameter that has one into its set value. Returns
// the number of set values that changed; those are marked edited (not yet written to a drive)
// where the flag tables reach.
int UploadReadValues(ParamTable& table);

}  // namespace pv::comm
