#pragma once
// The ladder program as text, for version control, review and the command line: one line per
// ladder row, the comment lines between the rows, one line per function block the program uses
// and the symbol table. Reading the text back gives the same bytes.
//
//   000  I01-M01-   -[Q01            row number, 3 cells with their gaps, the coil
//        // Pump start               a comment line (up to four texts; "//+" continues it)
//   T01 mode=1 base=1 preset=0050 reset=- base2=1 preset2=0000
//   symbols 1                        a symbol group (element kind), then its entries
//   symbol 1 Start button
//
// Gap characters: ' ' nothing, '_' a stored blank, '-' wire, 'v' link down, '^' link from
// above, '|' both. A NUL inside a cell is written '.'. A coil is "-[Q01", "S Q01", "R Q01",
// "P Q01", "[AS01", "[MD01", or "#" and eight hexadecimal digits for anything else. Link marks
// that the gaps do not imply follow as " !" and 32 hexadecimal digits. A block whose record the
// fields cannot say is written "T01 raw=" with its bytes.

#include <string>
#include <string_view>

#include "plc/PlcProgram.h"

namespace pv {

std::string ProgramToText(const PlcProgram& program);

// Reads program text into `program`: its rows, link marks, comment lines and symbols become
// those of the text (rows not listed are blank); each block named gets the fields given, its
// other bytes kept. Blank lines and lines starting with '#' are skipped. On failure returns
// false with `error` naming the line, and `program` is unchanged.
bool ProgramFromText(std::string_view text, PlcProgram& program, std::string& error);

}  // namespace pv
