// The two halves of a virtual drive apart: the decoder sorting request PDUs by their layout, and
// the register model serving decoded requests across area handlers, with a made-up area standing
// in for a part of the drive still to come.

#include <gtest/gtest.h>

#include <array>

#include "sim/RegisterModel.h"
#include "sim/RequestDecoder.h"

namespace pv::sim::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Action = DecodedRequest::Action;

TEST(RequestDecoder, SortsRequestsByTheirLayout) {
    struct Case {
        const char* what;
        Bytes pdu;
        Action action;
        std::uint8_t exception;
        std::uint16_t address, count;
        std::vector<std::uint16_t> values;
    } cases[] = {
        {"read", {3, 0x0D, 0x00, 0, 2}, Action::Serve, 0, 0x0D00, 2, {}},
        {"read of 32", {3, 0xA0, 0x00, 0, 32}, Action::Serve, 0, 0xA000, 32, {}},
        {"read of 33", {3, 0xA0, 0x00, 0, 33}, Action::Refuse, 4, 0, 0, {}},
        {"read of none", {3, 0, 0, 0, 0}, Action::Refuse, 4, 0, 0, {}},
        {"read past 0xFFFF", {3, 0xFF, 0xFF, 0, 2}, Action::Refuse, 2, 0, 0, {}},
        {"read one byte short", {3, 0, 0, 0}, Action::Ignore, 0, 0, 0, {}},
        {"write one", {6, 0x01, 0x02, 0x17, 0x70}, Action::Serve, 0, 0x0102, 1, {6000}},
        {"write one too long", {6, 0x01, 0x02, 0x17, 0x70, 0}, Action::Ignore, 0, 0, 0, {}},
        {"write two", {16, 0, 14, 0, 2, 4, 0, 100, 0, 200}, Action::Serve, 0, 14, 2, {100, 200}},
        {"byte count not twice the count",
         {16, 0, 14, 0, 2, 2, 0, 100},
         Action::Refuse,
         4,
         0,
         0,
         {}},
        {"fewer data bytes than counted", {16, 0, 14, 0, 1, 2, 0}, Action::Ignore, 0, 0, 0, {}},
        {"write past 0xFFFF", {16, 0xFF, 0xFF, 0, 2, 4, 0, 1, 0, 2}, Action::Refuse, 2, 0, 0, {}},
        {"unknown function", {4, 0, 0, 0, 1}, Action::Refuse, 1, 0, 0, {}},
        {"nothing", {}, Action::Ignore, 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodedRequest d = decodeRequest(c.pdu.data(), c.pdu.size());
        EXPECT_EQ(d.action, c.action);
        EXPECT_EQ(d.exception, c.exception);
        if (d.action == Action::Refuse) {
            EXPECT_EQ(d.request.function, c.pdu[0]);
        }
        if (d.action != Action::Serve) continue;
        EXPECT_EQ(d.request.address, c.address);
        EXPECT_EQ(d.request.count, c.count);
        EXPECT_EQ(d.request.values, c.values);
    }
}

// Four registers at 0xF000 taking values up to 100, and counting the writes it hears of.
class ScratchArea : public RegisterArea {
public:
    std::array<std::uint16_t, 4> regs{};
    int writesHeard = 0;

    bool contains(std::uint16_t a) const override { return a >= 0xF000 && a < 0xF004; }
    std::optional<std::uint16_t> read(std::uint16_t a) const override { return regs[a - 0xF000]; }
    std::uint8_t checkWrite(std::uint16_t, std::uint16_t v) const override {
        return v > 100 ? 3 : 0;
    }
    void write(std::uint16_t a, std::uint16_t v) override { regs[a - 0xF000] = v; }
    void noteWrite(std::uint16_t) override { ++writesHeard; }
};

// One register at 0xF004 that refuses to be read while locked.
class LockedArea : public RegisterArea {
public:
    bool locked = false;
    std::uint16_t value = 7;

    bool contains(std::uint16_t a) const override { return a == 0xF004; }
    std::uint8_t checkRead(std::uint16_t) const override { return locked ? 3 : 0; }
    std::optional<std::uint16_t> read(std::uint16_t) const override { return value; }
    std::uint8_t checkWrite(std::uint16_t, std::uint16_t) const override { return 0; }
    void write(std::uint16_t, std::uint16_t v) override { value = v; }
};

TEST(RegisterModel, ServesRequestsAcrossAreaHandlers) {
    ScratchArea scratch;
    LockedArea locked;
    RegisterModel model;
    model.add(scratch);
    model.add(locked);
    auto serve = [&](const Bytes& pdu, bool answer = true) {
        const DecodedRequest d = decodeRequest(pdu.data(), pdu.size());
        EXPECT_EQ(d.action, Action::Serve);
        return model.serve(d.request, answer);
    };

    // A write of several registers over both areas is judged whole: one bad value, none written.
    EXPECT_EQ(serve({16, 0xF0, 0x03, 0, 2, 4, 0, 101, 0, 9}), (Bytes{0x90, 3}));
    EXPECT_EQ(scratch.regs[3], 0);
    EXPECT_EQ(locked.value, 7);
    EXPECT_EQ(serve({16, 0xF0, 0x03, 0, 2, 4, 0, 100, 0, 9}), (Bytes{16, 0xF0, 0x03, 0, 2}));
    EXPECT_EQ(scratch.regs[3], 100);
    EXPECT_EQ(locked.value, 9);
    EXPECT_EQ(scratch.writesHeard, 2) << "every area hears of every write, its own or not";

    // A read runs across areas and is refused whole by the first that refuses.
    EXPECT_EQ(serve({3, 0xF0, 0x03, 0, 2}), (Bytes{3, 4, 0, 100, 0, 9}));
    locked.locked = true;
    EXPECT_EQ(serve({3, 0xF0, 0x03, 0, 2}), (Bytes{0x83, 3}));
    EXPECT_EQ(serve({3, 0xF0, 0x04, 0, 2}), (Bytes{0x83, 3}));
    locked.locked = false;
    EXPECT_EQ(serve({3, 0xF0, 0x04, 0, 2}), (Bytes{0x83, 2})) << "0xF005 belongs to no area";
    EXPECT_EQ(serve({6, 0xF0, 0x05, 0, 1}), (Bytes{0x86, 2}));

    // A broadcast write takes effect and is not answered; a broadcast read does nothing.
    EXPECT_TRUE(serve({6, 0xF0, 0x00, 0, 42}, false).empty());
    EXPECT_EQ(scratch.regs[0], 42);
    EXPECT_TRUE(serve({3, 0xF0, 0x00, 0, 1}, false).empty());

    // A tool's write goes the drive's way unless the area says otherwise.
    EXPECT_TRUE(model.toolWrite(0xF001, 5));
    EXPECT_EQ(scratch.regs[1], 5);
    EXPECT_FALSE(model.toolWrite(0xF005, 5));
}

}  // namespace
}  // namespace pv::sim::test
