#include "sysutil/text_routines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace nimbrel {
namespace {

TEST(UpperCharTest, RaisesAsciiAndThreeNationalLettersOnly) {
    struct Case {
        unsigned char in, out;
    };
    const Case cases[] = {
        {'a', 'A'}, {'z', 'Z'}, {'m', 'M'}, {'A', 'A'},
        {'{', '{'}, {'`', '`'}, {'0', '0'}, {154, 138}, // š -> Š
        {158, 142},                                     // ž -> Ž
        {232, 200},                                     // č -> Č
        {230, 230},                                     // ć stays
        {240, 240},                                     // đ stays
        {233, 233},                                     // é stays
        {185, 185},                                     // ą stays
        {138, 138}, {0, 0},     {255, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<unsigned char>(UpperChar(static_cast<char>(c.in))), c.out)
            << "code " << int(c.in);
}

TEST(UpperTextTest, KeepsLengthAndLeavesOtherAccentedLetters) {
    EXPECT_EQ(UpperText("\x9E"
                        "aba"),
              "\x8E"
              "ABA"); // žaba
    EXPECT_EQ(UpperText("\xE6"
                        "evap\xE8"
                        "i\xE8"
                        "i"),
              "\xE6"
              "EVAP\xC8I\xC8I"); // ćevapčiči
    EXPECT_EQ(UpperText(std::string_view("a\0b", 3)), std::string("A\0B", 3));
    EXPECT_EQ(UpperText(""), "");
}

TEST(NumToTextTest, RightAlignsWithoutCutting) {
    struct Case {
        std::int32_t value;
        int width;
        std::string text;
    };
    const Case cases[] = {
        {42, 0, "42"},
        {42, 5, "   42"},
        {-7, 0, "-7"},
        {-7, 3, " -7"},
        {123456, 3, "123456"},
        {0, 0, "0"},
        {5, -3, "5"},
        {INT32_MIN, 0, "-2147483648"},
        {INT32_MAX, 1, "2147483647"},
        {1, 300, std::string(254, ' ') + "1"}, // widths above 255 count as 255
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumToText(c.value, c.width), c.text) << c.value << " width " << c.width;
}

TEST(IsBlankTest, OnlyCodesUpTo32AreBlank) {
    struct Case {
        std::string_view text;
        bool blank;
    };
    const Case cases[] =
        {
            {"", true},        {"   ", true},
            {"\t\r\n", true},  {std::string_view("\0 \x1F", 3), true},
            {" a ", false},    {"!", false},
            {"\xA0", false}, // the no-break space of 1250 is a character
            {"  \x7F", false},
        };
    for (const Case& c : cases)
        EXPECT_EQ(IsBlank(c.text), c.blank) << '"' << c.text << '"';
}

TEST(SignedPowerTest, SignFollowsParityOfTheWholePart) {
    struct Case {
        long double base, exponent, result;
    };
    const Case cases[] = {
        {10, 3, 1000},
        {-2, 3, -8},
        {-2, 2, 4},
        {0, 0, 0},
        {0, -1, 0},
        {2, 0, 1},
        {-2, 0, 1},
        {4, 0.5L, 2},
        {-4, 0.5L, 2},                     // whole part 0: even
        {-8, 1.5L, -std::pow(8.0L, 1.5L)}, // whole part 1: odd
        {-2, -1, -0.5L},
        {-2, -2, 0.25L},
        {-2, -1.5L, -std::pow(2.0L, -1.5L)}, // truncated toward zero: -1
    };
    for (const Case& c : cases) {
        const long double result = SignedPower(c.base, c.exponent);
        EXPECT_NEAR(static_cast<double>(result), static_cast<double>(c.result),
                    1e-15 * std::max(1.0, std::fabs(static_cast<double>(c.result))))
            << c.base << " ^ " << c.exponent;
    }
    EXPECT_LT(std::fabs(SignedPower(10, 3) - 1000.0L), 1e-15L);
}

TEST(SignOfTest, MinusZeroPlus) {
    EXPECT_EQ(SignOf(-0.001L), -1);
    EXPECT_EQ(SignOf(0), 0);
    EXPECT_EQ(SignOf(1e300L), 1);
}

TEST(MapNationalCharTest, MapsTheTwelveAndNothingElse) {
    struct Case {
        unsigned char typed, mapped;
    };
    const Case cases[] = {
        {64, 142},
        {91, 138},
        {94, 200},
        {96, 158},
        {123, 154},
        {126, 232},
        {159, 232},
        {166, 142},
        {167, 158},
        {172, 200},
        {230, 138},
        {231, 154},
        // unchanged, among them the positions of the letters that are not mapped
        {'\\', '\\'},
        {']', ']'},
        {'|', '|'},
        {'}', '}'},
        {'A', 'A'},
        {'a', 'a'},
        {143, 143},
        {134, 134},
        {209, 209},
        {0, 0},
        {255, 255},
    };
    for (const Case& c : cases) {
        char ch = static_cast<char>(c.typed);
        MapNationalChar(ch);
        EXPECT_EQ(static_cast<unsigned char>(ch), c.mapped) << "code " << int(c.typed);
    }
}

} // namespace
} // namespace nimbrel
