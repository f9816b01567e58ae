#include "project/DataPaths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace pv {

namespace fs = std::filesystem;

namespace {

std::mutex& overrideMutex() {
    static std::mutex m;
    return m;
}

std::string& overrideDir() {
    static std::string dir;
    return dir;
}

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    return dir;
}

bool holdsDefinitions(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / std::string(kParamFileName), ec);
}

}  // namespace

std::string ProgramDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return withSlash(fs::current_path(ec).string());
    return withSlash(exe.parent_path().string());
}

std::string DataDir() {
    {
        std::lock_guard lock(overrideMutex());
        if (!overrideDir().empty()) return overrideDir();
    }
    if (const char* env = std::getenv("PARVOLT_DATA_DIR"); env && *env) return withSlash(env);
    const fs::path program = ProgramDir();
    if (holdsDefinitions(program)) return program.string();
    const fs::path shared = (program / ".." / "share" / "parvolt").lexically_normal();
    if (holdsDefinitions(shared)) return withSlash(shared.string());
    return program.string();
}

void SetDataDirOverride(std::string dir) {
    std::lock_guard lock(overrideMutex());
    overrideDir() = withSlash(std::move(dir));
}

std::string DataFile(std::string_view name) {
    return DataDir() + std::string(name);
}

}  // namespace pv
