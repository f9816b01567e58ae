#include "project/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "res/ProjectTexts.h"

namespace pv {

const char* FileKindText(unsigned mode) {
    if (S_ISDIR(mode)) return text::kKindFolder;
    if (S_ISFIFO(mode)) return text::kKindFifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return text::kKindDevice;
    if (S_ISSOCK(mode)) return text::kKindSocket;
    return text::kKindOther;
}

namespace {

std::string formatted(const char* pattern, const std::string& a, const char* b) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, pattern, a.c_str(), b);
    return buf;
}

void setReason(std::string* whyNot, std::string text) {
    if (whyNot) *whyNot = std::move(text);
}

}  // namespace

int OpenRegularFile(const std::string& path, std::string* whyNot) {
    setReason(whyNot, {});
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait for one forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) setReason(whyNot, std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        setReason(whyNot, std::strerror(errno));
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        setReason(whyNot, formatted(text::kNotRegularFile, path, FileKindText(st.st_mode)));
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* whyNot) {
    const int fd = OpenRegularFile(path, whyNot);
    if (fd < 0) return std::nullopt;
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            setReason(whyNot, std::strerror(errno));
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        // The size is checked as the bytes come, not from fstat: a file may grow while read.
        if (data.size() + static_cast<size_t>(n) > kMaxFileBytes) {
            char text[1024];
            std::snprintf(text, sizeof text, text::kFileTooLarge, path.c_str(), kMaxFileBytes);
            setReason(whyNot, text);
            ::close(fd);
            return std::nullopt;
        }
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

void ForEachLine(std::string_view text, size_t maxLength,
                 const std::function<bool(std::string_view)>& fn) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (end < text.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t nul = line.find('\0');
        if (nul != std::string_view::npos) line = line.substr(0, nul);
        if (line.size() > maxLength) line = line.substr(0, maxLength);
        if (!fn(line)) return;
        pos = next;
    }
}

static bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

int32_t AtoiLike(std::string_view s) {
    s = TrimLeft(s);
    bool negative = false;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) break;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

double AtofLike(std::string_view s) {
    // from_chars always reads '.' as the decimal point, whatever locale the program runs in.
    s = TrimLeft(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0.0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), v);
    return result.ec == std::errc() ? v : 0.0;
}

}  // namespace pv
