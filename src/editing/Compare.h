#pragma once
// Which parameters differ between two of the three values each carries: the factory value, the
// project's set value and the value read from a drive. Values are compared as text, byte for
// byte ("1.0" differs from "1.00"), so the list shows exactly what a Write or a Read would change.

#include <string>
#include <utility>
#include <vector>

#include "project/ParamTable.h"
#include "res/Prompts.h"

namespace pv::editing {

enum class CompareMode {
    FactoryEdited = 0,  // defaultValue against setValue
    FactoryRead = 1,    // defaultValue against readValue
    EditedRead = 2,     // setValue against readValue
};

// The differing parameters of one group, in index order.
struct CompareGroup {
    int group = 0;
    std::string name;
    std::vector<ParamRecord> records;
};
using CompareResult = std::vector<CompareGroup>;

// The two values of a record that a mode sets against each other, in column order.
std::pair<std::string, std::string> ComparedValues(const ParamRecord& record, CompareMode mode);
// The captions of the two value columns ("Default", "Set value", "Read value").
std::pair<const char*, const char*> CompareColumns(CompareMode mode);
// Whether a mode needs the drive's values first.
inline bool NeedsDriveRead(CompareMode mode) {
    return mode != CompareMode::FactoryEdited;
}

// Groups 00..23, defined parameters only; of the monitor group 12 only 12-00..12-04. Modes with
// read values leave out what no Read reads and no Write sends (01-01, 13-01, fault records).
CompareResult BuildCompare(const ParamTable& table, CompareMode mode);
int DifferenceCount(const CompareResult& result);

// The compare text file: per group its name, then per record the label and the two values
// separated by TABs; every line ends in CR LF, no header.
std::string CompareText(const CompareResult& result, CompareMode mode);

// Save: asks for a file ("N350 Compare Text", text files; ".txt" is added to a name without
// an extension) and writes the compare text to it. False on Cancel or when the file cannot be
// written, which is not reported: the list stays on screen.
bool SaveCompareText(Prompts& prompts, const CompareResult& result, CompareMode mode);

// The list's "Code" (first five label characters) and "Parameter Name" (from the seventh).
std::string CompareCode(const ParamRecord& record);
std::string CompareName(const ParamRecord& record);

}  // namespace pv::editing
