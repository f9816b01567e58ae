#include "sim/VirtualDrive.h"

#include <algorithm>
#include <cmath>

#include "editing/WriteRules.h"
#include "project/ParamTable.h"
#include "drive/Version.h"

namespace pv::sim {

namespace {

std::uint16_t be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
std::vector<std::uint8_t> exceptionPdu(std::uint8_t function, std::uint8_t code) {
    return {static_cast<std::uint8_t>(function | 0x80), code};
}

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
    ensure(RegisterDef::plain(drive::kRegPassword, 0, 0, drive::kMaxParamPassword), 0, FlagReadOnly);
    return table;
}

// The frequency command travels in 0.1 Hz when the maximum frequency register is above 3000,
// else in 0.01 Hz; the status block reports frequencies in the same unit.
double frequencyUnit(std::uint16_t maxFrequencyRaw) {
    return maxFrequencyRaw > 3000 ? 0.1 : 0.01;
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

VirtualDrive::VirtualDrive(int station, std::uint32_t modelCode,
                           std::shared_ptr<const ParamRegisterTable> params,
                           std::shared_ptr<SimClock> clock)
    : station_(station),
      modelCode_(modelCode),
      params_(withCoreRegisters(std::move(params))),
      clock_(clock ? std::move(clock) : makeSteadyClock()) {
    values_.reserve(params_->all().size());
    for (const RegisterDef& d : params_->all()) values_.push_back(d.defaultRaw);
    // The identity comes from the drive itself, not from the data files' defaults.
    values_[static_cast<std::size_t>(params_->slot(drive::kRegCapacity))] =
        static_cast<std::uint16_t>(modelCode_ & 0xFF);
    values_[static_cast<std::size_t>(params_->slot(drive::kRegVersion))] = kDefaultVersion;
    lastAdvance_ = clock_->now();
}

VirtualDrive::Area VirtualDrive::areaOf(std::uint16_t a) const {
    if (params_->slot(a) >= 0) return Area::Param;
    const int group = a >> 8, index = a & 0xFF;
    if (group >= kHiddenFirst && group <= kHiddenLast && index < kHiddenGroupSize)
        return Area::Hidden;
    if (a == drive::kRegCommandWord || a == drive::kRegFrequencyCommand || a == drive::kRegOutputCommand) return Area::Control;
    if (a >= drive::kRegStatusFirst && a <= drive::kRegStatusLast) return Area::Status;
    if (a == drive::kRegDriveType) return Area::DriveType;
    if (a >= drive::kRegPlcFirst && a <= drive::kRegPlcLast) return Area::Plc;
    if (a >= drive::kRegPlcControl1 && a <= drive::kRegElementLast) return Area::Element;
    if (a == drive::kRegPlcRun || a == drive::kRegPlcRun2 || a == drive::kRegPlcPassword1 ||
        a == drive::kRegPlcPassword2 || a == drive::kRegPlcPassword3)
        return Area::PlcControl;
    return Area::None;
}

std::uint16_t VirtualDrive::paramRaw(std::uint16_t address, std::uint16_t fallback) const {
    const int s = params_->slot(address);
    return s < 0 ? fallback : values_[static_cast<std::size_t>(s)];
}

double VirtualDrive::paramValue(std::uint16_t address, double fallback) const {
    const RegisterDef* d = params_->find(address);
    if (!d) return fallback;
    const double v = rawFromRegister(d->attr, paramRaw(address, 0));
    return v / std::pow(10.0, decimals(d->valueKind, d->attr));
}

std::optional<std::uint16_t> VirtualDrive::read(std::uint16_t a) {
    switch (areaOf(a)) {
        case Area::Param:
            if (a == drive::kRegPassword) return paramPassword_.state();
            if (a == drive::kRegCommFrequency) {  // 00-08 shows the communication frequency command
                const RegisterDef& d = *params_->find(a);
                const double hz = frequency_ * frequencyUnit(paramRaw(drive::kRegMaxFrequency, 6000));
                return static_cast<std::uint16_t>(std::lround(
                    std::clamp(hz * std::pow(10.0, decimals(d.valueKind, d.attr)), 0.0, 65535.0)));
            }
            if ((a >> 8) == drive::kMonitorGroup) {
                const RegisterDef& d = *params_->find(a);
                if (auto v = monitorValue(a & 0xFF); v && d.readOnly()) {
                    if (!isSigned16(d.attr)) *v = std::fabs(*v);
                    const double raw =
                        std::round(*v * std::pow(10.0, decimals(d.valueKind, d.attr)));
                    const double lo = isSigned16(d.attr) ? -32768.0 : 0.0;
                    const double hi = isSigned16(d.attr) ? 32767.0 : 65535.0;
                    return static_cast<std::uint16_t>(
                        static_cast<std::int32_t>(std::clamp(raw, lo, hi)) & 0xFFFF);
                }
            }
            return paramRaw(a, 0);
        case Area::Hidden:
            return hidden_[static_cast<std::size_t>((a >> 8) - kHiddenFirst)][a & 0xFF];
        case Area::Control:
            return a == drive::kRegCommandWord ? command_ : a == drive::kRegFrequencyCommand ? frequency_ : outputs_;
        case Area::Status:
            return statusRegister(a);
        case Area::DriveType:
            return drive::kDriveTypeN350;
        case Area::Plc:
            return plcMemory_[a - drive::kRegPlcFirst];
        case Area::Element:
            return elements_[a - drive::kRegPlcControl1];
        case Area::PlcControl:
            if (a == drive::kRegPlcRun) return plcRun_;
            if (a == drive::kRegPlcPassword3) return plcPassword_.state();
            return std::uint16_t{0};  // commands and passwords read back as 0
        case Area::None:
            break;
    }
    return std::nullopt;
}

std::uint8_t VirtualDrive::checkWrite(std::uint16_t a, std::uint16_t v) const {
    switch (areaOf(a)) {
        case Area::Param: {
            const RegisterDef& d = *params_->find(a);
            if (a == drive::kRegPassword) return v > drive::kMaxParamPassword ? drive::kIllegalValue : 0;
            if (d.readOnly()) return drive::kIllegalAddress;
            if (paramPassword_.active()) return drive::kIllegalValue;
            if (!d.lockExempt() && paramRaw(drive::kRegLock, 1) == 0) return drive::kIllegalValue;
            if (!d.accepts(v, paramRaw(drive::kRegLimitUnit, 0) != 0)) return drive::kIllegalValue;
            return !strictRules_ || rulesAllow(d, v) ? 0 : drive::kIllegalValue;
        }
        case Area::Hidden:
            if (paramPassword_.active()) return drive::kIllegalValue;
            return paramRaw(drive::kRegLock, 1) == 0 ? drive::kIllegalValue : 0;
        case Area::Control:
            return a == drive::kRegOutputCommand && v > 7 ? drive::kIllegalValue : 0;
        case Area::Status:
        case Area::DriveType:
            return drive::kIllegalAddress;
        case Area::Plc:
            return plcPassword_.active() || plcRun_ != 0 ? drive::kIllegalValue : 0;
        case Area::Element:
            return 0;
        case Area::PlcControl:
            switch (a) {
                case drive::kRegPlcRun:
                    return v > 1 || plcPassword_.active() ? drive::kIllegalValue : 0;
                case drive::kRegPlcRun2:
                    return v != 1 || plcRun_ != 0 || plcPassword_.active() ? drive::kIllegalValue : 0;
                case drive::kRegPlcPassword2:
                    return plcPassword_.accepts(v) ? 0 : drive::kIllegalValue;
                case drive::kRegPlcPassword3:
                    return drive::kIllegalAddress;
                default:
                    return 0;
            }
        case Area::None:
            break;
    }
    return drive::kIllegalAddress;
}

void VirtualDrive::apply(std::uint16_t a, std::uint16_t v) {
    if (a != drive::kRegPassword) paramPassword_.interrupt();
    if (a != drive::kRegPlcPassword1) plcPassword_.interrupt();
    switch (areaOf(a)) {
        case Area::Param:
            if (a == drive::kRegPassword)
                paramPassword_.write(v);
            else if (a == drive::kRegRestore)
                restoreFactorySetting(v);
            else
                values_[static_cast<std::size_t>(params_->slot(a))] = v;
            if (a == drive::kRegMaxFrequency) updateMotorCommand();
            return;
        case Area::Hidden:
            hidden_[static_cast<std::size_t>((a >> 8) - kHiddenFirst)][a & 0xFF] = v;
            return;
        case Area::Control:
            if (a == drive::kRegCommandWord) {
                if (v & drive::kCmdFaultReset) faultCode_ = 0;
                command_ = static_cast<std::uint16_t>(v & ~drive::kCmdFaultReset);
            } else if (a == drive::kRegFrequencyCommand) {
                frequency_ = v;
            } else {
                outputs_ = v;
            }
            updateMotorCommand();
            return;
        case Area::Plc:
            plcMemory_[a - drive::kRegPlcFirst] = v;
            return;
        case Area::Element:
            elements_[a - drive::kRegPlcControl1] = v;
            return;
        case Area::PlcControl:
            if (a == drive::kRegPlcRun) plcRun_ = v;
            if (a == drive::kRegPlcRun2) std::fill(plcMemory_.begin(), plcMemory_.end(), 0);
            if (a == drive::kRegPlcPassword1) plcPassword_.write(v);
            if (a == drive::kRegPlcPassword2) plcPassword_.enter(v);
            return;
        case Area::Status:
        case Area::DriveType:
        case Area::None:
            return;
    }
}

void VirtualDrive::restoreFactorySetting(std::uint16_t how) {
    if (how == 6) std::fill(plcMemory_.begin(), plcMemory_.end(), 0);
    if (how < 2 || how > 5) return;
    const auto& defs = params_->all();
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const std::uint16_t a = defs[i].address;
        // The drive's identity stays what it is.
        if (a != drive::kRegCapacity && a != drive::kRegVersion) values_[i] = defs[i].defaultRaw;
    }
    auto set = [&](std::uint16_t a, std::uint16_t v) {
        const int s = params_->slot(a);
        if (s >= 0 && params_->all()[static_cast<std::size_t>(s)].accepts(v))
            values_[static_cast<std::size_t>(s)] = v;
    };
    if (how == 3 || how == 5) set(drive::kRegTerminalMode, 2);
    if (how == 4 || how == 5) set(drive::kRegMaxFrequency, 5000);  // 50.00 Hz
    updateMotorCommand();
}

bool VirtualDrive::rulesAllow(const RegisterDef& def, std::uint16_t value) const {
    using namespace pv::editing;
    if (def.address == drive::kRegLock || def.address == drive::kRegRestore) return true;
    ParamRecord record;
    record.defined = 1;
    record.valueKind = def.valueKind;
    record.attr = def.attr;
    const ParamRow row = ParamRow::fromRecord(def.address >> 8, def.address & 0xFF, record);
    DriveFacts facts;
    facts.controlMode = paramRaw(drive::kRegControlMode, 0);
    facts.driveVersion = static_cast<float>(drive::VersionValue(paramRaw(drive::kRegVersion, kDefaultVersion)));
    facts.modelCode = modelCode_;
    const RegisterLookup lookup = [this](std::uint16_t a) -> std::optional<std::uint16_t> {
        if (params_->slot(a) < 0) return std::nullopt;
        return paramRaw(a, 0);
    };
    // The master scales frequencies by the mode it believes the drive is in: either will do.
    for (const bool high : {false, true}) {
        const DisplaySettings settings{high, paramRaw(drive::kRegLimitUnit, 0) != 0};
        if (WriteRules::judgeRegisterWrite(row, value, facts, settings, lookup).allowed())
            return true;
    }
    return false;
}

void VirtualDrive::setStrictRules(bool strict) {
    Lock lock(mutex_);
    strictRules_ = strict;
}

RampSettings VirtualDrive::rampSettings() const {
    RampSettings s;
    s.maxRaw = paramValue(drive::kRegMaxFrequency, 60.0);
    s.accelSeconds = paramValue(drive::kRegAccelTime, 10.0);
    s.decelSeconds = paramValue(drive::kRegDecelTime, 10.0);
    return s;
}

void VirtualDrive::updateMotorCommand() {
    if ((command_ & drive::kCmdRun) && !motor_.runCommanded()) ++starts_;
    const double unit = frequencyUnit(paramRaw(drive::kRegMaxFrequency, 6000));
    motor_.command(command_ & drive::kCmdRun, command_ & drive::kCmdReverse, frequency_ * unit);
}

void VirtualDrive::advanceMotor() {
    const auto now = clock_->now();
    if (now > lastAdvance_) {
        const double kw = telemetry().kilowatts;
        motor_.advance(now - lastAdvance_, rampSettings());
        kilowattHours_ += (kw + telemetry().kilowatts) / 2.0 *
                          std::chrono::duration<double>(now - lastAdvance_).count() / 3600.0;
    }
    lastAdvance_ = now;
}

VirtualDrive::Telemetry VirtualDrive::telemetry() const {
    Telemetry t;
    const RampSettings ramp = rampSettings();
    t.outputHz = std::fabs(motor_.output());
    t.share = ramp.maxRaw > 0 ? std::min(1.0, t.outputHz / ramp.maxRaw) : 0.0;
    const double rated = (modelCode_ & 0xFF) >= 33 ? 380.0 : 220.0;
    t.outputVolts = rated * t.share;
    // Regenerating while slowing down lifts the DC bus.
    t.busVolts = rated * std::sqrt(2.0) * (motor_.rampDirection() < 0 ? 1.08 : 1.0);
    if (motor_.running()) {
        const int r = motor_.rampDirection();
        const double load = 0.3 + 0.4 * t.share + (r > 0 ? 0.5 : 0.0);
        t.amps = ratedCurrentTenths(modelCode_) * 0.1 * load;
        t.torquePercent = r > 0 ? 80.0 : r < 0 ? -40.0 : 20.0 + 30.0 * t.share;
        t.powerFactor = 0.85;
        t.kilowatts = std::sqrt(3.0) * t.outputVolts * t.amps * t.powerFactor / 1000.0;
    }
    t.rpm = motor_.output() * 30.0;  // a four-pole motor, negative in reverse
    return t;
}

std::optional<double> VirtualDrive::monitorValue(int index) const {
    const Telemetry t = telemetry();
    const double unit = frequencyUnit(paramRaw(drive::kRegMaxFrequency, 6000));
    switch (index) {
        case 16:
            return std::min(frequency_ * unit, rampSettings().maxRaw);
        case 17:
            return t.outputHz;
        case 18:
            return t.amps;
        case 24:
            return paramRaw(drive::kRegControlMode, 0);
        case 43:  // inverter status, as the status word
        case 74:
            return statusRegister(drive::kRegStatusFirst);
        case 57:
            return t.torquePercent;
        case 72:  // digital inputs S1..S8 as the communication word drives them
            return (command_ >> 6) & 0xFF;
        case 73:
            return outputs_ & 7;
        case 87:
            return starts_;
        case 20:
            return t.busVolts;
        case 21:
            return t.kilowatts;
        case 22:
            return t.rpm;
        case 23:
            return t.powerFactor;
        case 27:  // torque command
        case 28:  // torque current
        case 32:  // speed regulator output
            return t.torquePercent;
        case 29:  // magnetising current
            return motor_.running() ? 30.0 : 0.0;
        case 40:
            return kilowattHours_;
        case 41:  // heat sink: ambient plus load
            return 30.0 + 25.0 * t.share;
        case 44:
            return t.outputVolts;
        default:
            return std::nullopt;
    }
}

std::uint16_t VirtualDrive::statusRegister(std::uint16_t a) const {
    const Telemetry t = telemetry();
    const double unit = frequencyUnit(paramRaw(drive::kRegMaxFrequency, 6000));
    const double maxHz = rampSettings().maxRaw;
    auto u16 = [](double v) {
        return static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, 65535.0)));
    };
    auto s16 = [](double v) {
        return static_cast<std::uint16_t>(
            static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0))));
    };
    switch (a - drive::kRegStatusFirst) {
        case 0: {
            std::uint16_t w = 0;
            if (motor_.running()) w |= drive::kStRunning;
            if (motor_.reverse()) w |= drive::kStReverse;
            if (faultCode_ != 0) w |= drive::kStFault;
            if (motor_.runCommanded() && motor_.rampDirection() == 0 && t.outputHz > 0)
                w |= drive::kStAtSpeed;
            return w;
        }
        case 1:
            return faultCode_;
        case 2:  // terminals: S1..S8 from the command word, then the outputs R1, R2, DO1
            return static_cast<std::uint16_t>(((command_ >> 6) & 0xFF) | (outputs_ & 7) << 8);
        case 3:
            return u16(std::min(frequency_ * unit, maxHz) / unit);
        case 4:
            return u16(t.outputHz / unit);
        case 5:  // 0.1 V
            return u16(t.outputVolts * 10.0);
        case 6:  // 0.1 V
            return u16(t.busVolts * 10.0);
        case 7:  // 0.1 A
            return u16(t.amps * 10.0);
        case 12:  // 0.1 %
            return s16(t.torquePercent * 10.0);
        case 13:
            return s16(t.rpm);
        default:
            return 0;
    }
}

std::vector<std::uint8_t> VirtualDrive::doRead(const std::uint8_t* pdu, std::size_t len) {
    if (len != 5) return {};
    const std::uint16_t first = be16(pdu + 1), count = be16(pdu + 3);
    if (count == 0 || count > drive::kMaxRegistersPerRequest) return exceptionPdu(3, drive::kRegisterCount);
    if (first + count - 1 > 0xFFFF) return exceptionPdu(3, drive::kIllegalAddress);
    std::vector<std::uint8_t> out{3, static_cast<std::uint8_t>(count * 2)};
    for (std::uint32_t a = first; a < first + count; ++a) {
        const auto address = static_cast<std::uint16_t>(a);
        const Area area = areaOf(address);
        if ((area == Area::Plc || area == Area::Element) && plcPassword_.active())
            return exceptionPdu(3, drive::kIllegalValue);
        const auto v = read(address);
        if (!v) return exceptionPdu(3, drive::kIllegalAddress);
        put16(out, *v);
    }
    return out;
}

std::vector<std::uint8_t> VirtualDrive::doWriteOne(const std::uint8_t* pdu, std::size_t len,
                                                   bool answer) {
    if (len != 5) return {};
    const std::uint16_t a = be16(pdu + 1), v = be16(pdu + 3);
    if (const std::uint8_t ex = checkWrite(a, v))
        return answer ? exceptionPdu(6, ex) : std::vector<std::uint8_t>{};
    apply(a, v);
    return answer ? std::vector<std::uint8_t>(pdu, pdu + len) : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> VirtualDrive::doWriteMany(const std::uint8_t* pdu, std::size_t len,
                                                    bool answer) {
    if (len < 6 || len != 6u + pdu[5]) return {};
    const std::uint16_t first = be16(pdu + 1), count = be16(pdu + 3);
    auto refuse = [&](std::uint8_t ex) {
        return answer ? exceptionPdu(16, ex) : std::vector<std::uint8_t>{};
    };
    if (count == 0 || count > drive::kMaxRegistersPerRequest || pdu[5] != count * 2)
        return refuse(drive::kRegisterCount);
    if (first + count - 1 > 0xFFFF) return refuse(drive::kIllegalAddress);
    // All or nothing: every register is judged before any is written.
    for (std::uint16_t k = 0; k < count; ++k)
        if (const std::uint8_t ex =
                checkWrite(static_cast<std::uint16_t>(first + k), be16(pdu + 6 + 2 * k)))
            return refuse(ex);
    for (std::uint16_t k = 0; k < count; ++k)
        apply(static_cast<std::uint16_t>(first + k), be16(pdu + 6 + 2 * k));
    return answer ? std::vector<std::uint8_t>(pdu, pdu + 5) : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> VirtualDrive::handle(const std::uint8_t* pdu, std::size_t len) {
    if (len == 0) return {};
    Lock lock(mutex_);
    advanceMotor();
    switch (pdu[0]) {
        case 3:
            return doRead(pdu, len);
        case 6:
            return doWriteOne(pdu, len, true);
        case 16:
            return doWriteMany(pdu, len, true);
        default:
            return exceptionPdu(pdu[0], drive::kIllegalFunction);
    }
}

void VirtualDrive::handleBroadcast(const std::uint8_t* pdu, std::size_t len) {
    if (len == 0) return;
    Lock lock(mutex_);
    advanceMotor();
    if (pdu[0] == 6) doWriteOne(pdu, len, false);
    if (pdu[0] == 16) doWriteMany(pdu, len, false);
}

std::optional<std::uint16_t> VirtualDrive::readRegister(std::uint16_t address) {
    Lock lock(mutex_);
    advanceMotor();
    return read(address);
}

bool VirtualDrive::writeRegister(std::uint16_t address, std::uint16_t value) {
    Lock lock(mutex_);
    advanceMotor();
    const Area area = areaOf(address);
    if (area == Area::None || area == Area::Status || area == Area::DriveType) return false;
    if (area == Area::Param && address != drive::kRegPassword) {
        values_[static_cast<std::size_t>(params_->slot(address))] = value;
        if (address == drive::kRegMaxFrequency) updateMotorCommand();
        return true;
    }
    apply(address, value);
    return true;
}

std::optional<std::string> VirtualDrive::valueOf(std::string_view code) {
    const auto address = registerOfCode(code);
    if (!address) return std::nullopt;
    Lock lock(mutex_);
    advanceMotor();
    const Area area = areaOf(*address);
    if (area == Area::Hidden) return std::to_string(*read(*address));
    if (area != Area::Param) return std::nullopt;
    return params_->find(*address)->format(*read(*address));
}

bool VirtualDrive::setValue(std::string_view code, std::string_view text) {
    const auto address = registerOfCode(code);
    if (!address) return false;
    Lock lock(mutex_);
    const Area area = areaOf(*address);
    if (area == Area::Hidden) {
        RegisterDef plain;
        const auto raw = plain.parse(text);
        if (!raw) return false;
        apply(*address, *raw);
        return true;
    }
    if (area != Area::Param || *address == drive::kRegPassword) return false;
    const RegisterDef& d = *params_->find(*address);
    const auto raw = d.parse(text);
    if (!raw || !d.accepts(*raw, paramRaw(drive::kRegLimitUnit, 0) != 0)) return false;
    values_[static_cast<std::size_t>(params_->slot(*address))] = *raw;
    if (*address == drive::kRegMaxFrequency) updateMotorCommand();
    return true;
}

std::vector<std::pair<std::uint16_t, std::uint16_t>> VirtualDrive::parameterRegisters() {
    Lock lock(mutex_);
    advanceMotor();
    std::vector<std::pair<std::uint16_t, std::uint16_t>> out;
    for (const RegisterDef& d : params_->all()) out.emplace_back(d.address, *read(d.address));
    for (int g = kHiddenFirst; g <= kHiddenLast; ++g)
        for (int i = 0; i < kHiddenGroupSize; ++i) {
            const auto a = static_cast<std::uint16_t>(g * 256 + i);
            out.emplace_back(a, *read(a));
        }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> VirtualDrive::differences(VirtualDrive& a, VirtualDrive& b,
                                                   bool writableOnly) {
    const auto ra = a.parameterRegisters();
    const auto rb = b.parameterRegisters();
    std::vector<std::string> out;
    std::size_t j = 0;
    for (const auto& [address, value] : ra) {
        while (j < rb.size() && rb[j].first < address) ++j;
        const bool inB = j < rb.size() && rb[j].first == address;
        if (writableOnly) {
            const RegisterDef* d = a.params_->find(address);
            if ((d && d->readOnly()) || address == drive::kRegPassword) continue;
        }
        if (!inB || rb[j].second != value) out.push_back(codeOfRegister(address));
    }
    return out;
}

void VirtualDrive::setVersion(std::uint16_t raw) {
    Lock lock(mutex_);
    values_[static_cast<std::size_t>(params_->slot(drive::kRegVersion))] = raw;
}

void VirtualDrive::setClock(std::shared_ptr<SimClock> clock) {
    Lock lock(mutex_);
    if (!clock) return;
    advanceMotor();
    clock_ = std::move(clock);
    lastAdvance_ = clock_->now();
}

void VirtualDrive::powerCycle() {
    Lock lock(mutex_);
    command_ = 0;
    frequency_ = 0;
    outputs_ = 0;
    plcRun_ = 0;
    motor_.stopNow();
    paramPassword_.powerCycle();
    plcPassword_.powerCycle();
    lastAdvance_ = clock_->now();
}

VirtualDrive::MotorSnapshot VirtualDrive::motor() {
    Lock lock(mutex_);
    advanceMotor();
    return {motor_.running(), motor_.reverse(), motor_.output(), motor_.target()};
}

}  // namespace pv::sim
