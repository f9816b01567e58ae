// acomfile.ini and kq4comfile.ini: golden contents, the reading rules, and the fall-back to the
// temporary folder.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/SettingsFiles.h"

namespace pv::comm {
namespace {

namespace fs = std::filesystem;

class SettingsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("pv-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "prog");
        fs::create_directories(root / "tmp");
        where.programDir = (root / "prog").string();
        where.tempDir = (root / "tmp").string();
    }
    void TearDown() override { fs::remove_all(root); }

    static std::string slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void put(const fs::path& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }

    fs::path root;
    SettingsLocation where;
};

TEST_F(SettingsFilesTest, AcomFileHoldsFourLines) {
    CommSettings s;
    s.portNumber = 3;
    s.baudIndex = 2;
    s.dataBitsIndex = 1;
    s.parityIndex = 1;
    s.stopBitsIndex = 1;
    s.stationText = "1,3,5-12";
    std::string path;
    ASSERT_TRUE(WriteAcomFile(where, s, &path));
    EXPECT_EQ((root / "prog" / "acomfile.ini").string(), path);
    EXPECT_EQ("3\n2\n111\n1,3,5-12\n", slurp(path));

    CommSettings back;
    ASSERT_TRUE(ReadAcomFile(where, back));
    EXPECT_EQ(3, back.portNumber);
    EXPECT_EQ(19200, back.baud());
    EXPECT_EQ(8, back.dataBits());
    EXPECT_EQ(1, back.parity());
    EXPECT_EQ(2.0f, back.stopBits());
    EXPECT_EQ("1,3,5-12", back.stationText);
}

TEST_F(SettingsFilesTest, AcomLineThreeIsTakenOnlyWithExactlyThreeCharacters) {
    put(root / "prog" / "acomfile.ini", "0\r\n3\r\n0210\r\n2\r\n");
    CommSettings s;
    ASSERT_TRUE(ReadAcomFile(where, s));
    EXPECT_EQ(38400, s.baud());
    EXPECT_EQ(1, s.dataBitsIndex);  // defaults kept
    EXPECT_EQ(2, s.parityIndex);
    EXPECT_EQ(1, s.stopBitsIndex);
    EXPECT_EQ("2", s.stationText);
}

TEST_F(SettingsFilesTest, AcomLineThreeIsOneNumberOfHundredsTensAndUnits) {
    struct Case {
        const char* line3;
        int dataBits, parity, stop;  // indexes after reading; defaults are 1, 2, 1
    };
    const Case cases[] = {
        // clang-format off
        {"121", 1, 2, 1},
        {"000", 0, 0, 0},
        {"110", 1, 1, 0},
        {"021", 0, 2, 1},
        {"11 ", 0, 1, 1},  // the number 11: data-bit index 0 in the hundreds
        {"1x1", 0, 0, 1},  // the number 1
        {"-21", 1, 2, 1},  // a negative number is no set of indexes
        {"930", 1, 2, 0},  // no data-bit choice 9, no parity choice 3; stop index 0 is taken
        {"  7", 0, 0, 1},  // the number 7: indexes 0 and 0 taken, 7 is no stop-bit choice
        {"12", 1, 2, 1},   // not three characters
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line3);
        put(root / "prog" / "acomfile.ini", std::string("0\n1\n") + c.line3 + "\n1\n");
        CommSettings s;
        ASSERT_TRUE(ReadAcomFile(where, s));
        EXPECT_EQ(c.dataBits, s.dataBitsIndex);
        EXPECT_EQ(c.parity, s.parityIndex);
        EXPECT_EQ(c.stop, s.stopBitsIndex);
        EXPECT_EQ("1", s.stationText);
    }
}

TEST_F(SettingsFilesTest, AcomBaudIndexOutsideTheChoicesKeepsTheDefault) {
    for (const char* line2 : {"6", "-1", "x"}) {
        SCOPED_TRACE(line2);
        put(root / "prog" / "acomfile.ini", std::string("0\n") + line2 + "\n121\n1\n");
        CommSettings s;
        ASSERT_TRUE(ReadAcomFile(where, s));
        // "x" reads as 0 like any other non-number: the first choice.
        EXPECT_EQ(std::string(line2) == "x" ? 4800 : 9600, s.baud());
    }
}

TEST_F(SettingsFilesTest, FallsBackToTheTemporaryFolder) {
    fs::remove_all(root / "prog");  // the program folder cannot take the file
    CommSettings s;
    s.stationText = "4";
    std::string path;
    ASSERT_TRUE(WriteAcomFile(where, s, &path));
    EXPECT_EQ((root / "tmp" / "acomfile.ini").string(), path);
    CommSettings back;
    ASSERT_TRUE(ReadAcomFile(where, back));
    EXPECT_EQ("4", back.stationText);
}

TEST_F(SettingsFilesTest, MissingFilesLeaveTheDefaults) {
    CommSettings s;
    EXPECT_FALSE(ReadAcomFile(where, s));
    EXPECT_EQ(0, s.portNumber);
    EXPECT_EQ(9600, s.baud());
    EXPECT_EQ(8, s.dataBits());
    EXPECT_EQ(0, s.parity());
    EXPECT_EQ(2.0f, s.stopBits());
    AdapterSettings a;
    a.portName = "keep";
    EXPECT_FALSE(ReadKq4ComFile(where, a));
    EXPECT_EQ("keep", a.portName);
}

TEST_F(SettingsFilesTest, Kq4ComFileKeepsPortAndNamedAdapters) {
    AdapterSettings a;
    a.portName = "TCPIP";
    a.adapterText = "192.168.1.20(pump)";
    a.adapters = {{"00-20-4a-14-01-18", "pump"}, {"00-20-4a-14-01-19", ""}};
    std::string path;
    ASSERT_TRUE(WriteKq4ComFile(where, a, &path));
    EXPECT_EQ("TCPIP\n192.168.1.20(pump)\n2\n00-20-4a-14-01-18\npump\n00-20-4a-14-01-19\n \n",
              slurp(path));
    AdapterSettings back;
    ASSERT_TRUE(ReadKq4ComFile(where, back));
    EXPECT_EQ(a.portName, back.portName);
    EXPECT_EQ(a.adapterText, back.adapterText);
    EXPECT_EQ(a.adapters, back.adapters);
}

TEST_F(SettingsFilesTest, Kq4ComFileShorterThanFourBytesChangesNothing) {
    put(root / "prog" / "kq4comfile.ini", "CO\n");
    AdapterSettings a;
    a.portName = "keep";
    EXPECT_FALSE(ReadKq4ComFile(where, a));
    EXPECT_EQ("keep", a.portName);
    put(root / "prog" / "kq4comfile.ini", "/dev/ttyUSB0\n1000\n00-01-02-03-04-05\n");
    ASSERT_TRUE(ReadKq4ComFile(where, a));  // a count beyond the lines is clipped
    EXPECT_EQ("/dev/ttyUSB0", a.portName);
    ASSERT_EQ(1u, a.adapters.size());
}

TEST(SettingsValues, EveryDialogChoiceGivesTheValueOpeningTheLinkTakes) {
    struct Case {
        int baudIndex, dataBitsIndex, parityIndex, stopBitsIndex;
        int baud, dataBits, parity;
        float stop;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 4800, 7, 2, 1.0f},  {1, 1, 1, 1, 9600, 8, 1, 2.0f},
        {2, 1, 2, 0, 19200, 8, 0, 1.0f}, {3, 1, 2, 1, 38400, 8, 0, 2.0f},
        {4, 1, 0, 1, 1200, 8, 2, 2.0f},  {5, 0, 1, 0, 2400, 7, 1, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baudIndex);
        CommSettings s;
        s.baudIndex = c.baudIndex;
        s.dataBitsIndex = c.dataBitsIndex;
        s.parityIndex = c.parityIndex;
        s.stopBitsIndex = c.stopBitsIndex;
        EXPECT_EQ(c.baud, s.baud());
        EXPECT_EQ(c.dataBits, s.dataBits());
        EXPECT_EQ(c.parity, s.parity());
        EXPECT_EQ(c.stop, s.stopBits());
        EXPECT_EQ(c.baudIndex, BaudIndexOf(c.baud));
        EXPECT_EQ(c.parityIndex, ParityIndexOf(c.parity));
    }
    EXPECT_EQ(-1, BaudIndexOf(115200));
}

// Port numbers from names; those an int cannot hold saturate instead of overflowing.
TEST_F(SettingsFilesTest, PortNumbersOfNamesAndNumbersBeyondAnIntSaturate) {
    struct Case {
        const char* name;
        int number;
    } names[] = {
        {"COM4", 3},
        {"TCPIP", -1},
        {"", 0},
        {"/dev/ttyUSB3", 3},
        {"COM-2147483648", INT_MIN},
        {"COM99999999999", INT_MAX - 1},
        {"/dev/ttyUSB99999999999", INT_MAX},
    };
    for (const auto& c : names) EXPECT_EQ(c.number, PortNumberForName(c.name)) << c.name;

    put(root / "prog" / "acomfile.ini", "99999999999\n-99999999999\n181\n1\n");
    CommSettings s;
    ASSERT_TRUE(ReadAcomFile(where, s));
    EXPECT_EQ(INT_MAX, s.portNumber);
    EXPECT_EQ(9600, s.baud());  // the index no choice has leaves the default
}

}  // namespace
}  // namespace pv::comm
