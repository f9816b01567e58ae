#pragma once
// The program's link to its drives, without any window: the channel, what identifying the drives
// established, and the last communication error text. The desktop keeps one and touches its
// channel only on its link thread; parvolt-cli keeps one per command. Identification computes a
// result and leaves the link alone, so that the owner takes it on its own thread.

#include <chrono>
#include <memory>
#include <string>

#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/LinkState.h"
#include "comm/ProjectFacts.h"
#include "comm/ReadCommand.h"

namespace pv::comm {

// What identifying the drives of a link found.
struct LinkResult {
    bool linked = false;
    LinkState state;
    LinkPanes panes;
    std::string modelName;  // the start-up link: the drive's model name
};

class DriveLink {
public:
    DriveLink() = default;
    DriveLink(const DriveLink&) = delete;
    DriveLink& operator=(const DriveLink&) = delete;
    ~DriveLink();

    // The channel, made on first use (a TCP adapter's address is set on it before open()).
    CDriveSerial& channel();
    bool hasChannel() const { return channel_ != nullptr; }
    // Opens the channel on a port name ("/dev/ttyUSB0", "TCPIP", "SIM") with the line settings
    // and response time-out; false when the port did not open (channel().lastFailure() says
    // why).
    bool open(const std::string& portName, int baud, int dataBits, int parity, float stopBits,
              std::chrono::milliseconds responseTimeout);
    // Closes the channel and lets it go; the link state is the owner's to forget.
    void close();

    // Connect's identification of the request's stations on the open channel.
    LinkResult identify(Prompts& prompts, const ConnectRequest& request);
    // The start-up link of a hand-over file to one station.
    LinkResult startup(Prompts& prompts, int station);
    // Takes what identify() or startup() found.
    void apply(const LinkResult& result) { state = result.state; }

    // A transfer on this link for `doc`, with the project's facts as they are now.
    TransferContext context(Prompts& prompts, CM240Doc& doc, const ProjectFacts& facts);

    LinkState state;
    std::string lastError;  // the last communication error text

private:
    std::unique_ptr<CDriveSerial> channel_;
};

}  // namespace pv::comm
