#pragma once
// The drive's firmware version as 13-01 reports it: below 100 in tenths, below 1000 in
// hundredths, else thousandths (135 is 1.35, 1005 is 1.005).

#include <cstdint>
#include <string>

namespace pv::drive {

double VersionValue(int raw);
// As the status bar and the CLI show it: "%.1f", "%.2f" or "%.3f" by the same steps.
std::string VersionText(int raw);

}  // namespace pv::drive
