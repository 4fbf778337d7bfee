#include "model/hex_text.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(HexText, IntToHexText) {
    struct Case {
        long long v;
        int n;
        const char* want;
    };
    // clang-format off
    for (const Case& c : std::initializer_list<Case>{
             {0, 4, "0000"}, {255, 2, "FF"}, {10, 1, "A"}, {10, 2, "0A"}, {256, 2, "100"},
             {0xABCDE, 5, "ABCDE"}, {0x123456, 5, "123456"}, {5, 0, ""}, {4096, 3, "1000"}})
        // clang-format on
        EXPECT_EQ(intToHexText(c.v, c.n), c.want) << c.v << " in " << c.n;
}

TEST(HexText, TextToNumbersAndBack) {
    EXPECT_EQ(hexTextToInt("ff"), 255);
    EXPECT_EQ(hexTextToInt("0100"), 256);
    EXPECT_EQ(hexTextToInt(""), 0);
    EXPECT_EQ(hexTextToInt("aBc"), 0xABC);
    for (const char* bad : {"G", "-", "--", "1 ", "ON"}) {
        EXPECT_THROW(hexTextToInt(bad), ConversionError) << bad;
        EXPECT_FALSE(tryHexTextToInt(bad).has_value()) << bad;
    }
    EXPECT_EQ(padLeftZeros(3, "7"), "007");
    EXPECT_EQ(padLeftZeros(3, "1234"), "1234");
    EXPECT_EQ(intToDecText(1000, 3), "1000");
    EXPECT_EQ(decTextToInt("0012"), 12);
    EXPECT_THROW(decTextToInt("12a"), ConversionError);
    EXPECT_THROW(decTextToInt(""), ConversionError);
    EXPECT_EQ(hexToBin8("05"), "00000101");
    EXPECT_EQ(binToHexText("10000000", 2), "80");
    EXPECT_EQ(binTextToInt("0110"), 6);
    EXPECT_EQ(intToBinText(0xC0, 8), "11000000");
    EXPECT_THROW(binTextToInt("01x"), ConversionError);
}

}  // namespace
}  // namespace kestra
