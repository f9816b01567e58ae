#include "comm/Scan.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "drive/Models.h"
#include "drive/Registers.h"
#include "project/ModelTable.h"

namespace pv::comm {

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// What an identification reply says about the station that sent it.
StationScan classify(int station, serial::ErrType result, const std::uint8_t* reply,
                     const std::string& linkFailure) {
    StationScan s;
    s.station = station;
    s.answer = StationAnswer::Problem;
    switch (result) {
        case serial::ErrTimeOut:
            s.answer = StationAnswer::Silent;
            return s;
        case serial::ErrCrc:
            // On a commissioning line this is mostly the line format, or two drives set to the
            // same station number talking over each other.
            s.problem =
                "answers but the reply fails its CRC check (baud rate, parity, stop bits, "
                "noise, or two drives with this station number?)";
            return s;
        case serial::ErrMalformed:
            s.problem = "answers but not with a Modbus reply to the request (" + linkFailure + ")";
            return s;
        case serial::ErrNone:
            break;
    }
    if (reply[1] == (drive::kFuncRead | 0x80)) {
        s.problem = "answers but with exception " + std::to_string(reply[2]) + " (" +
                    ExceptionText(reply[2]) + "): not an N350 drive?";
        return s;
    }
    if (reply[1] != drive::kFuncRead) {
        s.problem = "answers but with function " + hex(reply[1], 2) + " instead of 0x03";
        return s;
    }
    const std::uint16_t capacity = ReplyRegister(reply, 0);
    const std::uint32_t code = drive::ModelCodeOfCapacity(capacity);
    const std::string name = ModelNameForCode(code);
    if (name.empty()) {
        s.problem =
            "answers but reports capacity code " + hex(capacity, 4) + ", which no N350 model has";
        return s;
    }
    s.answer = StationAnswer::Drive;
    s.modelCode = code;
    s.modelName = name;
    s.version = ReplyRegister(reply, 1);
    return s;
}

// The decimal number of `text` when it is 1 to 3 digits and nothing else.
bool smallNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 3) return false;
    value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

int ScanOutcome::answering() const {
    return static_cast<int>(std::count_if(stations.begin(), stations.end(), [](const auto& s) {
        return s.answer != StationAnswer::Silent;
    }));
}

int ScanOutcome::drives() const {
    return static_cast<int>(std::count_if(stations.begin(), stations.end(), [](const auto& s) {
        return s.answer == StationAnswer::Drive;
    }));
}

ScanOutcome ScanStations(serial::CSerial& link, const std::vector<int>& stations,
                         const std::function<void(const StationScan&)>& onStation) {
    ScanOutcome out;
    for (const int station : stations) {
        std::uint8_t reply[ReadReplyLength(2)];
        const auto result = ReadRegisters(link, station, drive::kRegCapacity, 2, reply);
        // A lost wire looks like silence to the transaction; carrying on would only report every
        // further station silent.
        if (result == serial::ErrTimeOut && (link.wireGone() || !link.isOpen())) {
            out.wireLost = true;
            out.failure = link.lastFailure();
            break;
        }
        out.stations.push_back(classify(station, result, reply, link.lastFailure()));
        if (onStation) onStation(out.stations.back());
    }
    return out;
}

bool ParseScanStations(const std::string& text, std::vector<int>& stations, std::string& error) {
    stations.clear();
    auto fail = [&](std::string why) {
        error = std::move(why);
        stations.clear();
        return false;
    };
    if (trimmed(text).empty()) return fail("no station given");
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        const std::string item = trimmed(text.substr(start, comma - start));
        if (item.empty()) return fail("an empty entry between commas");
        const auto dash = item.find('-');
        int first = 0, last = 0;
        const bool number = dash == std::string::npos
                                ? smallNumber(item, first) && (last = first, true)
                                : smallNumber(trimmed(item.substr(0, dash)), first) &&
                                      smallNumber(trimmed(item.substr(dash + 1)), last);
        if (!number) return fail("\"" + item + "\" is neither a station nor a range");
        for (const int n : {first, last})
            if (n < drive::kMinStation || n > drive::kMaxStation)
                return fail("station " + std::to_string(n) + " does not exist");
        if (first > last)
            return fail("the range " + item + " runs backwards (write " + std::to_string(last) +
                        "-" + std::to_string(first) + ")");
        for (int n = first; n <= last; ++n) {
            if (std::find(stations.begin(), stations.end(), n) != stations.end())
                return fail("station " + std::to_string(n) + " is listed twice");
            stations.push_back(n);
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

}  // namespace pv::comm
