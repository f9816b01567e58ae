#include "editing/Workbook.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "res/ExchangeTexts.h"

namespace pv {

const WorkbookCell* WorkbookSheet::cell(int row, int column) const {
    const auto r = rows.find(row);
    if (r == rows.end()) return nullptr;
    const auto c = r->second.find(column);
    return c == r->second.end() ? nullptr : &c->second;
}

std::string WorkbookSheet::text(int row, int column) const {
    const WorkbookCell* c = cell(row, column);
    if (!c) return {};
    switch (c->kind) {
        case WorkbookCell::Kind::Text:
            return c->text;
        case WorkbookCell::Kind::Number:
            return FormatCellNumber(c->number);
        case WorkbookCell::Kind::Empty:
            break;
    }
    return {};
}

void WorkbookSheet::setText(int row, int column, std::string text) {
    WorkbookCell& c = rows[row][column];
    c.kind = WorkbookCell::Kind::Text;
    c.text = std::move(text);
}

void WorkbookSheet::setNumber(int row, int column, double number) {
    WorkbookCell& c = rows[row][column];
    c.kind = WorkbookCell::Kind::Number;
    c.number = number;
    c.text.clear();
}

WorkbookSheet& Workbook::addSheet(std::string name) {
    sheets.emplace_back();
    sheets.back().name = std::move(name);
    return sheets.back();
}

const WorkbookSheet* Workbook::sheet(std::string_view name) const {
    for (const auto& s : sheets)
        if (s.name == name) return &s;
    return nullptr;
}

std::string FormatCellNumber(double number) {
    char buf[40];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, number);
        if (std::strtod(buf, nullptr) == number) break;
    }
    return buf;
}

bool ReadWorkbook(const std::string& path, Workbook& book, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = text::kWorkbookNotFound;
        return false;
    }
    unsigned char magic[4] = {};
    const size_t n = std::fread(magic, 1, sizeof magic, f);
    std::fclose(f);
    if (n == 4 && magic[0] == 'P' && magic[1] == 'K') return ReadXlsx(path, book, error);
    if (n == 4 && magic[0] == 0xD0 && magic[1] == 0xCF && magic[2] == 0x11 && magic[3] == 0xE0)
        return ReadXls(path, book, error);
    error = text::kWorkbookUnknownKind;
    return false;
}

}  // namespace pv
