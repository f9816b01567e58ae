#include "editing/Compare.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "editing/WriteRules.h"
#include "project/ParamAttr.h"
#include "res/EditingTexts.h"

namespace pv::editing {

namespace {

constexpr int kCompareGroups = 24;
constexpr int kMonitorGroup = 12;
constexpr int kMonitorCompared = 5;  // 12-00..12-04: the set-up part of the monitor group

}  // namespace

std::pair<std::string, std::string> ComparedValues(const ParamRecord& r, CompareMode mode) {
    switch (mode) {
        case CompareMode::FactoryEdited:
            return {r.defaultValue, r.setValue};
        case CompareMode::FactoryRead:
            return {r.defaultValue, r.readValue};
        case CompareMode::EditedRead:
            break;
    }
    return {r.setValue, r.readValue};
}

std::pair<const char*, const char*> CompareColumns(CompareMode mode) {
    switch (mode) {
        case CompareMode::FactoryEdited:
            return {res::kCompareColumnDefault, res::kCompareColumnSet};
        case CompareMode::FactoryRead:
            return {res::kCompareColumnDefault, res::kCompareColumnRead};
        case CompareMode::EditedRead:
            break;
    }
    return {res::kCompareColumnSet, res::kCompareColumnRead};
}

CompareResult BuildCompare(const ParamTable& table, CompareMode mode) {
    CompareResult out;
    const int groups = std::min<int>(kCompareGroups, static_cast<int>(table.groups.size()));
    for (int g = 0; g < groups; ++g) {
        const ParamGroup& group = table.groups[g];
        const int count = g == kMonitorGroup ? kMonitorCompared
                                             : static_cast<int>(group.params.size());
        for (int i = 0; i < count && i < static_cast<int>(group.params.size()); ++i) {
            const ParamRecord& r = group.params[i];
            if (!r.defined) continue;
            // Against a drive, only what a Read reads and a Write may send: the drive's own
            // identification, monitor values and fault records, and the project's note of the
            // frequency range (never read), would always differ from a project.
            if (NeedsDriveRead(mode) && (!readByTransfer(r.attr) || readOnly(r.attr) ||
                                         WriteRules::isReadOnly(g, i)))
                continue;
            const auto [a, b] = ComparedValues(r, mode);
            if (a == b) continue;
            if (out.empty() || out.back().group != g) out.push_back({g, group.name, {}});
            out.back().records.push_back(r);
        }
    }
    return out;
}

int DifferenceCount(const CompareResult& result) {
    int n = 0;
    for (const auto& g : result) n += static_cast<int>(g.records.size());
    return n;
}

std::string CompareText(const CompareResult& result, CompareMode mode) {
    std::string text;
    for (const CompareGroup& g : result) {
        text += g.name + "\r\n";
        for (const ParamRecord& r : g.records) {
            const auto [a, b] = ComparedValues(r, mode);
            text += r.label + "\t" + a + "\t" + b + "\r\n";
        }
    }
    return text;
}

bool SaveCompareText(Prompts& prompts, const CompareResult& result, CompareMode mode) {
    char filter[64];
    std::snprintf(filter, sizeof filter, res::kCompareFileFilter, "*.txt", "*.txt");
    FileQuestion question;
    question.kind = FileDialog::Save;
    question.caption = res::kCompareSave;
    question.filter = std::string(filter).substr(0, std::string(filter).find('|'));
    question.defaultName = std::string(res::kCompareFileName) + ".txt";
    auto path = prompts.chooseFile(question);
    if (!path) return false;
    const auto slash = path->find_last_of('/');
    if (path->find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) *path += ".txt";
    std::ofstream out(*path, std::ios::binary | std::ios::trunc);
    out << CompareText(result, mode);
    return static_cast<bool>(out.flush());
}

std::string CompareCode(const ParamRecord& record) {
    return record.label.substr(0, 5);
}

std::string CompareName(const ParamRecord& record) {
    return record.label.size() > 6 ? record.label.substr(6) : std::string();
}

}  // namespace pv::editing
