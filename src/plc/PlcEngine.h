#pragma once
// The ladder program brought to life: power flow through the 80 rows and the function blocks that
// the coils drive. The desktop's Simulate mode, the live monitor's drawing and the virtual drive
// all use this one engine, so a program behaves alike in the three places.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plc/BlockRecords.h"
#include "plc/PlcProgram.h"

namespace pv::plc {

// The states of the program's elements (index 0 is element 1).
struct ElementStates {
    std::array<bool, 8> I{};
    std::array<bool, 16> Q{};  // the drive has Q1..Q3
    std::array<bool, 16> M{};  // M1..M15
    std::array<bool, 8> T{}, C{}, G{}, F{};
    std::array<bool, 4> AS{}, MD{};
    bool operator==(const ElementStates&) const = default;
};

// The drive publishes the states in the seven registers A401..A407 (high byte first; M9..M15 in
// the low byte of A404).
inline constexpr int kStateRegisters = 7;
using StateRegisters = std::array<std::uint16_t, kStateRegisters>;
ElementStates StatesFromRegisters(const StateRegisters& registers);
StateRegisters RegistersFromStates(const ElementStates& states);

// Whether a contact of `letter` (upper case normally open, lower case normally closed) and
// number n conducts.
bool ContactConducts(const ElementStates& states, char letter, int n);

// Power through the ladder, left to right: a contact passes what reaches it when it conducts, a
// gap that is not blank carries it on, and a vertical link (gap mark 3 or 5 of the upper row)
// joins the rows of a group so that power reaching any of them reaches all. A D contact passes
// power only when the power reaching it turned on since the last evaluation, d when it turned off.
class PowerFlow {
public:
    void evaluate(const PlcProgram& program, const ElementStates& states);
    // Power leaving contact cell c (0..2) of a row, and reaching its coil.
    bool cellOn(int row, int cell) const { return out_[row][cell]; }
    bool coilOn(int row) const { return coil_[row]; }
    // Power reaching contact cell c.
    bool cellFed(int row, int cell) const { return in_[row][cell]; }
    // Forget the previous evaluation (the differential contacts start from "off").
    void reset();

private:
    std::array<std::array<bool, kContactCells>, kLadderRows> in_{}, prevIn_{}, out_{};
    std::array<bool, kLadderRows> coil_{};
};

// The value of a time base in milliseconds: base 0 counts hundredths of a second, 1 tenths (the
// default record's base), 2 whole seconds.
int TimerBaseMs(int base);

// What the program's blocks hold between two scans, and the inputs a simulation feeds them.
struct BlockValues {
    std::array<std::uint32_t, 8> timer{};    // elapsed time in the timer's base units
    std::array<std::uint32_t, 8> counter{};  // 0..65535
    std::array<std::uint32_t, 4> as{}, md{};
    // Analog values V1..V7 in hundredths (V1, V2: Hz; V3..V5: V) or tenths (V6: A, V7: %).
    std::array<std::uint32_t, 7> analog{};
};

// Runs a program: each scan evaluates the power flow from the element states, then acts on the
// coil of each row by its letter. Inputs I (and, for forcing, M) are set from outside between
// scans.
class PlcScanner {
public:
    ElementStates states;
    BlockValues values;

    // One scan after `elapsedMs` milliseconds of time.
    void scan(const PlcProgram& program, int elapsedMs);
    // Back to power-on: every state, count and time cleared.
    void reset();
    const PowerFlow& power() const { return flow_; }

    // The program's timers whose time base is finer than `scanMs`: they cannot run at their
    // own pace in a scan of that period (names such as "T01").
    static std::vector<std::string> TimersFinerThan(const PlcProgram& program, int scanMs);

private:
    // The value a block operand stands for now: a constant, or the element's current value.
    std::uint32_t valueOf(const BlockValue& v) const;
    void runTimer(const PlcProgram& program, int n, bool power, int elapsedMs);
    void runCounter(const PlcProgram& program, int n, bool power);

    PowerFlow flow_;
    std::array<bool, kLadderRows> prevCoil_{};
    std::array<int, 8> timerRemainderMs_{};
    std::array<bool, 8> timerPrevPower_{}, counterPrevPower_{};
    std::array<bool, 8> timerLatched_{};  // modes 4 and 6: running after the coil went off
    std::array<std::uint64_t, 8> flashMs_{};  // flash modes: time into the on/off period
};

}  // namespace pv::plc
