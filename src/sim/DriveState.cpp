#include "sim/DriveState.h"

#include <algorithm>
#include <cmath>

#include "plc/PlcWire.h"

namespace pv::sim {

namespace {

// The registers that must exist whatever the data files say, with the flags their behaviour
// needs: 13-00 and 13-01 read-only, 13-06 writable while it locks the rest, 13-07 the password.
std::shared_ptr<const ParamRegisterTable> withCoreRegisters(
    std::shared_ptr<const ParamRegisterTable> params) {
    auto table = params ? std::make_shared<ParamRegisterTable>(*params)
                        : std::make_shared<ParamRegisterTable>();
    auto ensure = [&](RegisterDef fallback, std::int32_t setFlags, std::int32_t clearFlags) {
        const RegisterDef* have = table->find(fallback.address);
        RegisterDef d = have ? *have : fallback;
        d.attr[AttrFlags] = (d.attr[AttrFlags] | setFlags) & ~clearFlags;
        table->add(d);
    };
    ensure(RegisterDef::plain(drive::kRegCapacity, 0, 0, 0xFF), FlagReadOnly, 0);
    ensure(RegisterDef::plain(drive::kRegVersion, kDefaultVersion, 0, 0xFFFF), FlagReadOnly, 0);
    ensure(RegisterDef::plain(drive::kRegLock, 1, 0, 1), FlagLockExempt, FlagReadOnly);
    ensure(RegisterDef::plain(drive::kRegPassword, 0, 0, drive::kMaxParamPassword), 0,
           FlagReadOnly);
    return table;
}

// Rated output current of a model in 0.1 A, from its capacity code.
double ratedCurrentTenths(std::uint32_t modelCode) {
    static constexpr double kKw[] = {0.4, 0.75, 1.5, 2.2, 3.7, 5.5, 7.5, 11, 15, 18.5, 22};
    const unsigned low = modelCode & 0xFF;
    const unsigned idx = std::clamp<unsigned>((low & 0x1F) == 0 ? 1 : (low & 0x1F), 1, 11) - 1;
    const double volts = low >= 33 ? 380.0 : 220.0;
    return kKw[idx] * 1000.0 / (1.732 * volts * 0.8) * 10.0;
}

}  // namespace

DriveState::DriveState(std::uint32_t code, std::shared_ptr<const ParamRegisterTable> table,
                       std::shared_ptr<SimClock> c)
    : modelCode(code),
      params(withCoreRegisters(std::move(table))),
      clock(c ? std::move(c) : makeSteadyClock()) {
    values.reserve(params->all().size());
    for (const RegisterDef& d : params->all()) values.push_back(d.defaultRaw);
    // The identity comes from the drive itself, not from the data files' defaults.
    setParamRaw(drive::kRegCapacity, static_cast<std::uint16_t>(modelCode & 0xFF));
    setParamRaw(drive::kRegVersion, kDefaultVersion);
    lastAdvance = clock->now();
    lastPlcScan = lastAdvance;
}

std::uint16_t DriveState::paramRaw(std::uint16_t address, std::uint16_t fallback) const {
    const int s = params->slot(address);
    return s < 0 ? fallback : values[static_cast<std::size_t>(s)];
}

double DriveState::paramValue(std::uint16_t address, double fallback) const {
    const RegisterDef* d = params->find(address);
    if (!d) return fallback;
    const double v = rawFromRegister(d->attr, paramRaw(address, 0));
    return v / std::pow(10.0, decimals(d->valueKind, d->attr));
}

void DriveState::setParamRaw(std::uint16_t address, std::uint16_t raw) {
    const int s = params->slot(address);
    if (s >= 0) values[static_cast<std::size_t>(s)] = raw;
}

double DriveState::frequencyUnit() const {
    return paramRaw(drive::kRegMaxFrequency, 6000) > 3000 ? 0.1 : 0.01;
}

RampSettings DriveState::rampSettings() const {
    RampSettings s;
    s.maxRaw = paramValue(drive::kRegMaxFrequency, 60.0);
    s.accelSeconds = paramValue(drive::kRegAccelTime, 10.0);
    s.decelSeconds = paramValue(drive::kRegDecelTime, 10.0);
    return s;
}

void DriveState::updateMotorCommand() {
    if ((command & drive::kCmdRun) && !motor.runCommanded()) ++starts;
    motor.command((command & drive::kCmdRun) && faultCode == 0, command & drive::kCmdReverse,
                  frequency * frequencyUnit());
}

void DriveState::advanceMotor() {
    const auto now = clock->now();
    if (now > lastAdvance) {
        const double kw = telemetry().kilowatts;
        motor.advance(now - lastAdvance, rampSettings());
        kilowattHours += (kw + telemetry().kilowatts) / 2.0 *
                         std::chrono::duration<double>(now - lastAdvance).count() / 3600.0;
    }
    lastAdvance = now;
    advancePlc();
}

namespace {

constexpr auto kPlcScan = std::chrono::milliseconds(10);
// A long pause between two requests is caught up in at most this many scans; the last one
// takes the rest of the time.
constexpr int kMaxCatchUpScans = 2000;
constexpr std::uint16_t kRegPlcMode = drive::ParamRegister(0, 2);

void decodeProgram(const std::vector<std::uint16_t>& memory, PlcProgram& p) {
    auto byteAt = [&](std::size_t offset, std::size_t k) {
        const std::uint16_t v = memory[offset + k / 2];
        return static_cast<std::uint8_t>(k % 2 == 0 ? v >> 8 : v & 0xFF);
    };
    p.reset();
    plc::ClearGrids(p);
    for (int line = 1; line <= plc::kProgramLines; ++line) {
        plc::LineBytes bytes{};
        for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = byteAt(10 * (line - 1), k);
        plc::DecodeLine(p, line, bytes);
    }
    p.computeUsedBlocks();
    const auto mask = static_cast<std::uint8_t>(memory[plc::kSecondPresetMaskRegister - drive::kRegPlcFirst]);
    using plc::BlockKind;
    for (BlockKind kind : {BlockKind::Timer, BlockKind::Counter, BlockKind::Comparator,
                           BlockKind::DriveBlock, BlockKind::AddSub, BlockKind::MulDiv}) {
        const plc::BlockLayout& l = plc::Layout(kind);
        for (int i = 0; i < l.count; ++i) {
            if (!plc::BlockUsed(p, kind, i)) continue;
            std::vector<std::uint8_t> wire(2 * l.readRegisters);
            const std::size_t offset = l.firstRegister + l.stride * i - drive::kRegPlcFirst;
            for (std::size_t k = 0; k < wire.size(); ++k) wire[k] = byteAt(offset, k);
            plc::DecodeBlock(p, kind, i, wire, mask >> i & 1);
        }
    }
}

}  // namespace

void DriveState::advancePlc() {
    const auto now = clock->now();
    const bool runs = plcRun == 1 && paramRaw(kRegPlcMode, 0) == 3;
    if (!runs) {
        // The program's time starts at the request that started it.
        plcScanning = false;
        plcOutputs = 0;
        lastPlcScan = now;
        return;
    }
    if (plcProgramChanged || !plcScanning) {
        decodeProgram(plcMemory, plcProgram);
        plcProgramChanged = false;
    }
    if (!plcScanning) {
        // A start is a power-on of the program: nothing carries over from an earlier run.
        plcScanner.reset();
        plcScanning = true;
    }
    auto scanOnce = [&](SimClock::Duration step) {
        plcScanner.states.I = {};
        const auto inputs = static_cast<std::uint8_t>(plcForcedInputs | ((command >> 6) & 0xFF));
        for (int k = 0; k < 8; ++k) plcScanner.states.I[k] = inputs >> k & 1;
        plcScanner.scan(plcProgram,
                        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(step).count()));
    };
    int scans = 0;
    while (now - lastPlcScan >= kPlcScan) {
        if (++scans == kMaxCatchUpScans) {
            scanOnce(now - lastPlcScan);
            lastPlcScan = now;
            break;
        }
        scanOnce(kPlcScan);
        lastPlcScan += kPlcScan;
    }
    const plc::StateRegisters published = plc::RegistersFromStates(plcScanner.states);
    std::copy(published.begin(), published.end(), elements.begin());
    const auto& q = plcScanner.states.Q;
    plcOutputs = static_cast<std::uint16_t>((q[0] ? 1 : 0) | (q[1] ? 2 : 0) | (q[2] ? 4 : 0));
}

void DriveState::setClock(std::shared_ptr<SimClock> c) {
    advanceMotor();
    clock = std::move(c);
    lastAdvance = clock->now();
    lastPlcScan = lastAdvance;
}

Telemetry DriveState::telemetry() const {
    Telemetry t;
    const RampSettings ramp = rampSettings();
    t.outputHz = std::fabs(motor.output());
    t.share = ramp.maxRaw > 0 ? std::min(1.0, t.outputHz / ramp.maxRaw) : 0.0;
    const double rated = (modelCode & 0xFF) >= 33 ? 380.0 : 220.0;
    t.outputVolts = rated * t.share;
    // Regenerating while slowing down lifts the DC bus.
    t.busVolts = rated * std::sqrt(2.0) * (motor.rampDirection() < 0 ? 1.08 : 1.0);
    if (motor.running()) {
        const int r = motor.rampDirection();
        const double load = 0.3 + 0.4 * t.share + (r > 0 ? 0.5 : 0.0);
        t.amps = ratedCurrentTenths(modelCode) * 0.1 * load;
        t.torquePercent = r > 0 ? 80.0 : r < 0 ? -40.0 : 20.0 + 30.0 * t.share;
        t.powerFactor = 0.85;
        t.kilowatts = std::sqrt(3.0) * t.outputVolts * t.amps * t.powerFactor / 1000.0;
    }
    t.rpm = motor.output() * 30.0;  // a four-pole motor, negative in reverse
    return t;
}

std::uint16_t DriveState::statusWord() const {
    std::uint16_t w = 0;
    if (motor.running()) w |= drive::kStRunning;
    if (motor.reverse()) w |= drive::kStReverse;
    if (faultCode != 0) w |= drive::kStFault;
    if (motor.runCommanded() && motor.rampDirection() == 0 && std::fabs(motor.output()) > 0)
        w |= drive::kStAtSpeed;
    return w;
}

}  // namespace pv::sim
