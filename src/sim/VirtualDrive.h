#pragma once
// One virtual N350 drive on the bus: its parameter registers (the model's values at delivery,
// range-checked on write), the identification registers, the 13-06 lock and 13-07 password, the
// command/frequency/output registers with a motor that ramps by the drive's acceleration and
// deceleration times, the status block, the hidden groups 25..28 and the PLC memory with its run,
// clear and password registers. It answers Modbus requests as the drive's protocol layer does:
// function 03, 06 and 16, with exception replies for what it refuses.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drive/Registers.h"
#include "sim/MotorModel.h"
#include "sim/ParamRegisters.h"
#include "sim/PasswordLock.h"
#include "sim/SimClock.h"

namespace pv::sim {

inline constexpr std::uint16_t kDefaultVersion = 135;  // 1.35, what a new virtual drive reports

class VirtualDrive {
public:
    VirtualDrive(int station, std::uint32_t modelCode,
                 std::shared_ptr<const ParamRegisterTable> params, std::shared_ptr<SimClock> clock);

    int station() const { return station_; }
    std::uint32_t modelCode() const { return modelCode_; }

    // One request addressed to this drive: the PDU (function code and data, without station
    // and CRC). Returns the reply PDU, or nothing for a request too damaged to answer.
    std::vector<std::uint8_t> handle(const std::uint8_t* pdu, std::size_t len);
    // A broadcast request: writes take effect, nothing is answered.
    void handleBroadcast(const std::uint8_t* pdu, std::size_t len);

    // Direct access for tests and tools (no lock, password or range check on writes).
    std::optional<std::uint16_t> readRegister(std::uint16_t address);
    bool writeRegister(std::uint16_t address, std::uint16_t value);
    // "GG-NN" by the parameter's display format; nullopt for an unknown code.
    std::optional<std::string> valueOf(std::string_view code);
    // The text in the parameter's display format; false for unknown codes, text that is no
    // number of the format, or a value outside the parameter's range.
    bool setValue(std::string_view code, std::string_view text);

    // Every parameter register (groups 00..23 and the hidden groups) with its value, in
    // address order.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> parameterRegisters();
    // Codes whose values differ between two drives. With writableOnly, registers a drive
    // refuses to have written (13-00, 13-01, monitors, ...) are left out.
    static std::vector<std::string> differences(VirtualDrive& a, VirtualDrive& b,
                                                bool writableOnly = true);

    void setVersion(std::uint16_t raw);
    // Strict: parameter writes are also judged by the drive's write rules (control mode,
    // firmware, frame size, rules between parameters) and refused with exception 3. Off by
    // default: a drive of the series checks ranges, the program checks the rest.
    void setStrictRules(bool strict);
    void setClock(std::shared_ptr<SimClock> clock);
    // Power off and on: motor stopped, passwords active again, PLC stopped.
    void powerCycle();

    struct MotorSnapshot {
        bool running = false;
        bool reverse = false;
        double output = 0;  // signed, frequency command units
        double target = 0;
    };
    MotorSnapshot motor();

private:
    using Lock = std::unique_lock<std::mutex>;
    enum class Area { None, Param, Hidden, Control, Status, DriveType, Plc, Element, PlcControl };

    Area areaOf(std::uint16_t address) const;
    std::optional<std::uint16_t> read(std::uint16_t address);
    // 0 when the value may be written, else the exception code.
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const;
    bool rulesAllow(const RegisterDef& def, std::uint16_t value) const;
    void apply(std::uint16_t address, std::uint16_t value);
    // 13-08: 2..5 restore the parameters (two/three-wire, 60/50 Hz), 6 clears the PLC.
    void restoreFactorySetting(std::uint16_t how);
    std::vector<std::uint8_t> doRead(const std::uint8_t* pdu, std::size_t len);
    std::vector<std::uint8_t> doWriteOne(const std::uint8_t* pdu, std::size_t len, bool answer);
    std::vector<std::uint8_t> doWriteMany(const std::uint8_t* pdu, std::size_t len, bool answer);
    void advanceMotor();
    void updateMotorCommand();
    RampSettings rampSettings() const;
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
    Telemetry telemetry() const;
    // Live values of the monitor parameters (group 12), in engineering units.
    std::optional<double> monitorValue(int index) const;
    std::uint16_t statusRegister(std::uint16_t address) const;
    std::uint16_t paramRaw(std::uint16_t address, std::uint16_t fallback) const;
    double paramValue(std::uint16_t address, double fallback) const;

    const int station_;
    const std::uint32_t modelCode_;
    std::shared_ptr<const ParamRegisterTable> params_;
    std::shared_ptr<SimClock> clock_;
    std::mutex mutex_;

    std::vector<std::uint16_t> values_;  // by slot of params_
    std::array<std::array<std::uint16_t, kHiddenGroupSize>, kHiddenLast - kHiddenFirst + 1>
        hidden_{};
    std::uint16_t command_ = 0;
    std::uint16_t frequency_ = 0;
    std::uint16_t outputs_ = 0;
    std::uint16_t faultCode_ = 0;
    PasswordLock paramPassword_;
    PasswordLock plcPassword_;
    std::vector<std::uint16_t> plcMemory_ =
        std::vector<std::uint16_t>(drive::kRegPlcLast - drive::kRegPlcFirst + 1, 0);
    std::array<std::uint16_t, drive::kRegElementLast - drive::kRegPlcControl1 + 1> elements_{};
    std::uint16_t plcRun_ = 0;
    bool strictRules_ = false;

    MotorModel motor_;
    double kilowattHours_ = 0;
    std::uint32_t starts_ = 0;
    SimClock::Duration lastAdvance_{0};
};

}  // namespace pv::sim
