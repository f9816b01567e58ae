// parvolt-cli scan: who is on the line. Asks every station of a range for its identification and
// lists the ones that answer; the first step of commissioning a line, where identify (Connect's
// checks) would stop at the first silent station.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "comm/Scan.h"
#include "drive/Version.h"

namespace pv::cli {

namespace {

const std::string kScanHelp =
    std::string(
        "Usage: parvolt-cli scan --port PORT [--stations LIST] [OPTIONS]\n"
        "Asks every station of LIST for its model and software version and lists the ones that\n"
        "answer, one line each: station, model code, model name, software version. A station\n"
        "that answers with anything else is listed with what was wrong. A summary line follows.\n"
        "Each silent station costs one response time-out (--timeout). Exit status 0 when at\n"
        "least one drive answers.\n\nOptions:\n"
        "  --stations LIST    stations to ask (default 1-32), e.g. 3, 1-32 or 1,4,7-9\n") +
    kLinkOptionsHelp;

std::string lineFormat(const LinkOptions& o) {
    return std::to_string(o.dataBits) + "NOE"[o.parity] + (o.stopBits < 1.5f ? "1" : "2");
}

std::string summary(const comm::ScanOutcome& outcome, std::size_t asked) {
    const int answering = outcome.answering();
    std::string text = std::to_string(answering) + " of " + std::to_string(asked) +
                       (asked == 1 ? " station " : " stations ") +
                       (answering == 1 ? "answers" : "answer");
    if (const int odd = answering - outcome.drives(); odd > 0)
        text += ", " + std::to_string(odd) + " of them not as an N350 drive";
    return text;
}

// A progress line on stderr that each station overwrites; only when stderr is a terminal, so
// that a log or a pipe receives the result lines alone.
class Progress {
public:
    explicit Progress(std::size_t total) : on_(::isatty(STDERR_FILENO) == 1), total_(total) {}
    void asking(int station, std::size_t index) {
        if (on_)
            std::fprintf(stderr, "\r\033[Kasking station %d (%zu of %zu)", station, index + 1,
                         total_);
    }
    void clear() {
        if (on_) std::fprintf(stderr, "\r\033[K");
    }

private:
    bool on_;
    std::size_t total_;
};

void printStation(const comm::StationScan& s) {
    if (s.answer == comm::StationAnswer::Drive)
        std::printf("%d\t0x%05X\t%s\t%s\n", s.station, s.modelCode, s.modelName.c_str(),
                    drive::VersionText(s.version).c_str());
    else
        std::printf("%d\t%s\n", s.station, s.problem.c_str());
    std::fflush(stdout);
}

int runScan(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kScanHelp, true);
    std::vector<std::string> args = argsIn;
    LinkOptions options;
    std::string error, stationText = "1-32";
    TakeOption(args, "--stations", stationText);
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kScanHelp);
    if (!args.empty()) return BadUsage("unexpected argument: " + args.front(), kScanHelp);
    std::vector<int> stations;
    if (!comm::ParseScanStations(stationText, stations, error))
        return BadUsage("--stations " + stationText + ": " + error +
                            "; stations are 1..32, e.g. 3, 1-32 or 1,4,7-9",
                        kScanHelp);

    OpenLink open;
    if (!OpenLinkFromOptions(options, open, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    Progress progress(stations.size());
    progress.asking(stations.front(), 0);
    std::size_t done = 0;
    const comm::ScanOutcome outcome =
        comm::ScanStations(open.link.channel(), stations, [&](const comm::StationScan& s) {
            ++done;
            if (s.answer != comm::StationAnswer::Silent) {
                progress.clear();
                printStation(s);
            }
            if (done < stations.size()) progress.asking(stations[done], done);
        });
    progress.clear();
    std::printf("%s\n", summary(outcome, stations.size()).c_str());
    std::fflush(stdout);

    if (outcome.wireLost) {
        std::fprintf(stderr,
                     "The link was lost before station %d (%s): check the cable, the adapter or "
                     "the program at the other end, then scan again.\n",
                     stations[outcome.stations.size()], outcome.failure.c_str());
        return kExitFailed;
    }
    if (outcome.drives() > 0) return kExitOk;
    const std::string line = std::to_string(options.baud) + " baud, " + lineFormat(options) +
                             ", time-out " + std::to_string(options.timeoutMs) + " ms";
    if (outcome.answering() == 0)
        std::fprintf(stderr,
                     "No drive answers on %s (stations %s at %s). Check the port, the baud rate "
                     "and line format against the drives' communication settings, the wiring "
                     "(A and B not swapped, termination, common ground) and the station numbers "
                     "set in the drives.\n",
                     options.port.c_str(), stationText.c_str(), line.c_str());
    else
        std::fprintf(stderr,
                     "Stations answer on %s, but none as an N350 drive (%s). Check the baud rate, "
                     "parity and stop bits against the drives' communication settings, and that "
                     "these are N350 drives.\n",
                     options.port.c_str(), line.c_str());
    return kExitFailed;
}

}  // namespace

PV_CLI_COMMAND("scan", "list the stations of a line that answer, with their models", runScan);

}  // namespace pv::cli
