#include "comm/LinkState.h"


namespace pv::comm {

void LinkState::unlink() {
    linked = false;
    tcpIp = false;
}


}  // namespace pv::comm
