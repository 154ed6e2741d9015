#include "platform/Text.h"
#include "platform/Date.h"

#include <gtest/gtest.h>

using namespace quorvia;

TEST(Text, LowerCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(LowerAscii("AbC-Z\xC3\x84@["), "abc-z\xC3\x84@[");
    EXPECT_TRUE(EqualsIgnoreAsciiCase("SeName", "SENAME"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC3\x84", "\xC3\xA4"));
}

TEST(Text, EqualsIgnoreCaseFoldsCharactersAndKeepsInvalidBytes) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Motor", "mOTOR", true},
        {"G\xC3\xA4mma", "G\xC3\x84MMA", true},         // a-umlaut folds
        {"\xCE\xA3\xCE\xB1", "\xCF\x83\xCE\x91", true}, // Greek sigma and alpha
        {"Motor\xFF", "motor\xFF", true},
        {"Motor\xFF", "Motor\xFE", false},
        {"Motor\xFF", "Motor\xEF\xBF\xBD", false}, // not the replacement character
        {"\xC3", "\xC3\xA4", false},
        {"\xC0\xAF", "/", false}, // an overlong form is two invalid bytes
        {"ab", "abc", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(EqualsIgnoreCase(c.b, c.a), c.equal) << c.b << " / " << c.a;
    }
}

TEST(Text, CutCountsCodePointsAndNeverSplitsOne) {
    struct Case {
        std::string text;
        std::size_t max;
        std::string expected;
        std::size_t count;
    };
    const Case cases[] = {
        {"abcdef", 4, "abcd", 6},
        {"ab\xC3\xA9\xC3\xA9", 3, "ab\xC3\xA9", 4},         // two-byte letters
        {"\xE2\x82\xAC\xE2\x82\xAC", 1, "\xE2\x82\xAC", 2}, // three-byte euro signs
        {"a\xFF\xFE"
         "b",
         2, "a\xFF", 4},        // invalid bytes count one each
        {"\xC3", 1, "\xC3", 1}, // truncated sequence is one byte
        {"\xE0\x80\xAF\xED\xA0\x80", 6, "\xE0\x80\xAF\xED\xA0\x80", 6}, // overlong, surrogate
        {"short", 50, "short", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutToChars(c.text, c.max), c.expected) << c.text;
        EXPECT_EQ(CharCount(c.text), c.count) << c.text;
    }
}

TEST(Text, WholeNumberAcceptsOnlyDecimalIntegersThatFit) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {"30", 30},
        {"-7", -7},
        {"+3", 3},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {" 42", std::nullopt},
        {"+", std::nullopt},
        {"+-5", std::nullopt},
        {"2147483648", std::nullopt},
        {"0x1F", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseWholeNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Date, IsoRoundTripAndZeroDate) {
    EXPECT_EQ(Date().ToIso(), "1899-12-30");
    EXPECT_EQ(Date(2026, 12, 10).ToIso(), "2026-12-10");
    EXPECT_EQ(Date::FromIso("2024-02-29"), Date(2024, 2, 29));
    EXPECT_FALSE(Date::FromIso("2023-02-29"));
    EXPECT_FALSE(Date::FromIso("2023-2-9"));
    EXPECT_LT(Date(2026, 1, 1), Date(2026, 1, 2));
}
