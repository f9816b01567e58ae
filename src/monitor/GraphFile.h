#pragma once
// The graph monitor's files: the samples as CSV (the parameter export's line format) and as a
// workbook with the sheet "GraphData", written and read back.

#include <string>

#include "monitor/GraphRecording.h"

namespace pv::monitor {

bool SaveGraphCsv(const std::string& path, const GraphRecording& recording);
// False when the file cannot be read or its lines do not fit; `recording` is then unchanged.
bool LoadGraphCsv(const std::string& path, GraphRecording& recording, bool& unreadable);

// Sheet "GraphData": row 1 "Index", "Time" and the channels' headings, rows 2 and 3 "Min" and
// "Max" under the channels, then one row per sample with numbers.
bool SaveGraphWorkbook(const std::string& path, const GraphRecording& recording,
                       std::string& error);
bool LoadGraphWorkbook(const std::string& path, GraphRecording& recording, std::string& error);

}  // namespace pv::monitor
