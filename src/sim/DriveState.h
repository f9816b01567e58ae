#pragma once
// Everything one virtual drive remembers, shared by the handlers of its register areas: the
// parameter values, the communication command registers, the passwords, the PLC memory, and the
// motor with what it means at the drive's terminals. The handlers decide what a register read or
// write does; this is the state they do it to, and the physics several of them read.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "drive/Registers.h"
#include "plc/PlcEngine.h"
#include "plc/PlcProgram.h"
#include "sim/MotorModel.h"
#include "sim/ParamRegisters.h"
#include "sim/PasswordLock.h"
#include "sim/SimClock.h"

namespace pv::sim {

inline constexpr std::uint16_t kDefaultVersion = 135;  // 1.35, what a new virtual drive reports

// What the motor's state means at the drive's terminals.
struct Telemetry {
    double outputHz = 0;
    double share = 0;  // of the maximum frequency
    double outputVolts = 0;
    double busVolts = 0;
    double amps = 0;
    double torquePercent = 0;
    double powerFactor = 0;
    double kilowatts = 0;
    double rpm = 0;  // signed
};

struct DriveState {
    DriveState(std::uint32_t modelCode, std::shared_ptr<const ParamRegisterTable> params,
               std::shared_ptr<SimClock> clock);

    // Parameters of groups 00..23 by their register; `fallback` for one the model lacks.
    std::uint16_t paramRaw(std::uint16_t address, std::uint16_t fallback) const;
    // In engineering units (the register scaled by the parameter's decimals).
    double paramValue(std::uint16_t address, double fallback) const;
    void setParamRaw(std::uint16_t address, std::uint16_t raw);
    bool limitsInHertz() const { return paramRaw(drive::kRegLimitUnit, 0) != 0; }
    bool parametersLocked() const { return paramRaw(drive::kRegLock, 1) == 0; }

    // The frequency command travels in 0.1 Hz when the maximum frequency register is above 3000,
    // else in 0.01 Hz; the status block reports frequencies in the same unit.
    double frequencyUnit() const;
    RampSettings rampSettings() const;
    // The motor follows the command word and the frequency command.
    void updateMotorCommand();
    // Brings the motor (and the energy counter) up to the clock's time.
    void advanceMotor();
    void setClock(std::shared_ptr<SimClock> clock);
    // Runs the stored ladder program up to the clock's time while the PLC runs (0xA600 = 1 and
    // 00-02 = 3): inputs from the forced 0xA401 and the terminals S1..S8, element states
    // published in 0xA401..0xA407, Q1..Q3 on the output terminals R1, R2 and DO1.
    void advancePlc();
    // The output terminals (R1 = bit 0, R2 = bit 1, DO1 = bit 2): the output command and the
    // running program's Q coils.
    std::uint16_t outputTerminals() const { return static_cast<std::uint16_t>((outputs | plcOutputs) & 7); }
    Telemetry telemetry() const;
    // Status word of the status block (also monitor 12-43).
    std::uint16_t statusWord() const;

    const std::uint32_t modelCode;
    const std::shared_ptr<const ParamRegisterTable> params;
    std::shared_ptr<SimClock> clock;

    std::vector<std::uint16_t> values;  // by slot of params
    std::array<std::array<std::uint16_t, kHiddenGroupSize>, kHiddenLast - kHiddenFirst + 1>
        hidden{};
    std::uint16_t command = 0;
    std::uint16_t frequency = 0;
    std::uint16_t outputs = 0;
    std::uint16_t faultCode = 0;
    PasswordLock paramPassword;
    PasswordLock plcPassword;
    std::vector<std::uint16_t> plcMemory =
        std::vector<std::uint16_t>(drive::kRegPlcLast - drive::kRegPlcFirst + 1, 0);
    std::array<std::uint16_t, drive::kRegElementLast - drive::kRegPlcControl1 + 1> elements{};
    std::uint16_t plcRun = 0;
    // The running program: decoded again from plcMemory after it changed.
    bool plcProgramChanged = true;
    std::uint8_t plcForcedInputs = 0;  // the high byte last written to 0xA401
    std::uint16_t plcOutputs = 0;
    PlcProgram plcProgram;
    plc::PlcScanner plcScanner;
    bool plcScanning = false;
    SimClock::Duration lastPlcScan{0};
    bool strictRules = false;

    MotorModel motor;
    double kilowattHours = 0;
    std::uint32_t starts = 0;
    SimClock::Duration lastAdvance{0};
};

}  // namespace pv::sim
