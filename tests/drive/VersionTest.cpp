// The firmware version a drive reports in 13-01 decides which write rules apply and what the
// status bar shows; a slip in the digit steps shows a drive as another version.
#include <gtest/gtest.h>

#include "drive/Version.h"

namespace pv::drive {
namespace {

TEST(DriveVersion, StepsFollowTheDigitCount) {
    struct Case {
        int raw;
        const char* text;
        double value;
    } cases[] = {
        {0, "0.0", 0.0},      {13, "1.3", 1.3},      {99, "9.9", 9.9},
        {100, "1.00", 1.0},   {105, "1.05", 1.05},   {135, "1.35", 1.35},
        {999, "9.99", 9.99},  {1000, "1.000", 1.0},  {1005, "1.005", 1.005},
        {1050, "1.050", 1.05}, {65535, "65.535", 65.535},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(VersionText(c.raw), c.text);
        EXPECT_NEAR(VersionValue(c.raw), c.value, 1e-9);
    }
}

}  // namespace
}  // namespace pv::drive
