// .xlsx workbooks: written with libxlsxwriter, read with libzip + pugixml. Reading needs only
// four parts of the package: the workbook (sheet names), its relationships (which part holds
// which sheet), the shared strings and the sheets themselves.

#include <xlsxwriter.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <pugixml.hpp>
#include <string_view>

#include "editing/Workbook.h"
#include "res/ExchangeTexts.h"

namespace pv {

namespace {

// Longest part that is unpacked; a part that claims more is refused (a zip bomb stops here).
constexpr size_t kMaxPartBytes = 32u << 20;
constexpr int kMaxRows = 1048576, kMaxColumns = 16384;
constexpr size_t kMaxCells = 1000000;

std::string format(const char* fmt, const std::string& a, const std::string& b = {}) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, fmt, a.c_str(), b.c_str());
    return buf;
}

// Element names without their namespace prefix: writers differ in whether they use one.
std::string_view localName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && localName(c) == name) return c;
    return {};
}

const char* attribute(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_attribute a : node.attributes()) {
        std::string_view n = a.name();
        const size_t colon = n.find(':');
        if (colon != std::string_view::npos && name.find(':') == std::string_view::npos)
            n = n.substr(colon + 1);
        if (n == name) return a.value();
    }
    return nullptr;
}

// The text of a string item: its own <t>, or the <t> of each rich-text run; phonetic hints
// (<rPh>) are not part of the text.
std::string itemText(const pugi::xml_node& item) {
    std::string out;
    for (pugi::xml_node c : item.children()) {
        if (c.type() != pugi::node_element) continue;
        const std::string_view n = localName(c);
        if (n == "t")
            out += c.text().get();
        else if (n == "r")
            out += itemText(c);
    }
    return out;
}

class Package {
public:
    ~Package() {
        if (zip_) zip_discard(zip_);
    }
    bool open(const uint8_t* data, size_t size, std::string& error) {
        zip_error_t ze;
        zip_error_init(&ze);
        zip_source_t* src = zip_source_buffer_create(data, size, 0, &ze);
        if (src) {
            zip_ = zip_open_from_source(src, ZIP_RDONLY, &ze);
            if (!zip_) zip_source_free(src);
        }
        if (!zip_) error = format(text::kWorkbookNotZip, zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return zip_ != nullptr;
    }
    // -1: the part is missing, 0: it cannot be unpacked (error set), 1: read.
    int read(const std::string& name, std::string& out, std::string& error) {
        const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
        if (index < 0) return -1;
        zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
        if (!f) {
            error = format(text::kWorkbookPartUnreadable, name, zip_strerror(zip_));
            return 0;
        }
        out.clear();
        char buf[65536];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0) {
            out.append(buf, static_cast<size_t>(n));
            if (out.size() > kMaxPartBytes) {
                n = -1;
                break;
            }
        }
        if (n < 0) error = format(text::kWorkbookPartUnreadable, name, zip_file_strerror(f));
        zip_fclose(f);
        return n < 0 ? 0 : 1;
    }

private:
    zip_t* zip_ = nullptr;
};

bool parseXml(const std::string& part, const std::string& bytes, pugi::xml_document& doc,
              std::string& error) {
    const pugi::xml_parse_result r = doc.load_buffer(bytes.data(), bytes.size());
    if (r) return true;
    error = format(text::kWorkbookBadXml, part, r.description());
    return false;
}

// "C12" -> row 11, column 2. False for anything that is not a cell reference within the sheet.
bool parseCellRef(std::string_view ref, int& row, int& column) {
    size_t i = 0;
    long col = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && col <= kMaxColumns)
        col = col * 26 + (ref[i++] - 'A' + 1);
    long r = 0;
    const size_t digits = i;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9' && r <= kMaxRows)
        r = r * 10 + (ref[i++] - '0');
    if (i != ref.size() || digits == 0 || i == digits || col > kMaxColumns || r < 1 ||
        r > kMaxRows)
        return false;
    row = static_cast<int>(r - 1);
    column = static_cast<int>(col - 1);
    return true;
}

// A package-relative part name from a relationship target of the workbook part.
std::string partName(std::string_view target) {
    if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
    return "xl/" + std::string(target);
}

bool readSheet(const std::string& part, const pugi::xml_document& doc,
               const std::vector<std::string>& shared, WorkbookSheet& sheet, size_t& cells,
               std::string& error) {
    const pugi::xml_node data = child(child(doc, "worksheet"), "sheetData");
    int row = -1;
    for (pugi::xml_node r : data.children()) {
        if (r.type() != pugi::node_element || localName(r) != "row") continue;
        const char* rowRef = attribute(r, "r");
        const long rowNumber = rowRef ? std::strtol(rowRef, nullptr, 10) : row + 2;
        if (rowNumber < 1 || rowNumber > kMaxRows) {
            error = format(text::kWorkbookBadCell, part, rowRef ? rowRef : "");
            return false;
        }
        row = static_cast<int>(rowNumber - 1);
        int column = -1;
        for (pugi::xml_node c : r.children()) {
            if (c.type() != pugi::node_element || localName(c) != "c") continue;
            const char* ref = attribute(c, "r");
            int cellRow = row, cellColumn = column + 1;
            if (ref && !parseCellRef(ref, cellRow, cellColumn)) {
                error = format(text::kWorkbookBadCell, part, ref);
                return false;
            }
            if (cellColumn >= kMaxColumns) {
                error = format(text::kWorkbookBadCell, part, ref ? ref : "");
                return false;
            }
            column = cellColumn;
            const std::string_view type = attribute(c, "t") ? attribute(c, "t") : "n";
            const pugi::xml_node v = child(c, "v");
            WorkbookCell cell;
            if (type == "inlineStr") {
                cell.kind = WorkbookCell::Kind::Text;
                cell.text = itemText(child(c, "is"));
            } else if (!v) {
                continue;  // a formatted but empty cell
            } else if (type == "s") {
                char* end = nullptr;
                const unsigned long index = std::strtoul(v.text().get(), &end, 10);
                if (end == v.text().get() || index >= shared.size()) {
                    error = format(text::kWorkbookBadString, part);
                    return false;
                }
                cell.kind = WorkbookCell::Kind::Text;
                cell.text = shared[index];
            } else if (type == "n" || type == "b") {
                char* end = nullptr;
                cell.number = std::strtod(v.text().get(), &end);
                cell.kind = end == v.text().get() ? WorkbookCell::Kind::Text
                                                  : WorkbookCell::Kind::Number;
                if (cell.kind == WorkbookCell::Kind::Text) cell.text = v.text().get();
            } else {  // "str" (a formula's text), "e" (an error value), "d" (ISO date)
                cell.kind = WorkbookCell::Kind::Text;
                cell.text = v.text().get();
            }
            if (++cells > kMaxCells) {
                error = text::kWorkbookTooManyCells;
                return false;
            }
            sheet.rows[cellRow][cellColumn] = std::move(cell);
        }
    }
    return true;
}

std::string validUtf8(std::string_view in) {
    // Values typed in other programs may carry 8-bit text; bytes that do not form UTF-8 are
    // taken as Latin-1 so that the workbook stays well-formed.
    std::string out;
    for (size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        for (size_t k = 1; len > 1 && k < len; ++k)
            if (i + k >= in.size() || (static_cast<unsigned char>(in[i + k]) & 0xC0) != 0x80)
                len = 0;
        if (len > 0) {
            out.append(in.substr(i, len));
            i += len;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
            ++i;
        }
    }
    return out;
}

}  // namespace

bool ReadXlsxBytes(const uint8_t* data, size_t size, Workbook& book, std::string& error) {
    Package zip;
    if (!zip.open(data, size, error)) return false;

    auto load = [&](const std::string& part, pugi::xml_document& doc, bool required) {
        std::string bytes;
        const int got = zip.read(part, bytes, error);
        if (got < 0 && required) error = format(text::kWorkbookPartMissing, part);
        if (got <= 0) return !required && got < 0;
        return parseXml(part, bytes, doc, error);
    };

    pugi::xml_document workbook, rels, strings;
    if (!load("xl/workbook.xml", workbook, true)) return false;
    if (!load("xl/_rels/workbook.xml.rels", rels, false)) return false;
    if (!load("xl/sharedStrings.xml", strings, false)) return false;

    std::vector<std::string> shared;
    for (pugi::xml_node si : child(strings, "sst").children())
        if (si.type() == pugi::node_element && localName(si) == "si") shared.push_back(itemText(si));

    std::map<std::string, std::string> targets;
    for (pugi::xml_node r : child(rels, "Relationships").children())
        if (const char* id = attribute(r, "Id"); id && attribute(r, "Target"))
            targets[id] = partName(attribute(r, "Target"));

    Workbook result;
    size_t cells = 0;
    int position = 0;
    for (pugi::xml_node s : child(child(workbook, "workbook"), "sheets").children()) {
        if (s.type() != pugi::node_element || localName(s) != "sheet") continue;
        ++position;
        const char* id = attribute(s, "r:id");
        if (!id) id = attribute(s, "id");
        std::string part = "xl/worksheets/sheet" + std::to_string(position) + ".xml";
        if (id && targets.count(id)) part = targets[id];
        pugi::xml_document sheetDoc;
        if (!load(part, sheetDoc, true)) return false;
        WorkbookSheet& sheet = result.addSheet(attribute(s, "name") ? attribute(s, "name") : "");
        if (!readSheet(part, sheetDoc, shared, sheet, cells, error)) return false;
    }
    if (result.sheets.empty()) {
        error = text::kWorkbookNoSheets;
        return false;
    }
    book = std::move(result);
    return true;
}

bool ReadXlsx(const std::string& path, Workbook& book, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = text::kWorkbookNotFound;
        return false;
    }
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() <= kWorkbookMaxBytes)
        bytes.append(buf, n);
    std::fclose(f);
    if (bytes.size() > kWorkbookMaxBytes) {
        error = text::kWorkbookTooLarge;
        return false;
    }
    return ReadXlsxBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), book,
                         error);
}

bool WriteXlsx(const std::string& path, const Workbook& book, std::string& error) {
    // The workbook is written beside the target and renamed over it, so a failed export leaves
    // an earlier file as it was.
    const std::string part = path + ".part";
    lxw_workbook* wb = workbook_new(part.c_str());
    if (!wb) {
        error = std::strerror(ENOMEM);
        return false;
    }
    bool ok = true;
    for (const WorkbookSheet& s : book.sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, s.name.c_str());
        if (!ws) {
            error = format(text::kWorkbookBadSheetName, s.name);
            ok = false;
            break;
        }
        for (const auto& [column, width] : s.columnWidths)
            worksheet_set_column(ws, static_cast<lxw_col_t>(column),
                                 static_cast<lxw_col_t>(column), width, nullptr);
        for (const auto& [row, cells] : s.rows)
            for (const auto& [column, cell] : cells) {
                const auto r = static_cast<lxw_row_t>(row);
                const auto c = static_cast<lxw_col_t>(column);
                if (cell.kind == WorkbookCell::Kind::Text)
                    worksheet_write_string(ws, r, c, validUtf8(cell.text).c_str(), nullptr);
                else if (cell.kind == WorkbookCell::Kind::Number)
                    worksheet_write_number(ws, r, c, cell.number, nullptr);
            }
    }
    const lxw_error closed = workbook_close(wb);
    if (ok && closed != LXW_NO_ERROR) {
        error = lxw_strerror(closed);
        ok = false;
    }
    if (ok && std::rename(part.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok) std::remove(part.c_str());
    return ok;
}

}  // namespace pv
