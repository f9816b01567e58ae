// How the virtual drive finds the requests in the bytes a stream brings: at their length when
// their layout is known, by silence otherwise, and never holding more than a request's worth of
// bytes from a client that floods the line.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "SimTestUtil.h"
#include "sim/RequestFramer.h"

namespace pv::sim::test {
namespace {

using Clock = RequestFramer::Clock;
using std::chrono::microseconds;

const auto kAt = Clock::time_point{} + std::chrono::seconds(1);
const microseconds kSilence(4010);

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes spoilt(Bytes b) {
    b.back() ^= 0xFF;
    return b;
}

// What one arrival of bytes gives at once, before any silence: the requests complete by their
// length, and what is left to end by silence.
TEST(RequestFramer, RequestsOfKnownLayoutEndAtTheirLength) {
    const Bytes read = readFrame(1, 0x0D00, 2);
    const Bytes write = writeFrame(7, 0xA000, 0xBEEF);
    const Bytes writeMany = writeManyFrame(7, 0xA010, {1, 2, 3});
    const Bytes unknown = withCrc({1, 4, 0, 0, 0, 1});
    struct Case {
        const char* what;
        bool stream;
        Bytes bytes;
        std::vector<Bytes> complete;  // taken at their length, in order
        std::size_t left;             // bytes that wait for silence
    };
    const Case cases[] = {
        {"read", false, read, {read}, 0},
        {"write one register", false, write, {write}, 0},
        {"write several registers", false, writeMany, {writeMany}, 0},
        {"half a request", false, Bytes(read.begin(), read.begin() + 5), {}, 5},
        {"two requests back to back", false, joined({read, writeMany}), {read, writeMany}, 0},
        {"request and the start of the next", false, joined({write, Bytes{1, 3}}), {write}, 2},
        {"unknown function", false, unknown, {}, unknown.size()},
        {"bad CRC on a line", false, spoilt(read), {}, 8},
        {"bad CRC over a stream", true, spoilt(read), {spoilt(read)}, 0},
        {"unknown function over a stream", true, unknown, {}, unknown.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RequestFramer framer(c.stream);
        framer.add(c.bytes.data(), c.bytes.size(), kAt);
        std::vector<Bytes> got;
        while (auto f = framer.takeComplete()) got.push_back(*f);
        EXPECT_EQ(got, c.complete);
        EXPECT_EQ(framer.pendingBytes(), c.left);
        EXPECT_EQ(framer.silenceEnd(kSilence),
                  c.left == 0 ? Clock::time_point::max() : kAt + kSilence);
    }
}

TEST(RequestFramer, WhatEndsBySilenceIsOneFrame) {
    RequestFramer framer(false);
    const Bytes unknown = withCrc({1, 4, 0, 0, 0, 1});
    framer.add(unknown.data(), 3, kAt);
    framer.add(unknown.data() + 3, unknown.size() - 3, kAt + microseconds(1000));
    EXPECT_EQ(framer.silenceEnd(kSilence), kAt + microseconds(1000) + kSilence);
    EXPECT_EQ(framer.takeAll(), unknown);
    EXPECT_EQ(framer.pendingBytes(), 0u);
}

// A client that sends without a pause: whatever it sends, the bytes waiting stay bounded, and a
// request right behind the flood is still found and answered.
TEST(RequestFramer, FloodKeepsTheBufferBoundedAndARequestBehindItIsFound) {
    const Bytes request = readFrame(1, 0x0D00, 2);
    struct Case {
        const char* what;
        Bytes noise;
    };
    Bytes ramp(251);
    for (std::size_t k = 0; k < ramp.size(); ++k) ramp[k] = static_cast<std::uint8_t>(k * 7);
    const Case cases[] = {
        {"zeros", Bytes(97, 0)},
        {"assorted bytes", ramp},
        // Headers of requests whose rest never comes right.
        {"broken requests", joined({Bytes{1, 16, 0, 0, 0, 60, 120}, spoilt(request)})},
    };
    for (const bool stream : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (stream ? " over a stream" : " on a line"));
            RequestFramer framer(stream);
            for (int round = 0; round < 400; ++round) {
                framer.add(c.noise.data(), c.noise.size(), kAt);
                while (framer.takeComplete()) {
                }
                ASSERT_LE(framer.pendingBytes(), RequestFramer::kMaxPending);
            }
            EXPECT_GT(framer.bytesDropped(), 0u);
            framer.add(request.data(), request.size(), kAt);
            std::optional<Bytes> last;
            while (auto f = framer.takeComplete()) last = *f;
            if (!stream) {
                ASSERT_TRUE(last);
                EXPECT_EQ(*last, request);
            }
            EXPECT_LE(framer.pendingBytes(), RequestFramer::kMaxPending);
        }
    }
}

}  // namespace
}  // namespace pv::sim::test
