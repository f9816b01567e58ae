#include "plc/ProgramText.h"

#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "plc/BlockRecords.h"
#include "res/PlcTexts.h"

namespace pv {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::string hexBytes(const uint8_t* p, size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += kHex[p[i] >> 4];
        s += kHex[p[i] & 0xF];
    }
    return s;
}

bool parseHexBytes(std::string_view s, uint8_t* out, size_t n) {
    if (s.size() != 2 * n) return false;
    auto nib = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < n; ++i) {
        const int hi = nib(s[2 * i]), lo = nib(s[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    return true;
}

struct GapChar {
    uint8_t stored;
    char shown;
};
constexpr GapChar kGaps[] = {{kGapNone, ' '},     {' ', '_'},        {kGapWire, '-'},
                             {kGapLinkDown, 'v'}, {kGapLinkUp, '^'}, {kGapLinkThrough, '|'}};

std::optional<char> gapShown(uint8_t c) {
    for (const auto& g : kGaps)
        if (g.stored == c) return g.shown;
    return std::nullopt;
}
std::optional<uint8_t> gapStored(char c) {
    for (const auto& g : kGaps)
        if (g.shown == c) return g.stored;
    return std::nullopt;
}

bool hasUpLink(uint8_t c) {
    return c == kGapLinkUp || c == kGapLinkThrough;
}

// The link marks a row's gaps imply.
Row impliedMarks(const Row& text) {
    Row m{};
    for (int g = 0; g < kContactCells; ++g)
        if (hasUpLink(text[gapColumn(g)])) m[2 + 4 * g] = kLinkMark;
    return m;
}

bool isHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string coilToken(const Row& r) {
    const uint8_t kind = r[kCoilKindColumn], letter = r[kCoilLetterColumn];
    const uint8_t n1 = r[kCoilNumberColumn], n2 = r[kCoilNumberColumn + 1];
    if (kind == ' ' && letter == ' ' && n1 == ' ' && n2 == ' ') return {};
    const bool number = isHexDigit(n1) && isHexDigit(n2);
    const std::string tail{static_cast<char>(letter), static_cast<char>(n1), static_cast<char>(n2)};
    if (number && ((kind == 'A' && letter == 'S') || (kind == 'M' && letter == 'D')))
        return "[" + std::string(1, static_cast<char>(kind)) + tail;
    if (number && letter >= 'A' && letter <= 'Z') {
        if (kind == kCoilOutput) return "-[" + tail;
        if (kind == kCoilSet) return "S " + tail;
        if (kind == kCoilReset) return "R " + tail;
        if (kind == kCoilPulse) return "P " + tail;
    }
    return "#" + hexBytes(&r[kCoilKindColumn], 4);
}

bool parseCoil(std::string_view t, Row& r) {
    uint8_t* c = &r[kCoilKindColumn];
    if (t.empty()) {
        c[0] = c[1] = c[2] = c[3] = ' ';
        return true;
    }
    if (t[0] == '#') return parseHexBytes(t.substr(1), c, 4);
    if (t.size() != 5 || !isHexDigit(static_cast<uint8_t>(t[3])) ||
        !isHexDigit(static_cast<uint8_t>(t[4])))
        return false;
    const std::string_view head = t.substr(0, 2);
    if (head == "[A" || head == "[M") {
        if ((t[1] == 'A' && t[2] != 'S') || (t[1] == 'M' && t[2] != 'D')) return false;
        c[0] = static_cast<uint8_t>(t[1]);
    } else if (head == "-[") {
        c[0] = kCoilOutput;
    } else if (head == "S ") {
        c[0] = kCoilSet;
    } else if (head == "R ") {
        c[0] = kCoilReset;
    } else if (head == "P ") {
        c[0] = kCoilPulse;
    } else {
        return false;
    }
    if (c[0] != 'A' && c[0] != 'M' && (t[2] < 'A' || t[2] > 'Z')) return false;
    c[1] = static_cast<uint8_t>(t[2]);
    c[2] = static_cast<uint8_t>(t[3]);
    c[3] = static_cast<uint8_t>(t[4]);
    return true;
}

// A row in its listed form, or nullopt when a cell holds a byte the form cannot show.
std::optional<std::string> rowText(const Row& r) {
    std::string s;
    for (int c = 0; c < kContactCells; ++c) {
        for (int i = 0; i < 3; ++i) {
            const uint8_t b = r[cellColumn(c) + i];
            if (b == '\0')
                s += '.';
            else if (b >= 0x20 && b < 0x7F && b != '.' && b != '=')
                s += static_cast<char>(b);
            else
                return std::nullopt;
        }
        const auto g = gapShown(r[gapColumn(c)]);
        if (!g) return std::nullopt;
        s += *g;
    }
    return s;
}

// --- blocks ---------------------------------------------------------------------------------

using Fields = std::map<std::string, std::string>;

std::string fieldsLine(const std::string& name,
                       const std::vector<std::pair<const char*, std::string>>& f) {
    std::string s = name;
    for (const auto& [k, v] : f) s += std::string(" ") + k + "=" + v;
    return s;
}

std::string timerLine(int n, const TimerRecord& r) {
    const std::string name = ElementName("T", n);
    const auto s = ReadTimer(r);
    TimerRecord again = r;
    if (s) WriteTimer(again, *s);
    if (!s || again != r) return name + " raw=" + hexBytes(r.data(), r.size());
    return fieldsLine(name, {{"mode", std::to_string(s->mode)},
                             {"base", std::to_string(s->timeBase)},
                             {"preset", ValueText(s->preset, 4)},
                             {"reset", InputText(s->reset)},
                             {"base2", std::to_string(s->timeBase2)},
                             {"preset2", ValueText(s->preset2, 4)}});
}

std::string counterLine(int n, const CounterRecord& r) {
    const std::string name = ElementName("C", n);
    const auto s = ReadCounter(r);
    CounterRecord again = r;
    if (s) WriteCounter(again, *s);
    if (!s || again != r) return name + " raw=" + hexBytes(r.data(), r.size());
    return fieldsLine(name, {{"mode", std::to_string(s->mode)},
                             {"preset", ValueText(s->preset, 6)},
                             {"dir", InputText(s->direction)},
                             {"reset", InputText(s->reset)}});
}

std::string comparatorLine(int n, const BlockRecord& r) {
    const std::string name = ElementName("G", n);
    const auto s = ReadComparator(r);
    BlockRecord again = r;
    if (s) WriteComparator(again, *s);
    if (!s || again != r) return name + " raw=" + hexBytes(r.data(), r.size());
    return fieldsLine(name, {{"mode", std::to_string(s->mode)},
                             {"value", ValueText(s->value, 6)},
                             {"upper", ValueText(s->upper, 6)},
                             {"lower", ValueText(s->lower, 6)}});
}

std::string driveLine(int n, const BlockRecord& r) {
    const std::string name = ElementName("F", n);
    const auto s = ReadDriveBlock(r);
    BlockRecord again = r;
    if (s) WriteDriveBlock(again, *s);
    if (!s || again != r) return name + " raw=" + hexBytes(r.data(), r.size());
    return fieldsLine(name, {{"set", ValueText(s->setFreq, 6)},
                             {"seg", ValueText(s->segFreq, 6)},
                             {"acc", ValueText(s->accTime, 6)},
                             {"dec", ValueText(s->decTime, 6)},
                             {"fwd", InputText(s->fwdRev)},
                             {"term", InputText(s->terminal)}});
}

std::string arithLine(const char* kind, int n, const BlockRecord& r) {
    const std::string name = ElementName(kind, n);
    const auto s = ReadArith(r);
    BlockRecord again = r;
    if (s) WriteArith(again, *s);
    if (!s || again != r) return name + " raw=" + hexBytes(r.data(), r.size());
    return fieldsLine(name, {{"v1", ValueText(s->values[0], 6)},
                             {"v2", ValueText(s->values[1], 6)},
                             {"v3", ValueText(s->values[2], 6)},
                             {"out", std::to_string(s->outputRelay)}});
}

bool takeInt(const Fields& f, const char* key, int& out, int lo, int hi) {
    const auto it = f.find(key);
    if (it == f.end()) return true;
    try {
        size_t used = 0;
        const int v = std::stoi(it->second, &used);
        if (used != it->second.size() || v < lo || v > hi) return false;
        out = v;
        return true;
    } catch (...) {
        return false;
    }
}
bool takeValue(const Fields& f, const char* key, BlockValue& out) {
    const auto it = f.find(key);
    if (it == f.end()) return true;
    const auto v = ParseValueText(it->second);
    if (!v) return false;
    out = *v;
    return true;
}
bool takeInput(const Fields& f, const char* key, InputRef& out) {
    const auto it = f.find(key);
    if (it == f.end()) return true;
    const auto v = ParseInputText(it->second);
    if (!v) return false;
    out = *v;
    return true;
}

template <typename Rec>
bool takeRaw(const Fields& f, Rec& r, bool& done) {
    const auto it = f.find("raw");
    done = it != f.end();
    return !done || parseHexBytes(it->second, r.data(), r.size());
}

// Applies one block line's fields to the program; false when the line is not understood.
bool applyBlock(std::string_view name, const Fields& f, PlcProgram& p) {
    auto number = [&](size_t prefix, int count) -> int {
        const std::string_view digits = name.substr(prefix);
        if (digits.size() != 2) return 0;
        int n = 0;
        for (char c : digits) {
            const auto pos = std::string_view(kHex).find(c);
            if (pos == std::string_view::npos) return 0;
            n = n * 16 + static_cast<int>(pos);
        }
        return n >= 1 && n <= count ? n : 0;
    };
    bool raw = false;
    if (name.starts_with("AS") || name.starts_with("MD")) {
        const bool as = name.starts_with("AS");
        const int n = number(2, as ? kAddSubCount : kMulDivCount);
        if (!n) return false;
        BlockRecord& r = as ? p.addSubBlocks[n - 1] : p.mulDivBlocks[n - 1];
        if (!takeRaw(f, r, raw)) return false;
        if (raw) return true;
        ArithSettings s = ReadArith(r).value_or(ArithSettings{});
        if (!takeValue(f, "v1", s.values[0]) || !takeValue(f, "v2", s.values[1]) ||
            !takeValue(f, "v3", s.values[2]) || !takeInt(f, "out", s.outputRelay, 0, 15))
            return false;
        WriteArith(r, s);
        return true;
    }
    if (name.size() != 3) return false;
    switch (name[0]) {
        case 'T': {
            const int n = number(1, kTimerCount);
            if (!n) return false;
            TimerRecord& r = p.timers[n - 1];
            if (!takeRaw(f, r, raw)) return false;
            if (raw) return true;
            TimerSettings s = ReadTimer(r).value_or(TimerSettings{});
            return takeInt(f, "mode", s.mode, 1, 7) && takeInt(f, "base", s.timeBase, 0, 15) &&
                   takeValue(f, "preset", s.preset) && takeInput(f, "reset", s.reset) &&
                   takeInt(f, "base2", s.timeBase2, 0, 15) && takeValue(f, "preset2", s.preset2) &&
                   (WriteTimer(r, s), true);
        }
        case 'C': {
            const int n = number(1, kCounterCount);
            if (!n) return false;
            CounterRecord& r = p.counters[n - 1];
            if (!takeRaw(f, r, raw)) return false;
            if (raw) return true;
            CounterSettings s = ReadCounter(r).value_or(CounterSettings{});
            return takeInt(f, "mode", s.mode, 1, 4) && takeValue(f, "preset", s.preset) &&
                   takeInput(f, "dir", s.direction) && takeInput(f, "reset", s.reset) &&
                   (WriteCounter(r, s), true);
        }
        case 'G': {
            const int n = number(1, kComparatorCount);
            if (!n) return false;
            BlockRecord& r = p.comparators[n - 1];
            if (!takeRaw(f, r, raw)) return false;
            if (raw) return true;
            ComparatorSettings s = ReadComparator(r).value_or(ComparatorSettings{});
            return takeInt(f, "mode", s.mode, 1, 3) && takeValue(f, "value", s.value) &&
                   takeValue(f, "upper", s.upper) && takeValue(f, "lower", s.lower) &&
                   (WriteComparator(r, s), true);
        }
        case 'F': {
            const int n = number(1, kDriveBlockCount);
            if (!n) return false;
            BlockRecord& r = p.driveBlocks[n - 1];
            if (!takeRaw(f, r, raw)) return false;
            if (raw) return true;
            DriveBlockSettings s = ReadDriveBlock(r).value_or(DriveBlockSettings{});
            return takeValue(f, "set", s.setFreq) && takeValue(f, "seg", s.segFreq) &&
                   takeValue(f, "acc", s.accTime) && takeValue(f, "dec", s.decTime) &&
                   takeInput(f, "fwd", s.fwdRev) && takeInput(f, "term", s.terminal) &&
                   (WriteDriveBlock(r, s), true);
        }
        default:
            return false;
    }
}

std::string format(const char* f, const std::string& a) {
    char buf[256];
    std::snprintf(buf, sizeof buf, f, a.c_str());
    return buf;
}

}  // namespace

std::string ProgramToText(const PlcProgram& p) {
    std::string out;
    int row = 0;
    for (int d = 0; d < static_cast<int>(p.displayLineCount) && d < kMaxDisplayLines; ++d) {
        if (p.commentFlags[d] == 1) {
            int last = 0;
            for (int t = 0; t < kCommentTextLines; ++t)
                if (!p.commentText(d, t).empty()) last = t;
            for (int t = 0; t <= last; ++t) {
                const std::string text = p.commentText(d, t);
                out += t == 0 ? "     //" : "     //+";
                if (!text.empty()) out += " " + text;
                out += '\n';
            }
            continue;
        }
        if (row >= kLadderRows) break;
        const Row& r = p.cellText[row];
        char num[8];
        std::snprintf(num, sizeof num, "%03d  ", row);
        const auto cells = rowText(r);
        if (!cells) {
            out += num + std::string("=") + hexBytes(r.data(), kRowWidth) + " !" +
                   hexBytes(p.linkMarks[row].data(), kRowWidth) + "\n";
            ++row;
            continue;
        }
        std::string line = *cells + coilToken(r);
        if (p.linkMarks[row] != impliedMarks(r)) {
            line.resize(12 + 9, ' ');
            line += "!" + hexBytes(p.linkMarks[row].data(), kRowWidth);
        }
        line = num + line;
        while (line.back() == ' ') line.pop_back();
        out += line + '\n';
        ++row;
    }
    for (int n = 1; n <= kTimerCount; ++n)
        if (p.used.timers[n - 1]) out += timerLine(n, p.timers[n - 1]) + '\n';
    for (int n = 1; n <= kCounterCount; ++n)
        if (p.used.counters[n - 1]) out += counterLine(n, p.counters[n - 1]) + '\n';
    for (int n = 1; n <= kComparatorCount; ++n)
        if (p.used.comparators[n - 1]) out += comparatorLine(n, p.comparators[n - 1]) + '\n';
    for (int n = 1; n <= kDriveBlockCount; ++n)
        if (p.used.driveBlocks[n - 1]) out += driveLine(n, p.driveBlocks[n - 1]) + '\n';
    for (int n = 1; n <= kAddSubCount; ++n)
        if (p.used.addSub[n - 1]) out += arithLine("AS", n, p.addSubBlocks[n - 1]) + '\n';
    for (int n = 1; n <= kMulDivCount; ++n)
        if (p.used.mulDiv[n - 1]) out += arithLine("MD", n, p.mulDivBlocks[n - 1]) + '\n';
    for (const auto& g : p.symbols) {
        out += "symbols " + std::to_string(g.type) + '\n';
        for (const auto& e : g.entries)
            out += "symbol " + std::to_string(e.key) + " " + e.text + '\n';
    }
    return out;
}

bool ProgramFromText(std::string_view text, PlcProgram& program, std::string& error) {
    PlcProgram p = program;
    struct Line {
        bool comment;
        Row text{}, marks{};
        CommentLine texts{};
        int textsGiven = 0;
    };
    std::vector<Line> lines;
    int nextRow = 0, lineNo = 0;
    p.symbols.clear();
    auto blankRow = [] {
        Line l{false};
        l.text.fill(' ');
        for (int g = 0; g < kContactCells; ++g) l.text[gapColumn(g)] = kGapNone;
        return l;
    };
    auto fail = [&](const std::string& what) {
        char buf[320];
        std::snprintf(buf, sizeof buf, text::kTextLineError, lineNo, what.c_str());
        error = buf;
        return false;
    };
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view s = text.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        size_t lead = s.find_first_not_of(' ');
        if (lead == std::string_view::npos || s[lead] == '#') {
            if (end == text.size()) break;
            continue;
        }
        const std::string_view body = s.substr(lead);
        if (body.starts_with("//")) {
            const bool more = body.starts_with("//+");
            std::string_view t = body.substr(more ? 3 : 2);
            if (!t.empty() && t[0] == ' ') t.remove_prefix(1);
            if (t.size() > kCommentMaxChars) t = t.substr(0, kCommentMaxChars);
            Line* target = nullptr;
            if (more) {
                if (lines.empty() || !lines.back().comment ||
                    lines.back().textsGiven >= kCommentTextLines)
                    return fail(text::kTextUnknownLine);
                target = &lines.back();
            } else {
                lines.push_back(Line{true});
                target = &lines.back();
            }
            const int slot = target->textsGiven++;
            std::copy(t.begin(), t.end(), target->texts[slot].begin());
            continue;
        }
        if (s.size() >= 3 && isdigit(static_cast<unsigned char>(s[0])) &&
            isdigit(static_cast<unsigned char>(s[1])) &&
            isdigit(static_cast<unsigned char>(s[2]))) {
            const int row = (s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0');
            if (row < nextRow || row >= kLadderRows) return fail(text::kTextBadRowNumber);
            if (s.size() > 3 && s.substr(3, 2) != "  ") return fail(text::kTextBadRow);
            while (nextRow < row) lines.push_back(blankRow()), ++nextRow;
            Line l{false};
            std::string_view rest = s.size() > 5 ? s.substr(5) : std::string_view{};
            if (rest.starts_with("=")) {
                const size_t bang = rest.find(" !");
                if (bang == std::string_view::npos ||
                    !parseHexBytes(rest.substr(1, bang - 1), l.text.data(), kRowWidth) ||
                    !parseHexBytes(rest.substr(bang + 2), l.marks.data(), kRowWidth))
                    return fail(text::kTextBadHex);
            } else {
                std::string cells(rest.substr(0, 12));
                cells.resize(12, ' ');
                for (int c = 0; c < kContactCells; ++c) {
                    for (int i = 0; i < 3; ++i) {
                        const char ch = cells[4 * c + i];
                        l.text[cellColumn(c) + i] = ch == '.' ? 0 : static_cast<uint8_t>(ch);
                    }
                    const auto g = gapStored(cells[4 * c + 3]);
                    if (!g) {
                        char what[96];
                        std::snprintf(what, sizeof what, text::kTextBadGap, cells[4 * c + 3]);
                        return fail(what);
                    }
                    l.text[gapColumn(c)] = *g;
                }
                std::string_view tail = rest.size() > 12 ? rest.substr(12) : std::string_view{};
                // The coil may stand further right than the cells end (hand-aligned text).
                while (!tail.empty() && tail[0] == ' ') tail.remove_prefix(1);
                std::string_view coil;
                if (!tail.empty() && tail[0] == '#') {
                    coil = tail.substr(0, 9);
                    tail.remove_prefix(coil.size());
                } else if (!tail.empty() && tail[0] != '!') {
                    coil = tail.substr(0, 5);
                    tail.remove_prefix(coil.size());
                }
                if (!parseCoil(coil, l.text))
                    return fail(format(text::kTextBadCoil, std::string(coil)));
                const size_t more = tail.find_first_not_of(' ');
                if (more == std::string_view::npos) {
                    l.marks = impliedMarks(l.text);
                } else if (tail[more] != '!' ||
                           !parseHexBytes(tail.substr(more + 1), l.marks.data(), kRowWidth)) {
                    return fail(text::kTextBadHex);
                }
            }
            lines.push_back(l);
            ++nextRow;
            continue;
        }
        // Block and symbol lines: a name followed by words.
        std::vector<std::string_view> words;
        for (size_t i = 0; i < body.size();) {
            const size_t j = body.find(' ', i);
            const size_t e = j == std::string_view::npos ? body.size() : j;
            if (e > i) words.push_back(body.substr(i, e - i));
            i = e + 1;
        }
        if (words[0] == "symbols") {
            if (words.size() != 2) return fail(text::kTextUnknownLine);
            CElemNote g;
            try {
                g.type = std::stoi(std::string(words[1]));
            } catch (...) {
                return fail(text::kTextUnknownLine);
            }
            p.symbols.push_back(g);
            continue;
        }
        if (words[0] == "symbol") {
            if (words.size() < 2 || p.symbols.empty()) return fail(text::kTextUnknownLine);
            CElemNote::Entry e;
            try {
                e.key = std::stoi(std::string(words[1]));
            } catch (...) {
                return fail(text::kTextUnknownLine);
            }
            const size_t keyEnd = body.find(words[1]) + words[1].size();
            if (keyEnd < body.size()) e.text = std::string(body.substr(keyEnd + 1));
            if (e.text.size() > kSymbolTextSize - 1) e.text.resize(kSymbolTextSize - 1);
            p.symbols.back().entries.push_back(std::move(e));
            continue;
        }
        Fields f;
        for (size_t i = 1; i < words.size(); ++i) {
            const size_t eq = words[i].find('=');
            if (eq == std::string_view::npos)
                return fail(format(text::kTextBadBlock, std::string(words[i])));
            f[std::string(words[i].substr(0, eq))] = std::string(words[i].substr(eq + 1));
        }
        if (!applyBlock(words[0], f, p))
            return fail(format(text::kTextBadBlock, std::string(body)));
    }
    while (nextRow < kLadderRows) lines.push_back(blankRow()), ++nextRow;
    int comments = 0;
    for (const auto& l : lines) comments += l.comment ? 1 : 0;
    if (comments > kMaxCommentLines) return fail(text::kTextTooManyComments);

    p.commentFlags.fill(0);
    for (auto& c : p.comments)
        for (auto& slot : c) slot.fill('\0');
    int row = 0;
    for (size_t d = 0; d < lines.size(); ++d) {
        if (lines[d].comment) {
            p.commentFlags[d] = 1;
            p.comments[d] = lines[d].texts;
        } else {
            p.cellText[row] = lines[d].text;
            p.linkMarks[row] = lines[d].marks;
            ++row;
        }
    }
    p.commentCount = static_cast<uint32_t>(comments);
    p.displayLineCount = static_cast<uint32_t>(kLadderRows + comments);
    p.computeUsedBlocks();
    program = std::move(p);
    return true;
}

}  // namespace pv
