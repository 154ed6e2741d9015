#include "engine/EngineDefinition.h"

#include <gtest/gtest.h>

using namespace quorvia;

TEST(EngineDefinition, EncodeKeyword) {
    const std::pair<std::string, std::string> cases[] = {
        {"  red   shoes ", "red+shoes"},
        {"C++ books", "C+++books"},
        {"a\tb", "a\tb"}, // only blanks collapse and turn into "+"
        {"a \t b", "a+\t+b"},
        {"   ", ""},
        {"\t\x01x\x1f ", "x"}, // control characters go from both ends
        {"&#%+? \xc3\xa9", "&#%+?+\xc3\xa9"},
        {"", ""},
    };
    for (const auto& [keyword, expected] : cases)
        EXPECT_EQ(EncodeKeyword(keyword), expected) << keyword;
}

TEST(EngineDefinition, SplitDefinition) {
    struct Case {
        std::string searchUrl, searchMask;
        DefinitionParts expected;
    };
    const Case cases[] = {
        {"http://e.example\",\"/search?q=@@@&n=10\",\"<a href=\"([^\"]*)\">Next",
         "<li class=\"res\">",
         {"http://e.example", "http://e.example/search?q=@@@&n=10", "<a href=\"([^\"]*)\">Next",
          "<li class=\"res\">"}},
        // The next-page pattern may itself hold the separator.
        {"P\",\"Q\",\"a\",\"b", "m", {"P", "PQ", "a\",\"b", "m"}},
        // Text after a separator in SearchMask is ignored.
        {"P\",\"Q\",\"N", "mask\",\"ignored\",\"too", {"P", "PQ", "N", "mask"}},
        // One separator: empty template, pattern from the joined text's third character on.
        {"http://a\",\"/s?q=", "m", {"http://a", "", "tp://a/s?q=", "m"}},
        // None: the prefix is empty as well.
        {"http://a/s?q=", "m", {"", "", "tp://a/s?q=", "m"}},
        {"", "", {"", "", "", ""}},
        {"\",\"\",\"", "", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.searchUrl);
        const DefinitionParts parts = SplitDefinition(c.searchUrl, c.searchMask);
        EXPECT_EQ(parts.addressPrefix, c.expected.addressPrefix);
        EXPECT_EQ(parts.queryTemplate, c.expected.queryTemplate);
        EXPECT_EQ(parts.nextPagePattern, c.expected.nextPagePattern);
        EXPECT_EQ(parts.resultPattern, c.expected.resultPattern);
    }
}

TEST(EngineDefinition, FirstQueryAddress) {
    EXPECT_EQ(FirstQueryAddress("http://e/s?q=@@@&n=10", "red+shoes"),
              "http://e/s?q=red+shoes&n=10");
    EXPECT_EQ(FirstQueryAddress("http://e/s?q=", "a+b"), "http://e/s?q=a+b");
    EXPECT_EQ(FirstQueryAddress("@@@/x/@@@", "k"), "k/x/k");
    EXPECT_EQ(FirstQueryAddress("q=@@@&x", EncodeKeyword("   ")), "q=&x");
    EXPECT_EQ(FirstQueryAddress("", "k"), "k");
}

TEST(EngineDefinition, NextAddress) {
    const std::string page = "<a href=\"/s?q=a&amp;start=10\">Next</a> <a href=\"/other\">";
    TRegExpr next("<a href=\"([^\"]*)\">Next");
    // The escaped ampersand of the href is sent as the parameter separator it stands for.
    EXPECT_EQ(NextAddress("http://e", page, next), "http://e/s?q=a&start=10");
    TRegExpr twice("(&amp;[^<]*)<"); // decoded once, left to right
    EXPECT_EQ(NextAddress("", "&amp;&amp;amp;x&<", twice), "&&amp;x&");
    TRegExpr optional("(x)?Next");
    EXPECT_EQ(NextAddress("http://e", page, optional), "http://e"); // group took no part
    TRegExpr missing("Previous");
    EXPECT_EQ(NextAddress("http://e", page, missing), std::nullopt);
    TRegExpr empty("");
    EXPECT_THROW(NextAddress("http://e", page, empty), PatternError);
}

TEST(EngineDefinition, EngineInList) {
    const std::vector<std::string> lines = {"Alpha", " Beta", "g\xc3\xa4mma"};
    EXPECT_TRUE(EngineInList(lines, "ALPHA"));
    EXPECT_TRUE(EngineInList(lines, "alpha"));
    EXPECT_FALSE(EngineInList(lines, "Beta")); // lines are taken as written
    EXPECT_TRUE(EngineInList(lines, " beta"));
    EXPECT_FALSE(EngineInList(lines, "Alph"));
    EXPECT_TRUE(EngineInList(lines, "G\xc3\x84MMA"));
    EXPECT_FALSE(EngineInList({}, "Alpha"));
    // Bytes that are no UTF-8 compare as themselves, not as one replacement character.
    EXPECT_TRUE(EngineInList({"Motor\xFF"}, "MOTOR\xFF"));
    EXPECT_FALSE(EngineInList({"Motor\xFF"}, "Motor\xFE"));
    EXPECT_FALSE(EngineInList({"Motor\xEF\xBF\xBD"}, "Motor\xFF")); // U+FFFD itself
    EXPECT_FALSE(EngineInList({"Motor\xC3"}, "Motor\xC3\xA4"));
}
