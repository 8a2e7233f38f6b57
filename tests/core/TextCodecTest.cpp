#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace zemvalkorta {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

TEST(TextCodecTest, CyrillicLettersBothWays) {
    const std::string cp1251 = "\xE1\xE5\xF2\xEE\xED \xB8\xA8 \xC0\xDF\xE0\xFF";  // бетон ёЁ АЯая
    EXPECT_EQ(Cp1251ToUtf8(cp1251), "бетон ёЁ АЯая");
    EXPECT_EQ(Utf8ToCp1251("бетон ёЁ АЯая"), cp1251);
}

TEST(TextCodecTest, UpperHalfPunctuationAndLetters) {
    EXPECT_EQ(Cp1251ToUtf8("\x80\x88\x96\x97\xB9\xA0\xAB\xBB\xA5\xB4\xB2\xB3\xAA\xBA\xAF\xBF"),
              "Ђ€–—№\u00A0«»ҐґІіЄєЇї");
    EXPECT_EQ(Cp1251ToUtf8("\x82\x84\x85\x91\x92\x93\x94\x99"), "‚„…‘’“”™");
}

TEST(TextCodecTest, EveryDefinedByteRoundTrips) {
    const std::string bytes = AllBytes();
    const std::string back = Utf8ToCp1251(Cp1251ToUtf8(bytes));
    ASSERT_EQ(back.size(), bytes.size());
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        EXPECT_EQ(static_cast<unsigned char>(back[b]), b) << "byte " << b;
    }
}

TEST(TextCodecTest, UndefinedByteShowsAsReplacementAndEncodesAsQuestionMark) {
    EXPECT_EQ(Cp1251ToUtf8("a\x98z"), "a\uFFFDz");
    EXPECT_EQ(Utf8ToCp1251("a\uFFFDz"), "a?z");
}

TEST(TextCodecTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("ΔV, cm³"), "?V, cm?");
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("x😀y"), "x?y");
    EXPECT_EQ(Utf8ToCp1251("é", '_'), "_");
}

TEST(TextCodecTest, MalformedUtf8NeverLeaksRawBytes) {
    EXPECT_EQ(Utf8ToCp1251("a\xFF"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");            // truncated two-byte form
    EXPECT_EQ(Utf8ToCp1251("\xC0\xB0"), "??");       // overlong '0'
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_EQ(Utf8ToCp1251("\xD0\x41"), "?A");       // continuation missing
}

TEST(TextCodecTest, AppendUtf8RefusesSurrogates) {
    std::string text;
    AppendUtf8(text, 0xD800);
    AppendUtf8(text, 0x110000);
    AppendUtf8(text, 0x1F600);
    EXPECT_EQ(text, "\uFFFD\uFFFD😀");
}

}  // namespace
}  // namespace zemvalkorta
