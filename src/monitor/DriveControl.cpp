#include "monitor/DriveControl.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "comm/ModbusFrames.h"
#include "comm/Reporters.h"
#include "comm/Transactions.h"
#include "drive/Registers.h"
#include "res/CommTexts.h"
#include "res/EditingTexts.h"
#include "res/MonitorTexts.h"

namespace pv::monitor {

namespace {

constexpr std::uint16_t kRegUpperLimit = drive::ParamRegister(0, 12);
constexpr std::uint16_t kRegLowerLimit = drive::ParamRegister(0, 13);
constexpr std::uint16_t kRegMaxMotor2 = drive::ParamRegister(1, 16);
constexpr std::uint16_t kRegInputFunctions = drive::ParamRegister(3, 0);
constexpr std::uint16_t kUnitFlagThreshold = 3000;

// A parsed frequency text; nullopt for empty text or text that is no number.
bool parseHz(const std::string& text, double& hz) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    const char* begin = text.c_str() + first;
    char* end = nullptr;
    hz = std::strtod(begin, &end);
    if (end == begin) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0' && std::isfinite(hz);
}

}  // namespace

std::uint16_t ChangeBit(std::uint16_t word, std::uint16_t mask, BitChange change) {
    switch (change) {
        case BitChange::Set:
            return static_cast<std::uint16_t>(word | mask);
        case BitChange::Clear:
            return static_cast<std::uint16_t>(word & ~mask);
        case BitChange::Invert:
            break;
    }
    return static_cast<std::uint16_t>(word ^ mask);
}

bool ReadBlock(serial::CSerial& link, int station, std::uint16_t first, int count,
               std::uint16_t* words, std::string& error) {
    std::uint8_t reply[comm::ReadReplyLength(drive::kMaxRegistersPerRequest)];
    const auto result =
        comm::ReadRegisters(link, station, first, static_cast<std::uint16_t>(count), reply);
    if (!comm::StoreReadReply(error, result, reply[1], drive::kFuncRead)) return false;
    for (int k = 0; k < count; ++k) words[k] = comm::ReplyRegister(reply, static_cast<size_t>(k));
    return true;
}

bool WriteWord(serial::CSerial& link, int station, std::uint16_t reg, std::uint16_t value,
               std::string& error) {
    std::uint8_t reply[comm::kWriteReplyLength];
    const auto result = comm::WriteRegister(link, station, reg, value, reply);
    return comm::StoreReadReply(error, result, reply[1], drive::kFuncWrite) != 0;
}

WordChange ModifyCommandWord(serial::CSerial& link, int station, std::uint16_t mask,
                             BitChange change, bool onlyWhenChanged) {
    WordChange out;
    if (!ReadBlock(link, station, drive::kRegCommandWord, 1, &out.before, out.error)) {
        out.readFailed = true;
        return out;
    }
    out.after = ChangeBit(out.before, mask, change);
    if (onlyWhenChanged && out.after == out.before) {
        out.ok = true;
        return out;
    }
    out.sent = true;
    out.ok = WriteWord(link, station, drive::kRegCommandWord, out.after, out.error);
    return out;
}

bool WriteToggled(serial::CSerial& link, int station, std::uint16_t cached, std::uint16_t mask,
                  std::string& error) {
    return WriteWord(link, station, drive::kRegCommandWord,
                     ChangeBit(cached, mask, BitChange::Invert), error);
}

bool CommandSource::motor2() const {
    for (int k = 0; k < kInputFunctionCount; ++k)
        if (inputs[static_cast<size_t>(k)] == kInputMotorSwitch && (commandWord & CommInputBit(k + 1)))
            return true;
    return false;
}

bool CheckCommandSource(serial::CSerial& link, int station, CommandSource& source,
                        std::string& error) {
    if (!ReadBlock(link, station, kRegInputFunctions, kInputFunctionCount, source.inputs.data(),
                   error))
        return false;
    if (!ReadBlock(link, station, drive::kRegCommandWord, 1, &source.commandWord, error))
        return false;
    for (auto f : source.inputs) {
        if (f > kLastInputFunction) {
            error = res::kDataError;
            return false;
        }
    }
    return true;
}

bool CommandSourceCheck::run(serial::CSerial& link, int station, std::string& error) {
    if (runs_ % kInputsEvery == 0 || station != station_) {
        runs_ = 0;
        station_ = station;
        if (!CheckCommandSource(link, station, source_, error)) return false;
    } else if (!ReadBlock(link, station, drive::kRegCommandWord, 1, &source_.commandWord, error)) {
        return false;
    }
    ++runs_;
    return true;
}

FrequencyLimits LimitsFromWords(const LimitWords& w, bool highFrequencyMode) {
    const double maxScale = highFrequencyMode ? 0.1 : 0.01;
    const double maxHz = (w.motor2 ? w.maxMotor2 : w.maxMotor1) * maxScale;
    auto hz = [&](std::uint16_t raw) {
        const double v = raw * 0.1;
        return w.limitUnit != 0 ? v : v * maxHz / 100.0;
    };
    FrequencyLimits l;
    l.highHz = std::min(hz(w.upper), maxHz);
    l.lowHz = std::min(hz(w.lower), l.highHz);
    l.tenths = w.maxMotor1 > kUnitFlagThreshold;
    return l;
}

bool ReadFrequencyLimits(serial::CSerial& link, int station, bool highFrequencyMode,
                         FrequencyLimits& limits, std::string& error) {
    LimitWords w;
    CommandSource source;
    if (!CheckCommandSource(link, station, source, error)) return false;
    w.motor2 = source.motor2();
    if (!ReadBlock(link, station, kRegUpperLimit, 1, &w.upper, error) ||
        !ReadBlock(link, station, kRegLowerLimit, 1, &w.lower, error) ||
        !ReadBlock(link, station, drive::kRegLimitUnit, 1, &w.limitUnit, error) ||
        !ReadBlock(link, station, drive::kRegMaxFrequency, 1, &w.maxMotor1, error))
        return false;
    if (w.motor2 && !ReadBlock(link, station, kRegMaxMotor2, 1, &w.maxMotor2, error)) return false;
    limits = LimitsFromWords(w, highFrequencyMode);
    return true;
}

std::uint16_t ScaleFrequency(double hz, bool tenths, FrequencyEntry entry) {
    const double offset = entry == FrequencyEntry::KeypadField ? 0.00001 : tenths ? 0.001 : 0.0001;
    const double raw = std::trunc((hz + offset) * (tenths ? 10.0 : 100.0));
    return static_cast<std::uint16_t>(std::clamp(raw, 0.0, 65535.0));
}

double FrequencyHz(std::uint16_t raw, bool tenths) {
    return raw * (tenths ? 0.1 : 0.01);
}

std::string SetFrequency(serial::CSerial& link, int station, const std::string& text,
                         bool highFrequencyMode, FrequencyEntry entry) {
    FrequencyLimits limits;
    std::string error;
    if (!ReadFrequencyLimits(link, station, highFrequencyMode, limits, error)) return error;
    double hz = 0;
    if (!parseHz(text, hz) || !limits.contains(hz)) return res::kBeyondRangeDialog;
    const std::uint16_t raw = ScaleFrequency(hz, limits.tenths, entry);
    if (WriteWord(link, station, drive::kRegFrequencyCommand, raw, error))
        return entry == FrequencyEntry::KeypadField ? std::string() : res::kWriteSuccessful;
    return entry == FrequencyEntry::KeypadField ? std::string(res::monitor::kSetFrequencyFailed)
                                                : error;
}

std::uint16_t OutputValue(int do1, int r2, int r1) {
    // Three selections written as binary digits, DO1 first.
    return static_cast<std::uint16_t>((do1 != 0) << 2 | (r2 != 0) << 1 | (r1 != 0));
}

std::string SetOutputs(serial::CSerial& link, int station, std::uint16_t value) {
    std::string error;
    return WriteWord(link, station, drive::kRegOutputCommand, value, error)
               ? std::string(res::kWriteSuccessful)
               : error;
}

}  // namespace pv::monitor
