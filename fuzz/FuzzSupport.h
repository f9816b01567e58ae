#pragma once
// What the fuzz targets share: the data folder of the source tree, the input as text, a check
// that stops the run with its reason (libFuzzer keeps the input that broke it), and a reader
// that takes small numbers and length-prefixed pieces off the front of an input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "project/DataPaths.h"
#include "project/ParamTable.h"

namespace pv::fuzz {

inline std::string DataFolder() {
    return std::string(PARVOLT_DATA_DIR) + "/";
}

// The shipped parameter definitions, loaded once per run: targets that fuzz a file laid over
// them start every input from this table.
inline const ParamTable& Definitions() {
    static const ParamTable table = [] {
        ParamTable t;
        t.LoadParamDefinitions(DataFolder() + std::string(kParamFileName));
        return t;
    }();
    return table;
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

#define PV_FUZZ_CHECK(cond)                                                             \
    do {                                                                                \
        if (!(cond)) {                                                                  \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

// Takes bytes off the front of the input; past its end every take gives zeros or nothing.
class InputCursor {
public:
    InputCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t word() {
        const std::uint16_t hi = byte();
        return static_cast<std::uint16_t>(hi << 8 | byte());
    }
    // A piece of at most `n` bytes.
    std::span<const std::uint8_t> take(std::size_t n) {
        if (n > remaining()) n = remaining();
        std::span<const std::uint8_t> out(data_ + pos_, n);
        pos_ += n;
        return out;
    }
    // A piece whose length is the next byte.
    std::span<const std::uint8_t> piece() { return take(byte()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace pv::fuzz
