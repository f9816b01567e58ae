// The command line of n350-sim.

#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace pv::sim {
namespace {

SimOptions parse(const std::vector<std::string>& args, bool expectOk = true) {
    SimOptions o;
    std::string error;
    EXPECT_EQ(parseSimOptions(args, o, error), expectOk) << error;
    return o;
}

TEST(SimOptions, DefaultsServeOneDriveOnAPseudoTerminal) {
    const SimOptions o = parse({});
    EXPECT_TRUE(o.pty);
    EXPECT_EQ(o.tcpPort, -1);
    EXPECT_EQ(o.stations, std::vector<int>{1});
    EXPECT_EQ(o.modelOf(1), 0x35001u);
    EXPECT_EQ(o.version, 135);
    EXPECT_EQ(o.baud, 9600);
    EXPECT_EQ(o.format.bitsPerChar(), 11.0);
}

TEST(SimOptions, TakesEveryOption) {
    const SimOptions o = parse({"--tcp",           "10001",
                                "--bind",          "0.0.0.0",
                                "--stations",      "1,3,5-7",
                                "--model",         "N350-401-H",
                                "--model",         "3=N350-2P5-H",
                                "--version",       "1005",
                                "--baud",          "19200",
                                "--parity",        "even",
                                "--stop",          "1",
                                "--turnaround-us", "1500",
                                "--wire-time",     "--strict",
                                "--fault",         "3:exception:2@once",
                                "--fault",         "5:late:900@4",
                                "--data",          "/d"});
    EXPECT_FALSE(o.pty);  // TCP only, as asked
    EXPECT_EQ(o.tcpPort, 10001);
    EXPECT_EQ(o.bind, "0.0.0.0");
    EXPECT_EQ(o.stations, (std::vector<int>{1, 3, 5, 6, 7}));
    EXPECT_EQ(o.modelOf(1), 0x35021u);
    EXPECT_EQ(o.modelOf(3), 0x35001u);
    EXPECT_EQ(o.version, 1005);
    EXPECT_EQ(o.baud, 19200);
    EXPECT_EQ(o.format.parity, 2);
    EXPECT_EQ(o.format.stopBits, 1.0f);
    EXPECT_EQ(o.turnaroundUs, 1500);
    EXPECT_TRUE(o.wireTime);
    EXPECT_TRUE(o.strictRules);
    ASSERT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.faults[0].station, 3);
    EXPECT_EQ(o.faults[0].kind, FaultKind::Exception);
    EXPECT_EQ(o.faults[0].arg, 2);
    EXPECT_EQ(o.faults[0].mode, FaultMode::Once);
    EXPECT_EQ(o.faults[1].kind, FaultKind::Late);
    EXPECT_EQ(o.faults[1].mode, FaultMode::Count);
    EXPECT_EQ(o.faults[1].count, 4);
    EXPECT_EQ(o.dataDir, "/d");
    EXPECT_TRUE(parse({"--link", "/tmp/x"}).pty);
}

TEST(SimOptions, RefusesWhatItCannotServe) {
    const std::vector<std::vector<std::string>> bad = {
        {"--stations", "0"},          {"--stations", "33"},
        {"--stations", "5-3"},        {"--stations", "1,1"},
        {"--stations", "x"},          {"--model", "N350-999-H"},
        {"--model", "40=N350-401-H"}, {"--baud", "12345"},
        {"--parity", "mark"},         {"--stop", "3"},
        {"--fault", "1:melt"},        {"--fault", "1"},
        {"--fault", "0:drop"},        {"--fault", "1:drop@never"},
        {"--fault", "1:delay:x"},     {"--tcp"},
        {"--tcp", "70000"},           {"--frobnicate"},
    };
    for (const auto& args : bad) parse(args, false);
}

TEST(SimOptions, ARefusalSaysWhatIsWrongWithTheValue) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--tcp", "70000"}, "--tcp must be 0..65535: 70000"},
        {{"--version", "-1"}, "--version must be 0..65535: -1"},
        {{"--turnaround-us", "20000000"}, "--turnaround-us must be 0..10000000: 20000000"},
        {{"--tcp", "port"}, "not a number: port"},
    };
    for (const auto& c : cases) {
        SimOptions o;
        std::string error;
        EXPECT_FALSE(parseSimOptions(c.args, o, error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace pv::sim
