#include "comm/NetAdapters.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace pv::comm {

void DiscoveryTarget::applyTo(serial::CSerial& channel) const {
    channel.discoveryAddress = address;
    channel.discoveryPort = port;
    channel.discoveryLocalPort = localPort;
    channel.discoveryWait = wait;
}

void AttachAdapterNames(std::vector<NetAdapter>& adapters, const AdapterSettings& names) {
    for (auto& a : adapters)
        for (const auto& [mac, name] : names.adapters)
            if (mac == a.mac) a.name = name == " " ? std::string() : name;
}

int SearchAdapters(serial::CSerial& channel, const DiscoveryTarget& target,
                   const AdapterSettings& names, std::vector<NetAdapter>& adapters) {
    target.applyTo(channel);
    const int n = channel.SearchIP(adapters);
    channel.Close();
    AttachAdapterNames(adapters, names);
    return n > 0 ? n : -1;
}

void KeepAdapterNames(AdapterSettings& names, const std::vector<NetAdapter>& adapters) {
    for (const auto& a : adapters) {
        auto it = std::find_if(names.adapters.begin(), names.adapters.end(),
                               [&](const auto& p) { return p.first == a.mac; });
        if (it == names.adapters.end())
            names.adapters.emplace_back(a.mac, a.name);
        else
            it->second = a.name;
    }
}

std::string AdapterDisplay(const NetAdapter& adapter) {
    return adapter.ip + "(" + adapter.name + ")";
}

std::string NormalizedMac(const std::string& text) {
    if (text.size() != 17) return {};
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        char& c = out[i];
        if (i % 3 == 2) {
            if (c != '-' && c != ':') return {};
            c = '-';
        } else {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

bool ValidIpText(const std::string& text) {
    in_addr a{};
    return ::inet_pton(AF_INET, text.c_str(), &a) == 1;
}

std::string LinkedAddress(const serial::CSerial& channel) {
    char ip[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &channel.tcpAddress.sin_addr, ip, sizeof ip);
    return ip;
}

}  // namespace pv::comm
