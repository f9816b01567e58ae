// parvolt-cli read of a virtual drive over a real pseudo-terminal, then write of that project to
// another station: afterwards the two drives hold the same parameters.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../support/RunProgram.h"
#include "app/FrameState.h"
#include "editing/ParamRow.h"
#include "editing/WriteRules.h"
#include "project/CM240Doc.h"
#include "project/ParamAttr.h"

namespace pv::test {
namespace {

const std::string kBin = PARVOLT_BIN_DIR;

// n350-sim on a pseudo-terminal, with its console on a pipe.
class SimProcess {
public:
    bool start(const std::vector<std::string>& args) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            std::vector<char*> argv;
            std::string prog = kBin + "/n350-sim";
            argv.push_back(prog.data());
            std::vector<std::string> copy = args;
            for (auto& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(prog.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toSim_ = in[1];
        fromSim_ = out[0];
        path_ = line();
        return !path_.empty();
    }
    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (toSim_ >= 0) ::close(toSim_);
        if (fromSim_ >= 0) ::close(fromSim_);
    }
    // One line of the console's output, waiting at most 10 s.
    std::string line() {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{fromSim_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c;
            if (::read(fromSim_, &c, 1) != 1) break;
            if (c == '\n') return text;
            text += c;
        }
        return text;
    }
    std::string command(const std::string& cmd) {
        const std::string l = cmd + "\n";
        if (::write(toSim_, l.data(), l.size()) != static_cast<ssize_t>(l.size())) return {};
        return line();
    }
    const std::string& path() const { return path_; }

private:
    pid_t pid_ = -1;
    int toSim_ = -1, fromSim_ = -1;
    std::string path_;
};

int runCli(const std::string& args) {
    return RunProgram(kBin + "/parvolt-cli " + args, ">/dev/null 2>&1").status;
}

// Runs parvolt-cli with no terminal on stdin and keeps what it says on stderr.
ProgramRun runCliKeepingStderr(const std::string& args) {
    return RunProgram(kBin + "/parvolt-cli " + args, "2>&1 >/dev/null");
}

// Runs parvolt-cli with a pseudo-terminal as its standard streams, as a user at a terminal does,
// and returns everything it wrote there (waiting at most 30 s for it to end).
std::string runCliOnTerminal(const std::vector<std::string>& args) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return {};
    const std::string slave = ::ptsname(master);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setsid();
        const int fd = ::open(slave.c_str(), O_RDWR);
        if (fd < 0) ::_exit(127);
        for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(fd, stream);
        std::vector<std::string> copy = args;
        std::string prog = kBin + "/parvolt-cli";
        std::vector<char*> argv{prog.data()};
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(prog.c_str(), argv.data());
        ::_exit(127);
    }
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[1024];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n <= 0) break;  // EIO once the program has ended and closed the terminal
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(master);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}

bool load(const std::string& path, CM240Doc& doc, FrameState& frame) {
    doc.OnNewDocument();
    return doc.LoadProject(path, frame);
}

TEST(CliTransfer, ReadOverAPseudoTerminalThenWriteLeavesTwoDrivesEqual) {
    ASSERT_TRUE(std::filesystem::exists(kBin + "/n350-sim")) << "build n350-sim first";
    ASSERT_TRUE(std::filesystem::exists(kBin + "/parvolt-cli")) << "build parvolt-cli first";
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {"--pty", "--stations", "1,2", "--model", "N350-202-H", "--data", PARVOLT_DATA_DIR}));
    for (const char* set : {"set 1 00-14 33.3", "set 1 03-01 5", "set 1 05-03 12.00",
                            "set 1 10-04 2.50", "set 1 11-36 0.051", "set 1 01-05 20.0"})
        ASSERT_EQ(sim.command(set), "ok") << set;
    ASSERT_NE(sim.command("get 1 00-14"), sim.command("get 2 00-14"));

    const auto dir = std::filesystem::temp_directory_path() /
                     ("parvolt-cli-transfer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string a = (dir / "a.nf3").string(), b = (dir / "b.nf3").string();
    const std::string port = " --port " + sim.path() + " --baud 38400";
    ASSERT_EQ(runCli("read" + port + " --station 1 -o " + a + " --yes"), 0);
    // The file's 00-14 is sent; the desktop's Connect would have put the model's value in.
    const ProgramRun written = runCliKeepingStderr("write " + a + port + " --station 2 --yes");
    ASSERT_EQ(written.status, 0) << written.out;
    EXPECT_NE(written.out.find("Kept 1 set value of the project that Connect in the desktop "
                               "replaces with the initial values of model N350-202-H:\n"
                               "00-14: 33.3 -> 10.0\n"),
              std::string::npos)
        << written.out;
    ASSERT_EQ(runCli("read" + port + " --station 2 -o " + b + " --yes"), 0);
    EXPECT_EQ(sim.command("get 2 00-14"), "00-14 = 33.3");

    CM240Doc docA(std::string(PARVOLT_DATA_DIR) + "/"), docB(std::string(PARVOLT_DATA_DIR) + "/");
    FrameState fa, fb;
    ASSERT_TRUE(load(a, docA, fa));
    ASSERT_TRUE(load(b, docB, fb));
    EXPECT_EQ(fa.modelCode, 0x35003u);
    EXPECT_EQ(docA.table.record(0, 14)->setValue, "33.3");
    // Every parameter the write sends for the project's control mode is equal on both drives.
    editing::DriveFacts facts;
    facts.controlMode = std::atoi(docA.table.record(0, 0)->setValue.c_str());
    facts.driveVersion = 1.35f;
    facts.modelCode = fa.modelCode;
    int compared = 0;
    for (int g = 0; g <= 23; ++g)
        for (int i = 0; i < 100; ++i) {
            const ParamRecord& ra = docA.table.groups[g].params[i];
            if (!ra.defined || !writtenByTransfer(ra.attr) || g == 14 || g == 15) continue;
            const auto row = editing::ParamRow::fromRecord(g, i, ra);
            std::uint16_t reg = 0;
            double value = 0;
            ASSERT_TRUE(row.parseText(ra.setValue, {}, reg, value)) << row.code();
            if (!editing::WriteRules::judgeForGroupWrite(row, value, facts).allowed()) continue;
            EXPECT_EQ(ra.setValue, docB.table.groups[g].params[i].setValue) << row.code();
            ++compared;
        }
    EXPECT_GT(compared, 400);
    std::filesystem::remove_all(dir);
}

TEST(CliTransfer, BroadcastReachesEveryDriveAndTheNextProgramIsAnswered) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--pty", "--stations", "1,2", "--data", PARVOLT_DATA_DIR}));
    const std::string port = " --port " + sim.path();
    // The next program starts at once: the broadcast must not merge with its request.
    for (const char* value : {"77", "78", "79"}) {
        ASSERT_EQ(runCli("raw" + port + " --station 0 write 00-14 " + value), 0);
        EXPECT_EQ(runCli("raw" + port + " --station 2 read 00-14 1"), 0) << value;
        const std::string shown = std::string("00-14 = ") + value[0] + "." + value[1];
        EXPECT_EQ(sim.command("get 1 00-14"), shown);
        EXPECT_EQ(sim.command("get 2 00-14"), shown);
    }
}

TEST(CliTransfer, ASecondSimulatorLeavesTheFirstOnesLinkAlone) {
    namespace fs = std::filesystem;
    const std::string link =
        (fs::temp_directory_path() / ("parvolt-sim-link-" + std::to_string(::getpid()))).string();
    {
        SimProcess first;
        ASSERT_TRUE(first.start({"--pty", "--link", link, "--data", PARVOLT_DATA_DIR}));
        EXPECT_EQ(fs::read_symlink(link).string(), first.path());
        {
            SimProcess second;
            EXPECT_FALSE(second.start({"--pty", "--link", link, "--data", PARVOLT_DATA_DIR}));
        }
        EXPECT_EQ(fs::read_symlink(link).string(), first.path());
        EXPECT_EQ(runCli("identify --port " + link + " --stations 1"), 0);
    }
    EXPECT_FALSE(fs::is_symlink(link));

    // A link a killed simulator left behind leads nowhere and is taken over.
    fs::create_symlink("/dev/pts/parvolt-gone", link);
    {
        SimProcess third;
        ASSERT_TRUE(third.start({"--pty", "--link", link, "--data", PARVOLT_DATA_DIR}));
        EXPECT_EQ(fs::read_symlink(link).string(), third.path());
    }
    EXPECT_FALSE(fs::is_symlink(link));
}

TEST(CliTransfer, ActivePasswordWithoutATerminalSaysHowToGiveIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--pty", "--stations", "1", "--data", PARVOLT_DATA_DIR}));
    const auto dir = std::filesystem::temp_directory_path() /
                     ("parvolt-cli-password-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string project = (dir / "p.nf3").string();
    const std::string port = " --port " + sim.path() + " --station 1 --baud 38400";
    ASSERT_EQ(runCli("new --model N350-2P5-H -o " + project), 0);
    // A typing mistake in --password is told and ends the command before anything is sent.
    const ProgramRun mistyped = runCliKeepingStderr("password set" + port + " --password 12a");
    EXPECT_EQ(mistyped.status, 1);
    EXPECT_EQ(mistyped.out, "Password must be Decimal.\n");
    const ProgramRun set = runCliKeepingStderr("password set" + port + " --password 1234");
    ASSERT_EQ(set.status, 0);
    EXPECT_EQ(set.out, "The password is set.\n");

    const ProgramRun refused = runCliKeepingStderr("write " + project + port + " --yes");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("Password: [not asked without a terminal; use --password]"),
              std::string::npos)
        << refused.out;
    const ProgramRun written =
        runCliKeepingStderr("write " + project + port + " --yes --password 1234");
    EXPECT_EQ(written.status, 0);
    // Without a terminal the progress is plain lines: the caption once, then each group.
    const std::string caption = "Write Inverter function parameter . . .";
    const size_t first = written.out.find(caption);
    ASSERT_NE(first, std::string::npos) << written.out;
    EXPECT_EQ(written.out.find(caption, first + 1), std::string::npos) << written.out;
    EXPECT_NE(written.out.find("\nWrite 00-XX parameter group...\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(CliTransfer, AQuestionDuringTheBarStartsALineOfItsOwn) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--pty", "--stations", "1", "--data", PARVOLT_DATA_DIR}));
    const auto dir =
        std::filesystem::temp_directory_path() / ("parvolt-cli-bar-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string project = (dir / "b.nf3").string();
    ASSERT_EQ(runCli("new --model N350-2P5-H -o " + project), 0);

    const std::string out = runCliOnTerminal(
        {"write", project, "--port", sim.path(), "--station", "1", "--baud", "38400", "--yes"});
    ASSERT_NE(out.find("Write successful !"), std::string::npos) << out;
    ASSERT_NE(out.find("% "), std::string::npos) << "no bar on a terminal: " << out;
    const size_t question = out.find("The data may be lost");
    ASSERT_NE(question, std::string::npos) << out;
    ASSERT_GT(question, 0u);
    EXPECT_EQ(out[question - 1], '\n') << out.substr(0, question + 40);
    std::filesystem::remove_all(dir);
}

TEST(CliTransfer, HiddenGroupsSavedInAProjectAreWrittenAgain) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--pty", "--stations", "1,2", "--data", PARVOLT_DATA_DIR}));
    for (const char* set : {"set 1 25-03 77", "set 1 28-49 1234"})
        ASSERT_EQ(sim.command(set), "ok") << set;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("parvolt-cli-hidden-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string a = (dir / "a.nf3").string();
    const std::string port = " --port " + sim.path() + " --baud 38400";
    // The project goes through its file between the read and the write.
    ASSERT_EQ(runCli("read" + port + " --station 1 -o " + a + " --hidden --yes"), 0);
    ASSERT_EQ(runCli("write " + a + port + " --station 2 --hidden --yes"), 0);
    EXPECT_EQ(sim.command("get 2 25-03"), "25-03 = 77");
    EXPECT_EQ(sim.command("get 2 28-49"), "28-49 = 1234");
    std::filesystem::remove_all(dir);
}

TEST(CliTransfer, LadderProgramWrittenRunAndReadBackOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.start(
        {"--pty", "--stations", "1", "--model", "N350-202-H", "--data", PARVOLT_DATA_DIR}));
    ASSERT_EQ(sim.command("set 1 00-02 3"), "ok");
    const auto dir =
        std::filesystem::temp_directory_path() / ("parvolt-cli-plc-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string a = (dir / "a.nf3").string(), b = (dir / "b.nf3").string();
    const std::string text = (dir / "program.txt").string();
    {
        std::FILE* f = std::fopen(text.c_str(), "w");
        ASSERT_TRUE(f);
        std::fputs("000  I01----------[T01\n001  T01----------[Q01\n"
                   "T01 mode=1 base=1 preset=0010 reset=- base2=1 preset2=0000\n",
                   f);
        std::fclose(f);
    }
    ASSERT_EQ(runCli("new --model N350-202-H -o " + a), 0);
    ASSERT_EQ(runCli("new --model N350-202-H -o " + b), 0);
    ASSERT_EQ(runCli("ladder " + a + " --set " + text), 0);
    const std::string port = " --port " + sim.path() + " --station 1";
    const ProgramRun written = runCliKeepingStderr("plc write " + a + port + " --yes");
    ASSERT_EQ(written.status, 0) << written.out;
    EXPECT_EQ(written.out.find("Write Inverter function parameter"), std::string::npos)
        << written.out;
    ASSERT_EQ(runCli("plc run" + port), 0);
    ASSERT_EQ(runCli("plc read " + b + port + " --yes"), 0);
    ASSERT_EQ(runCli("plc stop" + port), 0);

    CM240Doc docA(std::string(PARVOLT_DATA_DIR) + "/"), docB(std::string(PARVOLT_DATA_DIR) + "/");
    FrameState fa, fb;
    ASSERT_TRUE(load(a, docA, fa));
    ASSERT_TRUE(load(b, docB, fb));
    for (int r = 0; r < 2; ++r) EXPECT_EQ(docB.plc.rowListing(r), docA.plc.rowListing(r)) << r;
    EXPECT_EQ(docB.plc.timers[0], docA.plc.timers[0]);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace pv::test
