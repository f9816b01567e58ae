#pragma once
// Reading the data files: whole-file reads and the line discipline the loaders share (a line ends
// at "\n", a CR before it is dropped, a line holds at most kMaxLineLength characters and ends at
// an embedded NUL, as a C string would).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pv {

// Largest file the loaders read: far above any project or data file, far below memory.
inline constexpr size_t kMaxFileBytes = size_t{64} << 20;

// The file's bytes; nullopt when it cannot be opened or read. Only regular files are read: a
// FIFO would block, a device such as /dev/zero never ends. When `whyNot` is given it receives
// the reason for the user (empty for a file that does not exist).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* whyNot = nullptr);

// Opens a regular file for reading without blocking on a FIFO or a device: the descriptor, or
// -1 with `whyNot` set as for ReadWholeFile.
int OpenRegularFile(const std::string& path, std::string* whyNot = nullptr);

// What a file of this mode is, for the user ("a FIFO (named pipe)", "a folder", ...).
const char* FileKindText(unsigned mode);

// Calls fn for each line of text. A final line without "\n" counts; an empty text has no lines.
// Returning false from fn stops the walk.
void ForEachLine(std::string_view text, size_t maxLength,
                 const std::function<bool(std::string_view)>& fn);

// Leading white space removed / both ends trimmed.
std::string_view TrimLeft(std::string_view s);
std::string_view Trim(std::string_view s);

// Decimal value in the manner of atoi (leading blanks, sign, digits; stops at the first other
// character; 0 when there are no digits), clamped to the 32-bit range.
int32_t AtoiLike(std::string_view s);
// Decimal number in the manner of atof, but always with '.' as the decimal point; 0.0 when the
// text does not start with a number.
double AtofLike(std::string_view s);

}  // namespace pv
