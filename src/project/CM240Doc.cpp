#include "project/CM240Doc.h"

#include "project/HiddenGroups.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "project/DataPaths.h"
#include "project/TextFile.h"
#include "res/ProjectTexts.h"

namespace pv {

namespace {

std::string clipped(std::string_view text, size_t maxChars) {
    return std::string(text.substr(0, maxChars));
}

template <size_t N>
void writeField(ByteWriter& out, const std::array<char, N>& field) {
    out.raw(field.data(), N);
}

template <size_t N>
bool readField(ByteReader& in, std::array<char, N>& field) {
    return in.raw(field.data(), N);
}

// Writes all bytes to fd; false on any error.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Opens a fresh temporary file beside `target` (same folder, so the final rename cannot cross
// file systems). Returns the descriptor or -1.
int openTempBeside(const std::filesystem::path& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    const auto dir = target.parent_path();
    const std::string base = target.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            dir / ("." + base + "." + std::to_string(::getpid()) + "." +
                   std::to_string(counter.fetch_add(1)) + ".tmp");
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            tempPath = candidate.string();
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Temporary files of saves that never finished (the program was killed between writing and
// renaming): ".<name>.<pid>.<n>.tmp" beside the target, from a process that no longer runs.
// Those of a running process may be a save in progress and stay.
void removeStaleTemps(const std::filesystem::path& target) {
    namespace fs = std::filesystem;
    const std::string prefix = "." + target.filename().string() + ".";
    const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) return;
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() + 4 || name.rfind(prefix, 0) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            continue;
        const std::string rest = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        const size_t dot = rest.find('.');
        if (dot == 0 || dot == std::string::npos || dot > 9 ||
            rest.find_first_not_of("0123456789.") != std::string::npos)
            continue;
        const pid_t pid = static_cast<pid_t>(std::stol(rest.substr(0, dot)));
        if (pid == ::getpid() || pid <= 0) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        if (!entry.is_regular_file(ec)) continue;
        fs::remove(entry.path(), ec);
    }
}

std::string formatted(const char* pattern, const std::string& a, const std::string& b) {
    char buf[2048];
    std::snprintf(buf, sizeof buf, pattern, a.c_str(), b.c_str());
    return buf;
}

void syncFolder(const std::filesystem::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

CM240Doc::CM240Doc(std::string dataDir)
    : lastError(text::kCannotOpenFile), dataDir_(std::move(dataDir)) {}

void CM240Doc::OnNewDocument() {
    titleBlock.clear();
    plc.reset();
    LoadParameterDatabase();
    table.applyModelDefaultsToSetValues = 1;
    modified = false;
}

void CM240Doc::LoadParameterDatabase() {
    table.LoadParamDefinitions(dataDir_ + std::string(kParamFileName));
    table.LoadOptionLists(dataDir_ + std::string(kOptionListFileName));
    table.LoadCodeList(dataDir_ + std::string(kCodeListFileName));
}

int CM240Doc::ApplyModelDefaultsFile(uint32_t modelCode, bool toSetValues) {
    table.modelDefaults.clear();
    int written = 0;
    if (const auto text = ReadWholeFile(dataDir_ + std::string(kModelDefaultsFileName))) {
        table.ParseModelDefaults(*text);
        table.applyModelDefaultsToSetValues = toSetValues ? 1 : 0;
        written = table.ApplyModelDefaults(modelCode);
    }
    table.applyModelDefaultsToSetValues = 1;
    return written;
}

void CM240Doc::clearComments() {
    plc.clearComments();
    modified = true;
}

// ---------------------------------------------------------------------------------------------
// The file image

std::vector<uint8_t> CM240Doc::EncodeProject(const ProjectFrameItems& frame) const {
    ByteWriter out;
    out.i32(kProjectFileVersion);
    out.u32(frame.modelCode);
    out.lengthText(clipped(frame.modelName, kModelNameMaxChars));
    plc.serialize(out);

    const auto groupCount = static_cast<uint32_t>(table.groups.size());
    out.u32(groupCount);
    for (const auto& g : table.groups)
        for (int i = 0; i < kParamsPerGroup; ++i)
            out.i32(i < static_cast<int>(g.params.size()) ? g.params[i].defined : 0);

    out.u32(groupCount);
    for (const auto& g : table.groups) {
        out.u32(kParamsPerGroup);
        for (int i = 0; i < kParamsPerGroup; ++i) {
            const std::string_view value = i < static_cast<int>(g.params.size())
                                               ? std::string_view(g.params[i].setValue)
                                               : std::string_view("0");
            out.lengthText(clipped(value, kSetValueWidth));
        }
    }

    writeField(out, titleBlock.title);
    writeField(out, titleBlock.version);
    writeField(out, titleBlock.company);
    writeField(out, titleBlock.author);
    writeField(out, titleBlock.date);
    writeField(out, titleBlock.note1);
    writeField(out, titleBlock.note2);
    writeField(out, titleBlock.note3);

    for (const auto& ch : frame.graphChannels) {
        out.i32(ch.selection);
        out.lengthText(clipped(ch.itemName, kChannelTextWidth));
        out.lengthText(clipped(ch.maximum, kChannelTextWidth));
        out.lengthText(clipped(ch.minimum, kChannelTextWidth));
    }
    return std::move(out.bytes);
}

bool CM240Doc::DecodeProject(const std::vector<uint8_t>& bytes, ProjectFrameItems& frame,
                             int32_t* versionOut) {
    return DecodeProject(ByteReader(bytes), frame, versionOut);
}

bool CM240Doc::DecodeProject(ByteReader in, ProjectFrameItems& frame, int32_t* versionOut) {
    lastError = text::kProjectFileDamaged;

    int32_t version = 0;
    if (!in.i32(version)) return false;
    if (versionOut) *versionOut = version;
    // Only a later version is refused: every earlier one, negative ones included, has the
    // layout of version 2, and the sections below still refuse a file that does not fit it.
    if (version >= kFirstUnreadableVersion) {
        lastError = text::kVersionTooNew;
        return false;
    }

    if (!in.u32(frame.modelCode)) return false;
    if (!in.lengthText(frame.modelName, kModelNameReadWidth, kModelNameReadWidth)) return false;
    if (!plc.deserialize(in)) return false;

    // Defined flags. The flag tables hold groups 00..24; the flags of the hidden groups 25..28
    // (appended by a Read before the save) are kept aside, anything beyond them is skipped.
    uint32_t groupCount = 0;
    if (!in.u32(groupCount)) return false;
    constexpr size_t kFlagsPerGroup = kParamsPerGroup * 4;
    if (groupCount > in.remaining() / kFlagsPerGroup) return false;
    table.paramStored = {};
    std::array<std::array<int32_t, kParamsPerGroup>, kHiddenGroupLast - kHiddenGroupFirst + 1>
        hiddenStored{};
    bool anyHidden = false;
    for (uint32_t g = 0; g < groupCount; ++g) {
        for (int i = 0; i < kParamsPerGroup; ++i) {
            int32_t flag = 0;
            if (!in.i32(flag)) return false;
            if (g < static_cast<uint32_t>(kGroupSlots)) {
                table.paramStored[g][i] = flag;
            } else if (g >= static_cast<uint32_t>(kHiddenGroupFirst) &&
                       g <= static_cast<uint32_t>(kHiddenGroupLast) && i < kHiddenGroupParams &&
                       flag != 0) {
                hiddenStored[g - kHiddenGroupFirst][i] = flag;
                anyHidden = true;
            }
        }
    }
    // The hidden groups come back so that their saved values can be written to a drive again.
    if (anyHidden) AppendHiddenGroups(table);

    // Set values, only where the writer had the record defined.
    table.applyModelDefaultsToSetValues = 0;
    if (!in.u32(groupCount)) return false;
    if (groupCount > in.remaining() / 4) return false;
    for (uint32_t g = 0; g < groupCount; ++g) {
        uint32_t recordCount = 0;
        if (!in.u32(recordCount)) return false;
        if (recordCount > in.remaining() / 4) return false;
        for (uint32_t i = 0; i < recordCount; ++i) {
            std::string value;
            if (!in.lengthText(value, kSetValueWidth, kSetValueWidth)) return false;
            if (i >= static_cast<uint32_t>(kParamsPerGroup)) continue;
            if (g < static_cast<uint32_t>(kGroupSlots)) {
                if (!table.paramStored[g][i]) continue;
            } else if (g <= static_cast<uint32_t>(kHiddenGroupLast) && anyHidden) {
                if (!hiddenStored[g - kHiddenGroupFirst][i]) continue;
            } else {
                continue;
            }
            if (ParamRecord* r = table.record(static_cast<int>(g), static_cast<int>(i)))
                r->setValue = std::move(value);
        }
    }

    if (!readField(in, titleBlock.title) || !readField(in, titleBlock.version) ||
        !readField(in, titleBlock.company) || !readField(in, titleBlock.author) ||
        !readField(in, titleBlock.date) || !readField(in, titleBlock.note1) ||
        !readField(in, titleBlock.note2) || !readField(in, titleBlock.note3))
        return false;

    for (auto& ch : frame.graphChannels) {
        if (!in.i32(ch.selection) ||
            !in.lengthText(ch.itemName, kChannelTextWidth, kChannelTextWidth) ||
            !in.lengthText(ch.maximum, kChannelTextWidth, kChannelTextWidth) ||
            !in.lengthText(ch.minimum, kChannelTextWidth, kChannelTextWidth))
            return false;
    }
    lastError = text::kCannotOpenFile;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Load and save

bool CM240Doc::LoadProject(const std::string& path, ProjectFrameItems& frame) {
    lastError = text::kCannotOpenFile;
    std::string whyNot;
    const auto data = ReadWholeFile(path, &whyNot);
    if (!data) {
        if (!whyNot.empty()) lastError += "\n" + whyNot;
        return false;
    }
    return LoadProjectImage(reinterpret_cast<const uint8_t*>(data->data()), data->size(), frame);
}

bool CM240Doc::LoadProjectImage(const uint8_t* data, size_t size, ProjectFrameItems& frame) {
    const ByteReader bytes(data, size);
    // Everything is read into a scratch document and frame first, so that a file that turns out
    // to be damaged half-way leaves the open project exactly as it was.
    CM240Doc scratch(dataDir_);
    ProjectFrameItems scratchFrame = frame;
    // A first pass over the file without the parameter database finds a damaged file (or one of
    // a newer version) before the data files are read; the second pass fills the fresh table.
    if (!scratch.DecodeProject(bytes, scratchFrame)) {
        lastError = scratch.lastError;
        return false;
    }
    scratch.LoadParameterDatabase();
    scratchFrame = frame;
    if (!scratch.DecodeProject(bytes, scratchFrame)) {
        lastError = scratch.lastError;
        return false;
    }

    table = std::move(scratch.table);
    plc = std::move(scratch.plc);
    titleBlock = scratch.titleBlock;
    frame.modelCode = scratchFrame.modelCode;
    frame.modelName = std::move(scratchFrame.modelName);
    frame.graphChannels = std::move(scratchFrame.graphChannels);
    refreshMarks = {};
    modified = false;
    lastError = text::kCannotOpenFile;
    return true;
}

bool CM240Doc::SaveProject(const std::string& path, const ProjectFrameItems& frame) {
    namespace fs = std::filesystem;
    auto refuse = [this](const std::string& why) {
        lastError = text::kCannotSaveFile;
        if (!why.empty()) lastError += "\n" + why;
        return false;
    };
    const std::vector<uint8_t> bytes = EncodeProject(frame);

    // Through a symbolic link the file it points to is replaced, not the link; a link to
    // nothing is the user's and stays a link.
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        if (!fs::exists(target, ec)) {
            const fs::path named = fs::read_symlink(target, ec);
            return refuse(formatted(text::kDanglingLink, path, named.string()));
        }
        const fs::path resolved = fs::canonical(target, ec);
        if (ec) return refuse(ec.message());
        target = resolved;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return refuse(formatted(text::kNotRegularFile, target.string(),
                                FileKindText(old.st_mode)));
    // A file the user made read-only is not replaced behind their back.
    // The mode bits decide, not access(): the superuser passes every access() check.
    if (exists && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return refuse(text::kFileReadOnly);

    removeStaleTemps(target);
    std::string tempPath;
    const int fd = openTempBeside(target, tempPath);
    if (fd < 0) return refuse(std::strerror(errno));
    int failure = 0;
    auto step = [&failure](bool ok) {
        if (!ok && failure == 0) failure = errno != 0 ? errno : EIO;
        return ok && failure == 0;
    };
    bool ok = step(writeAll(fd, bytes.data(), bytes.size()));
    if (ok && exists) ::fchmod(fd, old.st_mode & 07777);  // keep the permissions the old file had
    ok = ok && step(::fsync(fd) == 0);
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(::rename(tempPath.c_str(), target.c_str()) == 0);
    if (!ok) {
        ::unlink(tempPath.c_str());
        return refuse(std::strerror(failure));
    }
    syncFolder(target.parent_path());
    return true;
}

bool ReadProjectVersion(const std::string& path, int32_t& version) {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    uint8_t b[4];
    const ssize_t n = ::read(fd, b, 4);
    ::close(fd);
    if (n != 4) return false;
    ByteReader in(b, 4);
    return in.i32(version);
}

}  // namespace pv
