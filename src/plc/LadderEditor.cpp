#include "plc/LadderEditor.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "res/PlcTexts.h"

namespace pv {

namespace {

bool isBlank(uint8_t c) {
    return c == ' ' || c == '\0';
}
bool hasUp(uint8_t gap) {
    return gap == kGapLinkUp || gap == kGapLinkThrough;
}
bool hasDown(uint8_t gap) {
    return gap == kGapLinkDown || gap == kGapLinkThrough;
}
bool cellEmpty(const Row& row, int cell) {
    for (int i = 0; i < 3; ++i)
        if (!isBlank(row[cellColumn(cell) + i])) return false;
    return true;
}
bool coilEmpty(const Row& row) {
    for (int i = kCoilKindColumn; i < kRowWidth; ++i)
        if (!isBlank(row[i])) return false;
    return true;
}

DisplayLine blankLadderLine() {
    DisplayLine l;
    l.text.fill(' ');
    for (int g = 0; g < kContactCells; ++g) l.text[gapColumn(g)] = kGapNone;
    return l;
}

}  // namespace

std::vector<ElementUse> UsedElements(const PlcProgram& program) {
    std::vector<ElementUse> use = {{"I", 8, 0}, {"Q", 2, 0}, {"M", 15, 0}, {"T", 8, 0}, {"C", 8, 0},
                                   {"G", 8, 0}, {"F", 8, 0}, {"AS", 4, 0}, {"MD", 4, 0}};
    auto mark = [&use](std::string_view kind, int hi, int lo) {
        auto hex = [](int c) {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            return -1;
        };
        const int a = hex(hi), b = hex(lo);
        if (a < 0 || b < 0) return;
        const int n = a * 16 + b;
        for (auto& u : use)
            if (kind == u.kind && n >= 1 && n <= u.count) u.used |= uint16_t(1u << (n - 1));
    };
    for (int r = 0; r < kLadderRows; ++r) {
        const Row& t = program.cellText[r];
        for (int c = 0; c < kContactCells; ++c) {
            const char letter = char(std::toupper(t[cellColumn(c)]));
            mark(std::string_view(&letter, 1), t[cellColumn(c) + 1], t[cellColumn(c) + 2]);
        }
        if (t[kCoilKindColumn] == 'A' && t[kCoilLetterColumn] == 'S')
            mark("AS", t[kCoilNumberColumn], t[kCoilNumberColumn + 1]);
        else if (t[kCoilKindColumn] == 'M' && t[kCoilLetterColumn] == 'D')
            mark("MD", t[kCoilNumberColumn], t[kCoilNumberColumn + 1]);
        else {
            const char letter = char(t[kCoilLetterColumn]);
            mark(std::string_view(&letter, 1), t[kCoilNumberColumn], t[kCoilNumberColumn + 1]);
        }
    }
    return use;
}

LadderEditor::LadderEditor(PlcProgram& program, Prompts& prompts, LadderDialogs& dialogs)
    : program_(program), prompts_(prompts), dialogs_(dialogs) {
    resetHistory();
}

// ---------------------------------------------------------------------------------------------
// Cursor

void LadderEditor::setCursor(int line, int position) {
    line_ = std::clamp(line, 0, std::max(0, lineCount() - 1));
    pos_ = std::clamp(position, 0, kCoilPosition);
}

void LadderEditor::moveLeft() {
    if (pos_ > 0)
        --pos_;
    else if (line_ > 0)
        setCursor(line_ - 1, kCoilPosition);
}

void LadderEditor::moveRight() {
    if (pos_ < kCoilPosition)
        ++pos_;
    else if (line_ + 1 < lineCount())
        setCursor(line_ + 1, 0);
}

bool LadderEditor::isCommentLine(int line) const {
    return line >= 0 && line < kMaxDisplayLines && program_.commentFlags[line] == 1;
}

void LadderEditor::moveFirstUsed() {
    for (int d = 0; d < lineCount(); ++d) {
        if (isCommentLine(d) || !program_.isRowBlank(rowOf(d))) {
            setCursor(d, pos_);
            return;
        }
    }
    setCursor(0, pos_);
}

void LadderEditor::moveLastUsed() {
    for (int d = lineCount() - 1; d >= 0; --d) {
        if (isCommentLine(d) || !program_.isRowBlank(rowOf(d))) {
            setCursor(d, pos_);
            return;
        }
    }
    setCursor(0, pos_);
}

// ---------------------------------------------------------------------------------------------
// Tools

Tool LadderEditor::toolForKey(char key, int position) {
    const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
    if (k == 'W') return Tool::Comment;
    const bool gap = position == 1 || position == 3 || position == 5;
    if (gap) return k == 'L' ? Tool::Link : Tool::None;
    const bool coil = position == kCoilPosition;
    switch (k) {
        case 'I':
            return coil ? Tool::None : Tool::I;
        case 'Q':
            return Tool::Q;
        case 'M':
            return Tool::M;
        case 'T':
            return Tool::T;
        case 'C':
            return Tool::C;
        case 'G':
            return Tool::G;
        case 'F':
            return Tool::F;
        case 'D':
            return coil ? Tool::MD : Tool::Differential;
        case 'S':
            return coil ? Tool::AS : Tool::None;
        case 'A':
            return coil ? Tool::None : Tool::Wire;
        default:
            return Tool::None;
    }
}

bool LadderEditor::pressToolKey(char key) {
    const Tool t = toolForKey(key, pos_);
    if (t == Tool::None) return false;
    // Letters mean nothing on a comment line (W included: a comment goes above a ladder row).
    if (isCommentLine(line_)) return false;
    tool_ = t;
    const bool changed = apply(t);
    tool_ = Tool::None;
    return changed;
}

bool LadderEditor::apply(Tool t) {
    if (!editable()) return false;
    const int row = rowOf(line_);
    switch (t) {
        case Tool::I:
        case Tool::Q:
        case Tool::M:
        case Tool::T:
        case Tool::C:
        case Tool::G:
        case Tool::F:
        case Tool::Differential:
        case Tool::AS:
        case Tool::MD:
            return placeElement(t);
        case Tool::Wire:
            return placeWire();
        case Tool::Link:
            if (row < 1 || (pos_ != 1 && pos_ != 3 && pos_ != 5)) return false;
            return toggleLink(row, gapOfPosition());
        case Tool::Delete: {
            int first = 0, last = 0;
            if (hasRange() && rangeBounds(first, last)) {
                clearMarks();
                return removeLines(first, last);
            }
            return deleteAtCursor();
        }
        case Tool::InsertRow:
        case Tool::InsertRowBelow: {
            // On a comment line both insert at the ladder row that follows it.
            int d = line_;
            while (d < lineCount() && isCommentLine(d)) ++d;
            int at = rowOf(d);
            if (at < 0) return false;
            if (t == Tool::InsertRowBelow && !isCommentLine(line_)) ++at;
            if (at >= kLadderRows || !insertRow(at)) return false;
            if (t == Tool::InsertRowBelow) setCursor(line_ + 1, pos_);
            return true;
        }
        case Tool::Comment: {
            std::array<std::string, kCommentTextLines> texts;
            if (program_.commentCount >= static_cast<uint32_t>(kMaxCommentLines)) return false;
            if (!dialogs_.editComment(texts)) return false;
            return insertComment(line_, texts);
        }
        case Tool::None:
            break;
    }
    return false;
}

bool LadderEditor::openAtCursor() {
    if (isCommentLine(line_)) return editable() && editComment(line_);
    if (pos_ == 1 || pos_ == 3 || pos_ == 5) return apply(Tool::Link);
    return editable() && placeElement(Tool::None);
}

bool LadderEditor::placeElement(Tool t) {
    const int row = rowOf(line_);
    if (row < 0) return false;
    Row& text = program_.cellText[row];
    if (pos_ == kCoilPosition) {
        std::string page;
        switch (t) {
            case Tool::Q:
                page = "Q";
                break;
            case Tool::M:
                page = "M";
                break;
            case Tool::T:
                page = "T";
                break;
            case Tool::C:
                page = "C";
                break;
            case Tool::G:
                page = "G";
                break;
            case Tool::F:
                page = "F";
                break;
            case Tool::AS:
                page = "AS";
                break;
            case Tool::MD:
                page = "MD";
                break;
            case Tool::None:
                break;
            default:
                return false;  // not a coil
        }
        std::array<uint8_t, 4> coil;
        std::copy_n(text.begin() + kCoilKindColumn, 4, coil.begin());
        PlcProgram scratch = program_;
        if (!dialogs_.editCoil(coil, page, scratch)) return false;
        program_.timers = scratch.timers;
        program_.counters = scratch.counters;
        program_.comparators = scratch.comparators;
        program_.driveBlocks = scratch.driveBlocks;
        program_.addSubBlocks = scratch.addSubBlocks;
        program_.mulDivBlocks = scratch.mulDivBlocks;
        std::copy(coil.begin(), coil.end(), text.begin() + kCoilKindColumn);
        storeStep();
        return true;
    }
    if (pos_ % 2 != 0) return false;
    char letter = 0;
    switch (t) {
        case Tool::I:
            letter = 'I';
            break;
        case Tool::Q:
            letter = 'Q';
            break;
        case Tool::M:
            letter = 'M';
            break;
        case Tool::T:
            letter = 'T';
            break;
        case Tool::C:
            letter = 'C';
            break;
        case Tool::G:
            letter = 'G';
            break;
        case Tool::F:
            letter = 'F';
            break;
        case Tool::Differential:
            letter = 'D';
            break;
        case Tool::None:
            break;
        default:
            return false;  // a coil-only element
    }
    const int cell = cellOfPosition();
    std::string value = program_.cellTextAt(row, cell);
    if (!dialogs_.editContact(value, letter)) return false;
    if (value.size() != 3) return false;
    if (value == "   ") {
        program_.clearCell(row, cell);
    } else {
        uint8_t& gap = text[gapColumn(cell)];
        if (gap == kGapNone) gap = kGapWire;
        for (int i = 0; i < 3; ++i) text[cellColumn(cell) + i] = static_cast<uint8_t>(value[i]);
    }
    storeStep();
    return true;
}

bool LadderEditor::placeWire() {
    const int row = rowOf(line_);
    if (row < 0 || pos_ % 2 != 0 || pos_ == kCoilPosition) return false;
    program_.setWire(row, cellOfPosition());
    storeStep();
    return true;
}

bool LadderEditor::deleteAtCursor() {
    const int row = rowOf(line_);
    auto askRemoveLine = [this] {
        char text[64];
        std::snprintf(text, sizeof text, text::kDeleteLineQuestion, line_ + 1);
        if (!prompts_.yesNoCaptioned(text::kDeleteLineCaption, text)) return false;
        return removeLines(line_, line_);
    };
    if (row < 0) return askRemoveLine();
    Row& text = program_.cellText[row];
    if (pos_ == kCoilPosition) {
        if (coilEmpty(text)) return askRemoveLine();
        program_.clearCoil(row);
        for (int i = kCoilKindColumn; i < kRowWidth; ++i) program_.linkMarks[row][i] = 0;
        storeStep();
        return true;
    }
    if (pos_ % 2 == 0) {
        const int cell = cellOfPosition();
        if (cellEmpty(text, cell)) return askRemoveLine();
        for (int i = 0; i < 3; ++i) {
            text[cellColumn(cell) + i] = ' ';
            program_.linkMarks[row][cellColumn(cell) + i] = 0;
        }
        if (text[gapColumn(cell)] == kGapWire) text[gapColumn(cell)] = kGapNone;
        storeStep();
        return true;
    }
    const int gap = gapOfPosition();
    const uint8_t g = text[gapColumn(gap)];
    if (hasUp(g)) return toggleLink(row, gap);
    if (hasDown(g) && row + 1 < kLadderRows) return toggleLink(row + 1, gap);
    return askRemoveLine();
}

// ---------------------------------------------------------------------------------------------
// Line operations

std::vector<DisplayLine> LadderEditor::displayLines() const {
    std::vector<DisplayLine> lines;
    lines.reserve(program_.displayLineCount);
    int row = 0;
    for (int d = 0; d < lineCount(); ++d) {
        DisplayLine l;
        if (program_.commentFlags[d] == 1) {
            l.comment = true;
            l.texts = program_.comments[d];
        } else if (row < kLadderRows) {
            l.text = program_.cellText[row];
            l.marks = program_.linkMarks[row];
            ++row;
        }
        lines.push_back(l);
    }
    return lines;
}

void LadderEditor::setDisplayLines(const std::vector<DisplayLine>& lines) {
    program_.commentFlags.fill(0);
    for (auto& c : program_.comments)
        for (auto& slot : c) slot.fill('\0');
    int row = 0, comments = 0;
    for (size_t d = 0; d < lines.size() && d < kMaxDisplayLines; ++d) {
        if (lines[d].comment) {
            program_.commentFlags[d] = 1;
            program_.comments[d] = lines[d].texts;
            ++comments;
        } else if (row < kLadderRows) {
            program_.cellText[row] = lines[d].text;
            program_.linkMarks[row] = lines[d].marks;
            ++row;
        }
    }
    program_.commentCount = static_cast<uint32_t>(comments);
    program_.displayLineCount = static_cast<uint32_t>(kLadderRows + comments);
    gapMemo_.clear();
    setCursor(line_, pos_);
}

bool LadderEditor::toggleLink(int row, int gap) {
    if (!editable() || row < 1 || row >= kLadderRows || gap < 0 || gap >= kContactCells)
        return false;
    const int col = gapColumn(gap);
    uint8_t& lower = program_.cellText[row][col];
    uint8_t& upper = program_.cellText[row - 1][col];
    // A gap that loses its last link component gets back what it held before the link came,
    // when its cell is still as it was; otherwise a wire beside a filled cell, else nothing.
    auto nothing = [this, gap](int r) -> uint8_t {
        const bool empty = cellEmpty(program_.cellText[r], gap);
        for (auto it = gapMemo_.begin(); it != gapMemo_.end(); ++it) {
            if (it->row != r || it->gap != gap) continue;
            const GapMemo m = *it;
            gapMemo_.erase(it);
            if (m.cellWasEmpty == empty) return m.before;
            break;
        }
        return empty ? kGapNone : kGapWire;
    };
    auto remember = [this, gap](int r, uint8_t before) {
        if (hasUp(before) || hasDown(before)) return;
        std::erase_if(gapMemo_, [&](const GapMemo& m) { return m.row == r && m.gap == gap; });
        gapMemo_.push_back({r, gap, before, cellEmpty(program_.cellText[r], gap)});
    };
    if (!hasUp(lower)) {
        remember(row, lower);
        remember(row - 1, upper);
        lower = lower == kGapLinkDown ? kGapLinkThrough : kGapLinkUp;
        upper = upper == kGapLinkUp ? kGapLinkThrough : kGapLinkDown;
        program_.linkMarks[row][2 + 4 * gap] = kLinkMark;
    } else {
        lower = lower == kGapLinkThrough ? kGapLinkDown : nothing(row);
        upper = upper == kGapLinkThrough ? kGapLinkUp : (hasDown(upper) ? nothing(row - 1) : upper);
        program_.linkMarks[row][2 + 4 * gap] = 0;
    }
    storeStep();
    return true;
}

bool LadderEditor::insertRow(int row) {
    if (!editable() || row < 0 || row >= kLadderRows) return false;
    if (!program_.isRowBlank(kLadderRows - 1)) return false;
    for (int r = kLadderRows - 1; r > row; --r) {
        program_.cellText[r] = program_.cellText[r - 1];
        program_.linkMarks[r] = program_.linkMarks[r - 1];
    }
    program_.cellText[row].fill(' ');
    program_.linkMarks[row].fill(0);
    gapMemo_.clear();
    storeStep();
    return true;
}

bool LadderEditor::insertComment(int line,
                                 const std::array<std::string, kCommentTextLines>& texts) {
    if (!editable() || program_.commentCount >= static_cast<uint32_t>(kMaxCommentLines))
        return false;
    auto lines = displayLines();
    DisplayLine c;
    c.comment = true;
    for (int t = 0; t < kCommentTextLines; ++t) {
        const size_t n = std::min<size_t>(texts[t].size(), kCommentMaxChars);
        std::copy_n(texts[t].begin(), n, c.texts[t].begin());
    }
    lines.insert(lines.begin() + std::clamp(line, 0, static_cast<int>(lines.size())), c);
    setDisplayLines(lines);
    storeStep();
    return true;
}

bool LadderEditor::removeLines(int first, int last) {
    if (!editable()) return false;
    if (first > last) std::swap(first, last);
    first = std::max(first, 0);
    last = std::min(last, lineCount() - 1);
    if (first > last) return false;
    auto lines = displayLines();
    int ladderRemoved = 0;
    for (int d = first; d <= last; ++d)
        if (!lines[d].comment) ++ladderRemoved;
    lines.erase(lines.begin() + first, lines.begin() + last + 1);
    // The program keeps its 80 ladder rows: blank ones take the place of those removed.
    for (int i = 0; i < ladderRemoved; ++i) lines.push_back(blankLadderLine());
    setDisplayLines(lines);
    storeStep();
    return true;
}

bool LadderEditor::clearComments() {
    if (!editable()) return false;
    program_.clearComments();
    gapMemo_.clear();
    setCursor(line_, pos_);
    storeStep();
    return true;
}

bool LadderEditor::editComment(int line) {
    if (!editable() || !isCommentLine(line)) return false;
    std::array<std::string, kCommentTextLines> texts;
    for (int t = 0; t < kCommentTextLines; ++t) texts[t] = program_.commentText(line, t);
    if (!dialogs_.editComment(texts)) return false;
    for (int t = 0; t < kCommentTextLines; ++t) program_.setCommentText(line, t, texts[t]);
    storeStep();
    return true;
}

void LadderEditor::commitExternalChange() {
    gapMemo_.clear();
    setCursor(line_, pos_);
    storeStep();
}

int LadderEditor::freeRows() const {
    int n = 0;
    for (int r = kLadderRows - 1; r >= 0 && program_.isRowBlank(r); --r) ++n;
    return n;
}

// ---------------------------------------------------------------------------------------------
// Range and clipboard

bool LadderEditor::rangeBounds(int& first, int& last) const {
    if (start_ < 0 && end_ < 0) {
        first = last = line_;
    } else {
        first = start_ >= 0 ? start_ : end_;
        last = end_ >= 0 ? end_ : start_;
        if (first > last) std::swap(first, last);
    }
    last = std::min(last, lineCount() - 1);
    return first >= 0 && first <= last;
}

bool LadderEditor::inRange(int line) const {
    if (!hasRange()) return false;
    int first = 0, last = 0;
    return rangeBounds(first, last) && line >= first && line <= last;
}

int LadderEditor::clipboardLadderRows() const {
    return static_cast<int>(
        std::count_if(clipboard_.begin(), clipboard_.end(), [](auto& l) { return !l.comment; }));
}

bool LadderEditor::copy() {
    int first = 0, last = 0;
    if (!rangeBounds(first, last)) return false;
    const auto lines = displayLines();
    clipboard_.assign(lines.begin() + first, lines.begin() + last + 1);
    clearMarks();
    return true;
}

bool LadderEditor::cut() {
    if (!editable()) return false;
    int first = 0, last = 0;
    if (!rangeBounds(first, last) || !copy()) return false;
    return removeLines(first, last);
}

bool LadderEditor::paste() {
    if (!editable() || clipboard_.empty()) return false;
    auto lines = displayLines();
    const int rows = clipboardLadderRows();
    const int comments = static_cast<int>(clipboard_.size()) - rows;
    int blank = 0;
    for (int d = lineCount() - 1; d >= line_; --d) {
        if (lines[d].comment) continue;
        if (!program_.isRowBlank(rowOf(d))) break;
        ++blank;
    }
    if (blank < rows || static_cast<int>(program_.commentCount) + comments > kMaxCommentLines) {
        prompts_.error(text::kPasteBeyondRange);
        return false;
    }
    lines.insert(lines.begin() + line_, clipboard_.begin(), clipboard_.end());
    // The blank rows at the end make room for the pasted ones.
    int drop = rows;
    for (int d = static_cast<int>(lines.size()) - 1; d >= 0 && drop > 0; --d) {
        if (lines[d].comment) continue;
        lines.erase(lines.begin() + d);
        --drop;
    }
    const int after = line_ + static_cast<int>(clipboard_.size());
    setDisplayLines(lines);
    setCursor(after, pos_);
    storeStep();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Undo history: a snapshot of the whole program after every step, at most kUndoDepth back.

void LadderEditor::storeStep() {
    program_.computeUsedBlocks();
    history_.resize(static_cast<size_t>(current_) + 1);
    history_.push_back({program_, line_, pos_});
    if (history_.size() > static_cast<size_t>(kUndoDepth) + 1) history_.erase(history_.begin());
    current_ = static_cast<int>(history_.size()) - 1;
}

void LadderEditor::resetHistory() {
    history_.clear();
    history_.push_back({program_, line_, pos_});
    current_ = 0;
    gapMemo_.clear();
    setCursor(line_, pos_);
}

bool LadderEditor::undo() {
    if (!editable() || !canUndo()) return false;
    --current_;
    program_ = history_[current_].program;
    gapMemo_.clear();
    setCursor(history_[current_ + 1].line, history_[current_ + 1].pos);
    return true;
}

bool LadderEditor::redo() {
    if (!editable() || !canRedo()) return false;
    ++current_;
    program_ = history_[current_].program;
    gapMemo_.clear();
    setCursor(history_[current_].line, history_[current_].pos);
    return true;
}

}  // namespace pv
