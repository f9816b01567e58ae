#pragma once
// The register areas of an N350 drive, each a handler over the drive's shared state:
//   parameters      groups 00..23 from the data files: range, 13-06 lock and 13-07 password,
//                   live monitors in group 12, 13-08 restore
//   hidden groups   25..28, 50 plain registers each
//   control         the communication command word, frequency command and output command
//   status          the status block and the drive type word, read-only
//   PLC program     the program memory and the element states, behind the PLC password
//   PLC control     run, clear and the PLC password registers

#include "sim/DriveState.h"
#include "sim/RegisterArea.h"

namespace pv::sim {

class ParameterArea : public RegisterArea {
public:
    explicit ParameterArea(DriveState& state) : s_(state) {}

    const RegisterDef* def(std::uint16_t address) const { return s_.params->find(address); }

    bool contains(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t address, std::uint16_t value) override;
    void noteWrite(std::uint16_t address) override;
    ToolWrite toolWrite(std::uint16_t address, std::uint16_t value) override;

private:
    // Strict rules: the drive's write rules (control mode, firmware, frame size, rules between
    // parameters) on top of the range.
    bool rulesAllow(const RegisterDef& def, std::uint16_t value) const;
    // 13-08: 2..5 restore the parameters (two/three-wire, 60/50 Hz), 6 clears the PLC.
    void restoreFactorySetting(std::uint16_t how);
    // Live values of the monitor parameters (group 12), in engineering units.
    std::optional<double> monitorValue(int index) const;

    DriveState& s_;
};

class HiddenParameterArea : public RegisterArea {
public:
    explicit HiddenParameterArea(DriveState& state) : s_(state) {}

    bool contains(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t address, std::uint16_t value) override;

private:
    std::uint16_t& slot(std::uint16_t address) const;
    DriveState& s_;
};

class ControlArea : public RegisterArea {
public:
    explicit ControlArea(DriveState& state) : s_(state) {}

    bool contains(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t address, std::uint16_t value) override;

private:
    DriveState& s_;
};

class StatusArea : public RegisterArea {
public:
    explicit StatusArea(DriveState& state) : s_(state) {}

    bool contains(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t, std::uint16_t) override {}
    ToolWrite toolWrite(std::uint16_t, std::uint16_t) override { return ToolWrite::Refused; }

private:
    DriveState& s_;
};

class PlcProgramArea : public RegisterArea {
public:
    explicit PlcProgramArea(DriveState& state) : s_(state) {}

    bool contains(std::uint16_t address) const override;
    std::uint8_t checkRead(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t address, std::uint16_t value) override;

private:
    static bool isMemory(std::uint16_t address);
    DriveState& s_;
};

class PlcControlArea : public RegisterArea {
public:
    explicit PlcControlArea(DriveState& state) : s_(state) {}

    bool contains(std::uint16_t address) const override;
    std::optional<std::uint16_t> read(std::uint16_t address) const override;
    std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const override;
    void write(std::uint16_t address, std::uint16_t value) override;
    void noteWrite(std::uint16_t address) override;

private:
    DriveState& s_;
};

}  // namespace pv::sim
