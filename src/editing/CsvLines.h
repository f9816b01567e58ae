#pragma once
// The line format of the CSV files the program writes and reads (parameter export/import, graph
// data). Each line's text is followed by one zero byte and the lines are joined by CR LF, with
// nothing after the last line. A reader takes CR as the end of a line, ignores LF and drops zero
// bytes, so files from this program, from spreadsheets (CR LF, no zero bytes) and from old
// Macintosh editors (CR only) all read alike. Fields are separated by "," and never quoted.

#include <string>
#include <string_view>
#include <vector>

namespace pv {

// The bytes of a file holding `lines`.
std::string EncodeCsvLines(const std::vector<std::string>& lines);
// The lines of a file's bytes. A last line without CR is kept when it is not empty.
std::vector<std::string> DecodeCsvLines(std::string_view bytes);
// The fields of a line split at every ","; a last empty field is dropped (so "a,b," has two).
std::vector<std::string> SplitCsvFields(std::string_view line);
// Joins fields with ",".
std::string JoinCsvFields(const std::vector<std::string>& fields);

// Whole files: false when the file cannot be opened (or fully written).
bool WriteCsvFile(const std::string& path, const std::vector<std::string>& lines);
bool ReadCsvFile(const std::string& path, std::vector<std::string>& lines);

}  // namespace pv
