#include "monitor/StatusBlock.h"

#include "drive/Registers.h"
#include "monitor/DriveControl.h"

namespace pv::monitor {

bool ReadStatusBlock(serial::CSerial& link, int station, StatusBlock& block, std::string& error) {
    return ReadBlock(link, station, drive::kRegStatusFirst, kStatusWords, block.words.data(),
                     error);
}

bool ReadTerminalBlock(serial::CSerial& link, int station, TerminalBlock& block,
                       std::string& error) {
    return ReadBlock(link, station, drive::kRegStatusFirst + 2, kTerminalWords,
                     block.words.data(), error);
}

}  // namespace pv::monitor
