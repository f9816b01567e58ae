// parvolt-cli scan as the user runs it, against the virtual drive bus: what it prints on each
// stream and the exit status it ends with.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/RunProgram.h"

namespace pv {
namespace {

const std::string kRangeHint = "; stations are 1..32, e.g. 3, 1-32 or 1,4,7-9\n";

TEST(CliScan, ListsTheStationsThatAnswerOrSaysWhatToCheck) {
    const std::string cli = std::string(PARVOLT_BIN_DIR) + "/parvolt-cli";
    if (!std::filesystem::exists(cli)) GTEST_SKIP() << "parvolt-cli not built";
    const std::string errFile = (std::filesystem::temp_directory_path() /
                                 ("pv-cli-scan-" + std::to_string(::getpid()) + ".err"))
                                    .string();
    struct Case {
        std::string args;
        int status;
        std::string out;  // stdout, exactly
        std::string err;  // the start of stderr
    };
    const std::string twoDrives = "--port sim --sim-stations 3,17 --sim-model 17=N350-402-H";
    const Case cases[] = {
        {twoDrives + " --timeout 20", 0,
         "3\t0x35001\tN350-2P5-H\t1.35\n17\t0x35022\tN350-402-H\t1.35\n2 of 32 stations answer\n",
         ""},
        {twoDrives + " --timeout 20 --stations 1,17,30-32", 0,
         "17\t0x35022\tN350-402-H\t1.35\n1 of 5 stations answers\n", ""},
        {twoDrives + " --timeout 20 --stations 4-6,9", 1, "0 of 4 stations answer\n",
         "No drive answers on sim (stations 4-6,9 at 9600 baud, 8N2, time-out 20 ms). Check the "
         "port, the baud rate and line format"},
        {twoDrives + " --stations 1-33", 2, "",
         "parvolt-cli: --stations 1-33: station 33 does not exist" + kRangeHint},
        {twoDrives + " --stations 0,3", 2, "",
         "parvolt-cli: --stations 0,3: station 0 does not exist" + kRangeHint},
        {twoDrives + " --stations 9-7", 2, "",
         "parvolt-cli: --stations 9-7: the range 9-7 runs backwards (write 7-9)" + kRangeHint},
        {twoDrives + " --stations 3,1-4", 2, "",
         "parvolt-cli: --stations 3,1-4: station 3 is listed twice" + kRangeHint},
        {twoDrives + " --stations all", 2, "",
         "parvolt-cli: --stations all: \"all\" is neither a station nor a range" + kRangeHint},
        {"--port sim --sim-model 5=N350-402-H", 1, "",
         "--sim-model 5=N350-402-H: station 5 is not in --sim-stations 1\n"},
        {"--stations 1-3", 2, "", "parvolt-cli: missing --port\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const test::ProgramRun r = test::RunProgram(cli + " scan " + c.args, "2>" + errFile);
        std::ifstream errIn(errFile);
        std::stringstream err;
        err << errIn.rdbuf();
        EXPECT_EQ(c.status, r.status);
        EXPECT_EQ(c.out, r.out);
        EXPECT_EQ(0u, err.str().rfind(c.err, 0)) << err.str();
    }
    std::filesystem::remove(errFile);
}

}  // namespace
}  // namespace pv
