// parvolt-cli put and compare as a script uses them: exit status, what they print, the compare
// text file's bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/RunProgram.h"

namespace pv::test {
namespace {

const std::string kCli = std::string(PARVOLT_BIN_DIR) + "/parvolt-cli ";
const std::string kSim = " --port sim --sim-model N350-202-H --station 1 --timeout 100";

TEST(CliPagesTest, CompareSaysByItsStatusWhetherProjectsDiffer) {
    const auto dir = std::filesystem::temp_directory_path() / "parvolt-cli-compare";
    std::filesystem::create_directories(dir);
    const std::string a = (dir / "a.nf3").string(), b = (dir / "b.nf3").string(),
                      txt = (dir / "d.txt").string();
    ASSERT_EQ(RunProgram(kCli + "new --model N350-202-H -o " + a).status, 0);
    ASSERT_EQ(RunProgram(kCli + "new --model N350-202-H -o " + b).status, 0);
    EXPECT_EQ(RunProgram(kCli + "compare " + a + " " + b).status, 0);
    EXPECT_EQ(RunProgram(kCli + "compare " + a).status, 0);
    ASSERT_EQ(RunProgram(kCli + "set " + b + " 00-15=20.0").status, 0);

    const ProgramRun r = RunProgram(kCli + "compare " + a + " " + b, "2>/dev/null");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("00-15 Deceleration Time 1\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t20.0\n"), std::string::npos) << r.out;
    EXPECT_EQ(RunProgram(kCli + "compare " + a + " " + b + " -o " + txt).status, 1);
    std::ifstream in(txt, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_NE(bytes.str().find("\r\n00-15 Deceleration Time 1\t"), std::string::npos);
    EXPECT_EQ(bytes.str().substr(bytes.str().size() - 7), "\t20.0\r\n");
    EXPECT_EQ(RunProgram(kCli + "compare " + a + " --mode 2").status, 2);
    // A fresh project against a drive as delivered: the read values are the set values.
    EXPECT_EQ(RunProgram(kCli + "compare " + a + kSim).status, 0);
    std::filesystem::remove_all(dir);
}

TEST(CliPagesTest, PutWritesLikeThePagesWriteButton) {
    ProgramRun r = RunProgram(kCli + "put" + kSim + " 00-14=12.5 00-00=SLV", "2>&1");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("00-14 = 12.5\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("00-00 = 2\n"), std::string::npos) << r.out;
    r = RunProgram(kCli + "put" + kSim + " 13-00=3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("The parameter is read only."), std::string::npos) << r.out;
    r = RunProgram(kCli + "put" + kSim + " 00-14=6000.1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Beyond the range !"), std::string::npos) << r.out;
    EXPECT_EQ(RunProgram(kCli + "put" + kSim + " 01-01=1").status, 2);  // on no page
}

}  // namespace
}  // namespace pv::test
