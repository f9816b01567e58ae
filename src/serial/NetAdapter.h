#pragma once
// One network adapter of a drive found by discovery.

#include <netinet/in.h>

#include <string>

namespace pv::serial {

struct NetAdapter {
    std::string mac;   // "%.2x-%.2x-%.2x-%.2x-%.2x-%.2x"
    std::string ip;    // dotted decimal
    std::string name;  // given by the user; empty until then
    sockaddr_in address{};
};

}  // namespace pv::serial
