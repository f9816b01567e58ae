#pragma once
// The project document: the parameter table, the ladder program and the print title block of one
// project, and its project file (*.nf3).
//
// Project file layout (little-endian, no padding; "string" = 32-bit length + bytes, no NUL):
//   version (i32, written 2) | model code (u32) | model name (string) | PLC section |
//   defined flags: G, then G x 100 i32 | set values: G, then per group R and R strings |
//   title block (248 bytes) | 4 x graph channel (i32 selection, 3 strings)

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "plc/ByteStream.h"
#include "plc/PlcProgram.h"
#include "project/ParamTable.h"
#include "project/ProjectFrameItems.h"

namespace pv {

inline constexpr int32_t kProjectFileVersion = 2;
inline constexpr int32_t kFirstUnreadableVersion = 3;
// Longest texts the file carries; a longer length field marks the file as damaged.
inline constexpr size_t kModelNameMaxChars = 19;
inline constexpr size_t kModelNameReadWidth = 49;
inline constexpr size_t kChannelTextWidth = 49;
inline constexpr size_t kSetValueWidth = 19;
inline constexpr size_t kTitleBlockSize = 248;

// Eight fixed-width, NUL-terminated fields printed on ladder printouts.
struct PrintTitleBlock {
    std::array<char, 27> title{};
    std::array<char, 21> company{};
    std::array<char, 25> author{};
    std::array<char, 11> version{};
    std::array<char, 11> date{};
    std::array<char, 51> note1{};
    std::array<char, 51> note2{};
    std::array<char, 51> note3{};

    // Text of a field up to its first NUL.
    template <size_t N>
    static std::string get(const std::array<char, N>& field) {
        size_t n = 0;
        while (n < N && field[n] != '\0') ++n;
        return std::string(field.data(), n);
    }
    // Stores at most N - 1 characters and NUL-fills the rest.
    template <size_t N>
    static void set(std::array<char, N>& field, std::string_view text) {
        field.fill('\0');
        const size_t n = text.size() < N - 1 ? text.size() : N - 1;
        for (size_t i = 0; i < n; ++i) field[i] = text[i];
    }
    void clear() { *this = PrintTitleBlock{}; }
    bool operator==(const PrintTitleBlock&) const = default;
};

class CM240Doc {
public:
    // dataDir: folder of the data files with a trailing '/' (DataDir() for the program).
    explicit CM240Doc(std::string dataDir);

    ParamTable table;
    PlcProgram plc;
    PrintTitleBlock titleBlock;
    // Text of the last failure of LoadProject or SaveProject, for the caller to show.
    std::string lastError;

    // Drive facts, not stored in the file.
    double driveSoftwareVersion = 0.0;
    int32_t driveKind = 0;  // 0, or 5 for the drive that answers 1856 at register 9519
    FlagTable refreshMarks{};

    bool modified = false;

    const std::string& dataDir() const { return dataDir_; }

    // Held while the table is written from another thread (values read from a drive) and by
    // whoever reads it meanwhile. A copy of the document has a lock of its own.
    std::mutex& tableMutex() const { return tableLock_.mutex; }

    // A new document: empty title block, program reset, applyModelDefaultsToSetValues set, the
    // parameter table loaded from the data files.
    void OnNewDocument();
    // The three loaders of a document (definitions, option lists, code list), in that order.
    void LoadParameterDatabase();
    // Reads the model defaults file and applies them for modelCode; toSetValues selects whether
    // set values take them too. The flag is left set afterwards. Returns the records written.
    int ApplyModelDefaultsFile(uint32_t modelCode, bool toSetValues);

    // Reads a project file into this document and `frame` (model code, model name, graph
    // channels). On failure lastError holds the text and NOTHING in this document or in `frame`
    // has changed. The project path is not touched.
    bool LoadProject(const std::string& path, ProjectFrameItems& frame);
    // The same for a file image already in memory.
    bool LoadProjectImage(const uint8_t* data, size_t size, ProjectFrameItems& frame);
    // Writes the project beside the target and renames it over; on failure lastError is
    // "Can not save this file." and the previous file is intact. Leaves `modified` alone.
    bool SaveProject(const std::string& path, const ProjectFrameItems& frame);

    // Clears all comments of the ladder program and marks the document modified.
    void clearComments();

    // The file image of this project.
    std::vector<uint8_t> EncodeProject(const ProjectFrameItems& frame) const;
    // Parses a file image into this document and `frame`. Used on a scratch document: on
    // failure both are left partly filled. Sets lastError on failure; returns the file version.
    bool DecodeProject(const std::vector<uint8_t>& bytes, ProjectFrameItems& frame,
                       int32_t* versionOut = nullptr);
    bool DecodeProject(ByteReader in, ProjectFrameItems& frame, int32_t* versionOut = nullptr);

private:
    struct OwnLock {
        OwnLock() = default;
        OwnLock(const OwnLock&) {}
        OwnLock& operator=(const OwnLock&) { return *this; }
        mutable std::mutex mutex;
    };

    std::string dataDir_;
    OwnLock tableLock_;
};

// Reads the version field of a project file; false when the file cannot be read or is
// shorter than four bytes (for `info`).
bool ReadProjectVersion(const std::string& path, int32_t& version);

}  // namespace pv
