#include "plc/PlcEngine.h"

#include <gtest/gtest.h>

using namespace pv;
using namespace pv::plc;

namespace {

// A rung from contact I0n through two wires to the coil.
void rung(PlcProgram& p, int row, int input) {
    p.setContact(row, 0, 'I', input);
    p.setWire(row, 1);
    p.setWire(row, 2);
}

}  // namespace

TEST(PlcEngine, StateRegistersMapToTheirElements) {
    StateRegisters regs{};
    regs[1] = 0x0500;  // A402 high byte: T1 and T3
    regs[3] = 0x0102;  // A404: M1 in the high byte, M10 in bit 1 of the low byte
    const ElementStates s = StatesFromRegisters(regs);
    EXPECT_TRUE(s.T[0]);
    EXPECT_FALSE(s.T[1]);
    EXPECT_TRUE(s.T[2]);
    EXPECT_TRUE(s.M[0]);
    EXPECT_TRUE(s.M[9]);
    EXPECT_FALSE(ContactConducts(s, 't', 1));
    EXPECT_TRUE(ContactConducts(s, 't', 2));
    EXPECT_EQ(RegistersFromStates(s), regs);
}

TEST(PlcEngine, LinkedRowsShareTheirPowerAndDifferentialsSeeOnlyTheEdge) {
    // I01 ---+--- D00 --- Q01
    // I02 ---+--- d00 --- Q02
    PlcProgram p;
    p.setContact(0, 0, 'I', 1);
    p.setContact(1, 0, 'I', 2);
    p.cellText[0][gapColumn(0)] = kGapLinkDown;
    p.cellText[1][gapColumn(0)] = kGapLinkUp;
    p.setDifferential(0, 1, false);
    p.setDifferential(1, 1, true);
    p.setWire(0, 2);
    p.setWire(1, 2);
    p.setCoil(0, kCoilOutput, 'Q', 1);
    p.setCoil(1, kCoilOutput, 'Q', 2);

    struct Step {
        bool i1, i2, q1, q2;
    };
    // I02 alone powers both rows through the link; D passes on the first scan only, d on the
    // scan after the power went.
    const Step steps[] = {{false, false, false, false}, {false, true, true, false},
                          {false, true, false, false},  {true, true, false, false},
                          {false, false, false, true},  {false, false, false, false}};
    PlcScanner s;
    int k = 0;
    for (const Step& st : steps) {
        s.states.I[0] = st.i1;
        s.states.I[1] = st.i2;
        s.scan(p, 100);
        EXPECT_EQ(s.states.Q[0], st.q1) << "step " << k;
        EXPECT_EQ(s.states.Q[1], st.q2) << "step " << k;
        ++k;
    }
}

TEST(PlcEngine, TimerModesFollowTheirPreset) {
    struct Case {
        int mode;
        // Coil power per 100 ms scan and the contact expected after it.
        std::string power, contact;
    };
    // Preset 3 tenths of a second.
    const Case cases[] = {
        {1, "1111110111", "0011110001"},  // on-delay, cleared without power
        {2, "1100110000", "0000111111"},  // keeps its time without power
        {3, "1100000000", "1111000000"},  // off-delay
        {4, "1100000000", "0011000000"},  // a pulse after the power went
        {5, "1111111111", "1110001110"},  // flash while powered
    };
    for (const Case& c : cases) {
        PlcProgram p;
        rung(p, 0, 1);
        p.setCoil(0, kCoilOutput, 'T', 1);
        p.timers[0][1] = static_cast<std::uint8_t>(c.mode << 4 | 1);
        p.timers[0][3] = 0x03;
        PlcScanner s;
        std::string got;
        for (char on : c.power) {
            s.states.I[0] = on == '1';
            s.scan(p, 100);
            got += s.states.T[0] ? '1' : '0';
        }
        EXPECT_EQ(got, c.contact) << "mode " << c.mode;
    }
}

TEST(PlcEngine, CountersStopAtThePresetUnlessTheyOvertake) {
    for (int mode : {1, 2}) {
        PlcProgram p;
        rung(p, 0, 1);
        p.setCoil(0, kCoilOutput, 'C', 1);
        p.counters[0][1] = static_cast<std::uint8_t>(mode << 4);
        p.counters[0][4] = 0x03;  // preset 3
        p.counters[0][7] = 'I';   // reset input I02
        p.counters[0][8] = 2;
        PlcScanner s;
        for (int k = 0; k < 5; ++k) {
            s.states.I[0] = true;
            s.scan(p, 100);
            s.states.I[0] = false;
            s.scan(p, 100);
        }
        EXPECT_EQ(s.values.counter[0], mode == 1 ? 3u : 5u) << mode;
        EXPECT_TRUE(s.states.C[0]) << mode;
        s.states.I[1] = true;
        s.scan(p, 100);
        EXPECT_EQ(s.values.counter[0], 0u) << mode;
        EXPECT_FALSE(s.states.C[0]) << mode;
    }
}

TEST(PlcEngine, ArithmeticBlocksClampAndRaiseTheirRelay) {
    PlcProgram p;
    rung(p, 0, 1);
    p.setBlockCoil(0, "AS", 1);
    rung(p, 1, 1);
    p.setBlockCoil(1, "MD", 1);
    // AS1 = 5 + 0 - 9 (below zero: 0 and relay M03); MD1 = 7 * 3 / V1 with V1 = 0.
    p.addSubBlocks[0] = {0x81, 0, 0, 0x05, 0, 0, 0, 0, 0, 0x09, 1, 3};
    p.mulDivBlocks[0] = {0x81, 0, 0, 0x07, 0, 0, 0x03, 0x40, 1, 0, 1, 4};
    PlcScanner s;
    s.states.I[0] = true;
    s.scan(p, 100);
    EXPECT_EQ(s.values.as[0], 0u);
    EXPECT_TRUE(s.states.M[2]);
    EXPECT_EQ(s.values.md[0], 0u);
    EXPECT_TRUE(s.states.M[3]);
    s.values.analog[0] = 7;
    s.scan(p, 100);
    EXPECT_EQ(s.values.md[0], 3u);
    EXPECT_FALSE(s.states.M[3]);
    s.states.I[0] = false;
    s.scan(p, 100);
    EXPECT_FALSE(s.states.M[2]);
}

TEST(PlcEngine, TimersFinerThanTheScanAreNamed) {
    PlcProgram p;
    p.setCoil(0, kCoilOutput, 'T', 2);
    p.setCoil(1, kCoilOutput, 'T', 3);
    p.timers[1][1] = 0x10;  // hundredths
    EXPECT_EQ(PlcScanner::TimersFinerThan(p, 400), (std::vector<std::string>{"T02", "T03"}));
    EXPECT_EQ(PlcScanner::TimersFinerThan(p, 50), (std::vector<std::string>{"T02"}));
}
