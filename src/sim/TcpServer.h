#pragma once
// The virtual bus on a TCP port, as a drive's network adapter offers it: Modbus RTU frames
// over the stream, one client at a time (the next one is accepted when the first leaves).
// Loopback only unless another address is asked for.

#include <atomic>
#include <cstdint>
#include <string>

#include "sim/StreamServer.h"

namespace pv::sim {

class TcpServer : public StreamServer {
public:
    TcpServer(StreamPeer& bus, StreamOptions options);
    ~TcpServer() override;

    // Binds and listens; port 0 takes a free port (see port()). False with `error`.
    bool listen(const std::string& address, int port, std::string& error);
    int port() const { return port_; }

    void run(const std::atomic<bool>& stop) override;

private:
    int listener_ = -1;
    int port_ = 0;
};

}  // namespace pv::sim
