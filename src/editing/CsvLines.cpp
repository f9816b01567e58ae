#include "editing/CsvLines.h"

#include <cstdio>

namespace pv {

std::string EncodeCsvLines(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += "\r\n";
        out += lines[i];
        out += '\0';
    }
    return out;
}

std::vector<std::string> DecodeCsvLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : bytes) {
        if (c == '\r') {
            lines.push_back(std::move(line));
            line.clear();
        } else if (c != '\n' && c != '\0') {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::vector<std::string> SplitCsvFields(std::string_view line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.emplace_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (fields.back().empty()) fields.pop_back();
    return fields;
}

std::string JoinCsvFields(const std::vector<std::string>& fields) {
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += fields[i];
    }
    return out;
}

bool WriteCsvFile(const std::string& path, const std::vector<std::string>& lines) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const std::string bytes = EncodeCsvLines(lines);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

bool ReadCsvFile(const std::string& path, std::vector<std::string>& lines) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok) lines = DecodeCsvLines(bytes);
    return ok;
}

}  // namespace pv
