#include "monitor/Keypad.h"

#include <cstdio>

#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "drive/Registers.h"
#include "monitor/DriveControl.h"
#include "res/CommTexts.h"
#include "res/MonitorTexts.h"

namespace pv::monitor {

namespace {

// A function-03 read told as the keypad tells it.
bool readWords(serial::CSerial& link, int station, std::uint16_t first, int count,
               std::uint16_t* words, std::string& error) {
    std::uint8_t reply[comm::ReadReplyLength(drive::kMaxRegistersPerRequest)];
    const auto result =
        comm::ReadRegisters(link, station, first, static_cast<std::uint16_t>(count), reply);
    error = comm::SingleReadText(result, reply[1]);
    if (!error.empty()) return false;
    for (int k = 0; k < count; ++k) words[k] = comm::ReplyRegister(reply, static_cast<size_t>(k));
    return true;
}

std::string bits(unsigned word, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += (word >> i) & 1 ? '1' : '0';
    return s;
}

}  // namespace

KeypadKey KeypadHit(int x, int y) {
    for (const auto& a : kKeyAreas)
        if (x >= a.left && x <= a.right && y >= a.top && y <= a.bottom) return a.key;
    const double cx = (kDialLeft + kDialRight) / 2.0, cy = (kDialTop + kDialBottom) / 2.0;
    const double rx = (kDialRight - kDialLeft) / 2.0, ry = (kDialBottom - kDialTop) / 2.0;
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0 ? KeypadKey::Dial : KeypadKey::None;
}

std::string KeypadReadings::text(int entry) const {
    char buf[96];
    const double f = frequencyTenths ? 0.1 : 0.01;
    switch (entry) {
        case 0:
        case 1:
            std::snprintf(buf, sizeof buf, "%.2f Hz", drive[static_cast<size_t>(entry)] * f);
            break;
        case 2:
        case 3:
            std::snprintf(buf, sizeof buf, "%.1f V", drive[static_cast<size_t>(entry)] * 0.1);
            break;
        case 4:
            std::snprintf(buf, sizeof buf, "%.1f A", drive[4] * 0.1);
            break;
        case 5:
            return "S1-S8 " + bits(terminals, 8);
        case 6:
            return "R1 R2 DO1 " + bits(terminals >> 8, 3);
        case 7:
            std::snprintf(buf, sizeof buf, "%u", runSource);
            break;
        case 8:
            std::snprintf(buf, sizeof buf, "%u", frequencySource);
            break;
        case 9:
            std::snprintf(buf, sizeof buf, "%u", pidDecimals);
            break;
        default: {
            std::string s;
            for (auto v : inputFunctions) s += (s.empty() ? "" : ",") + std::to_string(v);
            return s;
        }
    }
    return buf;
}

PollResult ReadKeypad(serial::CSerial& link, int station, bool unitKnown, KeypadReadings& out) {
    std::string e;
    if (!readWords(link, station, drive::ParamRegister(3, 0), 7, out.inputFunctions.data(), e) ||
        !readWords(link, station, drive::kRegStatusFirst + 2, 1, &out.terminals, e) ||
        !readWords(link, station, drive::ParamRegister(0, 2), 1, &out.runSource, e) ||
        !readWords(link, station, drive::ParamRegister(0, 5), 1, &out.frequencySource, e) ||
        !readWords(link, station, drive::ParamRegister(10, 34), 1, &out.pidDecimals, e) ||
        !readWords(link, station, drive::kRegStatusFirst + 3, 5, out.drive.data(), e))
        return PollResult::stop(e);
    if (!unitKnown) {
        std::uint16_t maxFrequency = 0;
        if (!readWords(link, station, drive::kRegMaxFrequency, 1, &maxFrequency, e))
            return PollResult::stop(e);
        out.frequencyTenths = LimitsFromWords({.maxMotor1 = maxFrequency}, false).tenths;
    }
    return PollResult::ok();
}

KeyOutcome PressKey(serial::CSerial& link, int station, KeypadKey key, bool runFromComm) {
    KeyOutcome out;
    const bool runKey = key == KeypadKey::Run || key == KeypadKey::Stop;
    if (!runKey && key != KeypadKey::FwdRev) return out;
    if (runKey && !runFromComm) {
        out.text = res::monitor::kRunSourceError;
        return out;
    }
    std::uint16_t word = 0;
    if (!readWords(link, station, drive::kRegCommandWord, 1, &word, out.text)) {
        out.stopRefresh = true;
        return out;
    }
    const std::uint16_t next =
        key == KeypadKey::Run    ? ChangeBit(word, drive::kCmdRun, BitChange::Set)
        : key == KeypadKey::Stop ? ChangeBit(word, drive::kCmdRun, BitChange::Clear)
                                 : ChangeBit(word, drive::kCmdReverse, BitChange::Invert);
    if (next == word) return out;  // already running, or already stopped
    out.sent = true;
    std::string error;
    if (!WriteWord(link, station, drive::kRegCommandWord, next, error))
        out.text = runKey ? res::monitor::kWriteRunError : res::monitor::kWriteFwdRevError;
    return out;
}

}  // namespace pv::monitor
