#pragma once
// What a group dialog holds while it is open, without any window: the rows of every page of one
// group with the text each row's control shows, what was last written to a drive from it, the
// filter that every keystroke passes, the range checks of OK and Transmit Group, Store into the
// project, and the switch of frequency rows between one and two decimals. The desktop's dialog
// only shows this model; the command line's single write and the tests drive it directly.

#include <optional>
#include <string>
#include <vector>

#include "editing/PageTable.h"
#include "editing/ParamRow.h"

namespace pv {
class ParamTable;
}

namespace pv::editing {

struct PageRow {
    ParamRow row;
    std::string label;         // "GG-NN name" as the record writes it
    std::string valueText;     // the control's text; option rows: the option value, "%d"
    std::string writtenValue;  // the text last written to a drive from this row
    bool written = false;      // a single write of this row succeeded since the dialog opened

    bool isOption() const { return row.kind == RowKind::Options; }
    // Shown but never written from the dialog: the rule table's read-only rows and read-only pages.
    bool readOnly = false;
};

class PageModel {
public:
    // The pages of `group` filled from the table's set values in `settings`' resolution.
    PageModel(const ParamTable& table, int group, const DisplaySettings& settings);
    // Pages of one's own: the user-parameter container shows 00-41..00-56 on two pages.
    PageModel(const ParamTable& table, int group, std::vector<PageDef> pages,
              const DisplaySettings& settings);

    int group() const { return group_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    const PageDef& pageDef(int page) const { return defs_[page]; }
    int rowCount(int page) const { return static_cast<int>(pages_[page].size()); }
    PageRow& row(int page, int r) { return pages_[page][r]; }
    const PageRow& row(int page, int r) const { return pages_[page][r]; }
    const DisplaySettings& settings() const { return settings_; }

    // Option rows: the item shown (value minus the row's offset) and choosing one.
    int optionIndex(int page, int r) const;
    void setOptionIndex(int page, int r, int item);

    // The range label of an edit row in the current resolution ("0.00~300.00").
    std::string rangeLabel(int page, int r) const;

    // The text an edit keeps after a keystroke turned `before` into `typed`: `typed` when it is
    // acceptable, `typed` less its last character when it has one decimal too many, otherwise
    // `before` (a leading or second ".", a character the row does not take, a value above the
    // row's maximum, or below the minimum of a row that takes negative values).
    std::string filterEdit(int page, int r, const std::string& before,
                           const std::string& typed) const;

    // Applies the drive's present frequency settings: labels follow them, and an edit whose value
    // is above the row's new maximum becomes that maximum in the row's format. Returns the rows
    // whose label or text changed.
    std::vector<PageLocation> applySettings(const DisplaySettings& settings);

    // The range check of one edit row (option rows always pass).
    bool rowInRange(int page, int r) const;
    // The first edit row of the group (pages in tab order) out of its range; nullopt when all
    // pass. Rows that are never written are not checked.
    std::optional<PageLocation> validate() const;

    // The text a single write sends for an edit row: the value formatted again in the row's
    // format ("12.5" on a two-decimal row becomes "12.50"); option rows give their value.
    std::string textToWrite(int page, int r) const;

    // After a successful single write: the row remembers what the drive now holds.
    void markWritten(int page, int r, const std::string& text);

    // The group's values as a group write sends them: the page texts where a page shows the
    // parameter, the project's set values elsewhere (one text per index 0..99).
    std::vector<std::string> groupTexts(const ParamTable& table) const;

    // OK: every row's text becomes the parameter's set value; a parameter whose text differs from
    // what was last written from its row (or, when nothing was, from its set value) is marked
    // edited. Returns the number of set values that changed.
    int store(ParamTable& table) const;

private:
    int group_;
    DisplaySettings settings_;
    std::vector<PageDef> defs_;
    std::vector<std::vector<PageRow>> pages_;
};

// The two pages of the user-parameter container (00-41..00-50 and 00-51..00-56).
std::vector<PageDef> UserParameterPages();

// The first text of a page row: the set value in the row's display format.
std::string InitialText(const ParamRow& row, const std::string& setValue,
                        const DisplaySettings& settings);

}  // namespace pv::editing
