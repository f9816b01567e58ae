#include "plc/PlcSearch.h"

#include <cctype>

#include "res/Format.h"
#include "res/PlcLinkTexts.h"
#include "res/ProjectTexts.h"

namespace pv::plc {

namespace {

constexpr int kCoilPosition = 6;

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::string upperHex(std::string_view digits) {
    std::string out = digits.size() == 1 ? "0" : "";
    for (char c : digits) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The name as the user typed it, for the texts (trailing blanks of the padding dropped).
std::string shown(const std::string& name) {
    const auto end = name.find_last_not_of(' ');
    return end == std::string::npos ? name : name.substr(0, end + 1);
}

bool isBlockCoilName(const std::string& n) {
    return n.compare(0, 2, "AS") == 0 || n.compare(0, 2, "MD") == 0;
}

// Whether a contact cell can hold the name, and a coil.
bool contactTakes(const std::string& n) {
    return !isBlockCoilName(n);
}
bool coilTakes(const std::string& n) {
    if (isBlockCoilName(n)) return true;
    return std::string_view("QMTCGF").find(n[0]) != std::string_view::npos;
}

// Coil kinds that may stand only once in a program.
bool usedOnce(const std::string& n) {
    return isBlockCoilName(n) || std::string_view("TCGF").find(n[0]) != std::string_view::npos;
}

int numberOf(const std::string& n, int at) {
    return std::stoi(n.substr(at, 2), nullptr, 16);
}

// Another row's coil already carries the name.
bool coilUsedElsewhere(const PlcProgram& p, int exceptRow, const std::string& n) {
    for (int r = 0; r < kLadderRows; ++r) {
        if (r == exceptRow) continue;
        const Row& row = p.cellText[r];
        const bool block = isBlockCoilName(n);
        if (block ? (row[kCoilKindColumn] == n[0] && row[kCoilLetterColumn] == n[1] &&
                     row[kCoilNumberColumn] == n[2] && row[kCoilNumberColumn + 1] == n[3])
                  : (row[kCoilKindColumn] != 'A' && row[kCoilKindColumn] != 'M' &&
                     row[kCoilLetterColumn] == n[0] && row[kCoilNumberColumn] == n[1] &&
                     row[kCoilNumberColumn + 1] == n[2]))
            return true;
    }
    return false;
}

void writeContact(PlcProgram& p, int row, int cell, const std::string& n) {
    if (n[0] == ' ')
        p.clearCell(row, cell);
    else if (n[0] == '-')
        p.setWire(row, cell);
    else if (n[0] == 'D' || n[0] == 'd')
        p.setDifferential(row, cell, n[0] == 'd');
    else
        p.setContact(row, cell, n[0], numberOf(n, 1));
}

void writeCoil(PlcProgram& p, int row, const std::string& n) {
    if (isBlockCoilName(n)) {
        p.setBlockCoil(row, n.substr(0, 2), numberOf(n, 2));
        return;
    }
    // A Q or M coil keeps its Set, Reset or pulse kind; any other coil is a plain one.
    std::uint8_t kind = p.cellText[row][kCoilKindColumn];
    const bool outputCoil = n[0] == 'Q' || n[0] == 'M';
    const bool wasOutput = kind == kCoilSet || kind == kCoilReset || kind == kCoilPulse;
    if (!outputCoil || !wasOutput) kind = kCoilOutput;
    p.setCoil(row, kind, n[0], numberOf(n, 1));
}

}  // namespace

NormalizedName NormalizeElementName(std::string_view t) {
    const std::string typed(t);
    auto accept = [](std::string name) { return NormalizedName{std::move(name), {}}; };
    const NormalizedName refused{{}, std::string(res::kInputErrorHead) + typed + res::kInputErrorTail};
    if (t == "D" || t == "d") return accept(std::string(1, t[0]) + "00 ");
    if (t == "-") return accept("--- ");
    if (t == " ") return accept("    ");
    if (t.substr(0, 2) == "AS" || t.substr(0, 2) == "MD") {
        const std::string_view digits = t.substr(2);
        if (digits.empty() || digits.size() > 2 || !isHex(digits[0]) ||
            (digits.size() == 2 && !isHex(digits[1])))
            return refused;
        return accept(std::string(t.substr(0, 2)) + upperHex(digits));
    }
    if (t.empty()) return refused;
    constexpr std::string_view kLetters = "IiMmQqTtCcFfGg";
    if (kLetters.find(t[0]) == std::string_view::npos) {
        if (!std::isalpha(static_cast<unsigned char>(t[0]))) return refused;
        return NormalizedName{{}, res::Format(res::kTypeNotSupported, t[0])};
    }
    if (t.size() < 2 || t.size() > 3 || !isHex(t[1]) || (t.size() == 3 && !isHex(t[2])))
        return refused;
    return accept(std::string(1, t[0]) + upperHex(t.substr(1)) + " ");
}

bool CellMatches(const PlcProgram& p, const CellPlace& place, const std::string& n) {
    const int row = p.ladderRowOfDisplayLine(place.displayLine);
    if (row < 0) return false;
    const Row& r = p.cellText[row];
    auto same = [](std::uint8_t c, char want) {
        return (c == '\0' ? ' ' : static_cast<char>(c)) == want;
    };
    if (place.position < kCoilPosition) {
        const int col = cellColumn(place.position / 2);
        return same(r[col], n[0]) && same(r[col + 1], n[1]) && same(r[col + 2], n[2]);
    }
    if (isBlockCoilName(n))
        return same(r[kCoilKindColumn], n[0]) && same(r[kCoilLetterColumn], n[1]) &&
               same(r[kCoilNumberColumn], n[2]) && same(r[kCoilNumberColumn + 1], n[3]);
    // AS and MD coils hold their own letters in column 13 ('S', 'D'): no single-letter name
    // matches them.
    if (r[kCoilKindColumn] == 'A' || (r[kCoilKindColumn] == 'M' && r[kCoilLetterColumn] == 'D'))
        return false;
    return same(r[kCoilLetterColumn], n[0]) && same(r[kCoilNumberColumn], n[1]) &&
           same(r[kCoilNumberColumn + 1], n[2]);
}

std::optional<CellPlace> FindNext(const PlcProgram& p, const CellPlace& from,
                                  const std::string& name, bool down) {
    const int lines = static_cast<int>(p.displayLineCount);
    const int step = down ? 2 : -2;
    CellPlace at = from;
    at.position -= at.position % 2;  // a gap position starts from the cell to its left
    for (;;) {
        at.position += step;
        if (at.position > kCoilPosition || at.position < 0) {
            at.displayLine += down ? 1 : -1;
            at.position = down ? 0 : kCoilPosition;
        }
        if (at.displayLine < 0 || at.displayLine >= lines) return std::nullopt;
        if (p.commentFlags[at.displayLine] == 1) {
            at.position = down ? kCoilPosition : 0;  // the next step leaves the line
            continue;
        }
        if (CellMatches(p, at, name)) return at;
    }
}

std::optional<CellPlace> RunFindNext(const PlcProgram& p, const CellPlace& from,
                                     std::string_view typed, bool down, Prompts& prompts) {
    const NormalizedName n = NormalizeElementName(typed);
    if (!n.accepted()) {
        prompts.message(n.refusal);
        return std::nullopt;
    }
    const auto found = FindNext(p, from, n.name, down);
    if (!found)
        prompts.message(std::string(res::kSearchNotFoundHead) + std::string(typed) +
                        res::kSearchNotFoundTail);
    return found;
}

bool CoilsUsedOnce(const PlcProgram& program, Prompts& prompts) {
    const auto coil = program.CheckDoubleCoils();
    if (coil) prompts.error(res::Format(text::kCoilReused, coil->c_str()));
    return !coil;
}

int RunReplace(PlcProgram& p, std::string_view typedFind, std::string_view typedReplace,
               Prompts& prompts) {
    const NormalizedName from = NormalizeElementName(typedFind);
    const NormalizedName to = NormalizeElementName(typedReplace);
    for (const NormalizedName* n : {&from, &to})
        if (!n->accepted()) {
            prompts.message(n->refusal);
            return 0;
        }
    const std::string& a = from.name;
    const std::string& b = to.name;
    int changed = 0;
    // Start before the first cell of the first line.
    CellPlace at{0, -2};
    while (const auto found = FindNext(p, at, a, true)) {
        at = *found;
        const int row = p.ladderRowOfDisplayLine(at.displayLine);
        const bool coil = at.position == kCoilPosition;
        if (!(coil ? coilTakes(b) : contactTakes(b))) {
            if (!prompts.yesNo(res::Format(res::kCannotReplace, shown(a).c_str(), shown(b).c_str()))) break;
            continue;
        }
        const YesNoCancel answer = prompts.yesNoCancel(res::Format(res::kReplaceQuestion, shown(a).c_str(), shown(b).c_str()));
        if (answer == YesNoCancel::Cancel) break;
        if (answer == YesNoCancel::No) continue;
        if (coil && usedOnce(b) && coilUsedElsewhere(p, row, b)) {
            prompts.error(res::Format(text::kCoilReused, shown(b).c_str()));
            continue;
        }
        if (coil)
            writeCoil(p, row, b);
        else
            writeContact(p, row, at.position / 2, b);
        ++changed;
    }
    return changed;
}

}  // namespace pv::plc
