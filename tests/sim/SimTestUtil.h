#pragma once
// Request frames, reply decoding and a small data folder for the virtual drive's tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/VirtualBus.h"

namespace pv::sim::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes withCrc(Bytes f) {
    appendCrc(f);
    return f;
}
inline Bytes readFrame(int station, std::uint16_t reg, std::uint16_t count) {
    return withCrc({static_cast<std::uint8_t>(station), 3, static_cast<std::uint8_t>(reg >> 8),
                    static_cast<std::uint8_t>(reg), static_cast<std::uint8_t>(count >> 8),
                    static_cast<std::uint8_t>(count)});
}
inline Bytes writeFrame(int station, std::uint16_t reg, std::uint16_t value) {
    return withCrc({static_cast<std::uint8_t>(station), 6, static_cast<std::uint8_t>(reg >> 8),
                    static_cast<std::uint8_t>(reg), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value)});
}
inline Bytes writeManyFrame(int station, std::uint16_t reg, const std::vector<std::uint16_t>& v) {
    Bytes f{static_cast<std::uint8_t>(station),       16,
            static_cast<std::uint8_t>(reg >> 8),      static_cast<std::uint8_t>(reg),
            static_cast<std::uint8_t>(v.size() >> 8), static_cast<std::uint8_t>(v.size()),
            static_cast<std::uint8_t>(v.size() * 2)};
    for (const auto x : v) {
        f.push_back(static_cast<std::uint8_t>(x >> 8));
        f.push_back(static_cast<std::uint8_t>(x));
    }
    return withCrc(f);
}

// The bytes of a single-chunk reply (empty for silence).
inline Bytes replyOf(VirtualBus& bus, const Bytes& request) {
    const auto chunks = bus.onFrame(request);
    Bytes out;
    for (const auto& c : chunks) out.insert(out.end(), c.bytes.begin(), c.bytes.end());
    return out;
}

// Register values of a function-03 reply.
inline std::vector<std::uint16_t> valuesOf(const Bytes& reply) {
    std::vector<std::uint16_t> v;
    if (reply.size() < 5 || reply[1] != 3) return v;
    for (std::size_t k = 0; k < reply[2] / 2u; ++k)
        v.push_back(static_cast<std::uint16_t>(reply[3 + 2 * k] << 8 | reply[4 + 2 * k]));
    return v;
}

inline std::uint16_t readOne(VirtualBus& bus, int station, std::uint16_t reg) {
    const auto v = valuesOf(replyOf(bus, readFrame(station, reg, 1)));
    return v.empty() ? 0xDEAD : v[0];
}

// The exception code of a reply, or 0 for a normal reply.
inline int exceptionOf(const Bytes& reply) {
    return reply.size() == 5 && (reply[1] & 0x80) ? reply[2] : 0;
}

// A small but complete set of data files: a few parameters of every kind the drive must handle.
class TestDataDir {
public:
    TestDataDir() {
        dir_ = std::filesystem::temp_directory_path() /
               ("pv-sim-data-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(dir_);
        std::ofstream p(dir_ / "N350PARAM.DAT");
        // attr: min, max, flags, modes, gate1, gate2, optionOffset, unit, narrowMax, wideVersion
        p << "00-00 Control "
             "Mode@0$0*0~6#5:V/F;V/F+PG;SLV;SV;PMSV;PMSLV;SLV2$$$$0,6,0,0,0,0,0,0,6,0\n"
             "00-02 Run Source@0$0*0~3#5:Keypad;Terminal;Comm;PLC$$$$0,3,0,0,0,0,0,0,3,0\n"
             "00-14 Acc Time 1@10.0$10.0*0.1~6000.0#1:$$$$1,60000,32768,0,0,0,0,2,60000,0\n"
             "00-15 Dec Time 1@5.0$5.0*0.1~6000.0#1:$$$$1,60000,32768,0,0,0,0,2,60000,0\n"
             "00-20 Offset@0$0*-100~100#0:$$$$-100,100,8,0,0,0,0,0,100,0\n"
             "00-63 Limit Unit@0$0*0~1#0:$$$$0,1,0,0,0,0,0,0,1,0\n"
             "##Basic\n"
             "01-00 V/F Curve@F$F*0~F,FF#4:$$$$0,255,131072,0,0,0,0,0,15,0\n"
             "01-02 Max Frequency@60.00$60.00*0.00~300.00#2:$$$$0,30000,2,0,0,0,0,1,30000,0\n"
             "##V/F\n"
             "12-00 Display@0$0*0~65535#0:$$$$0,65535,1,0,0,0,0,0,65535,0\n"
             "12-22 Motor Speed@0.0$0.0*-#1:$$$$-32768,32767,9,0,0,0,0,7,32767,0\n"
             "12-41 Heat Sink Temperature@0$0*-#0:$$$$0,200,1,0,0,0,0,12,200,0\n"
             "##Monitor\n"
             "13-00 Capacity@0$0*-#0:$$$$0,255,1,0,0,0,0,0,255,0\n"
             "13-01 Software Version@0$0*-#0:$$$$0,9999,1,0,0,0,0,0,9999,0\n"
             "13-06 Parameter Lock@1$1*0~1#0:$$$$0,1,1024,0,0,0,0,0,1,0\n"
             "13-07 Password@0$0*0~9999#0:$$$$0,9999,1,0,0,0,0,0,9999,0\n"
             "##Maintenance\n";
        std::ofstream m(dir_ / "N350InitialParam.dat");
        // Entry 0 is bound to 00-14: the acceleration time follows the capacity.
        m << "00-14:";
        for (int i = 0; i < 41; ++i) m << (i ? "," : "") << (i < 18 ? "10.0" : "20.0");
        m << "\n";
    }
    ~TestDataDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string path() const { return dir_.string(); }

private:
    std::filesystem::path dir_;
};

}  // namespace pv::sim::test
