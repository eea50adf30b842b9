#include "platform/codepage1250.h"

#include <gtest/gtest.h>

namespace nimbrel::platform {
namespace {

TEST(Codepage1250, BytesMapToTheirCharacters) {
    const struct {
        unsigned char byte;
        char32_t unicode;
    } cases[] = {
        {0x41, U'A'},      {0x80, U'\u20AC'}, {0x81, U'\u0081'}, {0x8A, U'\u0160'},
        {0x8E, U'\u017D'}, {0x98, U'\u0098'}, {0x9A, U'\u0161'}, {0x9E, U'\u017E'},
        {0xA3, U'\u0141'}, {0xC8, U'\u010C'}, {0xD0, U'\u0110'}, {0xDF, U'\u00DF'},
        {0xE6, U'\u0107'}, {0xE8, U'\u010D'}, {0xF0, U'\u0111'}, {0xFF, U'\u02D9'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnicodeFromCp1250(c.byte), c.unicode) << int(c.byte);
        EXPECT_EQ(Cp1250FromUnicode(c.unicode), c.byte) << int(c.byte);
    }
}

TEST(Codepage1250, EveryByteSurvivesTheWayThroughUtf8) {
    std::string all;
    for (int i = 1; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_EQ(Cp1250FromUtf8(Utf8FromCp1250(all)), all);
}

TEST(Codepage1250, TextConvertsBothWays) {
    EXPECT_EQ(Utf8FromCp1250("\xE6"
                             "evap\xE8"
                             "i\xE8"
                             "i"),
              "ćevapčiči");
    EXPECT_EQ(Cp1250FromUtf8("ŽABA šum"), "\x8E"
                                          "ABA \x9A"
                                          "um");
    EXPECT_EQ(Utf8FromCp1250(""), "");
}

TEST(Codepage1250, WhatItCannotHoldBecomesQuestionMarks) {
    const struct {
        const char* utf8;
        const char* expected;
    } cases[] = {
        {"日本.jpg", "??.jpg"},  // characters outside the code page
        {"a\xC3", "a?"},         // truncated sequence
        {"\xC0\xAF", "??"},      // overlong form
        {"\xED\xA0\x80", "???"}, // surrogate
        {"\xFF"
         "b",
         "?b"},                      // never a lead byte
        {"\xF0\x9F\x98\x80!", "?!"}, // beyond the basic plane
        {"\xC2\x80", "?"},           // C1 control with no 1250 byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp1250FromUtf8(c.utf8), c.expected) << c.utf8;
    EXPECT_EQ(Cp1250FromUnicode(U'\u00E0'), '?'); // à is not in 1250
}

} // namespace
} // namespace nimbrel::platform
