#include "comm/DriveLink.h"

namespace pv::comm {

DriveLink::~DriveLink() {
    close();
}

CDriveSerial& DriveLink::channel() {
    if (!channel_) channel_ = std::make_unique<CDriveSerial>();
    return *channel_;
}

bool DriveLink::open(const std::string& portName, int baud, int dataBits, int parity,
                     float stopBits, std::chrono::milliseconds responseTimeout) {
    CDriveSerial& c = channel();
    c.setResponseTimeout(responseTimeout);
    return c.InitComm(portName, baud, dataBits, parity, stopBits) != 0;
}

void DriveLink::close() {
    if (channel_) channel_->Close();
    channel_.reset();
}

LinkResult DriveLink::identify(Prompts& prompts, const ConnectRequest& request) {
    LinkResult r;
    r.state = state;
    r.linked = channel_ && Connect(*channel_, prompts, request, r.state, r.panes);
    return r;
}

LinkResult DriveLink::startup(Prompts& prompts, int station) {
    LinkResult r;
    r.state = state;
    r.linked = channel_ && StartupLink(*channel_, prompts, station, r.state, r.panes, &r.modelName);
    return r;
}

TransferContext DriveLink::context(Prompts& prompts, CM240Doc& doc, const ProjectFacts& facts) {
    return TransferContext{channel(), prompts, doc, facts, state, lastError};
}

}  // namespace pv::comm
