#pragma once
// One area of a virtual drive's register map and what reading and writing it does: the
// parameters, the communication command registers, the status block, the PLC memory, ... Each
// area is a handler of its own, so that a new part of the drive (the PLC executor, the copy
// module, the network adapter) is one more handler and not one more branch everywhere.

#include <cstdint>
#include <optional>

namespace pv::sim {

class RegisterArea {
public:
    virtual ~RegisterArea() = default;

    virtual bool contains(std::uint16_t address) const = 0;

    // 0 when a request may read the register now, else the exception code (a read is refused
    // whole).
    virtual std::uint8_t checkRead(std::uint16_t address) const {
        (void)address;
        return 0;
    }
    // The register's value; nullopt for an address the area does not answer.
    virtual std::optional<std::uint16_t> read(std::uint16_t address) const = 0;

    // 0 when a request may write the value, else the exception code. Writes of several
    // registers are judged whole before any is made.
    virtual std::uint8_t checkWrite(std::uint16_t address, std::uint16_t value) const = 0;
    // Makes a judged write (or a tool's write that goes the drive's way).
    virtual void write(std::uint16_t address, std::uint16_t value) = 0;
    // Told of every write the drive makes, to any area, before it is made: a password that
    // counts two writes in a row forgets its first when anything else comes between.
    virtual void noteWrite(std::uint16_t address) { (void)address; }

    // What a tool's write (tests, the console) does: nothing, store the value as it is (no lock,
    // password or range check), or what the drive does with a judged write.
    enum class ToolWrite { Refused, Stored, AsDrive };
    virtual ToolWrite toolWrite(std::uint16_t address, std::uint16_t value) {
        (void)address;
        (void)value;
        return ToolWrite::AsDrive;
    }
};

}  // namespace pv::sim
