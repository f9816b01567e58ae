#pragma once
// One virtual N350 drive on the bus: its parameter registers (the model's values at delivery,
// range-checked on write), the identification registers, the 13-06 lock and 13-07 password, the
// command/frequency/output registers with a motor that ramps by the drive's acceleration and
// deceleration times, the status block, the hidden groups 25..28 and the PLC memory with its run,
// clear and password registers. It answers Modbus requests as the drive's protocol layer does:
// function 03, 06 and 16, with exception replies for what it refuses.
//
// Inside, a request goes through the decoder (sim/RequestDecoder.h) and is served by the
// register model (sim/RegisterModel.h), whose areas are handlers over the drive's shared state
// (sim/RegisterAreas.h, sim/DriveState.h). A new part of the drive is one more area.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/DriveState.h"
#include "sim/ParamRegisters.h"
#include "sim/RegisterAreas.h"
#include "sim/RegisterModel.h"
#include "sim/RequestDecoder.h"
#include "sim/SimClock.h"

namespace pv::sim {

class VirtualDrive {
public:
    VirtualDrive(int station, std::uint32_t modelCode,
                 std::shared_ptr<const ParamRegisterTable> params, std::shared_ptr<SimClock> clock);

    int station() const { return station_; }
    std::uint32_t modelCode() const { return state_.modelCode; }

    // One request addressed to this drive: the PDU (function code and data, without station
    // and CRC). Returns the reply PDU, or nothing for a request too damaged to answer.
    std::vector<std::uint8_t> handle(const std::uint8_t* pdu, std::size_t len);
    // A decoded request addressed to this drive; `answer` off for a broadcast (writes take
    // effect, nothing is answered).
    std::vector<std::uint8_t> serve(const DecodedRequest& request, bool answer);
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
    // A fault trip with the drive's fault code (status block 0x2521): the output stops at once
    // and a run command is ignored until a fault reset (command word bit 3) clears it.
    void trip(std::uint16_t code);

    struct MotorSnapshot {
        bool running = false;
        bool reverse = false;
        double output = 0;  // signed, frequency command units
        double target = 0;
    };
    MotorSnapshot motor();

private:
    using Lock = std::unique_lock<std::mutex>;
    // Under the lock, the motor brought up to time.
    std::vector<std::uint8_t> serveLocked(const DecodedRequest& request, bool answer);

    std::mutex mutex_;
    const int station_;
    DriveState state_;
    ParameterArea params_{state_};
    HiddenParameterArea hidden_{state_};
    ControlArea control_{state_};
    StatusArea status_{state_};
    PlcProgramArea plcProgram_{state_};
    PlcControlArea plcControl_{state_};
    RegisterModel registers_;
};

}  // namespace pv::sim
