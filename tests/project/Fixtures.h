#pragma once
// Small data folders written by the tests into a temporary directory, so that the loaders and
// the project file can be pinned without the shipped data files.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "project/ParamTable.h"

namespace pv::test {

// A fresh directory removed when the object dies.
class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "pvcore-XXXXXX").string();
        std::vector<char> buf(templ.begin(), templ.end());
        buf.push_back('\0');
        path_ = ::mkdtemp(buf.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder with a trailing '/', as the loaders expect.
    std::string dir() const { return path_.string() + "/"; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

inline std::string ReadFile(const std::string& path) {
    std::string data;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return data;
    char buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    std::fclose(f);
    return data;
}

// The value of model-default entry `pos` for value index `idx` in the fixture: "p<pos>v<idx>".
inline std::string FixtureModelValue(int pos, int idx) {
    return "p" + std::to_string(pos) + "v" + std::to_string(idx);
}

// A definition file for groups 00..lastGroup, each defining indexes 0..perGroup-1 (and every
// parameter the model-default binding names). Values are "<g>.<i>"; 01-01 is a two-decimal
// frequency ("50.00"), 00-00 an option list, 00-63 / 10-34 / 23-20 / 03-30 small integers.
inline std::string FixtureDefinitions(int lastGroup, int perGroup) {
    std::vector<std::vector<bool>> wanted(lastGroup + 1, std::vector<bool>(kParamsPerGroup));
    for (int g = 0; g <= lastGroup; ++g)
        for (int i = 0; i < perGroup && i < kParamsPerGroup; ++i) wanted[g][i] = true;
    for (const auto& b : ModelDefaultBinding())
        if (b.group <= lastGroup) wanted[b.group][b.index] = true;
    for (const char* code : {"00-63", "10-34", "23-20", "03-30", "01-01", "08-02"}) {
        const auto p = ParseParamCode(code);
        if (p->group <= lastGroup) wanted[p->group][p->index] = true;
    }
    std::string text;
    for (int g = 0; g <= lastGroup; ++g) {
        for (int i = 0; i < kParamsPerGroup; ++i) {
            if (!wanted[g][i]) continue;
            const std::string code = FormatParamCode(g, i);
            std::string value = std::to_string(g * 100 + i);
            std::string kindAndOptions = "0:";
            std::string aux = "0~9999";
            std::string attrs = "0,9999,0,0,0,0,0,0,0,0";
            if (code == "00-00") {
                value = "0";
                kindAndOptions = "5:V/F;V/F+PG;SLV";
                aux = "0~2";
                attrs = "0,2,0,0,0,0,0,0,0,0";
            } else if (code == "01-01") {
                value = "50.00";
                kindAndOptions = "2:";
                aux = "0.00~599.00";
                attrs = "0,59900,0,0,0,0,0,1,0,0";
            } else if (code == "00-63" || code == "10-34" || code == "03-30" || code == "23-20") {
                value = "1";
                aux = "0~4";
                attrs = "0,4,0,0,0,0,0,0,0,0";
            }
            text += code + " Name " + code + "@" + value + "$" + value + "*" + aux + "#" +
                    kindAndOptions + "$$$$" + attrs + "\r\n";
        }
        text += "##Group " + std::to_string(g) + "\r\n";
    }
    return text;
}

// 67 entries bound by position, 41 values each.
inline std::string FixtureModelDefaults() {
    std::string text;
    const auto& binding = ModelDefaultBinding();
    for (int pos = 0; pos < kModelDefaultBindings; ++pos) {
        text += FormatParamCode(binding[pos].group, binding[pos].index) + ":";
        for (int idx = 0; idx <= 40; ++idx) {
            if (idx) text += ",";
            text += FixtureModelValue(pos, idx);
        }
        text += "\n";
    }
    text += "END\n";
    return text;
}

// Writes a complete data folder into dir.
inline void WriteFixtureData(const TempDir& dir, int lastGroup = 23, int perGroup = 10) {
    WriteFile(dir.file("N350PARAM.DAT"), FixtureDefinitions(lastGroup, perGroup));
    WriteFile(dir.file("N350ComboxList.DAT"), "  V/F control\nVector control\n####00-00\n");
    WriteFile(dir.file("N350MOTORPARAM.DAT"), "12-00 Output frequency\n12-01 Output current\n");
    WriteFile(dir.file("N350InitialParam.dat"), FixtureModelDefaults());
    WriteFile(dir.file("N350.spe"),
              "TYPE:N350-2P5-H]\r\n200V 0.4kW\r\nline two\r\nTYPE:N350-401-H]\r\n400V 0.75kW\r\n");
}

}  // namespace pv::test
