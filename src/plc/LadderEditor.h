#pragma once
// The ladder editor's model: the cursor over the display lines, the current tool, the range
// marks, the clipboard and the undo history, and every editing operation on the document's
// program. It knows nothing of windows: the element dialogs and the questions come through
// LadderDialogs and Prompts, so the desktop view, the tests and any other caller edit alike.

#include <array>
#include <string>
#include <vector>

#include "plc/PlcProgram.h"
#include "res/Prompts.h"

namespace pv {

inline constexpr int kCursorPositions = 7;  // contacts 0, 2, 4; gaps 1, 3, 5; coil 6
inline constexpr int kCoilPosition = 6;
inline constexpr int kUndoDepth = 100;  // steps that Undo can go back

enum class PlcMode { Program, Monitor, Simulate };

// Tool numbers as the ladder toolbar and the keys use them.
enum class Tool : int {
    None = -1,
    I = 1,
    Q = 2,
    M = 3,
    T = 4,
    C = 5,
    G = 6,
    Differential = 7,
    Wire = 8,
    Link = 9,
    Delete = 10,
    InsertRow = 11,
    Comment = 12,
    AS = 13,
    MD = 14,
    InsertRowBelow = 17,
    F = 18,
};

// One display line as the clipboard and the line operations carry it.
struct DisplayLine {
    bool comment = false;
    Row text{};
    Row marks{};
    CommentLine texts{};
};

// What the element dialogs are asked; each returns false on Cancel and then changes nothing.
class LadderDialogs {
public:
    virtual ~LadderDialogs() = default;
    // "Edit Contact": `cell` holds the three characters of the cell (blanks when empty) and,
    // when the dialog was opened by a tool, `letter` is the tab to open ('I'..'F', 'D', or 0).
    virtual bool editContact(std::string& cell, char letter) = 0;
    // "Edit Contact/Coil": `coil` is columns 12..15 of the row; `page` is the kind to open
    // ("Q", "M", "T", "C", "G", "F", "AS", "MD" or empty for the coil's own kind). The dialog
    // edits `program`'s block records and sets `coil`.
    virtual bool editCoil(std::array<uint8_t, 4>& coil, const std::string& page,
                          PlcProgram& program) = 0;
    // "Edit Comments": four lines of at most 51 characters.
    virtual bool editComment(std::array<std::string, kCommentTextLines>& lines) = 0;
};

// Which element numbers the program uses, per kind (I Q M T C G F AS MD): bit n-1 for number n.
// Contacts and coils both count; a contact's case (STR / STR NOT) does not matter.
struct ElementUse {
    const char* kind;
    int count;
    uint16_t used;
};
std::vector<ElementUse> UsedElements(const PlcProgram& program);

class LadderEditor {
public:
    LadderEditor(PlcProgram& program, Prompts& prompts, LadderDialogs& dialogs);

    PlcProgram& program() { return program_; }
    const PlcProgram& program() const { return program_; }

    // Mode: editing works only in Program mode; the cursor moves in every mode.
    PlcMode mode = PlcMode::Program;
    bool editable() const { return mode == PlcMode::Program; }

    // --- cursor ------------------------------------------------------------------------------
    int line() const { return line_; }
    int position() const { return pos_; }
    int cursorIndex() const { return line_ * kCursorPositions + pos_; }
    void setCursor(int line, int position);
    void moveLeft();   // wraps to position 6 of the line before
    void moveRight();  // wraps to position 0 of the next line
    void moveUp() { setCursor(line_ - 1, pos_); }
    void moveDown() { setCursor(line_ + 1, pos_); }
    void movePage(int lines) { setCursor(line_ + lines, pos_); }
    void moveHome() { setCursor(line_, 0); }
    void moveEnd() { setCursor(line_, kCoilPosition); }
    void moveFirstUsed();  // Ctrl+Home: the first non-blank display line
    void moveLastUsed();   // Ctrl+End: the last non-blank display line
    int lineCount() const { return static_cast<int>(program_.displayLineCount); }
    bool isCommentLine(int line) const;
    // Ladder row shown on a display line, -1 for a comment line.
    int rowOf(int line) const { return program_.ladderRowOfDisplayLine(line); }

    // --- tools and keys ----------------------------------------------------------------------
    Tool tool() const { return tool_; }
    void setTool(Tool t) { tool_ = t; }
    // The tool a letter key selects at a cursor position (D is the differential contact in the
    // contact columns and the MD coil in the coil column); Tool::None when the key means nothing
    // there.
    static Tool toolForKey(char key, int position);
    // A tool key: selects the tool and applies it at the cursor at once, then drops it.
    bool pressToolKey(char key);
    // Applies a tool at the cursor; true when the program changed.
    bool apply(Tool t);
    // Space: opens the element under the cursor, or toggles the link on a gap.
    bool openAtCursor();

    // --- range marks and clipboard -----------------------------------------------------------
    int startMark() const { return start_; }
    int endMark() const { return end_; }
    void markStart() { start_ = line_; }
    void markEnd() { end_ = line_; }
    void clearMarks() { start_ = end_ = -1; }
    bool hasRange() const { return start_ >= 0 || end_ >= 0; }
    bool inRange(int line) const;
    const std::vector<DisplayLine>& clipboard() const { return clipboard_; }
    int clipboardLadderRows() const;
    // Another editor's clipboard (lines copied in one window pasted in another).
    void setClipboard(std::vector<DisplayLine> lines) { clipboard_ = std::move(lines); }
    bool copy();
    bool cut();
    bool paste();  // false (and the capacity error shown) when the clipboard does not fit

    // --- line operations (used by the tools; public for the commands) ------------------------
    bool toggleLink(int row, int gap);
    bool insertRow(int row);  // only while the last ladder row is blank
    bool insertComment(int line, const std::array<std::string, kCommentTextLines>& lines);
    bool removeLines(int first, int last);  // display lines first..last, both included
    bool clearComments();
    bool editComment(int line);
    // Writes a cell, a coil or a row as an editing step (the program text and the dialogs' OK).
    void commitExternalChange();

    // --- undo history ------------------------------------------------------------------------
    bool canUndo() const { return current_ > 0; }
    bool canRedo() const { return current_ + 1 < static_cast<int>(history_.size()); }
    bool undo();
    bool redo();
    int undoSteps() const { return current_; }
    // Forgets the history and takes the program as it is now as the first state (after the
    // program was replaced from outside: a file read, a transfer).
    void resetHistory();

    // The number of blank ladder rows at the end of the program (the room for Insert and
    // Paste), shown as the "free space." figure.
    int freeRows() const;

private:
    struct Snapshot {
        PlcProgram program;
        int line = 0, pos = 0;
    };
    std::vector<DisplayLine> displayLines() const;
    void setDisplayLines(const std::vector<DisplayLine>& lines);
    void storeStep();
    bool placeElement(Tool t);
    bool deleteAtCursor();
    bool placeWire();
    int gapOfPosition() const { return (pos_ - 1) / 2; }
    int cellOfPosition() const { return pos_ / 2; }
    bool rangeBounds(int& first, int& last) const;

    PlcProgram& program_;
    Prompts& prompts_;
    LadderDialogs& dialogs_;
    int line_ = 0, pos_ = 0;
    Tool tool_ = Tool::None;
    int start_ = -1, end_ = -1;
    std::vector<DisplayLine> clipboard_;
    std::vector<Snapshot> history_;
    int current_ = 0;
    // The byte a gap held before a link replaced it, so that removing the link gives it back.
    struct GapMemo {
        int row, gap;
        uint8_t before;
        bool cellWasEmpty;
    };
    std::vector<GapMemo> gapMemo_;
};

}  // namespace pv
