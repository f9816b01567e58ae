// .xls (BIFF) workbooks, read with libfreexl. Dates and times come back from the library as
// text; they are kept as text cells.
//
// The library is run in a child process: fed damaged files it has been seen to write outside
// its buffers while converting text, and a damaged file must cost no more than a refusal. The
// child sends the sheets back through a pipe; a child that dies, hangs past the time limit or
// sends a garbled answer means the file is refused.

#include <fcntl.h>
#include <freexl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "editing/Workbook.h"
#include "res/ExchangeTexts.h"

namespace pv {

namespace {

constexpr size_t kMaxCells = 1000000;
constexpr size_t kMaxAnswerBytes = 256u << 20;
constexpr auto kChildTimeLimit = std::chrono::seconds(20);

std::string biffError(int code) {
    char buf[128];
    std::snprintf(buf, sizeof buf, text::kWorkbookBadBiff, code);
    return buf;
}

struct Handle {
    const void* h = nullptr;
    ~Handle() {
        if (h) freexl_close(h);
    }
};

bool readWithLibrary(const std::string& path, Workbook& book, std::string& error) {
    Handle xls;
    int rc = freexl_open(path.c_str(), &xls.h);
    if (rc != FREEXL_OK) {
        error = biffError(rc);
        return false;
    }
    unsigned int sheetCount = 0;
    rc = freexl_get_info(xls.h, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    if (rc != FREEXL_OK) {
        error = biffError(rc);
        return false;
    }
    size_t cells = 0;
    for (unsigned int s = 0; s < sheetCount && s <= 0xFFFF; ++s) {
        const auto index = static_cast<unsigned short>(s);
        const char* name = nullptr;
        unsigned int rows = 0;
        unsigned short columns = 0;
        if ((rc = freexl_get_worksheet_name(xls.h, index, &name)) != FREEXL_OK ||
            (rc = freexl_select_active_worksheet(xls.h, index)) != FREEXL_OK ||
            (rc = freexl_worksheet_dimensions(xls.h, &rows, &columns)) != FREEXL_OK) {
            error = biffError(rc);
            return false;
        }
        // The cells are visited one by one; a sheet whose claimed size alone passes the limit
        // is refused before the walk.
        if (static_cast<size_t>(rows) * columns > 4 * kMaxCells) {
            error = text::kWorkbookTooManyCells;
            return false;
        }
        WorkbookSheet& sheet = book.addSheet(name ? name : "");
        for (unsigned int r = 0; r < rows; ++r)
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue v;
                if ((rc = freexl_get_cell_value(xls.h, r, c, &v)) != FREEXL_OK) {
                    error = biffError(rc);
                    return false;
                }
                const int row = static_cast<int>(r), column = c;
                switch (v.type) {
                    case FREEXL_CELL_INT:
                        sheet.setNumber(row, column, v.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        sheet.setNumber(row, column, v.value.double_value);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                    case FREEXL_CELL_TIME:
                        sheet.setText(row, column, v.value.text_value ? v.value.text_value : "");
                        break;
                    default:
                        continue;
                }
                if (++cells > kMaxCells) {
                    error = text::kWorkbookTooManyCells;
                    return false;
                }
            }
    }
    if (book.sheets.empty()) {
        error = text::kWorkbookNoSheets;
        return false;
    }
    return true;
}

// The child's answer: ok flag, then the error text or the sheets, each value length-prefixed.
void put(std::string& out, const void* p, size_t n) { out.append(static_cast<const char*>(p), n); }
void putNumber(std::string& out, uint64_t v) { put(out, &v, sizeof v); }
void putText(std::string& out, const std::string& s) {
    putNumber(out, s.size());
    out += s;
}

std::string encodeAnswer(bool ok, const Workbook& book, const std::string& error) {
    std::string out;
    putNumber(out, ok ? 1 : 0);
    if (!ok) {
        putText(out, error);
        return out;
    }
    putNumber(out, book.sheets.size());
    for (const WorkbookSheet& s : book.sheets) {
        putText(out, s.name);
        size_t count = 0;
        for (const auto& [row, cells] : s.rows) count += cells.size();
        putNumber(out, count);
        for (const auto& [row, cells] : s.rows)
            for (const auto& [column, cell] : cells) {
                putNumber(out, static_cast<uint64_t>(row));
                putNumber(out, static_cast<uint64_t>(column));
                putNumber(out, cell.kind == WorkbookCell::Kind::Number ? 1 : 0);
                if (cell.kind == WorkbookCell::Kind::Number)
                    put(out, &cell.number, sizeof cell.number);
                else
                    putText(out, cell.text);
            }
    }
    return out;
}

class AnswerReader {
public:
    explicit AnswerReader(const std::string& bytes) : bytes_(bytes) {}
    bool number(uint64_t& v) { return take(&v, sizeof v); }
    bool real(double& v) { return take(&v, sizeof v); }
    bool text(std::string& s) {
        uint64_t n = 0;
        if (!number(n) || n > bytes_.size() - pos_) return false;
        s.assign(bytes_, pos_, n);
        pos_ += n;
        return true;
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    bool take(void* p, size_t n) {
        if (n > bytes_.size() - pos_) return false;
        std::memcpy(p, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    const std::string& bytes_;
    size_t pos_ = 0;
};

bool decodeAnswer(const std::string& bytes, Workbook& book, std::string& error, bool& ok) {
    AnswerReader in(bytes);
    uint64_t flag = 0, sheets = 0;
    if (!in.number(flag)) return false;
    ok = flag == 1;
    if (!ok) return in.text(error) && in.atEnd();
    if (!in.number(sheets)) return false;
    for (uint64_t s = 0; s < sheets; ++s) {
        std::string name;
        uint64_t count = 0;
        if (!in.text(name) || !in.number(count)) return false;
        WorkbookSheet& sheet = book.addSheet(std::move(name));
        for (uint64_t i = 0; i < count; ++i) {
            uint64_t row = 0, column = 0, kind = 0;
            if (!in.number(row) || !in.number(column) || !in.number(kind) || row > 0xFFFFFF ||
                column > 0xFFFF)
                return false;
            if (kind == 1) {
                double v = 0;
                if (!in.real(v)) return false;
                sheet.setNumber(static_cast<int>(row), static_cast<int>(column), v);
            } else {
                std::string t;
                if (!in.text(t)) return false;
                sheet.setText(static_cast<int>(row), static_cast<int>(column), std::move(t));
            }
        }
    }
    return in.atEnd();
}

void writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Reads the child's whole answer; false on a time-out or an over-long answer.
bool readAnswer(int fd, std::string& out) {
    const auto deadline = std::chrono::steady_clock::now() + kChildTimeLimit;
    char buf[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > kMaxAnswerBytes) return false;
    }
}

}  // namespace

bool ReadXls(const std::string& path, Workbook& book, std::string& error) {
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
    } else {
        error = text::kWorkbookNotFound;
        return false;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::strerror(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        Workbook read;
        std::string why;
        const bool ok = readWithLibrary(path, read, why);
        writeAll(fds[1], encodeAnswer(ok, read, why));
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    const bool complete = readAnswer(fds[0], answer);
    ::close(fds[0]);
    if (!complete) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    Workbook result;
    bool ok = false;
    std::string why;
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        !decodeAnswer(answer, result, why, ok)) {
        error = text::kWorkbookReaderStopped;
        return false;
    }
    if (!ok) {
        error = why;
        return false;
    }
    book = std::move(result);
    return true;
}

}  // namespace pv
