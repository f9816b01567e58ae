#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/TextFile.h"

namespace pv {
namespace {

TEST(TextLines, SplitAtLineFeedsAndDropCarriageReturnsBeforeThem) {
    struct Case {
        std::string text;
        size_t maxLength;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", 100, {}},
        {"a", 100, {"a"}},
        {"a\n", 100, {"a"}},
        {"a\r\nb\r\n", 100, {"a", "b"}},
        {"a\rb\n", 100, {"a\rb"}},
        {"\n\n", 100, {"", ""}},
        {std::string("ab\0cd\nef", 8), 100, {"ab", "ef"}},
        {"abcdef\nxy\n", 4, {"abcd", "xy"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        ForEachLine(c.text, c.maxLength, [&](std::string_view l) {
            got.emplace_back(l);
            return true;
        });
        EXPECT_EQ(got, c.lines) << c.text;
    }
}

TEST(TextNumbers, ReadLikeTheCLibraryButWithAFixedDecimalPoint) {
    EXPECT_EQ(AtoiLike("  42abc"), 42);
    EXPECT_EQ(AtoiLike("-7"), -7);
    EXPECT_EQ(AtoiLike("x1"), 0);
    EXPECT_EQ(AtoiLike("99999999999999"), 2147483647);
    EXPECT_EQ(AtoiLike("-99999999999999"), -2147483647 - 1);
    EXPECT_DOUBLE_EQ(AtofLike("300.01"), 300.01);
    EXPECT_DOUBLE_EQ(AtofLike(" +5.5Hz"), 5.5);
    EXPECT_DOUBLE_EQ(AtofLike("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(AtofLike("abc"), 0.0);
    EXPECT_DOUBLE_EQ(AtofLike(""), 0.0);
}

}  // namespace
}  // namespace pv
