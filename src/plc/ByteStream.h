#pragma once
// Little-endian byte writer and bounds-checked reader for the project file. The reader never
// reads past its data: every take reports failure instead, and the caller stops.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pv {

class ByteWriter {
public:
    void u8(uint8_t v) { bytes.push_back(v); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void raw(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
    }
    // A 32-bit length followed by the text without terminator.
    void lengthText(std::string_view text) {
        u32(static_cast<uint32_t>(text.size()));
        raw(text.data(), text.size());
    }

    std::vector<uint8_t> bytes;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const std::vector<uint8_t>& v) : ByteReader(v.data(), v.size()) {}

    size_t remaining() const { return size_ - pos_; }
    size_t position() const { return pos_; }
    bool atEnd() const { return pos_ == size_; }

    bool u8(uint8_t& v) {
        if (remaining() < 1) return false;
        v = data_[pos_++];
        return true;
    }
    bool u32(uint32_t& v) {
        if (remaining() < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u = 0;
        if (!u32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool raw(void* out, size_t n) {
        if (remaining() < n) return false;
        auto* o = static_cast<uint8_t*>(out);
        for (size_t i = 0; i < n; ++i) o[i] = data_[pos_ + i];
        pos_ += n;
        return true;
    }
    bool skip(size_t n) {
        if (remaining() < n) return false;
        pos_ += n;
        return true;
    }
    // A 32-bit length n and n bytes of text. The text kept is at most maxKeep bytes; a length
    // beyond the data fails, one beyond maxRead (the field's fixed width) fails too, so a hostile
    // length can never make the reader run over the data or allocate more than the file holds.
    bool lengthText(std::string& out, size_t maxRead, size_t maxKeep) {
        uint32_t n = 0;
        if (!u32(n)) return false;
        if (n > maxRead || n > remaining()) return false;
        const size_t keep = n < maxKeep ? n : maxKeep;
        out.assign(reinterpret_cast<const char*>(data_ + pos_), keep);
        pos_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace pv
