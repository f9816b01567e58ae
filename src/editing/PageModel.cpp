#include "editing/PageModel.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "editing/WriteRules.h"
#include "project/ParamTable.h"
#include "res/EditingTexts.h"

namespace pv::editing {

namespace {

std::string formatDecimal(double v, int decimals) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

bool isEditRow(const ParamRow& row) {
    return row.kind != RowKind::Options;
}

}  // namespace

std::string InitialText(const ParamRow& row, const std::string& setValue,
                        const DisplaySettings& settings) {
    switch (row.kind) {
        case RowKind::Options:
        case RowKind::Integer:
            return std::to_string(std::atoi(setValue.c_str()));
        case RowKind::Decimal:
            return formatDecimal(std::atof(setValue.c_str()), row.decimalsFor(settings));
        case RowKind::Hex:
        case RowKind::Date:
        case RowKind::Code:
            break;
    }
    return setValue;
}

std::vector<PageDef> UserParameterPages() {
    PageDef first, second;
    first.templateId = 30740;
    first.range = res::kUserParamPage1;
    for (int i = 41; i <= 50; ++i) first.indexes.push_back(i);
    second.templateId = 30741;
    second.range = res::kUserParamPage2;
    for (int i = 51; i <= 56; ++i) second.indexes.push_back(i);
    return {first, second};
}

PageModel::PageModel(const ParamTable& table, int group, const DisplaySettings& settings)
    : PageModel(table, group,
                PagesOfGroup(group) ? PagesOfGroup(group)->pages : std::vector<PageDef>{},
                settings) {}

PageModel::PageModel(const ParamTable& table, int group, std::vector<PageDef> pages,
                     const DisplaySettings& settings)
    : group_(group), settings_(settings), defs_(std::move(pages)) {
    for (const PageDef& def : defs_) {
        std::vector<PageRow> rows;
        for (int index : def.indexes) {
            PageRow pr;
            if (const ParamRecord* rec = table.record(group, index); rec && rec->defined) {
                pr.row = ParamRow::fromRecord(group, index, *rec);
                pr.label = rec->label;
                pr.valueText = InitialText(pr.row, rec->setValue, settings);
            } else {
                pr.row.group = group;
                pr.row.index = index;
            }
            pr.readOnly = def.readOnlyPage || WriteRules::isReadOnly(group, index) ||
                          pr.row.readOnly();
            rows.push_back(std::move(pr));
        }
        pages_.push_back(std::move(rows));
    }
}

int PageModel::optionIndex(int page, int r) const {
    const PageRow& pr = row(page, r);
    return std::atoi(pr.valueText.c_str()) - pr.row.optionOffset();
}

void PageModel::setOptionIndex(int page, int r, int item) {
    PageRow& pr = row(page, r);
    pr.valueText = std::to_string(item + pr.row.optionOffset());
}

std::string PageModel::rangeLabel(int page, int r) const {
    return row(page, r).row.rangeLabel(settings_);
}

std::string PageModel::filterEdit(int page, int r, const std::string& before,
                                  const std::string& typed) const {
    const ParamRow& row = this->row(page, r).row;
    if (typed.empty()) return typed;
    const bool negative = row.minFor(settings_) < 0;
    switch (row.kind) {
        case RowKind::Options:
            return before;
        case RowKind::Hex: {
            std::string up;
            for (char c : typed) {
                if (!std::isxdigit(static_cast<unsigned char>(c))) return before;
                up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            }
            if (std::strtol(up.c_str(), nullptr, 16) > row.attr[AttrMax]) return before;
            return up;
        }
        case RowKind::Date:
        case RowKind::Code: {
            // "MM/DD" or "GG-NN": two digits, the separator, two digits.
            const char sep = row.kind == RowKind::Date ? '/' : '-';
            // A third digit brings its separator along, so a numeric pad can type a code.
            std::string text = typed;
            if (text.size() == 3 && std::isdigit(static_cast<unsigned char>(text[2])))
                text.insert(2, 1, sep);
            const std::string& typedText = text;
            if (typedText.size() > 5) return before;
            for (std::size_t i = 0; i < typedText.size(); ++i) {
                const bool digit = std::isdigit(static_cast<unsigned char>(typedText[i])) != 0;
                if (i == 2 ? typedText[i] != sep : !digit) return before;
            }
            return typedText;
        }
        case RowKind::Integer:
        case RowKind::Decimal:
            break;
    }
    const bool decimal = row.kind == RowKind::Decimal;
    int dots = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c == '-' && i == 0 && negative) continue;
        if (c == '.' && decimal) {
            if (i == 0 || ++dots > 1) return before;
            continue;
        }
        if (!std::isdigit(static_cast<unsigned char>(c))) return before;
    }
    if (typed == "-") return typed;
    const double v = std::strtod(typed.c_str(), nullptr);
    if (v > row.maxFor(settings_) + 1e-9) return before;
    if (negative && v < row.minFor(settings_) - 1e-9) return before;
    if (decimal) {
        const auto dot = typed.find('.');
        if (dot != std::string::npos &&
            static_cast<int>(typed.size() - dot - 1) > row.decimalsFor(settings_))
            return typed.substr(0, typed.size() - 1);
    }
    return typed;
}

std::vector<PageLocation> PageModel::applySettings(const DisplaySettings& settings) {
    std::vector<PageLocation> changed;
    const DisplaySettings old = settings_;
    settings_ = settings;
    for (int p = 0; p < pageCount(); ++p) {
        for (int r = 0; r < rowCount(p); ++r) {
            PageRow& pr = pages_[p][r];
            if (!pr.row.defined || !isEditRow(pr.row)) continue;
            bool touched = pr.row.rangeLabel(old) != pr.row.rangeLabel(settings);
            const double max = pr.row.maxFor(settings);
            if (!pr.valueText.empty() && pr.row.kind == RowKind::Decimal &&
                std::strtod(pr.valueText.c_str(), nullptr) > max + 1e-9) {
                pr.valueText = formatDecimal(max, pr.row.decimalsFor(settings));
                touched = true;
            }
            if (touched) changed.push_back({p, r});
        }
    }
    return changed;
}

bool PageModel::rowInRange(int page, int r) const {
    const PageRow& pr = row(page, r);
    if (!pr.row.defined || pr.isOption()) return true;
    std::uint16_t reg = 0;
    double value = 0;
    if (!pr.row.parseText(pr.valueText, settings_, reg, value)) return false;
    if (pr.row.kind == RowKind::Decimal || pr.row.kind == RowKind::Integer)
        return WriteRules::inRange(value, pr.row.minFor(settings_), pr.row.maxFor(settings_),
                                   pr.row.kind == RowKind::Decimal
                                       ? pr.row.decimalsFor(settings_)
                                       : 0);
    std::int32_t raw = 0;
    return parseValueText(pr.row.valueKind, pr.row.attr, pr.valueText, raw, settings_) &&
           rawInRange(pr.row.valueKind, pr.row.attr, raw, settings_);
}

std::optional<PageLocation> PageModel::validate() const {
    for (int p = 0; p < pageCount(); ++p)
        for (int r = 0; r < rowCount(p); ++r)
            if (!row(p, r).readOnly && !rowInRange(p, r)) return PageLocation{p, r};
    return std::nullopt;
}

std::string PageModel::textToWrite(int page, int r) const {
    const PageRow& pr = row(page, r);
    if (pr.row.kind != RowKind::Decimal) return pr.valueText;
    return formatDecimal(std::strtod(pr.valueText.c_str(), nullptr),
                         pr.row.decimalsFor(settings_));
}

void PageModel::markWritten(int page, int r, const std::string& text) {
    PageRow& pr = row(page, r);
    pr.written = true;
    pr.writtenValue = text;
}

std::vector<std::string> PageModel::groupTexts(const ParamTable& table) const {
    std::vector<std::string> texts(kParamsPerGroup);
    for (int i = 0; i < kParamsPerGroup; ++i)
        if (const ParamRecord* rec = table.record(group_, i)) texts[i] = rec->setValue;
    for (const auto& page : pages_)
        for (const PageRow& pr : page)
            if (pr.row.defined) texts[pr.row.index] = pr.valueText;
    return texts;
}

int PageModel::store(ParamTable& table) const {
    int changed = 0;
    for (const auto& page : pages_) {
        for (const PageRow& pr : page) {
            if (!pr.row.defined) continue;
            ParamRecord* rec = table.record(group_, pr.row.index);
            if (!rec) continue;
            const std::string& reference = pr.written ? pr.writtenValue : rec->setValue;
            if (pr.valueText != reference && group_ < kGroupSlots)
                table.paramEdited[group_][pr.row.index] = 1;
            if (rec->setValue != pr.valueText) {
                rec->setValue = pr.valueText;
                ++changed;
            }
        }
    }
    return changed;
}

}  // namespace pv::editing
