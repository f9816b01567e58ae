#include "plc/PlcEngine.h"

#include <algorithm>

#include "plc/BlockRecords.h"

namespace pv::plc {

namespace {

constexpr std::uint32_t kMaxValue = 65535;

template <std::size_t N>
bool flag(const std::array<bool, N>& a, int n) {
    return n >= 1 && n <= static_cast<int>(N) && a[n - 1];
}

template <std::size_t N>
void setFlag(std::array<bool, N>& a, int n, bool on) {
    if (n >= 1 && n <= static_cast<int>(N)) a[n - 1] = on;
}

void bitsToFlags(std::uint8_t byte, bool* flags, int count) {
    for (int k = 0; k < count; ++k) flags[k] = byte >> k & 1;
}

std::uint8_t flagsToBits(const bool* flags, int count) {
    std::uint8_t b = 0;
    for (int k = 0; k < count; ++k)
        if (flags[k]) b |= static_cast<std::uint8_t>(1 << k);
    return b;
}

bool isLinkDown(std::uint8_t gap) {
    return gap == kGapLinkDown || gap == kGapLinkThrough;
}

bool blank(std::uint8_t c) {
    return c == ' ' || c == '\0';
}

// Whether the contact wired to a block input conducts; false when no input is connected.
bool inputOn(const ElementStates& s, const InputRef& in) {
    return in.connected() && ContactConducts(s, in.letter, in.number);
}

}  // namespace

ElementStates StatesFromRegisters(const StateRegisters& r) {
    ElementStates s;
    bitsToFlags(static_cast<std::uint8_t>(r[0] >> 8), s.I.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[1] >> 8), s.T.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[2] >> 8), s.C.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[3] >> 8), s.M.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[3] & 0xFF), s.M.data() + 8, 7);
    bitsToFlags(static_cast<std::uint8_t>(r[4] >> 8), s.F.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[5] >> 8), s.G.data(), 8);
    bitsToFlags(static_cast<std::uint8_t>(r[6] >> 8), s.Q.data(), 3);
    return s;
}

StateRegisters RegistersFromStates(const ElementStates& s) {
    auto high = [](std::uint8_t b) { return static_cast<std::uint16_t>(b << 8); };
    return {high(flagsToBits(s.I.data(), 8)),
            high(flagsToBits(s.T.data(), 8)),
            high(flagsToBits(s.C.data(), 8)),
            static_cast<std::uint16_t>(high(flagsToBits(s.M.data(), 8)) |
                                       flagsToBits(s.M.data() + 8, 7)),
            high(flagsToBits(s.F.data(), 8)),
            high(flagsToBits(s.G.data(), 8)),
            high(flagsToBits(s.Q.data(), 3))};
}

bool ContactConducts(const ElementStates& s, char letter, int n) {
    const bool inverted = letter >= 'a' && letter <= 'z';
    bool on = false;
    switch (inverted ? static_cast<char>(letter - 'a' + 'A') : letter) {
        case 'I': on = flag(s.I, n); break;
        case 'Q': on = flag(s.Q, n); break;
        case 'M': on = flag(s.M, n); break;
        case 'T': on = flag(s.T, n); break;
        case 'C': on = flag(s.C, n); break;
        case 'G': on = flag(s.G, n); break;
        case 'F': on = flag(s.F, n); break;
        default: return false;
    }
    return on != inverted;
}

// ---------------------------------------------------------------------------------------------
// Power flow

void PowerFlow::reset() {
    *this = PowerFlow{};
}

void PowerFlow::evaluate(const PlcProgram& program, const ElementStates& states) {
    prevIn_ = in_;
    std::array<bool, kLadderRows> feed;
    feed.fill(true);  // the left rail
    for (int c = 0; c < kContactCells; ++c) {
        std::array<bool, kLadderRows> gapPower{};
        for (int r = 0; r < kLadderRows; ++r) {
            const Row& row = program.cellText[r];
            const std::uint8_t* cell = &row[cellColumn(c)];
            in_[r][c] = feed[r];
            bool conducts = false;
            if (cell[0] == '-') {
                conducts = true;
            } else if (cell[0] == 'D' || cell[0] == 'd') {
                const bool rising = feed[r] && !prevIn_[r][c];
                const bool falling = !feed[r] && prevIn_[r][c];
                // d passes power for the one evaluation in which the power reaching it went off.
                conducts = cell[0] == 'D' ? rising : falling;
                out_[r][c] = conducts;
                gapPower[r] = conducts && !blank(row[gapColumn(c)]);
                continue;
            } else if (!blank(cell[0])) {
                conducts = ContactConducts(states, static_cast<char>(cell[0]), ElementNumberAt(cell + 1));
            }
            out_[r][c] = feed[r] && conducts;
            gapPower[r] = out_[r][c] && !blank(row[gapColumn(c)]);
        }
        // Rows joined by vertical links in this gap share their power.
        for (int r = 0; r < kLadderRows;) {
            int last = r;
            while (last + 1 < kLadderRows && isLinkDown(program.cellText[last][gapColumn(c)])) ++last;
            bool any = false;
            for (int k = r; k <= last; ++k) any = any || gapPower[k];
            for (int k = r; k <= last; ++k) feed[k] = last > r ? any : gapPower[k];
            r = last + 1;
        }
    }
    for (int r = 0; r < kLadderRows; ++r) coil_[r] = feed[r] && !blank(program.cellText[r][kCoilLetterColumn]);
}

// ---------------------------------------------------------------------------------------------
// Blocks

int TimerBaseMs(int base) {
    switch (base) {
        case 0: return 10;
        case 1: return 100;
        default: return 1000;
    }
}

void PlcScanner::reset() {
    *this = PlcScanner{};
}

std::uint32_t PlcScanner::valueOf(const BlockValue& v) const {
    using K = BlockValue::Kind;
    const int i = v.number - 1;
    auto at = [i](const auto& values) -> std::uint32_t {
        return i >= 0 && i < static_cast<int>(values.size()) ? values[i] : 0;
    };
    switch (v.kind) {
        case K::Constant: return v.constant;
        case K::Timer: return at(values.timer);
        case K::Counter: return at(values.counter);
        case K::Analog: return at(values.analog);
        case K::AddSub: return at(values.as);
        case K::MulDiv: return at(values.md);
    }
    return 0;
}

void PlcScanner::runTimer(const PlcProgram& program, int n, bool power, int elapsedMs) {
    const int i = n - 1;
    const TimerSettings ts = ReadTimer(program.timers[i]).value_or(TimerSettings{});
    const int mode = ts.mode;
    const int baseMs = TimerBaseMs(ts.timeBase);
    const std::uint32_t preset = valueOf(ts.preset);
    const bool resetInput = TimerSettings::usesReset(mode) && inputOn(states, ts.reset);
    const bool rising = power && !timerPrevPower_[i];
    const bool falling = !power && timerPrevPower_[i];
    timerPrevPower_[i] = power;
    std::uint32_t& t = values.timer[i];
    bool on = states.T[i];

    // Time advances in the timer's own base; what is left of a base unit carries to the next scan.
    auto advance = [&](int ms, int unitMs) {
        const int total = timerRemainderMs_[i] + ms;
        t = std::min<std::uint32_t>(t + static_cast<std::uint32_t>(total / unitMs), kMaxValue);
        timerRemainderMs_[i] = total % unitMs;
    };
    auto restart = [&] {
        t = 0;
        timerRemainderMs_[i] = 0;
    };

    switch (mode) {
        case 1:  // on-delay: on once powered for the preset, cleared when the power goes
            if (power) {
                advance(elapsedMs, baseMs);
                on = t >= preset;
            } else {
                restart();
                on = false;
            }
            break;
        case 2:  // on-delay that keeps its time without power until the reset input
            if (power) advance(elapsedMs, baseMs);
            on = t >= preset;
            break;
        case 3:  // off-delay: on with the power, off the preset after it went
            if (power) {
                restart();
                on = true;
            } else if (on) {
                advance(elapsedMs, baseMs);
                if (t >= preset) on = false;
            }
            break;
        case 4:  // off-delay 2: a pulse of the preset's length when the power goes
            if (falling) {
                restart();
                timerLatched_[i] = true;
            }
            if (timerLatched_[i] && !power) {
                advance(elapsedMs, baseMs);
                on = t < preset;
                if (!on) timerLatched_[i] = false;
            } else {
                on = false;
            }
            break;
        case 5:  // flash: on and off for the preset each while powered
        case 6:  // flash that goes on after the power, until the reset input
        case 7: {  // flash with its own on time (preset) and off time (second preset)
            if (rising) timerLatched_[i] = true;
            const bool running = mode == 6 ? timerLatched_[i] : power;
            if (!running) {
                restart();
                flashMs_[i] = 0;
                on = false;
                break;
            }
            if (rising) flashMs_[i] = 0;
            std::uint32_t offTime = preset;
            int offBaseMs = baseMs;
            if (mode == 7) {
                offTime = valueOf(ts.preset2);
                offBaseMs = TimerBaseMs(ts.timeBase2);
            }
            // Count in milliseconds across both halves so the two bases may differ.
            const std::uint64_t onMs = std::uint64_t{preset} * baseMs;
            const std::uint64_t period = onMs + std::uint64_t{offTime} * offBaseMs;
            if (period == 0) {
                on = true;
                break;
            }
            // The scan sees the phase its period has reached, then time moves on: the first
            // scan after the power came is in the on half.
            on = flashMs_[i] < onMs;
            // The current value is the time into the present half, in that half's base.
            t = static_cast<std::uint32_t>(on ? flashMs_[i] / baseMs : (flashMs_[i] - onMs) / offBaseMs);
            flashMs_[i] = (flashMs_[i] + static_cast<std::uint64_t>(elapsedMs)) % period;
            break;
        }
        default:
            on = false;
    }
    if (resetInput) {
        restart();
        timerLatched_[i] = false;
        on = false;
    }
    states.T[i] = on;
}

void PlcScanner::runCounter(const PlcProgram& program, int n, bool power) {
    const int i = n - 1;
    const CounterSettings cs = ReadCounter(program.counters[i]).value_or(CounterSettings{});
    const int mode = cs.mode;
    const std::uint32_t preset = valueOf(cs.preset);
    const bool down = inputOn(states, cs.direction);
    const bool resetInput = inputOn(states, cs.reset);
    const bool rising = power && !counterPrevPower_[i];
    counterPrevPower_[i] = power;
    std::uint32_t& c = values.counter[i];
    const bool overtaking = mode == 2 || mode == 4;
    if (resetInput) {
        c = down ? preset : 0;
        states.C[i] = false;
        return;
    }
    if (rising) {
        if (down) {
            if (c > 0) --c;
        } else if (overtaking ? c < kMaxValue : c < preset) {
            ++c;
        }
    }
    states.C[i] = down ? c == 0 : c >= preset;
}

void PlcScanner::scan(const PlcProgram& program, int elapsedMs) {
    flow_.evaluate(program, states);
    for (int r = 0; r < kLadderRows; ++r) {
        const Row& row = program.cellText[r];
        if (blank(row[kCoilLetterColumn])) continue;
        const bool power = flow_.coilOn(r);
        const bool rising = power && !prevCoil_[r];
        prevCoil_[r] = power;
        const int n = ElementNumberAt(&row[kCoilNumberColumn]);
        const std::uint8_t kind = row[kCoilKindColumn];
        const char letter = static_cast<char>(row[kCoilLetterColumn]);
        const bool addSub = kind == 'A' && letter == 'S';
        if ((addSub || (kind == 'M' && letter == 'D')) && n >= 1 && n <= 4) {
            const BlockRecord& rec = addSub ? program.addSubBlocks[n - 1] : program.mulDivBlocks[n - 1];
            const ArithSettings a = ReadArith(rec).value_or(ArithSettings{});
            auto& result = addSub ? values.as[n - 1] : values.md[n - 1];
            auto& contact = addSub ? states.AS[n - 1] : states.MD[n - 1];
            contact = power;
            if (!power) {
                if (a.outputRelay) setFlag(states.M, a.outputRelay, false);
                continue;
            }
            const std::int64_t v1 = valueOf(a.values[0]), v2 = valueOf(a.values[1]),
                               v3 = valueOf(a.values[2]);
            // AS raises its relay when the result leaves 0..65535, MD also on a division by 0.
            bool relay = !addSub && v3 == 0;
            std::int64_t v = addSub ? v1 + v2 - v3 : relay ? 0 : v1 * v2 / v3;
            if (v < 0 || v > kMaxValue) relay = true;
            result = static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, kMaxValue));
            if (a.outputRelay) setFlag(states.M, a.outputRelay, relay);
            continue;
        }
        switch (letter) {
            case 'Q':
            case 'M': {
                auto& target = letter == 'Q' ? states.Q : states.M;
                if (kind == kCoilSet) {
                    if (power) setFlag(target, n, true);
                } else if (kind == kCoilReset) {
                    if (power) setFlag(target, n, false);
                } else if (kind == kCoilOutput) {
                    setFlag(target, n, power);
                } else {
                    setFlag(target, n, rising);  // pulse: on for the one scan of the rising edge
                }
                break;
            }
            case 'T':
                if (n >= 1 && n <= 8) runTimer(program, n, power, elapsedMs);
                break;
            case 'C':
                if (n >= 1 && n <= 8) runCounter(program, n, power);
                break;
            case 'G':
                if (n >= 1 && n <= 8) {
                    const ComparatorSettings g =
                        ReadComparator(program.comparators[n - 1]).value_or(ComparatorSettings{});
                    const std::uint32_t v = valueOf(g.value);
                    const std::uint32_t upper = valueOf(g.upper), lower = valueOf(g.lower);
                    bool on = false;
                    switch (g.mode) {
                        case 1: on = v <= lower; break;
                        case 2: on = v >= upper; break;
                        case 3: on = lower <= v && v <= upper; break;
                        default: break;
                    }
                    states.G[n - 1] = power && on;
                }
                break;
            case 'F':
                setFlag(states.F, n, power);
                break;
            default:
                break;
        }
    }
}

std::vector<std::string> PlcScanner::TimersFinerThan(const PlcProgram& program, int scanMs) {
    PlcProgram p = program;
    p.computeUsedBlocks();
    std::vector<std::string> names;
    for (int i = 0; i < kTimerCount; ++i) {
        if (!p.used.timers[i]) continue;
        const TimerSettings t = ReadTimer(p.timers[i]).value_or(TimerSettings{});
        const bool fine = TimerBaseMs(t.timeBase) < scanMs ||
                          (t.mode == 7 && TimerBaseMs(t.timeBase2) < scanMs);
        if (fine) names.push_back(ElementName("T", i + 1));
    }
    return names;
}

}  // namespace pv::plc
