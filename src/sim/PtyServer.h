#pragma once
// The virtual bus on a pseudo-terminal: programs open the slave side as they would open a
// serial port (/dev/pts/N, or a stable symbolic link to it) and talk Modbus RTU to the drives.
// A request is over as soon as it is complete by its length, as a drive on a line answers it;
// others end by 3.5 characters of silence at the line's baud rate. The baud rate and character
// format are the ones the program set on the slave side, else the configured ones.

#include <atomic>
#include <string>

#include "sim/StreamServer.h"

namespace pv::sim {

class PtyServer : public StreamServer {
public:
    PtyServer(StreamPeer& bus, StreamOptions options);
    ~PtyServer() override;

    // Creates the pseudo-terminal (raw, at the configured line settings). False with `error`.
    bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    void run(const std::atomic<bool>& stop) override;

private:
    int master_ = -1;
    std::string slavePath_;
};

// The termios speed constant of a baud rate (0 if there is none) and back.
unsigned speedConstant(int baud);
int baudOfSpeed(unsigned speed);

}  // namespace pv::sim
