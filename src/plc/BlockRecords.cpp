#include "plc/BlockRecords.h"

#include <cstdio>

namespace pv {

namespace {

uint32_t pow10(int n) {
    uint32_t v = 1;
    while (n-- > 0) v *= 10;
    return v;
}

bool isContactLetter(uint8_t c) {
    return c != 0 && kElementLetters.find(static_cast<char>(c)) != std::string_view::npos;
}

// The first byte of a reference in the three-byte form and its second byte.
void referenceBytes(const BlockValue& v, uint8_t& first, uint8_t& second, uint8_t& third) {
    const auto n = static_cast<uint8_t>(v.number & 0x0F);
    first = second = third = 0;
    switch (v.kind) {
        case BlockValue::Kind::Timer:
            first = 0xB0 | n, second = static_cast<uint8_t>(v.timerForm ? 1 : 0);
            break;
        case BlockValue::Kind::Counter:
            first = 0xC0 | n;
            break;
        case BlockValue::Kind::Analog:
            first = 0xD0 | n;
            break;
        case BlockValue::Kind::AddSub:
            first = 0xA0, second = 1, third = static_cast<uint8_t>(v.number);
            break;
        case BlockValue::Kind::MulDiv:
            first = 0xA0, second = 2, third = static_cast<uint8_t>(v.number);
            break;
        case BlockValue::Kind::Constant:
            break;
    }
}

std::optional<BlockValue> referenceOf(uint8_t first, uint8_t second, uint8_t third) {
    const int n = first & 0x0F;
    switch (first & 0xF0) {
        case 0xB0:
            if (second > 1) return std::nullopt;
            return BlockValue::reference(BlockValue::Kind::Timer, n, second);
        case 0xC0:
            return BlockValue::reference(BlockValue::Kind::Counter, n);
        case 0xD0:
            return BlockValue::reference(BlockValue::Kind::Analog, n);
        case 0xA0:
            if (n != 0) return std::nullopt;
            if (second == 1) return BlockValue::reference(BlockValue::Kind::AddSub, third);
            if (second == 2) return BlockValue::reference(BlockValue::Kind::MulDiv, third);
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<uint32_t> DecodeBcd(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const int hi = p[i] >> 4, lo = p[i] & 0x0F;
        if (hi > 9 || lo > 9) return std::nullopt;
        v = v * 100 + static_cast<uint32_t>(hi * 10 + lo);
    }
    return v;
}

void EncodeBcd(uint8_t* p, int bytes, uint32_t value) {
    value %= pow10(2 * bytes);
    for (int i = bytes - 1; i >= 0; --i) {
        const uint32_t two = value % 100;
        value /= 100;
        p[i] = static_cast<uint8_t>((two / 10) << 4 | (two % 10));
    }
}

std::optional<BlockValue> DecodeValue3(const uint8_t* p) {
    if ((p[0] >> 4) <= 9) {
        const auto v = DecodeBcd(p, 3);
        if (!v) return std::nullopt;
        return BlockValue::constantOf(*v);
    }
    const auto r = referenceOf(p[0], p[1], p[2]);
    // Timer, counter and analog references keep their third byte zero.
    if (r && r->kind != BlockValue::Kind::AddSub && r->kind != BlockValue::Kind::MulDiv &&
        p[2] != 0)
        return std::nullopt;
    return r;
}

void EncodeValue3(uint8_t* p, const BlockValue& v) {
    if (!v.isReference()) {
        EncodeBcd(p, 3, v.constant);
        return;
    }
    referenceBytes(v, p[0], p[1], p[2]);
}

std::optional<BlockValue> DecodeArithValue(const uint8_t* p) {
    if (p[0] < 0x20) {
        const auto v = DecodeBcd(p, 3);
        if (!v) return std::nullopt;
        return BlockValue::constantOf(*v);
    }
    if ((p[0] & 0x0F) != 0) return std::nullopt;
    const int n = p[1];
    using K = BlockValue::Kind;
    switch (p[0] >> 4) {
        case 2:
            if (p[2] > 1) return std::nullopt;
            return BlockValue::reference(K::Timer, n, p[2]);
        case 3:
            return p[2] ? std::nullopt : std::optional(BlockValue::reference(K::Counter, n));
        case 4:
            return p[2] ? std::nullopt : std::optional(BlockValue::reference(K::Analog, n));
        case 5:
            return p[2] ? std::nullopt : std::optional(BlockValue::reference(K::AddSub, n));
        case 6:
            return p[2] ? std::nullopt : std::optional(BlockValue::reference(K::MulDiv, n));
        default:
            return std::nullopt;
    }
}

void EncodeArithValue(uint8_t* p, const BlockValue& v) {
    using K = BlockValue::Kind;
    if (!v.isReference()) {
        // Six digits, but the first byte stays below 0x20 so it cannot read as a reference.
        EncodeBcd(p, 3, v.constant % 200000);
        return;
    }
    int nibble = 0;
    switch (v.kind) {
        case K::Timer:
            nibble = 2;
            break;
        case K::Counter:
            nibble = 3;
            break;
        case K::Analog:
            nibble = 4;
            break;
        case K::AddSub:
            nibble = 5;
            break;
        case K::MulDiv:
            nibble = 6;
            break;
        case K::Constant:
            break;
    }
    p[0] = static_cast<uint8_t>(nibble << 4);
    p[1] = static_cast<uint8_t>(v.number);
    p[2] = static_cast<uint8_t>(v.kind == K::Timer && v.timerForm ? 1 : 0);
}

std::optional<InputRef> DecodeInput(const uint8_t* p) {
    if (p[0] == kNoInputLetter && p[1] == kNoInputNumber) return InputRef{};
    if (!isContactLetter(p[0]) || p[1] < 1 || p[1] > 16) return std::nullopt;
    return InputRef{static_cast<char>(p[0]), p[1]};
}

void EncodeInput(uint8_t* p, const InputRef& in) {
    if (!in.connected()) {
        p[0] = kNoInputLetter, p[1] = kNoInputNumber;
        return;
    }
    p[0] = static_cast<uint8_t>(in.letter);
    p[1] = static_cast<uint8_t>(in.number);
}

// ---------------------------------------------------------------------------------------------

std::optional<TimerSettings> ReadTimer(const TimerRecord& r) {
    TimerSettings s;
    s.mode = r[1] >> 4;
    s.timeBase = r[1] & 0x0F;
    if ((r[2] >> 4) <= 9) {
        const auto v = DecodeBcd(&r[2], 2);
        if (!v) return std::nullopt;
        s.preset = BlockValue::constantOf(*v);
    } else {
        const auto v = referenceOf(r[2], r[3], r[6]);
        if (!v) return std::nullopt;
        s.preset = *v;
    }
    const auto reset = DecodeInput(&r[4]);
    if (!reset) return std::nullopt;
    s.reset = *reset;
    if ((r[7] >> 4) != 7) return std::nullopt;
    s.timeBase2 = r[7] & 0x0F;
    if ((r[8] >> 4) <= 9) {
        const auto v = DecodeBcd(&r[8], 2);
        if (!v || r[10] != 0) return std::nullopt;
        s.preset2 = BlockValue::constantOf(*v);
    } else {
        const auto v = DecodeValue3(&r[8]);
        if (!v) return std::nullopt;
        s.preset2 = *v;
    }
    return s;
}

void WriteTimer(TimerRecord& r, const TimerSettings& s) {
    r[1] = static_cast<uint8_t>((s.mode & 0x0F) << 4 | (s.timeBase & 0x0F));
    if (s.preset.isReference()) {
        referenceBytes(s.preset, r[2], r[3], r[6]);
    } else {
        EncodeBcd(&r[2], 2, s.preset.constant);
        r[6] = 0;
    }
    EncodeInput(&r[4], s.reset);
    r[7] = static_cast<uint8_t>(0x70 | (s.timeBase2 & 0x0F));
    if (s.preset2.isReference()) {
        EncodeValue3(&r[8], s.preset2);
    } else {
        EncodeBcd(&r[8], 2, s.preset2.constant);
        r[10] = 0;
    }
}

std::optional<CounterSettings> ReadCounter(const CounterRecord& r) {
    CounterSettings s;
    s.mode = r[1] >> 4;
    if ((r[1] & 0x0F) != 0) return std::nullopt;
    const auto preset = DecodeValue3(&r[2]);
    const auto dir = DecodeInput(&r[5]);
    const auto reset = DecodeInput(&r[7]);
    if (!preset || !dir || !reset) return std::nullopt;
    s.preset = *preset, s.direction = *dir, s.reset = *reset;
    return s;
}

void WriteCounter(CounterRecord& r, const CounterSettings& s) {
    r[1] = static_cast<uint8_t>((s.mode & 0x0F) << 4);
    EncodeValue3(&r[2], s.preset);
    EncodeInput(&r[5], s.direction);
    EncodeInput(&r[7], s.reset);
}

std::optional<ComparatorSettings> ReadComparator(const BlockRecord& r) {
    ComparatorSettings s;
    s.mode = r[1] >> 4;
    if ((r[1] & 0x0F) != 0) return std::nullopt;
    const auto value = DecodeValue3(&r[2]);
    const auto upper = DecodeValue3(&r[5]);
    const auto lower = DecodeValue3(&r[8]);
    if (!value || !upper || !lower) return std::nullopt;
    s.value = *value, s.upper = *upper, s.lower = *lower;
    return s;
}

void WriteComparator(BlockRecord& r, const ComparatorSettings& s) {
    r[1] = static_cast<uint8_t>((s.mode & 0x0F) << 4);
    EncodeValue3(&r[2], s.value);
    EncodeValue3(&r[5], s.upper);
    EncodeValue3(&r[8], s.lower);
}

std::optional<DriveBlockSettings> ReadDriveBlock(const BlockRecord& r) {
    DriveBlockSettings s;
    const auto a = DecodeValue3(&r[1]), b = DecodeValue3(&r[4]);
    const auto c = DecodeValue3(&r[7]), d = DecodeValue3(&r[10]);
    const auto fwd = DecodeInput(&r[13]), term = DecodeInput(&r[15]);
    if (!a || !b || !c || !d || !fwd || !term) return std::nullopt;
    s.setFreq = *a, s.segFreq = *b, s.accTime = *c, s.decTime = *d;
    s.fwdRev = *fwd, s.terminal = *term;
    return s;
}

void WriteDriveBlock(BlockRecord& r, const DriveBlockSettings& s) {
    EncodeValue3(&r[1], s.setFreq);
    EncodeValue3(&r[4], s.segFreq);
    EncodeValue3(&r[7], s.accTime);
    EncodeValue3(&r[10], s.decTime);
    EncodeInput(&r[13], s.fwdRev);
    EncodeInput(&r[15], s.terminal);
}

std::optional<ArithSettings> ReadArith(const BlockRecord& r) {
    ArithSettings s;
    for (int i = 0; i < 3; ++i) {
        const auto v = DecodeArithValue(&r[1 + 3 * i]);
        if (!v) return std::nullopt;
        s.values[i] = *v;
    }
    if (r[10] > 1 || (r[10] == 0 && r[11] != 0)) return std::nullopt;
    s.outputRelay = r[10] == 1 ? r[11] : 0;
    return s;
}

void WriteArith(BlockRecord& r, const ArithSettings& s) {
    for (int i = 0; i < 3; ++i) EncodeArithValue(&r[1 + 3 * i], s.values[i]);
    r[10] = s.outputRelay > 0 ? 1 : 0;
    r[11] = static_cast<uint8_t>(s.outputRelay > 0 ? s.outputRelay : 0);
}

// ---------------------------------------------------------------------------------------------

std::string ValueText(const BlockValue& v, int digits) {
    using K = BlockValue::Kind;
    char buf[32];
    switch (v.kind) {
        case K::Constant:
            std::snprintf(buf, sizeof buf, "%.*u", digits, v.constant);
            return buf;
        case K::Timer:
            return ElementName("T", v.number) + (v.timerForm ? "/off" : "");
        case K::Counter:
            return ElementName("C", v.number);
        case K::Analog:
            return ElementName("V", v.number);
        case K::AddSub:
            return ElementName("AS", v.number);
        case K::MulDiv:
            return ElementName("MD", v.number);
    }
    return {};
}

namespace {
std::optional<int> hexNumber(std::string_view s) {
    if (s.size() != 2) return std::nullopt;
    int v = 0;
    for (char c : s) {
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0) return std::nullopt;
        v = v * 16 + d;
    }
    return v;
}
}  // namespace

std::optional<BlockValue> ParseValueText(std::string_view t) {
    using K = BlockValue::Kind;
    if (t.empty()) return std::nullopt;
    if (t[0] >= '0' && t[0] <= '9') {
        if (t.size() > 6) return std::nullopt;
        uint32_t v = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return std::nullopt;
            v = v * 10 + static_cast<uint32_t>(c - '0');
        }
        return BlockValue::constantOf(v);
    }
    int form = 0;
    if (t.size() > 4 && t.substr(t.size() - 4) == "/off") {
        form = 1;
        t.remove_suffix(4);
    }
    struct Prefix {
        std::string_view name;
        K kind;
    };
    static constexpr Prefix kPrefixes[] = {
        {"AS", K::AddSub}, {"MD", K::MulDiv}, {"T", K::Timer}, {"C", K::Counter}, {"V", K::Analog}};
    for (const auto& p : kPrefixes) {
        if (t.substr(0, p.name.size()) != p.name) continue;
        const auto n = hexNumber(t.substr(p.name.size()));
        if (!n || (form && p.kind != K::Timer)) return std::nullopt;
        return BlockValue::reference(p.kind, *n, form);
    }
    return std::nullopt;
}

std::string InputText(const InputRef& in) {
    if (!in.connected()) return "-";
    return ElementName(std::string(1, in.letter), in.number);
}

std::optional<InputRef> ParseInputText(std::string_view t) {
    if (t == "-") return InputRef{};
    if (t.size() != 3 || !isContactLetter(static_cast<uint8_t>(t[0]))) return std::nullopt;
    const auto n = hexNumber(t.substr(1));
    if (!n || *n < 1 || *n > 16) return std::nullopt;
    return InputRef{t[0], *n};
}

}  // namespace pv
