#pragma once
// The items of a project that the main frame holds (not the document) but that the project file
// stores. FrameState (app/) derives from this, so the document's file operations read and write
// them without depending on the frame.

#include <array>
#include <cstdint>
#include <string>

namespace pv {

inline constexpr int kGraphChannels = 4;

struct GraphChannel {
    int32_t selection = 0;
    std::string itemName = "NONE";
    std::string maximum = "10.00";
    std::string minimum = "0.00";
    bool operator==(const GraphChannel&) const = default;
};

struct ProjectFrameItems {
    uint32_t modelCode = 0;
    std::string modelName;  // "N350-2P5-H"
    std::array<GraphChannel, kGraphChannels> graphChannels{};
    std::string projectPath;  // empty for a project never saved

    bool operator==(const ProjectFrameItems&) const = default;
};

}  // namespace pv
