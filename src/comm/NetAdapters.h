#pragma once
// The network adapters as the program handles them around the channel's discovery: where the
// search goes, the names the user gave (kept in kq4comfile.ini by MAC), how an adapter is shown,
// and the checks on a typed MAC or IP address.

#include <chrono>
#include <string>
#include <vector>

#include "comm/SettingsFiles.h"
#include "serial/CSerial.h"
#include "serial/NetAdapter.h"

namespace pv::comm {

using serial::NetAdapter;

// Where discovery and address changes go: the broadcast address (a test or a machine with a
// virtual adapter points it at loopback), the adapters' port and our own.
struct DiscoveryTarget {
    std::string address = "255.255.255.255";
    int port = serial::CSerial::kDiscoveryPort;
    int localPort = serial::CSerial::kDiscoveryPort;
    std::chrono::milliseconds wait{2000};

    void applyTo(serial::CSerial& channel) const;
};

// Runs the search on `channel` (opened for nothing else meanwhile) and attaches the names kept
// in `names`. Returns the number found, -1 when none answered.
int SearchAdapters(serial::CSerial& channel, const DiscoveryTarget& target,
                   const AdapterSettings& names, std::vector<NetAdapter>& adapters);
// The names of `adapters` (by MAC) written into `names`; adapters not found this time keep their
// names there, so a name survives a search the adapter missed.
void KeepAdapterNames(AdapterSettings& names, const std::vector<NetAdapter>& adapters);
void AttachAdapterNames(std::vector<NetAdapter>& adapters, const AdapterSettings& names);

// "IP(name)", no blanks; "IP()" without a name.
std::string AdapterDisplay(const NetAdapter& adapter);

// "00-20-4a-14-01-18": six two-digit hexadecimal bytes joined by dashes (colons are taken too
// and turned into dashes, capitals into small letters). Empty when the text is not one.
std::string NormalizedMac(const std::string& text);
// Dotted decimal IPv4 address.
bool ValidIpText(const std::string& text);

// The address a TCP/IP link is open to, dotted decimal.
std::string LinkedAddress(const serial::CSerial& channel);

}  // namespace pv::comm
