// parvolt-cli's project commands, run as the user runs them: the built program beside its data.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/RunProgram.h"
#include "Fixtures.h"
#include "plc/PlcProgram.h"
#include "project/CM240Doc.h"
#include "project/DataPaths.h"
#include "project/ParamTable.h"

namespace pv {
namespace {

using CliRun = test::ProgramRun;

class CliProject : public ::testing::Test {
protected:
    void SetUp() override {
        cli = std::string(PARVOLT_BIN_DIR) + "/parvolt-cli";
        if (!std::filesystem::exists(cli)) GTEST_SKIP() << "parvolt-cli not built";
        if (!std::filesystem::exists(std::string(PARVOLT_BIN_DIR) + "/N350PARAM.DAT"))
            GTEST_SKIP() << "no data files beside the program";
    }
    // Runs the program with stderr folded into the output.
    CliRun run(const std::string& args) { return test::RunProgram(cli + " " + args); }
    std::string cli;
    test::TempDir work;
};

TEST_F(CliProject, NewInfoShowListEveryDefinedParameterWithTheModelDefaults) {
    const std::string file = work.file("a.nf3");
    ASSERT_EQ(run("new --model N350-402-H -o " + file).status, 0);
    const CliRun info = run("info " + file);
    ASSERT_EQ(info.status, 0) << info.out;
    EXPECT_NE(info.out.find("Model code:         0x35022"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Voltage class:      4"), std::string::npos);
    EXPECT_NE(info.out.find("File version:       2"), std::string::npos);

    ParamTable table;
    ASSERT_TRUE(table.LoadParamDefinitions(std::string(PARVOLT_BIN_DIR) + "/N350PARAM.DAT"));
    table.LoadOptionLists(std::string(PARVOLT_BIN_DIR) + "/N350ComboxList.DAT");
    table.LoadModelDefaults(std::string(PARVOLT_BIN_DIR) + "/N350InitialParam.dat", 0x35022);

    const CliRun show = run("show " + file);
    ASSERT_EQ(show.status, 0);
    std::istringstream lines(show.out);
    std::string line;
    int params = 0, groups = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("#", 0) == 0) {
            ++groups;
            continue;
        }
        const std::string code = line.substr(0, 5);
        const ParamRecord* r = table.definedRecord(code);
        ASSERT_NE(r, nullptr) << line;
        EXPECT_EQ(line, code + "\t" + std::string(r->name()) + "\t" + r->defaultValue + "\t" +
                            r->setValue);
        ++params;
    }
    EXPECT_EQ(params, table.definedParamCount());
    EXPECT_EQ(groups, table.definedGroupCount());

    const CliRun one = run("show " + file + " --group 13");
    EXPECT_EQ(one.out.rfind("# 13-XX\t", 0), 0u) << one.out;
    EXPECT_EQ(one.out.find("# 12-XX"), std::string::npos);
}

TEST_F(CliProject, SetChecksTheRangeAndChangesNothingOnRefusal) {
    const std::string file = work.file("s.nf3");
    ASSERT_EQ(run("new --model N350-2P5-H -o " + file).status, 0);
    const std::string before = test::ReadFile(file);
    const CliRun refused = run("set " + file + " 00-14=20.0 00-12=150");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("00-12: 150 is out of range 0.1~109.0."), std::string::npos)
        << refused.out;
    EXPECT_EQ(test::ReadFile(file), before);

    ASSERT_EQ(run("set " + file + " 00-14=20 00-12=99.5").status, 0);
    const CliRun got = run("get " + file + " 00-14 00-12");
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.out, "00-14\t20.0\n00-12\t99.5\n");
}

// Values no register holds are refused with the parameter's range, never stored modulo 2^32;
// a value a rule refuses names the rule.
TEST_F(CliProject, SetRefusesWhatTheParameterCannotHoldWithItsReason) {
    const std::string file = work.file("wrap.nf3");
    ASSERT_EQ(run("new --model N350-2P5-H -o " + file).status, 0);
    const std::string before = test::ReadFile(file);
    struct Case {
        const char* assignment;
        const char* text;
    } cases[] = {
        {"00-29=4294967301", "00-29: 4294967301 is out of range 0~50.\n"},
        {"00-29=-4294967291", "00-29: -4294967291 is out of range 0~50.\n"},
        {"16-11=42949673/97", "16-11: 42949673/97 is out of range 01/01~12/31.\n"},
        {"16-11=1/129", "16-11: 1/129 is out of range 01/01~12/31.\n"},
        {"00-14=nan", "00-14: nan is out of range 0.1~6000.0.\n"},
        {"00-14=inf", "00-14: inf is out of range 0.1~6000.0.\n"},
        {"00-14=1e30", "00-14: 1e30 is out of range 0.1~6000.0.\n"},
        {"00-14=2147483648", "00-14: 2147483648 is out of range 0.1~6000.0.\n"},
        {"00-41=1-300", "00-41: 1-300 is out of range 00-01~23-79.\n"},
        {"22-03=7", "22-03: The value of the parameter is even.\n"},
        {"22-03=97", "22-03: 97 is out of range 2~96.\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run("set " + file + " " + c.assignment);
        EXPECT_EQ(r.status, 1) << c.assignment;
        EXPECT_EQ(r.out, c.text) << c.assignment;
        EXPECT_EQ(test::ReadFile(file), before) << c.assignment;
    }
    ASSERT_EQ(run("set " + file + " 22-03=8").status, 0);
    EXPECT_EQ(run("get " + file + " 22-03").out, "22-03\t8\n");
}

// Link options beyond 32 bits are refused as bad usage instead of reaching the link as their
// low bits (4294976896 is 2^32 + 9600).
TEST_F(CliProject, LinkOptionsRefuseNumbersBeyondTheirWidth) {
    const char* cases[] = {
        "identify --port sim --stations 1 --baud 4294976896",
        "identify --port sim --stations 1 --timeout 4294967796",
        "raw --port sim --station 4294967297 read 0x2520 1",
        "raw --port sim read 4294976800 1",
        "raw --port sim read 0x2520 4294967297",
        "raw --port sim write 0x0D06 4294967297",
        "raw --port sim read -1-05 1",
    };
    for (const char* args : cases) {
        const CliRun r = run(args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
    }
    EXPECT_EQ(run("identify --port sim --stations 1 --baud 9600").status, 0);
}

TEST_F(CliProject, SetOnALadderWithATimerCoilUsedTwiceSavesNothing) {
    const std::string file = work.file("coils.nf3");
    CM240Doc doc(std::string(PARVOLT_BIN_DIR) + "/");
    doc.OnNewDocument();
    doc.ApplyModelDefaultsFile(0x35001, true);
    doc.plc.setCoil(0, kCoilOutput, 'T', 3);
    doc.plc.setCoil(9, kCoilOutput, 'T', 3);
    ProjectFrameItems frame;
    frame.modelCode = 0x35001;
    frame.modelName = "N350-2P5-H";
    ASSERT_TRUE(doc.SaveProject(file, frame));
    const std::string before = test::ReadFile(file);
    const CliRun r = run("set " + file + " 00-14=20");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, " T03\nReused\n");
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST_F(CliProject, ExitCodesSeparateFailureFromBadUsage) {
    struct Case {
        std::string args;
        int status;
    };
    const std::string missing = work.file("missing.nf3");
    const Case cases[] = {
        {"models", 0},
        {"new --help", 0},
        {"show --help", 0},
        {"info " + missing, 1},
        {"ladder " + missing, 1},
        {"new --model N350-999-H -o " + work.file("x.nf3"), 1},
        {"new --model N350-2P5-H", 2},
        {"show", 2},
        {"get " + missing + " 0-1", 2},
        {"set " + missing + " 00-01", 2},
        {"info a b", 2},
        {"show " + missing + " --group 123", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.args).status, c.status) << c.args;
    EXPECT_EQ(run("info " + missing).out, "Can not open file.\n");
}

TEST_F(CliProject, ShowOfAGroupTheProjectLacksFailsInsteadOfPrintingNothing) {
    const std::string file = work.file("g.nf3");
    ASSERT_EQ(run("new --model N350-2P5-H -o " + file).status, 0);
    const struct {
        std::string group, text;
    } cases[] = {
        {"24", "24-XX: no such group in this project.\n"},  // beyond the data files' groups
        {"25", "25-XX: no such group in this project.\n"},  // hidden: only a transfer adds it
        {"99", "99-XX: no such group in this project.\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run("show " + file + " --group " + c.group);
        EXPECT_EQ(r.status, 1) << c.group;
        EXPECT_EQ(r.out, c.text);
    }
    const CliRun one = run("show " + file + " --group 5");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out.rfind("# 05-XX\t", 0), 0u) << one.out;
}

TEST_F(CliProject, LadderPrintsEightyRows) {
    const std::string file = work.file("l.nf3");
    ASSERT_EQ(run("new --model N350-2P5-H -o " + file).status, 0);
    const CliRun ladder = run("ladder " + file);
    ASSERT_EQ(ladder.status, 0);
    int rows = 0;
    std::istringstream lines(ladder.out);
    std::string line;
    while (std::getline(lines, line)) ++rows;
    EXPECT_EQ(rows, 80);
    EXPECT_EQ(ladder.out.rfind("000\n", 0), 0u);
}

TEST_F(CliProject, LadderTextSetsTheProgramAndReadsBackToTheSameBytes) {
    const std::string file = work.file("t.nf3"), text = work.file("t.txt");
    ASSERT_EQ(run("new --model N350-2P5-H -o " + file).status, 0);
    const std::string rows =
        "     // Pump\n"
        "000  I01-M01------[Q01\n"
        "001  I02----------[T01\n";
    const std::string timer = "T01 mode=1 base=1 preset=0050 reset=- base2=1 preset2=0000\n";
    std::ofstream(text) << rows << timer;
    ASSERT_EQ(run("ladder " + file + " --set " + text).status, 0);
    const CliRun printed = run("ladder " + file);
    ASSERT_EQ(printed.status, 0);
    EXPECT_EQ(printed.out.rfind(rows, 0), 0u) << printed.out;
    EXPECT_NE(printed.out.find("079\n" + timer), std::string::npos) << printed.out;
    // What `ladder` prints, set again, leaves every byte as it was.
    auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes(file);
    std::ofstream(text, std::ios::trunc) << printed.out;
    ASSERT_EQ(run("ladder " + file + " --set " + text).status, 0);
    EXPECT_EQ(bytes(file), before);
    // A refused text names its line and leaves the project alone.
    std::ofstream(text, std::ios::trunc) << "000  I01\n001  I02x\n";
    const CliRun bad = test::RunProgram(cli + " ladder " + file + " --set " + text, "2>&1");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.out.find("line 2: gap character 'x'"), std::string::npos) << bad.out;
    EXPECT_EQ(bytes(file), before);
}

}  // namespace
}  // namespace pv
