#include "sim/RegisterAreas.h"

#include <algorithm>
#include <cmath>

#include "drive/Version.h"
#include "editing/WriteRules.h"
#include "project/ParamTable.h"

namespace pv::sim {

// ---------------------------------------------------------------------------------------------
// Parameters

bool ParameterArea::contains(std::uint16_t address) const {
    return s_.params->slot(address) >= 0;
}

std::optional<std::uint16_t> ParameterArea::read(std::uint16_t a) const {
    if (a == drive::kRegPassword) return s_.paramPassword.state();
    if (a == drive::kRegCommFrequency) {  // 00-08 shows the communication frequency command
        const RegisterDef& d = *def(a);
        const double hz = s_.frequency * s_.frequencyUnit();
        return static_cast<std::uint16_t>(std::lround(
            std::clamp(hz * std::pow(10.0, decimals(d.valueKind, d.attr)), 0.0, 65535.0)));
    }
    if ((a >> 8) == drive::kMonitorGroup) {
        const RegisterDef& d = *def(a);
        if (auto v = monitorValue(a & 0xFF); v && d.readOnly()) {
            if (!isSigned16(d.attr)) *v = std::fabs(*v);
            const double raw = std::round(*v * std::pow(10.0, decimals(d.valueKind, d.attr)));
            const double lo = isSigned16(d.attr) ? -32768.0 : 0.0;
            const double hi = isSigned16(d.attr) ? 32767.0 : 65535.0;
            return static_cast<std::uint16_t>(static_cast<std::int32_t>(std::clamp(raw, lo, hi)) &
                                              0xFFFF);
        }
    }
    return s_.paramRaw(a, 0);
}

std::uint8_t ParameterArea::checkWrite(std::uint16_t a, std::uint16_t v) const {
    const RegisterDef& d = *def(a);
    if (a == drive::kRegPassword) return v > drive::kMaxParamPassword ? drive::kIllegalValue : 0;
    if (d.readOnly()) return drive::kIllegalAddress;
    if (s_.paramPassword.active()) return drive::kIllegalValue;
    if (!d.lockExempt() && s_.parametersLocked()) return drive::kIllegalValue;
    if (!d.accepts(v, s_.limitsInHertz())) return drive::kIllegalValue;
    return !s_.strictRules || rulesAllow(d, v) ? 0 : drive::kIllegalValue;
}

void ParameterArea::write(std::uint16_t a, std::uint16_t v) {
    if (a == drive::kRegPassword)
        s_.paramPassword.write(v);
    else if (a == drive::kRegRestore)
        restoreFactorySetting(v);
    else
        s_.setParamRaw(a, v);
    if (a == drive::kRegMaxFrequency) s_.updateMotorCommand();
}

void ParameterArea::noteWrite(std::uint16_t a) {
    if (a != drive::kRegPassword) s_.paramPassword.interrupt();
}

RegisterArea::ToolWrite ParameterArea::toolWrite(std::uint16_t a, std::uint16_t v) {
    if (a == drive::kRegPassword) return ToolWrite::AsDrive;
    s_.setParamRaw(a, v);
    if (a == drive::kRegMaxFrequency) s_.updateMotorCommand();
    return ToolWrite::Stored;
}

void ParameterArea::restoreFactorySetting(std::uint16_t how) {
    if (how == 6) std::fill(s_.plcMemory.begin(), s_.plcMemory.end(), 0);
    if (how < 2 || how > 5) return;
    const auto& defs = s_.params->all();
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const std::uint16_t a = defs[i].address;
        // The drive's identity stays what it is.
        if (a != drive::kRegCapacity && a != drive::kRegVersion) s_.values[i] = defs[i].defaultRaw;
    }
    auto set = [&](std::uint16_t a, std::uint16_t v) {
        if (const RegisterDef* d = def(a); d && d->accepts(v)) s_.setParamRaw(a, v);
    };
    if (how == 3 || how == 5) set(drive::kRegTerminalMode, 2);
    if (how == 4 || how == 5) set(drive::kRegMaxFrequency, 5000);  // 50.00 Hz
    s_.updateMotorCommand();
}

bool ParameterArea::rulesAllow(const RegisterDef& d, std::uint16_t value) const {
    using namespace pv::editing;
    if (d.address == drive::kRegLock || d.address == drive::kRegRestore) return true;
    ParamRecord record;
    record.defined = 1;
    record.valueKind = d.valueKind;
    record.attr = d.attr;
    const ParamRow row = ParamRow::fromRecord(d.address >> 8, d.address & 0xFF, record);
    DriveFacts facts;
    facts.controlMode = s_.paramRaw(drive::kRegControlMode, 0);
    facts.driveVersion =
        static_cast<float>(drive::VersionValue(s_.paramRaw(drive::kRegVersion, kDefaultVersion)));
    facts.modelCode = s_.modelCode;
    const RegisterLookup lookup = [this](std::uint16_t a) -> std::optional<std::uint16_t> {
        if (!contains(a)) return std::nullopt;
        return s_.paramRaw(a, 0);
    };
    // The master scales frequencies by the mode it believes the drive is in: either will do.
    for (const bool high : {false, true}) {
        const DisplaySettings settings{high, s_.limitsInHertz()};
        if (WriteRules::judgeRegisterWrite(row, value, facts, settings, lookup).allowed())
            return true;
    }
    return false;
}

std::optional<double> ParameterArea::monitorValue(int index) const {
    const Telemetry t = s_.telemetry();
    const double unit = s_.frequencyUnit();
    switch (index) {
        case 16:
            return std::min(s_.frequency * unit, s_.rampSettings().maxRaw);
        case 17:
            return t.outputHz;
        case 18:
            return t.amps;
        case 24:
            return s_.paramRaw(drive::kRegControlMode, 0);
        case 43:  // inverter status, as the status word
        case 74:
            return s_.statusWord();
        case 57:
            return t.torquePercent;
        case 72:  // digital inputs S1..S8 as the communication word drives them
            return (s_.command >> 6) & 0xFF;
        case 73:
            return s_.outputTerminals();
        case 87:
            return s_.starts;
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
            return s_.motor.running() ? 30.0 : 0.0;
        case 40:
            return s_.kilowattHours;
        case 41:  // heat sink: ambient plus load
            return 30.0 + 25.0 * t.share;
        case 44:
            return t.outputVolts;
        default:
            return std::nullopt;
    }
}

// ---------------------------------------------------------------------------------------------
// Hidden groups

bool HiddenParameterArea::contains(std::uint16_t a) const {
    const int group = a >> 8, index = a & 0xFF;
    return group >= kHiddenFirst && group <= kHiddenLast && index < kHiddenGroupSize;
}

std::uint16_t& HiddenParameterArea::slot(std::uint16_t a) const {
    return s_.hidden[static_cast<std::size_t>((a >> 8) - kHiddenFirst)][a & 0xFF];
}

std::optional<std::uint16_t> HiddenParameterArea::read(std::uint16_t a) const {
    return slot(a);
}

std::uint8_t HiddenParameterArea::checkWrite(std::uint16_t, std::uint16_t) const {
    if (s_.paramPassword.active()) return drive::kIllegalValue;
    return s_.parametersLocked() ? drive::kIllegalValue : 0;
}

void HiddenParameterArea::write(std::uint16_t a, std::uint16_t v) {
    slot(a) = v;
}

// ---------------------------------------------------------------------------------------------
// Communication command registers

bool ControlArea::contains(std::uint16_t a) const {
    return a == drive::kRegCommandWord || a == drive::kRegFrequencyCommand ||
           a == drive::kRegOutputCommand;
}

std::optional<std::uint16_t> ControlArea::read(std::uint16_t a) const {
    return a == drive::kRegCommandWord        ? s_.command
           : a == drive::kRegFrequencyCommand ? s_.frequency
                                              : s_.outputs;
}

std::uint8_t ControlArea::checkWrite(std::uint16_t a, std::uint16_t v) const {
    return a == drive::kRegOutputCommand && v > 7 ? drive::kIllegalValue : 0;
}

void ControlArea::write(std::uint16_t a, std::uint16_t v) {
    if (a == drive::kRegCommandWord) {
        if (v & drive::kCmdFaultReset) s_.faultCode = 0;
        s_.command = static_cast<std::uint16_t>(v & ~drive::kCmdFaultReset);
    } else if (a == drive::kRegFrequencyCommand) {
        s_.frequency = v;
    } else {
        s_.outputs = v;
    }
    s_.updateMotorCommand();
}

// ---------------------------------------------------------------------------------------------
// Status block and drive type

bool StatusArea::contains(std::uint16_t a) const {
    return (a >= drive::kRegStatusFirst && a <= drive::kRegStatusLast) || a == drive::kRegDriveType;
}

std::optional<std::uint16_t> StatusArea::read(std::uint16_t a) const {
    if (a == drive::kRegDriveType) return drive::kDriveTypeN350;
    const Telemetry t = s_.telemetry();
    const double unit = s_.frequencyUnit();
    const double maxHz = s_.rampSettings().maxRaw;
    auto u16 = [](double v) {
        return static_cast<std::uint16_t>(std::lround(std::clamp(v, 0.0, 65535.0)));
    };
    auto s16 = [](double v) {
        return static_cast<std::uint16_t>(
            static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0))));
    };
    switch (a - drive::kRegStatusFirst) {
        case 0:
            return s_.statusWord();
        case 1:
            return s_.faultCode;
        case 2:  // terminals: S1..S8 from the command word, then the outputs R1, R2, DO1
            return static_cast<std::uint16_t>(((s_.command >> 6) & 0xFF) | s_.outputTerminals() << 8);
        case 3:
            return u16(std::min(s_.frequency * unit, maxHz) / unit);
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
            return std::uint16_t{0};
    }
}

std::uint8_t StatusArea::checkWrite(std::uint16_t, std::uint16_t) const {
    return drive::kIllegalAddress;
}

// ---------------------------------------------------------------------------------------------
// PLC program memory and element states

bool PlcProgramArea::isMemory(std::uint16_t a) {
    return a >= drive::kRegPlcFirst && a <= drive::kRegPlcLast;
}

bool PlcProgramArea::contains(std::uint16_t a) const {
    return isMemory(a) || (a >= drive::kRegPlcControl1 && a <= drive::kRegElementLast);
}

std::uint8_t PlcProgramArea::checkRead(std::uint16_t) const {
    return s_.plcPassword.active() ? drive::kIllegalValue : 0;
}

std::optional<std::uint16_t> PlcProgramArea::read(std::uint16_t a) const {
    return isMemory(a) ? s_.plcMemory[a - drive::kRegPlcFirst]
                       : s_.elements[a - drive::kRegPlcControl1];
}

std::uint8_t PlcProgramArea::checkWrite(std::uint16_t a, std::uint16_t) const {
    if (!isMemory(a)) return 0;
    return s_.plcPassword.active() || s_.plcRun != 0 ? drive::kIllegalValue : 0;
}

void PlcProgramArea::write(std::uint16_t a, std::uint16_t v) {
    if (isMemory(a)) {
        s_.plcMemory[a - drive::kRegPlcFirst] = v;
        s_.plcProgramChanged = true;
        return;
    }
    s_.elements[a - drive::kRegPlcControl1] = v;
    // Forcing: the inputs hold what was written until the next write; relays take the written
    // word and the running program goes on from there.
    if (a == drive::kRegPlcControl1) s_.plcForcedInputs = static_cast<std::uint8_t>(v >> 8);
    if (a == drive::kRegPlcControl4) {
        plc::StateRegisters regs = plc::RegistersFromStates(s_.plcScanner.states);
        regs[3] = v;
        s_.plcScanner.states.M = plc::StatesFromRegisters(regs).M;
    }
}

// ---------------------------------------------------------------------------------------------
// PLC run, clear and password registers

bool PlcControlArea::contains(std::uint16_t a) const {
    return a == drive::kRegPlcRun || a == drive::kRegPlcRun2 || a == drive::kRegPlcPassword1 ||
           a == drive::kRegPlcPassword2 || a == drive::kRegPlcPassword3;
}

std::optional<std::uint16_t> PlcControlArea::read(std::uint16_t a) const {
    if (a == drive::kRegPlcRun) return s_.plcRun;
    if (a == drive::kRegPlcPassword3) return s_.plcPassword.state();
    return std::uint16_t{0};  // commands and passwords read back as 0
}

std::uint8_t PlcControlArea::checkWrite(std::uint16_t a, std::uint16_t v) const {
    const bool locked = s_.plcPassword.active();
    switch (a) {
        case drive::kRegPlcRun:
            return v > 1 || locked ? drive::kIllegalValue : 0;
        case drive::kRegPlcRun2:
            return v != 1 || s_.plcRun != 0 || locked ? drive::kIllegalValue : 0;
        case drive::kRegPlcPassword2:
            return s_.plcPassword.accepts(v) ? 0 : drive::kIllegalValue;
        case drive::kRegPlcPassword3:
            return drive::kIllegalAddress;
        default:
            return 0;
    }
}

void PlcControlArea::write(std::uint16_t a, std::uint16_t v) {
    if (a == drive::kRegPlcRun) s_.plcRun = v;
    if (a == drive::kRegPlcRun2) {
        std::fill(s_.plcMemory.begin(), s_.plcMemory.end(), 0);
        s_.plcProgramChanged = true;
    }
    if (a == drive::kRegPlcPassword1) s_.plcPassword.write(v);
    if (a == drive::kRegPlcPassword2) s_.plcPassword.enter(v);
}

void PlcControlArea::noteWrite(std::uint16_t a) {
    if (a != drive::kRegPlcPassword1) s_.plcPassword.interrupt();
}

}  // namespace pv::sim
