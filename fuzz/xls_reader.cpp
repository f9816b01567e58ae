// The .xls (BIFF) reader on damaged files: the library is handed the bytes as a file (it reads
// only from a path) and whatever it refuses comes back as a reason, never a crash.

#include <sys/mman.h>
#include <unistd.h>

#include "FuzzSupport.h"
#include "editing/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("xls", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    pv::Workbook book;
    std::string error;
    if (!pv::ReadXls("/proc/self/fd/" + std::to_string(fd), book, error))
        PV_FUZZ_CHECK(!error.empty());
    else
        PV_FUZZ_CHECK(!book.sheets.empty());
    return 0;
}
