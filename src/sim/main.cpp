// n350-sim: a bus of virtual N350 drives on a pseudo-terminal and/or a TCP port.

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "project/DataPaths.h"
#include "serial/CSerial.h"
#include "res/SimTexts.h"
#include "sim/PtyServer.h"
#include "sim/SimConsole.h"
#include "sim/SimOptions.h"
#include "sim/TcpServer.h"
#include "sim/VirtualAdapters.h"
#include "sim/VirtualBus.h"
#include "sim/VirtualCopyModule.h"

namespace {

std::atomic<bool> gStop{false};

extern "C" void onSignal(int) {
    gStop = true;
}

// Reads commands from standard input until it ends or the program stops.
void console(pv::sim::VirtualBus& bus) {
    std::string line;
    char buf[256];
    while (!gStop.load()) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) return;
        line.append(buf, static_cast<std::size_t>(n));
        for (std::size_t nl; (nl = line.find('\n')) != std::string::npos;) {
            const std::string reply = pv::sim::runConsoleCommand(bus, line.substr(0, nl));
            line.erase(0, nl + 1);
            if (!reply.empty()) std::printf("%s\n", reply.c_str());
            std::fflush(stdout);
        }
    }
}

int fail(const std::string& text) {
    std::fprintf(stderr, "%s%s\n", pv::res::sim::kPrefix, text.c_str());
    return 1;
}

std::string linkTarget(const std::string& link) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(link, ec);
    return ec ? std::string() : target.string();
}

// The link is ours only while it leads to our pseudo-terminal: a path another program has taken
// since is left alone.
void removeOurLink(const std::string& link, const std::string& ours) {
    if (link.empty() || ours.empty() || linkTarget(link) != ours) return;
    std::error_code ec;
    std::filesystem::remove(link, ec);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pv::sim;
    namespace t = pv::res::sim;

    SimOptions o;
    std::string error;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), o, error)) {
        fail(error);
        return 2;
    }
    if (o.help) {
        std::fputs(t::kHelp, stdout);
        return 0;
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const std::string dataDir = o.dataDir.empty() ? pv::DataDir() : o.dataDir;
    VirtualBus bus(dataDir);
    if (!bus.dataLoaded()) fail(std::string(t::kNoDataFiles) + dataDir);
    bus.setDefaultVersion(static_cast<std::uint16_t>(o.version));
    bus.setStrictRules(o.strictRules);
    for (const int s : o.stations) bus.addStation(s, o.modelOf(s));
    for (const FaultSetting& f : o.faults)
        bus.faults(f.station).set(f.kind, f.mode, f.arg, f.count);

    StreamOptions so;
    so.line.baud = o.baud;
    so.line.format = o.format;
    so.wireTime = o.wireTime;
    so.turnaround = std::chrono::microseconds(o.turnaroundUs);

    std::unique_ptr<PtyServer> pty;
    std::unique_ptr<TcpServer> tcp;
    VirtualCopyModule module;
    if (o.copyFault == "unplugged")
        module.setFault(VirtualCopyModule::Fault::Unplugged, o.copyFaultAfter);
    else if (o.copyFault == "badcrc")
        module.setFault(VirtualCopyModule::Fault::BadCrc, o.copyFaultAfter);
    if (o.pty) {
        if (o.copyModule)
            pty = std::make_unique<PtyServer>(module, so);
        else
            pty = std::make_unique<PtyServer>(bus, so);
        if (!pty->open(error)) return fail(std::string(t::kPtyFailed) + error);
        if (!o.link.empty()) {
            std::error_code ec;
            if (std::filesystem::is_symlink(o.link, ec)) {
                // A link a killed program left behind leads nowhere (or to the number our own
                // terminal got again) and is replaced; one that leads to another live terminal
                // belongs to a program still serving there.
                if (std::filesystem::exists(o.link, ec) && linkTarget(o.link) != pty->slavePath())
                    return fail(std::string(t::kLinkFailed) + o.link + ": " + t::kLinkInUse +
                                linkTarget(o.link));
                std::filesystem::remove(o.link, ec);
            }
            std::filesystem::create_symlink(pty->slavePath(), o.link, ec);
            if (ec) return fail(std::string(t::kLinkFailed) + o.link + ": " + ec.message());
        }
        std::printf("%s\n", pty->slavePath().c_str());
    }
    std::unique_ptr<VirtualAdapters> adapters;
    if (!o.adapters.empty()) {
        adapters = std::make_unique<VirtualAdapters>(
            bus, so, o.tcpPort >= 0 ? o.tcpPort : pv::serial::CSerial::kDefaultTcpPort);
        for (const AdapterSetting& a : o.adapters)
            if (!adapters->add(a, error)) {
                if (pty) removeOurLink(o.link, pty->slavePath());
                return fail(std::string(t::kAdapterFailed) + error);
            }
        if (!adapters->listen(o.adapterPort, error)) {
            if (pty) removeOurLink(o.link, pty->slavePath());
            return fail(std::string(t::kAdapterFailed) + "udp:" +
                        std::to_string(o.adapterPort) + ": " + error);
        }
        for (const AdapterSetting& a : adapters->adapters())
            std::printf("adapter %s tcp:%s:%d\n", macText(a.mac).c_str(), a.ip.c_str(),
                        adapters->tcpPort());
        std::printf("udp:%d\n", adapters->udpPort());
    } else if (o.tcpPort >= 0) {
        tcp = std::make_unique<TcpServer>(bus, so);
        if (!tcp->listen(o.bind, o.tcpPort, error)) {
            if (pty) removeOurLink(o.link, pty->slavePath());
            return fail(std::string(t::kTcpFailed) + o.bind + ":" + std::to_string(o.tcpPort) +
                        ": " + error);
        }
        std::printf("tcp:%s:%d\n", o.bind.c_str(), tcp->port());
    }
    std::string list;
    for (const int s : o.stations) list += (list.empty() ? "" : ",") + std::to_string(s);
    std::fflush(stdout);
    std::fprintf(stderr, "%s%s%s\n", t::kPrefix, t::kServing, list.c_str());
    if (o.copyModule) std::fprintf(stderr, "%s%s\n", t::kPrefix, t::kServingCopyModule);

    std::thread consoleThread([&] { console(bus); });
    std::thread tcpThread;
    if (tcp) tcpThread = std::thread([&] { tcp->run(gStop); });
    if (pty) pty->run(gStop);
    if (!pty && !tcp) {
        while (!gStop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (tcpThread.joinable()) tcpThread.join();
    gStop = true;  // a TCP-only bus ends here too when its thread ends
    consoleThread.join();

    if (pty) removeOurLink(o.link, pty->slavePath());
    std::fprintf(stderr, "%s%s\n", t::kPrefix, t::kStopped);
    return 0;
}
